#include "typing/TestClock.h"

#include "core/Client.h"
#include "hints/HintDelay.h"
#include "net/Protocol.h"
#include "net/Socket.h"
#include "net/TestControl.h"
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
        return cutShort(tick);

    if (s.MaxTime >= 1 && qint64(s.TotalTime) == qint64(s.MaxTime) * 60)
        m_client.ending->timeLimitReached();
    if (!yieldFor(tick))
        return cutShort(tick);

    showSpeedAndProgress();
    if (!yieldFor(tick))
        return cutShort(tick);

    showProgressBar();
    showTimes();
    if (!yieldFor(tick))
        return cutShort(tick);

    if (!s.IsReStart)
        sendProgress();
    m_client.hints->hintStep();
}

void TestClock::cutShort(quint64 tick)
{
    // Nothing more is shown or reported, but the hint step still runs unless a newer tick has
    // run its own: an ending handled in the yield has unticked the hint box, and the step puts
    // the caption at rest and clears the hint as a whole tick would.
    if (m_ticks == tick)
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
    const figures::Display d = figures::display(s.counts(), s.MaxTime);
    ui.Lmsg2->setText(d.speed);
    ui.Lmsg->setText(d.progress);
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
    const figures::Display d = figures::display(s.counts(), s.MaxTime);
    ui.Ltime->setText(d.timing);
    ui.Ltime2->setText(d.elapsed);
    ui.Ltime3->setText(d.remaining);
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
