#include "ClassConsole.h"

#include "ConsoleFormat.h"
#include "ResultsCsv.h"
#include "TestServer.h"
#include "core/Gbk.h"

#include <QDir>
#include <QRegularExpression>
#include <QTime>

namespace {

// Reply codes kept per row.
constexpr int kReplies = 8;

QString who(const StudentRow &row)
{
    if (!row.identified())
        return row.peer;
    return QStringLiteral("%1 %2").arg(row.xuehao, row.name);
}

} // namespace

ClassConsole::ClassConsole(TestServer &server, QObject *parent)
    : QObject(parent)
    , m_server(server)
{
    connect(&server, &TestServer::clientConnected, this, &ClassConsole::connected);
    connect(&server, &TestServer::clientDisconnected, this, &ClassConsole::disconnected);
    connect(&server, &TestServer::replyReceived, this, &ClassConsole::reply);
    connect(&server, &TestServer::progressReported, this,
            [this](int id, const protocol::Report &report) { this->report(id, report, false); });
    connect(&server, &TestServer::endReported, this,
            [this](int id, const protocol::Report &report) { this->report(id, report, true); });
    connect(&server, &TestServer::unrecognised, this, [this](int id, const QString &text) {
        problem(id, QStringLiteral("不是客户端消息，已忽略：") + consoleformat::printable(text, 80),
                false);
    });
    connect(&server, &TestServer::settingsSent, this, [this](int id) {
        const int row = m_roster.rowOfConnection(id);
        if (row >= 0 && m_roster.at(row).state == StudentRow::State::Connected)
            m_roster.update(row, [](StudentRow &r) { r.state = StudentRow::State::Waiting; });
    });
    connect(&server, &TestServer::warning, this, [this](int id, const QString &text) {
        const int row = m_roster.rowOfConnection(id);
        write(row, text, false);
    });
}

Status ClassConsole::applySetup(const TestSetup &setup)
{
    return setup.applyTo(m_server.settings().script);
}

TestSetup ClassConsole::setup() const
{
    return TestSetup::from(m_server.settings().script);
}

void ClassConsole::sendSettings()
{
    m_server.sendSettingsToAll();
    write(-1, QStringLiteral("设置已发给全班（0100、0009、0008）"));
}

