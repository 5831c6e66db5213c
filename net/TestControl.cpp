#include "net/TestControl.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "net/Protocol.h"
#include "net/Socket.h"

namespace {

// A step of the message handler that failed: its description goes to the handler's error box
// and the rest of the message's handling is skipped.
struct HandlerError
{
    QString description;
};

const QString kSendFailed = QStringLiteral("无法向服务器发送回复：与服务器的连接没有建立。");

} // namespace

TestControl::TestControl(Client &client)
    : m_client(client)
{}

void TestControl::wsk_DataArrival(const QString &message)
{
    handleMessage(message);
}

void TestControl::handleMessage(const QString &message)
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    Socket *wsk = m_client.services.socket;
    const auto reply = [wsk](const QString &text) {
        if (!wsk || !wsk->sendData(text))
            throw HandlerError{kSendFailed};
    };

    try {
        const QString code = protocol::code(message);
        const QString body = protocol::body(message);

        if (code == protocol::kNewText) {
            const protocol::TestText text = protocol::parseTestText(body);
            if (text.kind == protocol::TextKind::RootPractice) {
                emit rootPractice(text.text);
                return;
            }
            // A longer text does not fit the counters: refuse it before anything changes.
            if (text.text.size() > ClientState::kMaxCount)
                throw HandlerError{QStringLiteral("测试文本过长：共%1个字符，最多只能有%2个字符。")
                                       .arg(text.text.size())
                                       .arg(ClientState::kMaxCount)};
            s.IsCzText = text.kind == protocol::TextKind::Words ? 1 : 0;

            ui.txt1->setText(text.text);
            ui.txt1->setSelStart(0);
            ui.txt1->setSelLength(int(text.text.size()));
            ui.txt1->setSelColor(s.ColorNoinput);
            ui.txt1->setSelEmphasis(false);
            ui.txt1->setSelStart(0);
            ui.txt1->setSelLength(1);
            ui.txt1->setSelColor(s.ColorNow);
            ui.txt1->setSelEmphasis(true);

            ui.txt2->setText(QString());
            ui.txt2->setFocus();
            ui.Timer3->stop();
            if (!ui.txt1->text().isEmpty()) {
                ui.cmdread->setEnabled(false);
                ui.cmdexit->setEnabled(true);
            } else {
                ui.cmdexit->setEnabled(false);
            }
            s.TotalTime = 0;
            s.resetCounters(int(ui.txt1->text().size()));
            s.IsWorking = true;
            reply(protocol::textLoaded());
        } else if (code == protocol::kTeacherMessage) {
            emit teacherMessage(body);
        } else if (code == protocol::kDuplicateLogin) {
            if (protocol::isDuplicateLogin(message))
                showMessage(*m_client.services.dialogs, Dialogs::Warning, QStringLiteral("注意"),
                            QStringLiteral("注意：当前测试不允许重复登录，测试中请不要退出。"));
            reply(protocol::duplicateAnswered());
        } else if (code == protocol::kEnvironment) {
            const protocol::Environment env = protocol::parseEnvironment(message);
            if (!env.rootsAllowed) {
                ui.btnzigen->setEnabled(false);
                s.Zigen = false;
                ui.Pmid->show();
                ui.Pmid2->hide();
            } else {
                ui.btnzigen->setEnabled(true);
                s.Zigen = true;
            }
            if (!env.hintsAllowed) {
                ui.cts->setEnabled(false);
                ui.cts->setChecked(false);
                emit hintsWithdrawn();
            } else {
                ui.cts->setEnabled(true);
            }
            if (env.forbiddenList)
                emit forbiddenList(*env.forbiddenList);
        } else if (code == protocol::kInputMethods) {
            emit inputMethodRule(body);
            reply(protocol::inputMethodsDone());
        } else if (code == protocol::kTiming) {
            const protocol::Timing timing = protocol::parseTiming(body);
            if (timing.maxTime)
                s.MaxTime = *timing.maxTime;
            if (timing.hintDelay)
                s.NumHintDelay = *timing.hintDelay;
            if (!timing.error.isEmpty())
                throw HandlerError{timing.error};
            reply(protocol::timingDone());
        }
    } catch (const HandlerError &error) {
        showMessage(*m_client.services.dialogs, Dialogs::Critical, applicationTitle(),
                    error.description);
    }
}

void TestControl::cmdread_Click()
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    s.IsReStart = false;
    s.cuowu.clear();
    s.errChar.clear();
    // The clock starts even when the request cannot be sent.
    if (Socket *wsk = m_client.services.socket)
        (void)wsk->sendData(protocol::startRequest());
    s.NumNextStart = 0;
    ui.txt2->setReadOnly(false);
    ui.Pmid->show();
    ui.Pmid2->hide();
    if (!ui.Timer3->isActive())
        ui.Timer3->start();
}

protocol::Report TestControl::currentReport(const ClientState &state)
{
    protocol::Report report;
    report.xuehao = state.strXuehao;
    report.name = state.strUserName;
    report.banji = state.strBanji;
    report.totalTime = state.TotalTime;
    report.txtCount = state.NumTxtCount;
    report.inputCount = state.NumTxtInputCount;
    report.right = state.NumTxtRight;
    report.backspaces = state.NumKeyBackup;
    return report;
}
