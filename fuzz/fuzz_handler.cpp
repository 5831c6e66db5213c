// The whole client without a window, driven through its public entries: server messages as the
// socket delivers them, interleaved with typing, Backspace, clock ticks and the buttons, on
// fake platform services. Nothing may crash or hang, and the counters stay what the reports
// can carry.
#include "FakePlatform.h"
#include "FuzzInput.h"
#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/Gbk.h"
#include "hints/HintDelay.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "typing/TestSession.h"
#include "typing/TestSession.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {

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
    FakePlatform platform;
    platform.inputMethods.setDescriptions(
        {QString(), QStringLiteral("中文 - 五笔86"), QStringLiteral("拼音"), QString()});
    platform.windowTitles.list = {QStringLiteral("记事本"), QStringLiteral("QQ")};
    // The socket is up from the start; the input closes and opens it.
    FakeSocket &socket = platform.fakeSocket;
    socket.setState(Socket::Connected);

    ClientLogic logic(platform.services);
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
            c.session->Timer3_Timer();
            break;
        case 8:
            c.ui.cts->click();
            break;
        case 9:
            // Yes to a question about ending the test, or its default answer.
            if (action & 0x80)
                platform.dialogs.answerMessage = [](const FakeDialogs::Shown &box) {
                    return box.buttons & Dialogs::Yes ? Dialogs::Yes : Dialogs::Ok;
                };
            else
                platform.dialogs.answerMessage = nullptr;
            c.ui.cmdexit->click();
            break;
        case 10:
            c.ui.cmdread->click();
            break;
        default:
            if (action & 0x80)
                socket.raiseClosed();
            else
                socket.raiseConnected();
        }
        check(c);
    }
    c.ui.Timer3->stop();
    return 0;
}
