// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SessionInvariants.h"

#include "core/Client.h"
#include "core/ModalTracker.h"
#include "net/Connection.h"
#include "net/Protocol.h"
#include "net/TestControl.h"
#include "practice/PracticeLauncher.h"
#include "practice/PracticeSession.h"
#include "tests/support/FakeServices.h"
#include "typing/TypingEngine.h"

namespace {

using Phase = TestSession::Phase;

bool isReport(const QString &message)
{
    return message.startsWith(QLatin1String("1099")) || message.startsWith(QLatin1String("1098"));
}

// The reply each server message wants, if any.
QString replyTo(const QString &message)
{
    const QString code = protocol::code(message);
    if (code == protocol::kNewText) {
        return protocol::parseTestText(protocol::body(message)).kind ==
                       protocol::TextKind::RootPractice
                   ? QString()
                   : QStringLiteral("1011");
    }
    if (code == protocol::kInputMethods)
        return QStringLiteral("1008");
    if (code == protocol::kTiming)
        return QStringLiteral("1010");
    if (code == protocol::kDuplicateLogin)
        return QStringLiteral("1100");
    return {};
}

QString phaseName(Phase phase)
{
    return QString::fromLatin1(QMetaEnum::fromType<Phase>().valueToKey(int(phase)));
}

} // namespace

SessionInvariants::SessionInvariants(Client &client, FakeSocket &socket)
    : m_client(client)
    , m_socket(socket)
{
    TestSession *session = client.session;
    QObject::connect(session, &TestSession::reported, session,
                     [this](quint64 test, TestSession::ReportKind kind, const QString &message,
                            bool sent) { onReported(test, kind, message, sent); });
    QObject::connect(session, &TestSession::phaseChanged, session,
                     [this](Phase phase) { onPhase(phase); });
    m_socket.onSent = [this](const QString &message) { onSent(message); };
}

void SessionInvariants::fail(const QString &what)
{
    // The first few are enough to see what went wrong.
    if (m_violations.size() < 20)
        m_violations << m_where + QStringLiteral(": ") + what;
}

void SessionInvariants::delivered(const QString &message)
{
    if (protocol::code(message) == protocol::kNewText) {
        const protocol::TestText text = protocol::parseTestText(protocol::body(message));
        if (text.kind == protocol::TextKind::RootPractice)
            ++m_practicesAsked;
        else
            m_textsDelivered << text.text;
    }
    const QString reply = replyTo(message);
    if (!reply.isEmpty())
        ++m_asked[m_client.connection->generation()][reply];
}

void SessionInvariants::ticking()
{
    m_tickOf << m_client.session->testId();
    ++m_ticks[m_tickOf.last()];
}

void SessionInvariants::onSent(const QString &message)
{
    if (isReport(message)) {
        m_transmitted << message;
        return;
    }
    const QString code = protocol::code(message);
    if (code == QLatin1String("1011") || code == QLatin1String("1008") ||
        code == QLatin1String("1010") || code == QLatin1String("1100")) {
        const quint64 connection = m_client.connection->generation();
        const int answered = ++m_answered[connection][code];
        if (answered > m_asked.value(connection).value(code))
            fail(QStringLiteral("%1 sent %2 times on connection %3, asked for %4 times")
                     .arg(code)
                     .arg(answered)
                     .arg(connection)
                     .arg(m_asked.value(connection).value(code)));
    }
}

void SessionInvariants::onPhase(Phase phase)
{
    const quint64 test = m_client.session->testId();
    if (test == m_lastTest)
        return;
    // The text test before this one still shows its text: trace it now.
    if (m_textToTrace != 0)
        checkTextCause(m_textToTrace);
    m_lastTest = test;
    m_kinds.insert(test, phase);
    switch (phase) {
    case Phase::TextLoaded:
        m_typeableCheck = test;
        m_textToTrace = test;
        break;
    case Phase::RootPractice:
        if (++m_practicesBegun > m_practicesAsked)
            fail(QStringLiteral("a root practice nobody asked for"));
        break;
    case Phase::Drill:
        if (m_cause != Cause::Drill)
            fail(QStringLiteral("a practice of mistyped characters without its link"));
        break;
    default:
        fail(QStringLiteral("test %1 began as %2").arg(test).arg(phaseName(phase)));
    }
}

