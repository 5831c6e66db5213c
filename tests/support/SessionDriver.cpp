// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/SessionDriver.h"

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Gbk.h"
#include "core/TextEditing.h"
#include "hints/HintDelay.h"
#include "net/TestControl.h"
#include "practice/PracticeLauncher.h"
#include "practice/PracticeSession.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace {

// A small table in zone order: the practices draw from it.
const char *const kRootRows[] = {"G王一五戋", "F土士二干", "D大犬三古", "S木丁西",   "A工戈七",
                                 "H目上止卜", "J日早虫",   "K口川",     "L田甲四车", "M山由贝",
                                 "T禾竹丿",   "R白手斤",   "E月彡乃",   "W人八",     "Q金儿夕",
                                 "Y言文方",   "U立辛六",   "I水小",     "O火米",     "P之宀冖",
                                 "N已己尸",   "B子耳了",   "V女刀九",   "C又巴马",   "X纟弓匕"};

// What the texts are made of: a few characters that also appear in the table above.
const QString kAlphabet = QStringLiteral("中文王土大木日口ab 的");

// Nesting of boxes and result windows, and the events run inside each.
constexpr int kMaxDepth = 2;
constexpr int kNestedEvents = 3;

} // namespace

SessionDriver::SessionDriver(Bytes next, Pieces pieces)
    : m_next(std::move(next))
    , m_pieces(std::move(pieces))
{
    QFile table(m_env.dir.filePath(QStringLiteral("86zg.dat")));
    if (table.open(QIODevice::WriteOnly)) {
        for (const char *row : kRootRows)
            table.write(gbk::encode(QString::fromUtf8(row)).bytes + "\r\n");
    }
    m_env.inputMethods.setDescriptions({QStringLiteral("中文 - 五笔86"), QStringLiteral("拼音")});
    m_env.windowTitles.list = {QStringLiteral("记事本")};
    m_env.dialogs.answerMessage = [this](const FakeDialogs::Shown &box) { return answer(box); };
    ClientLogic &logic = m_env.createLogic();
    Client &c = logic.client();
    c.state.strXuehao = QStringLiteral("31");
    c.state.strUserName = QStringLiteral("李明");
    c.state.strBanji = QStringLiteral("三班");
    quietTimers();
    m_invariants = std::make_unique<SessionInvariants>(c, m_env.fakeSocket);
    // The practices draw from a generator seeded by the run's bytes, so a run repeats exactly
    // (and a draw that must try again always gets a new number, even at the input's end).
    m_draws.seed(m_next());
    c.practice->setRandom([this] {
        return double(m_draws() - m_draws.min()) / (double(m_draws.max() - m_draws.min()) + 1.0);
    });
    QObject::connect(&logic, &ClientLogic::resultReady, &logic,
                     [this](const TestResult &result) { showResult(result); });
    // A new test closes the practice window, as the window does when it is told to.
    QObject::connect(c.practice, &PracticeLauncher::windowCloseRequested, c.practice,
                     [this] { closePractice(); });
    m_env.fakeSocket.raiseConnected();
    checkAfter(QStringLiteral("start"));
}

SessionDriver::~SessionDriver()
{
    m_env.dialogs.answerMessage = nullptr;
    m_env.fakeSocket.onSent = nullptr;
}

Client &SessionDriver::client()
{
    return m_env.client();
}

void SessionDriver::quietTimers()
{
    // Ticks come from the events only; the timers' own periods never run out during a run.
    Client &c = client();
    c.ui.Timer4->stop();
    c.ui.Timer3->setInterval(24 * 3600 * 1000);
    if (PracticeSession *practice = c.practice->session())
        practice->Timer1->setInterval(24 * 3600 * 1000);
}

void SessionDriver::step()
{
    run(Event(m_next() % int(Event::Count)));
    checkAfter(QStringLiteral("event %1").arg(m_events));
}

void SessionDriver::checkAfter(const QString &where)
{
    // What waits for the event loop (messages held behind a closed box) runs first.
    QCoreApplication::processEvents();
    quietTimers();
    m_invariants->check(where);
}

void SessionDriver::run(Event event)
{
    ++m_events;
    Client &c = client();
    switch (event) {
    case Event::Message:
        serverMessage();
        break;
    case Event::Tick:
        tick(1 + (m_next() % 8 == 0 ? m_next() % 64 : 0));
        break;
    case Event::Type:
        type();
        break;
    case Event::Backspace:
        backspace();
        break;
    case Event::End:
        c.ui.cmdexit->click();
        break;
    case Event::Start:
        c.ui.cmdread->click();
        break;
    case Event::Connection:
        switch (m_next() % 3) {
        case 0:
            m_env.fakeSocket.raiseClosed();
            break;
        case 1:
            m_env.fakeSocket.raiseError();
            break;
        default:
            m_env.fakeSocket.raiseConnected();
        }
        break;
    case Event::PracticeKey:
        practiceKey();
        break;
    case Event::PracticeClose:
        closePractice();
        break;
    case Event::Hints:
        c.ui.cts->click();
        break;
    case Event::RawMessage:
        deliver(m_pieces ? m_pieces() : someText(8));
        break;
    case Event::LongText:
        // Near the counters' limit and past it: the latter is refused with the error box. Now
        // and then only: a text of that size makes every later event of the run slower.
        if (m_next() % 8 != 0)
            break;
        deliver(QStringLiteral("0010") +
                QString(m_next() % 2 ? ClientState::kMaxCount : ClientState::kMaxCount + 1,
                        kAlphabet.at(m_next() % kAlphabet.size())));
        break;
    case Event::Count:
        break;
    }
}

QString SessionDriver::someText(int maxLength)
{
    const int length = m_next() % (maxLength + 1);
    QString text;
    for (int i = 0; i < length; ++i)
        text += kAlphabet.at(m_next() % kAlphabet.size());
    return text;
}

