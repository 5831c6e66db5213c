#include "net/TestControl.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/Numeric.h"
#include "env/ForbiddenScan.h"
#include "env/InputMethodSelection.h"
#include "hints/RootDisplay.h"
#include "net/Protocol.h"
#include "net/Socket.h"
#include "practice/PracticeLauncher.h"
#include "typing/MessageWindows.h"
#include "typing/RichTextBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// A step of the message handler that failed: its description goes to the handler's error box
// and the rest of the message's handling is skipped.
struct HandlerError
{
    QString description;
};

const QString kSendFailed = QStringLiteral("无法向服务器发送回复：与服务器的连接没有建立。");

// A numeric timing field as a 16-bit integer: nothing when the text is not numeric; an error
// when the value does not fit.
std::optional<int> shortField(const QString &text)
{
    const std::optional<double> value = numeric::parse(text);
    if (!value)
        return std::nullopt;
    const double rounded = numeric::roundHalfEven(*value);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        throw HandlerError{QStringLiteral("溢出：时间设置“%1”超出范围。").arg(text)};
    return static_cast<int>(rounded);
}

} // namespace

TestControl::TestControl(Client &client) : m_client(client) {}

void TestControl::wsk_DataArrival()
{
    Socket *wsk = m_client.services.socket;
    if (!wsk)
        return;
    handleMessage(wsk->getData());
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
                // Root practice takes over; nothing is replied.
                if (const Status started = m_client.practice->LoadForm(text.text); !started.ok())
                    throw HandlerError{started.error};
                return;
            }
            // A longer text does not fit the counters: refuse it before anything changes.
            if (text.text.size() > ClientState::kMaxCount)
                throw HandlerError{
                    QStringLiteral("测试文本过长：共%1个字符，最多只能有%2个字符。")
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
            s.NumTxtCount = int(ui.txt1->text().size());
            s.NumTxtInputCount = 0;
            s.NumTxtRight = 0;
            s.NumKeyBackup = 0;
            s.IsWorking = true;
            reply(protocol::textLoaded());
        } else if (code == protocol::kTeacherMessage) {
            m_client.windows->PrintText(body);
        } else if (code == protocol::kDuplicateLogin) {
            if (protocol::isDuplicateLogin(message))
                showMessage(*m_client.services.dialogs, ui.window, QMessageBox::Warning,
                            QStringLiteral("注意"),
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
                m_client.roots->ClearZg();
            } else {
                ui.cts->setEnabled(true);
            }
            if (env.forbiddenList)
                m_client.forbidden->check(*env.forbiddenList);
        } else if (code == protocol::kInputMethods) {
            m_client.imes->FillShurufa(body);
            reply(protocol::inputMethodsDone());
        } else if (code == protocol::kTiming) {
            const QStringList fields = body.split(u'|');
            s.MaxTime = shortField(fields.at(0)).value_or(0);
            if (fields.size() < 2)
                throw HandlerError{QStringLiteral("时间设置不完整：缺少编码提示的延时。")};
            if (const std::optional<int> delay = shortField(fields.at(1))) {
                if (*delay + 1 > std::numeric_limits<qint16>::max())
                    throw HandlerError{QStringLiteral("溢出：编码提示延时超出范围。")};
                s.NumHintDelay = *delay + 1;
            } else {
                s.NumHintDelay = 8;
            }
            reply(protocol::timingDone());
        }
    } catch (const HandlerError &error) {
        showMessage(*m_client.services.dialogs, ui.window, QMessageBox::Critical,
                    applicationTitle(), error.description);
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

void TestControl::cmdexit_Click()
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    const auto answer = showMessage(*m_client.services.dialogs, ui.window, QMessageBox::Warning,
                                    QStringLiteral("注意"),
                                    QStringLiteral("正在进行测试，确实要结束吗？"),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    s.IsWorking = false;
    ui.txt2->setReadOnly(true);

    bool reported = true;
    if (!s.IsReStart) {
        const protocol::Report report = currentReport(s);
        Socket *wsk = m_client.services.socket;
        reported = wsk && wsk->sendData(protocol::endReport(report));
    }

    // Even when the report could not be sent the test ends here, so the student is not left
    // with a running clock and a locked box; the student is told the server has no result.
    ui.Timer3->stop();
    ui.cmdread->setEnabled(true);
    ui.cmdexit->setEnabled(false);
    ui.cts->setChecked(false);
    ui.cts->setEnabled(false);
    if (!reported)
        showMessage(*m_client.services.dialogs, ui.window, QMessageBox::Warning,
                    QStringLiteral("注意"),
                    QStringLiteral("与服务器的连接已断开，服务器没有收到本次测试的结束报告。"
                                   "本机的测试已经结束，请告诉老师。"));
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
