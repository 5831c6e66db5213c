#include "typing/TestClock.h"

#include "core/Client.h"
#include "hints/HintDelay.h"
#include "net/Protocol.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "typing/Statistics.h"
#include "typing/TestEnding.h"

#include <QCoreApplication>

TestClock::TestClock(Client &client)
    : m_client(client)
{}

void TestClock::Timer3_Timer()
{
    ClientState &s = m_client.state;
    const quint64 tick = ++m_ticks;

    // The elapsed time is a 16-bit value: it stays at its top.
    if (s.TotalTime < ClientState::kMaxCount)
        ++s.TotalTime;
    if (!yieldFor(tick))
        return;

    if (s.MaxTime >= 1 && qint64(s.TotalTime) == qint64(s.MaxTime) * 60)
        m_client.ending->timeLimitReached();
    if (!yieldFor(tick))
        return;

    showSpeedAndProgress();
    if (!yieldFor(tick))
        return;

    showProgressBar();
    showTimes();
    if (!yieldFor(tick))
        return;

    if (!s.IsReStart)
        sendProgress();
    m_client.hints->hintStep();
}

void TestClock::refreshDisplay()
{
    showSpeedAndProgress();
    showProgressBar();
    showTimes();
}

bool TestClock::yieldFor(quint64 tick)
{
    QTimer *clock = m_client.ui.Timer3;
    const bool running = clock->isActive();
    QCoreApplication::processEvents();
    return m_ticks == tick && (!running || clock->isActive());
}

void TestClock::showSpeedAndProgress()
{
    const ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    if (s.TotalTime < 1) {
        ui.Lmsg2->setText(QStringLiteral("0"));
        ui.Lmsg->setText(QStringLiteral("0/0(正确100%)"));
    } else {
        ui.Lmsg2->setText(stats::speedText(s.NumTxtRight, s.TotalTime));
        ui.Lmsg->setText(QString::number(s.NumTxtInputCount) + u'/' +
                         QString::number(s.NumTxtCount) + QStringLiteral("(正确") +
                         stats::accuracyText(s.NumTxtRight, s.NumTxtInputCount) +
                         QStringLiteral("%)"));
    }
}

void TestClock::showProgressBar()
{
    const ClientState &s = m_client.state;
    ProgressModel *bar = m_client.ui.pb;
    if (s.NumTxtCount <= 0)
        return;
    bar->setMaximum(s.NumTxtCount);
    bar->setMinimum(0);
    // A value past the maximum is refused: the bar keeps what it showed.
    bar->setValue(s.NumTxtInputCount);
}

void TestClock::showTimes()
{
    const ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    if (s.MaxTime < 1) {
        ui.Ltime->setText(QStringLiteral("不限时"));
        ui.Ltime2->setText(stats::elapsedText(s.TotalTime));
        ui.Ltime3->setText(QStringLiteral("不限"));
    } else {
        ui.Ltime->setText(QStringLiteral("限时") + QString::number(s.MaxTime) +
                          QStringLiteral("分钟"));
        ui.Ltime2->setText(stats::elapsedText(s.TotalTime));
        ui.Ltime3->setText(stats::remainingText(s.MaxTime, s.TotalTime));
    }
}

void TestClock::sendProgress()
{
    const ClientState &s = m_client.state;
    Socket *wsk = m_client.services.socket;
    if (!wsk)
        return;
    protocol::Report report = TestControl::currentReport(s);
    report.inputMethod = m_client.ui.cmbshurufa->currentText();
    report.computer = s.computerName;
    report.errChars = s.errChar;
    // A report that cannot be sent is dropped; the next tick sends fresh counts.
    (void)wsk->sendData(protocol::progressReport(report));
}
