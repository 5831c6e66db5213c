#include "typing/TestEnding.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "net/Protocol.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "typing/TestClock.h"

namespace {

// Holds a flag for as long as it lives, and gives back the value it found.
class FlagScope
{
public:
    explicit FlagScope(bool &flag)
        : m_flag(flag)
        , m_before(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = m_before; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
    bool m_before;
};

} // namespace

TestEnding::TestEnding(Client &client)
    : m_client(client)
{}

void TestEnding::completed()
{
    if (!m_client.state.IsWorking || m_ending)
        return;
    const FlagScope ending(m_ending);
    // One more tick sends the final counts before the result shows.
    m_client.clock->Timer3_Timer();
    m_client.ui.Timer3->stop();
    showResult();
}

void TestEnding::timeLimitReached()
{
    if (m_client.state.IsReStart || m_ending)
        return;
    m_client.ui.Timer3->stop();
    // The tick's report after the window has closed carries the final counts.
    showResult();
}

void TestEnding::showResult()
{
    ClientState &s = m_client.state;
    const FlagScope ending(m_ending);
    ++m_resultsShown;
    m_lastSentence = figures::sentence(s.counts());
    emit resultReady({s.strUserName, s.strXuehao, s.strBanji, m_lastSentence, s.cuowu});
    // A practice test started from the window keeps the box open and the test running.
    if (!s.IsReStart) {
        m_client.ui.txt2->setReadOnly(true);
        s.IsWorking = false;
    }
}

void TestEnding::cmdexit_Click()
{
    ClientState &s = m_client.state;
    MainControls &ui = m_client.ui;
    const auto answer = showMessage(
        *m_client.services.dialogs, Dialogs::Warning, QStringLiteral("注意"),
        QStringLiteral("正在进行测试，确实要结束吗？"), Dialogs::Yes | Dialogs::No, Dialogs::No);
    if (answer != Dialogs::Yes)
        return;
    s.IsWorking = false;
    ui.txt2->setReadOnly(true);

    bool reported = true;
    if (!s.IsReStart) {
        const protocol::Report report = TestControl::currentReport(s);
        Socket *wsk = m_client.services.socket;
        reported = wsk && wsk->sendData(protocol::endReport(report));
    }

    // Even when the report could not be sent the test ends here, so the student is not left
    // with a running clock and a locked box; the student is told the server has no result.
    ui.Timer3->stop();
    // The start button needs a server behind it: while the connection is down it stays off
    // until the connection is back.
    const Socket *wsk = m_client.services.socket;
    ui.cmdread->setEnabled(wsk && wsk->state() == Socket::Connected);
    ui.cmdexit->setEnabled(false);
    ui.cts->setChecked(false);
    ui.cts->setEnabled(false);
    if (!reported)
        showMessage(*m_client.services.dialogs, Dialogs::Warning, QStringLiteral("注意"),
                    QStringLiteral("与服务器的连接已断开，服务器没有收到本次测试的结束报告。"
                                   "本机的测试已经结束，请告诉老师。"));
}