Status ClassConsole::startTest(const QString &name)
{
    if (!m_server.settings().script.text)
        return Status::failure(QStringLiteral("没有测试文本"));
    if (testRunning()) {
        // The results of the last test are kept whatever happens to this write; a failure is
        // in the log and in resultsFailed.
        (void)endTest();
    }
    for (int row = m_roster.size() - 1; row >= 0; --row)
        if (m_roster.at(row).state == StudentRow::State::Gone)
            m_roster.removeRow(row);
    m_roster.updateAll([](StudentRow &row) {
        row.live.reset();
        row.final.reset();
        row.state = StudentRow::State::Waiting;
    });
    static const QRegularExpression unsafe(QStringLiteral("[^\\w\\-]"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    m_testName = QString(name).replace(unsafe, QStringLiteral("_")).left(60);
    m_testStarted = QDateTime::currentDateTime();
    write(-1, QStringLiteral("测试开始%1，试题发给全班")
                  .arg(m_testName.isEmpty() ? QString() : QStringLiteral("：") + m_testName));
    emit testStarted(m_testName);
    m_server.sendTextToAll();
    return Status::success();
}

Status ClassConsole::endTest()
{
    if (!testRunning())
        return Status::success();
    Status status = m_resultsFolder.isEmpty() ? Status::success() : saveResults();
    write(-1, QStringLiteral("测试结束：") + summary().text());
    const QString name = m_testName;
    m_testStarted = {};
    m_testName.clear();
    emit testEnded(name);
    return status;
}

void ClassConsole::openTestIfNone()
{
    if (testRunning())
        return;
    m_testStarted = QDateTime::currentDateTime();
    m_testName.clear();
    write(-1, QStringLiteral("测试开始（学生开始答题）"));
    emit testStarted(m_testName);
}

QString ClassConsole::resultsPath() const
{
    if (!testRunning() || m_resultsFolder.isEmpty())
        return {};
    QString file = m_testStarted.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!m_testName.isEmpty())
        file += u'-' + m_testName;
    return QDir(m_resultsFolder).filePath(file + QStringLiteral(".csv"));
}

Status ClassConsole::saveResults()
{
    if (!testRunning())
        return Status::failure(QStringLiteral("没有进行中的测试，没有结果可保存"));
    if (m_resultsFolder.isEmpty())
        return Status::failure(QStringLiteral("没有设置结果文件夹"));
    const QString path = resultsPath();
    const Status status = resultscsv::write(path, m_roster.rows());
    if (!status.ok()) {
        // What is on disk (if anything) is not these results: nothing counts as saved.
        m_lastSaved.clear();
        if (status.error != m_lastError)
            write(-1, QStringLiteral("结果未保存：") + status.error);
        m_lastError = status.error;
        emit resultsFailed(status.error);
        return status;
    }
    if (m_lastSaved != path)
        write(-1, QStringLiteral("结果保存在 ") + path);
    m_lastSaved = path;
    m_lastError.clear();
    emit resultsSaved(path);
    return status;
}

Status ClassConsole::sendMessage(const QString &text, const QList<int> &rows, int *sentTo)
{
    if (sentTo)
        *sentTo = 0;
    if (text.isEmpty())
        return Status::failure(QStringLiteral("消息为空"));
    const gbk::Encoded encoded = gbk::encode(text);
    if (!encoded.ok())
        return Status::failure(QStringLiteral("这些字符无法用GBK发送：") + encoded.unencodable);
    QList<int> targets = rows;
    if (targets.isEmpty())
        for (int row = 0; row < m_roster.size(); ++row)
            targets << row;
    const QString message = protocol::teacherMessage(text);
    int count = 0;
    for (int row : std::as_const(targets)) {
        if (row < 0 || row >= m_roster.size() || m_roster.at(row).connection <= 0)
            continue;
        if (m_server.sendTo(m_roster.at(row).connection, message))
            ++count;
    }
    if (sentTo)
        *sentTo = count;
    if (count == 0)
        return Status::failure(QStringLiteral("没有连接着的学生可以收到消息"));
    write(-1, QStringLiteral("消息发给%1人：%2").arg(count).arg(text));
    return Status::success();
}

QList<int> ClassConsole::rowsOfNumbers(const QStringList &numbers) const
{
    QList<int> rows;
    for (int row = 0; row < m_roster.size(); ++row)
        if (numbers.contains(m_roster.at(row).xuehao))
            rows << row;
    return rows;
}

QList<double> ClassConsole::speeds() const
{
    QList<double> list;
    for (const StudentRow &row : m_roster.rows())
        if (row.identified())
            if (const std::optional<double> speed = row.speed())
                list << *speed;
    return list;
}

void ClassConsole::connected(int id, const QString &peer)
{
    StudentRow row;
    row.connection = id;
    row.peer = peer;
    const int at = m_roster.addRow(row);
    write(at, QStringLiteral("已连接：") + peer, false);
}

void ClassConsole::disconnected(int id)
{
    const int row = m_roster.rowOfConnection(id);
    m_budgets.remove(id);
    if (row < 0)
        return;
    m_roster.update(row, [](StudentRow &r) {
        r.connection = 0;
        r.state = StudentRow::State::Gone;
    });
    write(row, QStringLiteral("已断开"), false);
}

void ClassConsole::reply(int id, const QString &code)
{
    int row = m_roster.rowOfConnection(id);
    if (row < 0)
        return;
    if (code == QString::fromUtf16(protocol::kStartRequest))
        openTestIfNone();
    m_roster.update(row, [&code](StudentRow &r) {
        r.replies << code;
        if (r.replies.size() > kReplies)
            r.replies.removeFirst();
        if (code == QString::fromUtf16(protocol::kStartRequest)) {
            // Start pressed again after ending: a new attempt in the same test.
            r.final.reset();
            r.state = StudentRow::State::Waiting;
        } else if (r.state == StudentRow::State::Connected &&
                   (code == QString::fromUtf16(protocol::kInputMethodsDone) ||
                    code == QString::fromUtf16(protocol::kTimingDone))) {
            r.state = StudentRow::State::Waiting;
        }
    });
}

QString ClassConsole::check(const protocol::Report &report, bool end) const
{
    const QString kind = end ? QStringLiteral("结束报告") : QStringLiteral("进度报告");
    if (report.xuehao.trimmed().isEmpty())
        return kind + QStringLiteral("没有学号，已忽略");
    if (report.totalTime < 0 || report.txtCount < 0 || report.inputCount < 0 || report.right < 0 ||
        report.backspaces < 0)
        return kind + QStringLiteral("有负数，已忽略");
    if (report.right > report.inputCount)
        return kind + QStringLiteral("的正确字数多于已输入字数，已忽略");
    return {};
}

void ClassConsole::report(int id, const protocol::Report &report, bool end)
{
    int row = m_roster.rowOfConnection(id);
    if (row < 0) {
        StudentRow fresh;
        fresh.connection = id;
        row = m_roster.addRow(fresh);
    }
    if (const QString error = check(report, end); !error.isEmpty()) {
        problem(id, QStringLiteral("%1：%2").arg(error, consoleformat::report(report, end)), true);
        return;
    }
    openTestIfNone();
    row = identify(row, report, end);
    const int limit = m_server.settings().script.timeLimit;
    m_roster.update(row, [&](StudentRow &r) {
        r.xuehao = report.xuehao;
        r.name = report.name;
        r.banji = report.banji;
        if (end) {
            r.final = report;
            r.state = StudentRow::State::Finished;
            return;
        }
        r.computer = report.computer;
        r.inputMethod = report.inputMethod;
        r.live = report;
        const bool allTyped = report.txtCount > 0 && report.inputCount >= report.txtCount;
        const bool timeUp = limit > 0 && report.totalTime >= limit * 60;
        if (allTyped || timeUp || r.final)
            r.state = StudentRow::State::Finished;
        else
            r.state = StudentRow::State::Typing;
    });
    if (end) {
        write(row,
              QStringLiteral("交卷：用时%1秒，共%2字，已输入%3，正确%4，退格%5")
                  .arg(report.totalTime)
                  .arg(report.txtCount)
                  .arg(report.inputCount)
                  .arg(report.right)
                  .arg(report.backspaces),
              false);
        if (!m_resultsFolder.isEmpty())
            (void)saveResults();
    }
}

int ClassConsole::identify(int row, const protocol::Report &report, bool end)
{
    const StudentRow &current = m_roster.at(row);
    if (current.identified() && current.xuehao == report.xuehao)
        return row;
    int gone = -1;
    int stale = -1;
    int other = -1;
    for (int i = 0; i < m_roster.size(); ++i) {
        const StudentRow &candidate = m_roster.at(i);
        if (i == row || candidate.xuehao != report.xuehao)
            continue;
        // An end report carries no computer name: the number alone has to do.
        const bool sameComputer =
            end || candidate.computer.isEmpty() || candidate.computer == report.computer;
        if (candidate.state == StudentRow::State::Gone) {
            if (sameComputer && (gone < 0 || candidate.computer == report.computer))
                gone = i;
        } else if (!end && candidate.computer == report.computer) {
            // The same computer on a new connection before the old one was seen to close.
            stale = i;
        } else {
            other = i;
        }
    }
    const int target = gone >= 0 ? gone : stale;
    if (target >= 0 && !current.identified()) {
        const int id = current.connection;
        const QString peer = current.peer;
        const QStringList replies = current.replies;
        const int problems = current.problems;
        m_roster.update(target, [&](StudentRow &r) {
            r.connection = id;
            r.peer = peer;
            r.replies = replies;
            r.problems += problems;
            r.duplicate = false;
        });
        m_roster.removeRow(row);
        const int kept = target > row ? target - 1 : target;
        write(kept, QStringLiteral("重新连接（%1）").arg(peer));
        return kept;
    }
    if (other >= 0 && !current.duplicate) {
        m_roster.update(row, [](StudentRow &r) { r.duplicate = true; });
        if (m_duplicateNotice)
            m_server.sendTo(current.connection, protocol::duplicateLoginNotice(true));
        write(row, QStringLiteral("学号%1已在%2登录：%3")
                       .arg(report.xuehao, m_roster.at(other).peer,
                            m_duplicateNotice ? QStringLiteral("已发送重复登录警告（0011）")
                                              : QStringLiteral("未发送警告")));
    }
    return row;
}

void ClassConsole::problem(int id, const QString &text, bool ownEvent)
{
    int row = m_roster.rowOfConnection(id);
    if (row < 0) {
        StudentRow fresh;
        fresh.connection = id;
        row = m_roster.addRow(fresh);
    }
    m_roster.update(row, [&text](StudentRow &r) {
        ++r.problems;
        r.lastProblem = text;
    });
    // A flood is not written out line by line: a few lines a second, then a count.
    Budget &budget = m_budgets[id];
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (budget.second != now) {
        if (budget.dropped > 0)
            write(row, QStringLiteral("另有%1条无效消息未记录").arg(budget.dropped), ownEvent);
        budget = {now, 0, 0};
    }
    if (budget.used < kLogBudget) {
        ++budget.used;
        write(row, text, ownEvent);
    } else {
        ++budget.dropped;
    }
}

void ClassConsole::write(int row, const QString &text, bool ownEvent)
{
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    if (row >= 0 && row < m_roster.size())
        line += QStringLiteral("[%1] ").arg(who(m_roster.at(row)));
    line += text;
    m_log << line;
    if (m_log.size() > kLogLines)
        m_log.remove(0, m_log.size() - kLogLines);
    emit logged(row, line, ownEvent);
}