void SessionInvariants::checkTextCause(quint64 test)
{
    m_textToTrace = 0;
    const QString &text = m_client.ui.txt1->text();
    const qsizetype at = m_textsDelivered.indexOf(text);
    if (at < 0)
        fail(QStringLiteral("test %1 shows a text no message brought: ").arg(test) + text);
    else
        m_textsDelivered.removeAt(at);
}

void SessionInvariants::onReported(quint64 test, TestSession::ReportKind kind,
                                   const QString &message, bool sent)
{
    ++m_reports;
    if (sent)
        m_announcedSent << message;
    const Phase first = m_kinds.value(test, Phase::NoTest);
    if (first == Phase::Drill)
        fail(QStringLiteral("a practice of mistyped characters reported: ") + message);
    if (kind == TestSession::ReportKind::Final) {
        if (sent) {
            if (m_finalSent.contains(test))
                fail(QStringLiteral("a second final report of test %1: ").arg(test) + message);
            m_finalSent.insert(test);
            ++m_finals;
        }
        // A final is announced once when the test ends, and once more if it went out later.
        if (m_finalAnnounced.contains(test) && !sent)
            fail(QStringLiteral("test %1 ended twice").arg(test));
        if (!m_finalAnnounced.contains(test)) {
            m_finalAnnounced.insert(test);
            checkReportFigures(test, kind, message);
        }
        return;
    }
    if (m_finalAnnounced.contains(test))
        fail(QStringLiteral("a progress report after the end of test %1: ").arg(test) + message);
    if (test != m_client.session->testId())
        fail(QStringLiteral("a progress report of test %1 during test %2")
                 .arg(test)
                 .arg(m_client.session->testId()));
    // A tick reports for the test it began in, or not at all.
    if (!m_tickOf.isEmpty() && m_tickOf.last() != test)
        fail(QStringLiteral("a tick of test %1 reported for test %2")
                 .arg(m_tickOf.last())
                 .arg(test));
    checkReportFigures(test, kind, message);
}

void SessionInvariants::checkReportFigures(quint64 test, TestSession::ReportKind kind,
                                           const QString &message)
{
    const std::optional<protocol::Report> progress = protocol::parseProgressReport(message);
    const std::optional<protocol::Report> end = protocol::parseEndReport(message);
    if (!progress && !end) {
        fail(QStringLiteral("a report that does not parse: ") + message);
        return;
    }
    const protocol::Report r = progress ? *progress : *end;
    if (test != m_client.session->testId())
        return; // a final sent later is checked when it was made
    const ClientState &s = m_client.state;
    const MainControls &ui = m_client.ui;
    if (r.xuehao != s.strXuehao || r.name != s.strUserName || r.banji != s.strBanji)
        fail(QStringLiteral("a report with another identity: ") + message);
    const Phase first = m_kinds.value(test, Phase::NoTest);
    if (first == Phase::RootPractice) {
        const PracticeSession *practice = m_client.practice->session();
        if (practice && r.txtCount != practice->strip().length())
            fail(QStringLiteral("a practice report with another count: ") + message);
        if (r.inputCount != r.right || r.right > r.txtCount || r.backspaces != 0)
            fail(QStringLiteral("a practice report with impossible figures: ") + message);
    } else {
        const QString &reference = ui.txt1->text();
        const QString &typed = ui.txt2->text();
        if (r.txtCount != reference.size())
            fail(QStringLiteral("a report whose count is not its text's (%1): ")
                     .arg(reference.size()) +
                 message);
        if (r.inputCount != qMin(typed.size(), qsizetype(ClientState::kMaxCount)) ||
            r.right != TypingEngine::countMatches(reference, typed))
            fail(QStringLiteral("a report whose figures are not the boxes' (%1 typed): ")
                     .arg(typed.size()) +
                 message);
        for (const QChar c : r.errChars) {
            if (!reference.contains(c))
                fail(QStringLiteral("a report with an error character not in its text: ") +
                     message);
        }
    }
    // The seconds of a test are its ticks, and one more for a completed text.
    const int ticks = m_ticks.value(test);
    if (r.totalTime > ticks + (kind == TestSession::ReportKind::Final ? 1 : 0))
        fail(QStringLiteral("%1 seconds after %2 ticks: ").arg(r.totalTime).arg(ticks) + message);
}

void SessionInvariants::resultOpened(const TestResult &result)
{
    if (++m_resultsOpen > 1)
        fail(QStringLiteral("a second result window while one is open"));
    if (result.test != m_client.session->testId())
        fail(QStringLiteral("the result of test %1 shown during test %2")
                 .arg(result.test)
                 .arg(m_client.session->testId()));
}

