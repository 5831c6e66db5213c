// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/TestSession.h"

#include "core/ClientState.h"
#include "core/Dialogs.h"
#include "core/Figures.h"
#include "core/MainControls.h"
#include "core/ModalTracker.h"
#include "hints/CodeTables.h"
#include "hints/HintDelay.h"
#include "hints/RootDisplay.h"
#include "net/Connection.h"
#include "net/Protocol.h"
#include "net/Socket.h"
#include "typing/StatisticsDisplay.h"

#include <QCoreApplication>

namespace {

// The counters are 16-bit values: a count beyond that range stays at its top.
int counted(qsizetype length)
{
    return int(std::min<qsizetype>(length, ClientState::kMaxCount));
}

} // namespace

TestSession::TestSession(ClientState &state, MainControls &ui, Dialogs &dialogs, Socket *socket,
                         Connection &connection, ModalTracker &modal, HintDelay &hints,
                         StatisticsDisplay &display, const CodeTables &tables, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_ui(ui)
    , m_dialogs(dialogs)
    , m_socket(socket)
    , m_connection(connection)
    , m_modal(modal)
    , m_hints(hints)
    , m_display(display)
    , m_tables(tables)
{
    connect(&m_connection, &Connection::opened, this, [this] {
        flushUnsent();
        updateButtons();
    });
    connect(&m_connection, &Connection::lost, this, &TestSession::updateButtons);
    m_connection.setKeepAlive([this] { return needsConnection(); });
}

bool TestSession::isRunning() const
{
    return m_phase == Phase::TextLoaded || m_phase == Phase::Running || m_phase == Phase::Drill ||
           m_phase == Phase::RootPractice;
}

int TestSession::effectiveLimit() const
{
    return m_phase == Phase::Drill ? 0 : m_state.MaxTime;
}

bool TestSession::needsConnection() const
{
    return isRunning() || !m_unsent.empty();
}

void TestSession::setPhase(Phase phase)
{
    m_phase = phase;
    m_state.IsWorking = isRunning();
    m_state.IsReStart = phase == Phase::Drill;
    updateButtons();
    emit phaseChanged(phase);
}

void TestSession::newTest(Phase phase)
{
    ++m_testId;
    m_speeds.clear();
    m_timeUp = false;
    m_wrongKeys = 0;
    m_practiceMistakes.clear();
    setPhase(phase);
}

void TestSession::updateButtons()
{
    MainControls &ui = m_ui;
    const bool connected = m_connection.isConnected();
    const bool typing =
        m_phase == Phase::TextLoaded || m_phase == Phase::Running || m_phase == Phase::Drill;
    const bool noText = ui.txt1->text().isEmpty();
    const bool between =
        m_phase == Phase::NoTest || m_phase == Phase::Ended || m_phase == Phase::Ending;

    ui.cmdlianjie->setEnabled(!connected);
    // The start button asks the server for a text: between tests, or when there is nothing to
    // type. The end button ends what can be typed.
    ui.cmdread->setEnabled(connected && (between || (typing && noText)));
    ui.cmdexit->setEnabled(typing && !noText);
    // The identity and the server may change while no test runs.
    const bool settings = between;
    ui.cmdserverset->setEnabled(settings);
    ui.cmduserset->setEnabled(settings);
    // A practice of mistyped characters may use the root chart and the hints.
    ui.btnzigen->setEnabled(m_state.Zigen || m_phase == Phase::Drill);
    ui.cts->setEnabled(m_phase == Phase::Drill ||
                       (m_hintsAllowed && m_phase != Phase::Ended && m_phase != Phase::Ending));
}

void TestSession::showReference(const QString &text)
{
    TextModel *txt1 = m_ui.txt1;
    txt1->setText(text);
    txt1->setFormat(0, int(text.size()), m_state.ColorNoinput, false);
    txt1->select(0, 1);
    txt1->setFormat(0, 1, m_state.ColorNow, true);
}

Status TestSession::loadText(const protocol::TestText &text)
{
    // A longer text does not fit the counters: refused before anything changes.
    if (text.text.size() > ClientState::kMaxCount)
        return Status::failure(QStringLiteral("测试文本过长：共%1个字符，最多只能有%2个字符。")
                                   .arg(text.text.size())
                                   .arg(ClientState::kMaxCount));
    ClientState &s = m_state;
    MainControls &ui = m_ui;
    const bool supersedesPractice = m_phase == Phase::RootPractice;

    m_loading = true;
    newTest(Phase::TextLoaded);
    s.IsCzText = text.kind == protocol::TextKind::Words ? 1 : 0;
    // A new test has its own mistyped characters.
    s.clearMistakes();
    showReference(text.text);
    // Whatever ended the last test, the new one can be typed.
    ui.txt2->setReadOnly(false);
    ui.txt2->setText(QString());
    ui.txt2->setFocus();
    s.NumNextStart = 0;
    ui.Timer3->stop();
    s.TotalTime = 0;
    s.resetCounters(int(ui.txt1->text().size()));
    m_loading = false;
    // The row shows the new test's zeros, not the figures of the test before it.
    m_display.refresh(effectiveLimit());
    updateButtons();
    if (supersedesPractice)
        emit rootPracticeSuperseded();
    return Status::success();
}

void TestSession::setEnvironment(bool, bool hintsAllowed)
{
    m_hintsAllowed = hintsAllowed;
    updateButtons();
}

void TestSession::cmdread_Click()
{
    ClientState &s = m_state;
    MainControls &ui = m_ui;
    const bool nothingToType =
        (m_phase == Phase::TextLoaded || m_phase == Phase::Drill) && ui.txt1->text().isEmpty();
    if (!(m_phase == Phase::NoTest || m_phase == Phase::Ended || nothingToType))
        return;
    s.clearMistakes();
    if (m_socket)
        (void)m_socket->sendData(protocol::startRequest());
    s.NumNextStart = 0;
    ui.txt2->setReadOnly(false);
    ui.Pmid->show();
    ui.Pmid2->hide();
    // The clock waits for the text: until it has come there is nothing to time or report.
    ui.Timer3->stop();
    setPhase(Phase::NoTest);
}

void TestSession::cmdexit_Click()
{
    const auto endable = [this] {
        return m_phase == Phase::TextLoaded || m_phase == Phase::Running || m_phase == Phase::Drill;
    };
    if (!endable())
        return;
    const quint64 test = m_testId;
    const auto answer = showMessage(m_dialogs, Dialogs::Warning, QStringLiteral("注意"),
                                    QStringLiteral("正在进行测试，确实要结束吗？"),
                                    Dialogs::Yes | Dialogs::No, Dialogs::No);
    // The test may have ended by itself while the question was open.
    if (answer != Dialogs::Yes || m_testId != test || !endable())
        return;
    const std::size_t unsentBefore = m_unsent.size();
    if (m_phase == Phase::Drill)
        endDrill();
    else
        endTest(EndKind::EndButton);
    m_ui.cts->setChecked(false);
    if (m_unsent.size() > unsentBefore)
        showMessage(m_dialogs, Dialogs::Warning, QStringLiteral("注意"),
                    QStringLiteral("与服务器的连接已断开。本次测试已经结束，"
                                   "结束报告将在重新连接到服务器后发送。"));
}

void TestSession::endDrill()
{
    m_ui.Timer3->stop();
    m_ui.txt2->setReadOnly(true);
    setPhase(Phase::Ended);
}

void TestSession::endTest(EndKind how)
{
    if (!(m_phase == Phase::TextLoaded || m_phase == Phase::Running ||
          m_phase == Phase::RootPractice))
        return;
    const bool practice = m_phase == Phase::RootPractice;
    m_ui.Timer3->stop();
    if (!practice)
        m_ui.txt2->setReadOnly(true);
    const bool byStudent = how == EndKind::EndButton || how == EndKind::Left;
    const QString final = byStudent ? endMessage() : progressMessage();
    m_timeUp = how == EndKind::TimeUp && m_state.NumTxtInputCount < m_state.NumTxtCount;
    // The curve ends at the final speed: a practice may end between two seconds.
    const int finalSpeed =
        int(figures::speedTenths(m_state.NumTxtRight, m_state.TotalTime).value_or(0));
    if (m_speeds.isEmpty())
        m_speeds << finalSpeed;
    else
        m_speeds.last() = finalSpeed;
    setPhase(byStudent ? Phase::Ended : Phase::Ending);
    // The final figures go out when the test ends, before anything waits for the student.
    sendFinal(final);
    if (how == EndKind::Completed && !practice)
        m_hints.hintStep();
    if (!byStudent)
        showResult(!practice);
}

void TestSession::showResult(bool drillable)
{
    const ClientState &s = m_state;
    const quint64 test = m_testId;
    const bool practice =
        m_phase == Phase::RootPractice || (m_phase == Phase::Ending && !drillable);
    TestResult result;
    result.xingming = s.strUserName;
    result.xuehao = s.strXuehao;
    result.banji = s.strBanji;
    result.msg = figures::sentence(s.counts());
    result.cuowu = drillable ? s.cuowu : QString();
    result.test = test;
    result.drillable = drillable;
    result.speedTenths = m_speeds;
    if (const auto accuracy = figures::accuracyPercent(s.NumTxtRight, s.NumTxtInputCount))
        result.accuracy = QString::number(*accuracy);
    result.timeUp = m_timeUp;
    if (practice) {
        result.mistakes = m_practiceMistakes;
        result.wrongKeys = m_wrongKeys;
    } else {
        result.mistakes = typedMistakes();
    }
    {
        const ModalScope open(m_modal);
        const quint64 before = m_resultOpen;
        const bool drillableBefore = m_resultDrillable;
        m_resultOpen = test;
        m_resultDrillable = drillable;
        emit resultReady(result);
        m_resultOpen = before;
        m_resultDrillable = drillableBefore;
    }
    if (m_testId == test && m_phase == Phase::Ending)
        setPhase(Phase::Ended);
}

QList<Mistake> TestSession::typedMistakes() const
{
    const ClientState &s = m_state;
    QList<Mistake> mistakes;
    for (qsizetype i = 0; i < s.errChar.size(); ++i) {
        const QString expected = s.errChar.mid(i, 1);
        const CodeTables::Codes codes = m_tables.codesOf(expected);
        mistakes << Mistake{expected, s.errTyped.mid(i, 1), codes.wubi, codes.pinyin,
                            RootDisplay::glyphNumbers(codes.roots)};
    }
    return mistakes;
}

void TestSession::rootPracticeMistake(quint64 practice, const QString &root, QChar pressed,
                                      QChar right)
{
    if (!isCurrentPractice(practice))
        return;
    ++m_wrongKeys;
    for (Mistake &mistake : m_practiceMistakes) {
        if (mistake.expected == root) {
            if (!mistake.typed.contains(pressed))
                mistake.typed += pressed;
            return;
        }
    }
    m_practiceMistakes << Mistake{root, QString(pressed), {QString(right)}, {}, {}};
}

bool TestSession::startDrill(quint64 resultOf, const QString &cwas)
{
    // Only the result on the screen of the test that is still the current one starts a
    // practice, and a root practice's result has no characters to practise.
    if (resultOf == 0 || resultOf != m_testId || resultOf != m_resultOpen || !m_resultDrillable ||
        !(m_phase == Phase::Ending || m_phase == Phase::Drill))
        return false;
    rst(cwas);
    return true;
}

void TestSession::rst(const QString &cwas)
{
    ClientState &s = m_state;
    MainControls &ui = m_ui;
    m_loading = true;
    newTest(Phase::Drill);
    // Emptying a box that held text runs the change handler, still on the old reference.
    ui.txt2->setText(QString());
    s.TotalTime = 0;
    s.NumNextStart = 0;
    ui.Pmid->show();
    ui.Pmid2->hide();
    showReference(cwas);
    s.resetCounters(counted(ui.txt1->text().size()));
    ui.txt2->setReadOnly(false);
    s.clearMistakes();
    m_loading = false;
    m_display.refresh(effectiveLimit());
    // The practice clock runs from now, not from the first keystroke.
    if (!ui.Timer3->isActive())
        ui.Timer3->start();
    updateButtons();
}

void TestSession::typingStarted()
{
    if (m_loading)
        return;
    if (m_phase == Phase::TextLoaded)
        setPhase(Phase::Running);
    // The clock of a test starts with its first change; a running clock is left alone.
    if ((m_phase == Phase::Running || m_phase == Phase::Drill) && !m_ui.Timer3->isActive())
        m_ui.Timer3->start();
}

void TestSession::textCompleted()
{
    if (m_loading ||
        !(m_phase == Phase::TextLoaded || m_phase == Phase::Running || m_phase == Phase::Drill))
        return;
    // One more second, shown; its report is the test's final report.
    if (m_state.TotalTime < ClientState::kMaxCount)
        ++m_state.TotalTime;
    m_display.refresh(effectiveLimit());
    m_speeds << int(figures::speedTenths(m_state.NumTxtRight, m_state.TotalTime).value_or(0));
    if (m_phase != Phase::Drill) {
        endTest(EndKind::Completed);
        return;
    }
    // A practice of mistyped characters shows its result and goes on: the box stays open.
    m_hints.hintStep();
    m_ui.Timer3->stop();
    showResult(true);
}

void TestSession::Timer3_Timer()
{
    ClientState &s = m_state;
    const quint64 test = m_testId;
    const quint64 tick = ++m_ticks;

    // The elapsed time is a 16-bit value: it stays at its top.
    if (s.TotalTime < ClientState::kMaxCount)
        ++s.TotalTime;
    // The speed of this second, for the result's curve.
    if (isRunning())
        m_speeds << int(figures::speedTenths(s.NumTxtRight, s.TotalTime).value_or(0));
    if (!yieldFor(test, tick))
        return cutShort(tick);

    const int limit = effectiveLimit();
    const bool timed =
        m_phase == Phase::TextLoaded || m_phase == Phase::Running || m_phase == Phase::RootPractice;
    if (timed && limit >= 1 && qint64(s.TotalTime) == qint64(limit) * 60)
        endTest(EndKind::TimeUp);
    if (!yieldFor(test, tick))
        return cutShort(tick);

    m_display.showSpeedAndProgress(limit);
    if (!yieldFor(test, tick))
        return cutShort(tick);

    m_display.showProgressBar();
    m_display.showTimes(limit);
    if (!yieldFor(test, tick))
        return cutShort(tick);

    // Only a running test reports: not a practice of mistyped characters, nothing after the end.
    if (m_phase == Phase::TextLoaded || m_phase == Phase::Running || m_phase == Phase::RootPractice)
        sendProgress();
    m_hints.hintStep();
}

void TestSession::cutShort(quint64 tick)
{
    // Nothing more is shown or reported, but the hint step still runs unless a newer tick has
    // run its own: an ending handled in the yield has unticked the hint box, and the step puts
    // the caption at rest and clears the hint as a whole tick would.
    if (m_ticks == tick)
        m_hints.hintStep();
}

bool TestSession::yieldFor(quint64 test, quint64 tick)
{
    QTimer *clock = m_ui.Timer3;
    const bool running = clock->isActive();
    QCoreApplication::processEvents();
    // The tick stops when a newer tick ran meanwhile (it has shown and reported newer counts),
    // when another test took the place of its own, or when its clock was switched off (by the
    // end button or an ending: nothing may be reported after that).
    return m_ticks == tick && m_testId == test && (!running || clock->isActive());
}

QString TestSession::progressMessage() const
{
    const ClientState &s = m_state;
    protocol::Report report{s.strXuehao,    s.strUserName,  s.strBanji,
                            s.TotalTime,    s.NumTxtCount,  s.NumTxtInputCount,
                            s.NumTxtRight,  s.NumKeyBackup, m_ui.cmbshurufa->currentText(),
                            s.computerName, s.errChar};
    return protocol::progressReport(report);
}

QString TestSession::endMessage() const
{
    const ClientState &s = m_state;
    protocol::Report report{s.strXuehao,
                            s.strUserName,
                            s.strBanji,
                            s.TotalTime,
                            s.NumTxtCount,
                            s.NumTxtInputCount,
                            s.NumTxtRight,
                            s.NumKeyBackup,
                            {},
                            {},
                            {}};
    return protocol::endReport(report);
}

void TestSession::sendProgress()
{
    const QString message = progressMessage();
    // A report that cannot be sent is dropped; the next tick sends fresh counts.
    const bool sent = m_socket && m_socket->sendData(message);
    emit reported(m_testId, ReportKind::Progress, message, sent);
}

void TestSession::sendFinal(const QString &message)
{
    const bool sent = m_connection.isConnected() && m_socket && m_socket->sendData(message);
    if (!sent) {
        // Kept until the connection is back, then sent once.
        if (int(m_unsent.size()) >= kMaxUnsent)
            m_unsent.pop_front();
        m_unsent.push_back({m_testId, message, m_socket ? m_socket->remoteHost() : QString(),
                            m_socket ? m_socket->remotePort() : 0});
    }
    emit reported(m_testId, ReportKind::Final, message, sent);
}

void TestSession::flushUnsent()
{
    if (!m_socket)
        return;
    // A result belongs to the server it was made for; another server gets nothing of it.
    std::erase_if(m_unsent, [this](const Unsent &unsent) {
        return unsent.host != m_socket->remoteHost() || unsent.port != m_socket->remotePort();
    });
    while (!m_unsent.empty() && m_socket->sendData(m_unsent.front().message)) {
        const Unsent done = m_unsent.front();
        m_unsent.pop_front();
        emit reported(done.test, ReportKind::Final, done.message, true);
    }
}

quint64 TestSession::beginRootPractice(int roots)
{
    ClientState &s = m_state;
    newTest(Phase::RootPractice);
    s.TotalTime = 0;
    s.resetCounters(counted(roots));
    s.clearMistakes();
    m_display.refresh(effectiveLimit());
    // The practice window has the test: the main window's typing box takes nothing meanwhile.
    m_ui.txt2->setReadOnly(true);
    // The practice is timed and reported by the test clock from its first second.
    m_ui.Timer3->stop();
    m_ui.Timer3->start();
    updateButtons();
    return m_testId;
}

bool TestSession::isCurrentPractice(quint64 practice) const
{
    return practice != 0 && practice == m_testId && m_phase == Phase::RootPractice;
}

void TestSession::rootPracticeFinished(quint64 practice)
{
    if (isCurrentPractice(practice))
        endTest(EndKind::Completed);
}

void TestSession::rootPracticeLeft(quint64 practice)
{
    if (isCurrentPractice(practice))
        endTest(EndKind::Left);
}