void SessionDriver::serverMessage()
{
    QString message;
    switch (m_next() % 12) {
    case 0:
    case 1:
    case 2:
        message = QStringLiteral("0010") + someText(6);
        break;
    case 3:
        message = QStringLiteral("0010<cz>") + someText(3) + u' ' + someText(3);
        break;
    case 4: {
        // Zones -1 to 6 (6 is refused), a few roots, now and then a field that is no number.
        const int zone = int(m_next() % 8) - 1;
        const int count = m_next() % 8;
        message = QStringLiteral("0010<zg>%1/%2").arg(zone).arg(count);
        if (m_next() % 6 == 0)
            message = QStringLiteral("0010<zg>x/");
        break;
    }
    case 5:
        message = QStringLiteral("0099") + someText(4);
        break;
    case 6:
        message = QStringLiteral("0011") + QString::number(m_next() % 2);
        break;
    case 7:
        message = QStringLiteral("0100") + QString::number(m_next() % 2) +
                  QString::number(m_next() % 2) +
                  (m_next() % 2 ? QStringLiteral("记事本|QQ") : QString());
        break;
    case 8: {
        static const char *const rules[] = {"五笔", "不限制", "拼音", " 五笔"};
        message = QStringLiteral("0009") + QString::fromUtf8(rules[m_next() % 4]);
        break;
    }
    case 9: {
        // Limits of 0 to 2 minutes, so that a run reaches them; now and then a bad body.
        message = QStringLiteral("0008%1|%2").arg(m_next() % 3).arg(m_next() % 4);
        if (m_next() % 5 == 0)
            message = QStringLiteral("0008abc");
        break;
    }
    case 10:
        message = someText(5); // no code at all
        break;
    default:
        message = QStringLiteral("0010") + someText(2) + QStringLiteral("0008") + someText(2);
    }
    deliver(message);
}

void SessionDriver::deliver(const QString &message)
{
    m_invariants->delivered(message);
    m_env.fakeSocket.arrive(message);
}

void SessionDriver::tick(int count)
{
    Client &c = client();
    for (int i = 0; i < count; ++i) {
        // A practice window shows its figures every second, whatever the clock does.
        if (PracticeSession *practice = c.practice->session(); practice && m_next() % 2)
            practice->Timer1_Timer();
        // The clock's timer delivers ticks only while it runs.
        if (!c.ui.Timer3->isActive())
            return;
        m_invariants->ticking();
        c.session->Timer3_Timer();
        m_invariants->ticked();
    }
}

void SessionDriver::type()
{
    TextModel *txt2 = client().ui.txt2;
    if (txt2->isReadOnly())
        return;
    const QString &reference = client().ui.txt1->text();
    const int at = txt2->length();
    QString typed;
    switch (m_next() % 4) {
    case 0:
    case 1:
        // What the student should type next, one or two characters at a time.
        typed = reference.mid(at, 1 + m_next() % 2);
        if (typed.isEmpty())
            typed = QStringLiteral("多");
        break;
    case 2:
        typed = QString(kAlphabet.at(m_next() % kAlphabet.size()));
        break;
    default:
        typed = someText(3);
    }
    textediting::commitInput(*txt2, typed);
}

// Backspace as the box passes it on: the key-down, the box's own deletion, the key-up.
void SessionDriver::backspace()
{
    TextModel *box = client().ui.txt2;
    box->notifyKeyDown(8, 0);
    textediting::deleteBackward(*box);
    box->notifyKeyUp(8, 0);
}

void SessionDriver::practiceKey()
{
    PracticeSession *practice = client().practice->session();
    if (!practice)
        return;
    const QString root = practice->strip().nextRoot();
    int key = Qt::Key_A + int(m_next() % 26);
    if (m_next() % 4 != 0 && !root.isEmpty()) {
        if (const auto letter = practice->table().keyOf(root.at(0)); letter && !letter->isEmpty())
            key = Qt::Key_A + (letter->at(0).toUpper().unicode() - u'A');
    }
    practice->RTinput_KeyUp(key);
}

void SessionDriver::closePractice()
{
    PracticeLauncher *launcher = client().practice;
    PracticeSession *practice = launcher->session();
    if (practice && !practice->Form_QueryUnload())
        launcher->Form_Unload();
}

Dialogs::Button SessionDriver::answer(const FakeDialogs::Shown &box)
{
    nested(QStringLiteral("inside the box \"%1\"").arg(box.text.left(12)));
    if (box.buttons & Dialogs::Yes)
        return m_next() % 2 ? Dialogs::Yes : Dialogs::No;
    return Dialogs::Ok;
}

void SessionDriver::showResult(const TestResult &result)
{
    m_invariants->resultOpened(result);
    nested(QStringLiteral("inside the result window"));
    bool drill = false;
    if (m_next() % 3 == 0) {
        // The practice link, as the main window runs it; the window closes after it.
        m_invariants->setCause(SessionInvariants::Cause::Drill);
        drill = client().session->startDrill(result.test, result.cuowu);
        m_invariants->setCause(SessionInvariants::Cause::None);
    }
    m_invariants->resultClosed(result, drill);
}

void SessionDriver::nested(const QString &where)
{
    if (m_depth >= kMaxDepth)
        return;
    ++m_depth;
    const int count = m_next() % (kNestedEvents + 1);
    for (int i = 0; i < count; ++i) {
        // The student cannot type or click in the main window while a modal window is open;
        // the clock, the server and the connection go on.
        static const Event whileModal[] = {Event::Message, Event::Tick, Event::Connection};
        run(whileModal[m_next() % 3]);
        m_invariants->check(where);
    }
    --m_depth;
}