void SessionInvariants::resultClosed(const TestResult &result, bool drillStarted)
{
    --m_resultsOpen;
    if (drillStarted && !result.drillable)
        fail(QStringLiteral("a practice started from a result that allows none"));
}

void SessionInvariants::checkButtons()
{
    // The table of (connection, phase), written out here on its own.
    const TestSession &session = *m_client.session;
    const MainControls &ui = m_client.ui;
    const Phase p = session.phase();
    const bool connected = m_client.connection->isConnected();
    const bool typing = p == Phase::TextLoaded || p == Phase::Running || p == Phase::Drill;
    const bool between = p == Phase::NoTest || p == Phase::Ended || p == Phase::Ending;
    const bool text = !ui.txt1->text().isEmpty();
    const struct
    {
        const ControlModel *button;
        bool enabled;
        const char *name;
    } table[] = {
        {ui.cmdlianjie, !connected, "connect"},
        {ui.cmdread, connected && (between || (typing && !text)), "start"},
        {ui.cmdexit, typing && text, "end"},
        {ui.cmdserverset, between, "server settings"},
        {ui.cmduserset, between, "personal settings"},
        {ui.btnzigen, m_client.state.Zigen || p == Phase::Drill, "root chart"},
    };
    for (const auto &row : table) {
        if (row.button->isEnabled() != row.enabled)
            fail(QStringLiteral("the %1 button is %2 in %3 (%4)")
                     .arg(QLatin1String(row.name),
                          row.button->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"),
                          phaseName(p),
                          connected ? QStringLiteral("connected")
                                    : QStringLiteral("not connected")));
    }
    if (ui.cts->isEnabled() && (p == Phase::Ended || p == Phase::Ending))
        fail(QStringLiteral("the hint box is on after the end"));
}

void SessionInvariants::checkTypeable()
{
    const TestSession &session = *m_client.session;
    if (m_typeableCheck == 0 || session.testId() != m_typeableCheck ||
        session.phase() != Phase::TextLoaded)
        return;
    m_typeableCheck = 0;
    const ClientState &s = m_client.state;
    const MainControls &ui = m_client.ui;
    if (ui.txt2->isReadOnly() || !s.IsWorking || s.IsReStart || s.TotalTime != 0 ||
        s.NumTxtInputCount != 0 || s.NumKeyBackup != 0 || ui.Timer3->isActive() ||
        !ui.txt2->text().isEmpty() || s.NumTxtCount != ui.txt1->text().size())
        fail(QStringLiteral("a newly loaded text is not a fresh typeable test"));
}

void SessionInvariants::check(const QString &where)
{
    m_where = where;
    const ClientState &s = m_client.state;
    const TestSession &session = *m_client.session;
    const Phase p = session.phase();

    if (m_transmitted != m_announcedSent)
        fail(QStringLiteral("the socket carried reports the session did not announce: ") +
             m_transmitted.join(u' ') + QStringLiteral(" / ") + m_announcedSent.join(u' '));
    if (s.IsWorking != session.isRunning() || s.IsReStart != (p == Phase::Drill))
        fail(QStringLiteral("IsWorking %1, IsReStart %2 in %3")
                 .arg(s.IsWorking)
                 .arg(s.IsReStart)
                 .arg(phaseName(p)));
    for (int value :
         {s.NumTxtCount, s.NumTxtInputCount, s.NumTxtRight, s.NumKeyBackup, s.TotalTime}) {
        if (value < 0 || value > ClientState::kMaxCount)
            fail(QStringLiteral("a counter out of range: %1").arg(value));
    }
    if (s.NumTxtRight > s.NumTxtInputCount)
        fail(QStringLiteral("more right than typed"));
    if (m_client.control->waitingCount() > TestControl::kMaxWaiting)
        fail(QStringLiteral("%1 messages waiting").arg(m_client.control->waitingCount()));
    if (session.unsentReports() > TestSession::kMaxUnsent)
        fail(QStringLiteral("%1 reports unsent").arg(session.unsentReports()));
    // The clock runs only for an exercise that runs.
    if (m_client.ui.Timer3->isActive() && !session.isRunning())
        fail(QStringLiteral("the clock runs in %1").arg(phaseName(p)));
    checkButtons();
    if (m_textToTrace != 0 && m_textToTrace == session.testId())
        checkTextCause(m_textToTrace);
    checkTypeable();
}
