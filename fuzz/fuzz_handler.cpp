// The whole client without a window, driven through its public entries: server messages as the
// socket delivers them, interleaved with typing, Backspace, clock ticks and the buttons, on
// fake platform services. Nothing may crash or hang, and the counters stay what the reports
// can carry.
#include "FuzzInput.h"
#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/Gbk.h"
#include "core/InputMethodService.h"
#include "core/Platform.h"
#include "hints/HintDelay.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "typing/TestClock.h"
#include "typing/TestEnding.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

class AnswerDialogs final : public Dialogs
{
public:
    Button message(Icon, const QString &, const QString &, int buttons, Button def) override
    {
        if (answerYes && (buttons & Yes))
            return Yes;
        return def != NoButton ? def : Ok;
    }
    bool answerYes = false;
};

class NullClipboard final : public Clipboard
{
public:
    void clear() override {}
};

class NamedMachine final : public MachineInfo
{
public:
    QString computerName() override { return QStringLiteral("PC07"); }
};

class SomeInputMethods final : public InputMethodService
{
public:
    InputMethodListing read() override
    {
        return {{{QStringLiteral("keyboard-us"), QString()},
                 {QStringLiteral("wbx"), QStringLiteral("中文 - 五笔86")},
                 {QStringLiteral("pinyin"), QStringLiteral("拼音")},
                 {QStringLiteral("empty"), QString()}},
                {}};
    }
    void activate(const QString &id) override { m_active = id; }
    QString active() const override { return m_active; }
    QString framework() const override { return QStringLiteral("fuzz"); }

private:
    QString m_active;
};

class SomeTitles final : public WindowTitles
{
public:
    QStringList titles() override { return {QStringLiteral("记事本"), QStringLiteral("QQ")}; }
};

// Takes every message while connected, as the real socket does.
class RecordingSocket final : public Socket
{
public:
    void setRemoteHost(const QString &) override {}
    void setRemotePort(int) override {}
    QString remoteHost() const override { return {}; }
    int remotePort() const override { return 0; }
    void close() override { m_state = Closed; }
    void connectToRemote() override { m_state = Connecting; }
    bool sendData(const QString &) override { return m_state == Connected; }
    QString getData() override { return {}; }
    int state() const override { return m_state; }

    void arrive(const QString &text) { emit dataArrival(text); }
    void connectNow()
    {
        m_state = Connected;
        emit connected();
    }
    void closeNow()
    {
        m_state = Closing;
        emit closed();
    }

private:
    int m_state = Connected;
};

const char16_t *const kCodes[] = {u"0010", u"0099", u"0011",     u"0100",
                                  u"0009", u"0008", u"0010<cz>", u"0010<zg>"};

void check(const Client &c)
{
    const ClientState &s = c.state;
    for (int value :
         {s.NumTxtCount, s.NumTxtInputCount, s.NumTxtRight, s.NumKeyBackup, s.TotalTime}) {
        if (value < 0 || value > ClientState::kMaxCount)
            abort();
    }
    if (s.NumTxtRight > s.NumTxtInputCount)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    AnswerDialogs dialogs;
    NullClipboard clipboard;
    NamedMachine machine;
    SomeInputMethods inputMethods;
    SomeTitles titles;
    RecordingSocket socket;
    Services services;
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.machine = &machine;
    services.inputMethods = &inputMethods;
    services.windowTitles = &titles;
    services.socket = &socket;
    services.paths = AppPaths::inFolder(dir.path());

    ClientLogic logic(services);
    logic.Form_Load();
    Client &c = logic.client();
    c.ui.Timer3->setInterval(24 * 3600 * 1000); // ticks come from the input only
    c.ui.Timer4->stop();

    FuzzInput input(data, size);
    int steps = 0;
    while (!input.atEnd() && steps++ < 64) {
        const uint8_t action = input.byte();
        const QByteArray piece = input.piece();
        const QString text = gbk::decode(piece);
        switch (action % 12) {
        case 0:
        case 1:
        case 2:
            socket.arrive(QString::fromUtf16(kCodes[input.byte() % 8]) + text);
            break;
        case 3:
            socket.arrive(text); // raw: any code, any length
            break;
        case 4: {
            // A text over the counters' limit, or near it.
            const int times = 1 + input.byte() * 160;
            socket.arrive(
                QStringLiteral("0010") +
                (text.isEmpty() ? QStringLiteral("字") : text).repeated(times).left(40000));
            break;
        }
        case 5:
            if (!c.ui.txt2->isReadOnly())
                c.ui.txt2->replace(c.ui.txt2->selStart(), c.ui.txt2->selLength(), text);
            break;
        case 6:
            c.ui.txt2->notifyKeyDown(8, 0);
            if (!c.ui.txt2->isReadOnly() && c.ui.txt2->caret() > 0)
                c.ui.txt2->replace(c.ui.txt2->caret() - 1, 1, QString());
            c.ui.txt2->notifyKeyUp(8, 0);
            break;
        case 7:
            c.clock->Timer3_Timer();
            break;
        case 8:
            c.ui.cts->click();
            break;
        case 9:
            dialogs.answerYes = action & 0x80;
            c.ui.cmdexit->click();
            break;
        case 10:
            c.ui.cmdread->click();
            break;
        default:
            if (action & 0x80)
                socket.closeNow();
            else
                socket.connectNow();
        }
        check(c);
    }
    c.ui.Timer3->stop();
    return 0;
}
