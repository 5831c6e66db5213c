// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The connection side of the class console: who a connection is, what its reports do to the
// rows, duplicates and the teacher's decisions on them, and the console's clock.
#include "server/ClassConsole.h"

#include "server/ConsoleFormat.h"
#include "server/ReportCheck.h"
#include "server/TestServer.h"

#include <QHostAddress>

namespace {

// Reply codes kept per row.
constexpr int kReplies = 8;
// Reports of a claim held while the old connection is asked.
constexpr int kHeldReports = 8;

QString hostOf(const QString &peer)
{
    return peer.section(u':', 0, -2);
}

} // namespace

void ClassConsole::connected(int id, const QString &peer)
{
    Link link;
    link.peer = peer;
    link.connectedAt = link.lastHeard = m_monotonic.elapsed();
    m_links.insert(id, link);
    StudentRow row;
    row.connection = id;
    row.peer = peer;
    row.state = StudentRow::State::Connected;
    const int at = m_roster.addRow(row);
    write(at, QStringLiteral("已连接：") + peer, false);
}

void ClassConsole::disconnected(int id)
{
    if (const auto it = m_links.constFind(id); it != m_links.cend() && it->claim)
        m_claims.remove(it->claim->number);
    m_links.remove(id);
    const int row = m_roster.rowOfConnection(id);
    // A claim waiting on this connection's row is settled: the connection is gone.
    if (row >= 0 && m_roster.at(row).identified())
        if (const int claimant = m_claims.value(m_roster.at(row).xuehao, 0); claimant > 0)
            resolveClaim(claimant, false);
    const int at = m_roster.rowOfConnection(id);
    if (at < 0)
        return;
    if (!m_roster.at(at).identified()) {
        m_roster.removeRow(at);
        return;
    }
    write(at, QStringLiteral("已断开"), false);
    m_roster.update(at, [](StudentRow &r) {
        r.connection = 0;
        r.silent = false;
        if (!r.finished())
            r.state = StudentRow::State::Gone;
    });
}

void ClassConsole::heard(int id)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    it->lastHeard = m_monotonic.elapsed();
    const int row = m_roster.rowOfConnection(id);
    if (row < 0)
        return;
    if (m_roster.at(row).silent)
        m_roster.update(row, [](StudentRow &r) { r.silent = false; });
    // A connection that speaks while another claims its row is alive.
    if (!m_claims.isEmpty() && m_roster.at(row).identified()) {
        const int claimant = m_claims.value(m_roster.at(row).xuehao, 0);
        if (claimant > 0 && claimant != id)
            resolveClaim(claimant, true);
    }
}

void ClassConsole::reply(int id, const QString &code)
{
    const int row = m_roster.rowOfConnection(id);
    if (row >= 0)
        m_roster.update(row, [&code](StudentRow &r) {
            r.replies << code;
            if (r.replies.size() > kReplies)
                r.replies.removeFirst();
        });
    if (code != QString::fromUtf16(protocol::kTextLoaded))
        return;
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    // From here on its reports are of the text it was just given.
    if (it->phase == Link::Phase::Loading)
        it->phase = Link::Phase::InTest;
}

void ClassConsole::startRequested(int id)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    const int row = m_roster.rowOfConnection(id);
    if (!m_test) {
        if (m_autoStart && m_server.settings().script.text) {
            if (const Status status = openTest({}); !status.ok()) {
                write(row, QStringLiteral("无法开始测试：") + status.error);
                return;
            }
        } else {
            it->phase = Link::Phase::Waiting;
            if (row >= 0 && !m_roster.at(row).finished())
                m_roster.update(row, [](StudentRow &r) { r.state = StudentRow::State::Waiting; });
            write(row, QStringLiteral("按了开始，等老师开始测试"), false);
            return;
        }
    }
    if (collecting()) {
        m_server.sendTo(id, protocol::teacherMessage(QStringLiteral("本次测试时间已到。")));
        write(row, QStringLiteral("时间到后按了开始：未发试题"));
        return;
    }
    if (row >= 0 && m_roster.at(row).finished()) {
        it->phase = Link::Phase::Ended;
        m_server.sendTo(id, protocol::teacherMessage(QStringLiteral(
                                "你已结束本次测试，成绩已保存。请等老师开始下一次测试。")));
        write(row, QStringLiteral("已结束后又按了开始：成绩不变，未发试题"));
        return;
    }
    giveText(id);
}

void ClassConsole::giveText(int id)
{
    const auto it = m_links.find(id);
    ClientSession *session = m_server.session(id);
    if (it == m_links.end() || !session)
        return;
    it->phase = Link::Phase::Loading;
    session->sendText();
    const int row = m_roster.rowOfConnection(id);
    if (row >= 0 && !m_roster.at(row).finished())
        m_roster.update(row, [](StudentRow &r) {
            r.state = StudentRow::State::Started;
            // A new attempt: its time starts again.
            r.lastTime = -1;
        });
}

int ClassConsole::anonymousRow(int id)
{
    const int row = m_roster.rowOfConnection(id);
    if (row >= 0)
        return row;
    // Back in the list: the connection said who it is after its grace period.
    const Link &link = m_links[id];
    StudentRow fresh;
    fresh.connection = id;
    fresh.peer = link.peer;
    fresh.state = readyState(id);
    return m_roster.addRow(fresh);
}

void ClassConsole::report(int id, const protocol::Report &raw, bool end)
{
    const auto it = m_links.find(id);
    if (it == m_links.end())
        return;
    if (const QString error = reportcheck::refusal(raw, end); !error.isEmpty()) {
        problem(id, QStringLiteral("%1：%2").arg(error, consoleformat::report(raw, end)), true);
        return;
    }
    // A report before the client took the text it was just given is of the text before.
    if (it->phase == Link::Phase::Loading)
        return;
    const protocol::Report report = reportcheck::cleaned(raw);
    if (!m_test && m_autoStart && m_server.settings().script.text)
        (void)openTest({});
    int row = m_roster.rowOfConnection(id);
    if (!m_test) {
        if (row >= 0 && m_roster.at(row).resultId > 0)
            m_store.appendReport(m_roster.at(row).resultId, report, !end, 0);
        if (!std::exchange(it->lateLogged, true))
            write(row, QStringLiteral("测试已结束：之后的报告不计入成绩"));
        return;
    }
    it->lateLogged = false;
    if (end)
        it->phase = Link::Phase::Ended;
    else if (it->phase != Link::Phase::Ended)
        it->phase = Link::Phase::InTest;
    if (row >= 0 && m_roster.at(row).identified()) {
        const StudentRow &r = m_roster.at(row);
        if (r.xuehao != report.xuehao) {
            problem(id,
                    QStringLiteral("此连接已是学号%1，学号%2的报告已忽略")
                        .arg(r.xuehao, consoleformat::printable(report.xuehao, 40)),
                    true);
            return;
        }
        apply(row, report, end);
        return;
    }
    if (it->claim) {
        if (it->claim->held.size() < kHeldReports)
            it->claim->held.append({report, end});
        else
            it->claim->held.last() = {report, end};
        return;
    }
    claim(id, report, end);
}

void ClassConsole::claim(int id, const protocol::Report &report, bool end)
{
    Link &link = m_links[id];
    const int target = m_roster.rowOfNumber(report.xuehao);
    if (target < 0) {
        if (m_roster.size() >= kMaxRows) {
            problem(id,
                    QStringLiteral("名单已满%1行，学号%2未加入").arg(kMaxRows).arg(report.xuehao),
                    true);
            return;
        }
        const int row = anonymousRow(id);
        m_roster.update(row, [&](StudentRow &r) {
            r.xuehao = report.xuehao;
            r.name = report.name;
            r.banji = report.banji;
            if (!m_rosterEntries.isEmpty())
                r.flags |= StudentRow::NotOnRoster;
        });
        save(row);
        apply(row, report, end);
        return;
    }
    const StudentRow &owner = m_roster.at(target);
    // The same computer: the computer name of a progress report, else the address.
    const bool sameComputer = !end && !owner.computer.isEmpty() && !report.computer.isEmpty()
                                  ? owner.computer == report.computer
                                  : hostOf(owner.peer) == hostOf(link.peer);
    if (owner.connection <= 0) {
        // Nobody holds the row: an absent student arriving, or the same computer back.
        if (owner.peer.isEmpty() || sameComputer) {
            apply(bind(id, target), report, end);
            return;
        }
        apply(makeDuplicate(id, target, report, false), report, end);
        return;
    }
    if (sameComputer) {
        // Perhaps the old connection is dead and this is the student back: ask it ("0011"
        // with "0", which a client answers at once without showing anything) and hold the
        // report until it answers or the time is up.
        link.claim = Link::Claim{report.xuehao, m_monotonic.elapsed(), {{report, end}}};
        m_claims.insert(report.xuehao, id);
        m_server.sendTo(owner.connection, protocol::duplicateLoginNotice(false));
        write(target,
              QStringLiteral("同一台计算机的新连接（%1）报告了这个学号：询问原连接").arg(link.peer),
              false);
        return;
    }
    const bool notice = m_duplicateNotice;
    if (notice)
        m_server.sendTo(id, protocol::duplicateLoginNotice(true));
    apply(makeDuplicate(id, target, report, notice), report, end);
}

void ClassConsole::resolveClaim(int id, bool ownerAlive)
{
    const auto it = m_links.find(id);
    if (it == m_links.end() || !it->claim)
        return;
    const Link::Claim claim = *std::exchange(it->claim, std::nullopt);
    m_claims.remove(claim.number);
    const int target = m_roster.rowOfNumber(claim.number);
    int row = -1;
    if (target < 0) {
        // The row went meanwhile: the reports claim afresh.
        for (const auto &[report, end] : claim.held)
            this->report(id, report, end);
        return;
    }
    if (ownerAlive) {
        const bool notice = m_duplicateNotice;
        if (notice)
            m_server.sendTo(id, protocol::duplicateLoginNotice(true));
        row = makeDuplicate(id, target, claim.held.first().first, notice);
    } else {
        const int old = m_roster.at(target).connection;
        row = bind(id, target);
        // The old connection stays silent: it is closed, so nothing of it comes back later.
        if (old > 0 && old != id)
            if (ClientSession *session = m_server.session(old))
                session->disconnectClient();
    }
    for (const auto &[report, end] : claim.held)
        apply(row, report, end);
}

int ClassConsole::bind(int id, int target)
{
    const int own = m_roster.rowOfConnection(id);
    StudentRow mine = own >= 0 ? m_roster.at(own) : StudentRow{};
    const Link &link = m_links[id];
    const bool back = !m_roster.at(target).peer.isEmpty();
    const int old = m_roster.at(target).connection;
    if (old > 0 && old != id)
        m_links.remove(old); // its disconnection finds no row
    m_roster.update(target, [&](StudentRow &r) {
        r.connection = id;
        r.peer = link.peer;
        r.replies = mine.replies;
        r.problems += mine.problems;
        r.silent = false;
        if (!r.finished())
            r.state = StudentRow::State::Started;
    });
    int at = target;
    if (own >= 0 && own != target) {
        m_roster.removeRow(own);
        if (own < target)
            --at;
    }
    write(at, back ? QStringLiteral("重新连接（%1）").arg(link.peer)
                   : QStringLiteral("到了（%1）").arg(link.peer));
    save(at);
    return at;
}

int ClassConsole::makeDuplicate(int id, int target, const protocol::Report &report, bool noticeSent)
{
    const StudentRow &owner = m_roster.at(target);
    const QString ownerPeer =
        owner.connection > 0 ? owner.peer : QStringLiteral("%1（已断开）").arg(owner.peer);
    const qint64 ownerId = owner.resultId;
    const int row = anonymousRow(id);
    m_roster.update(row, [&](StudentRow &r) {
        r.xuehao = report.xuehao;
        r.name = report.name;
        r.banji = report.banji;
        r.flags |= StudentRow::Duplicate;
        r.duplicateOf = ownerId;
        r.otherPeer = ownerPeer;
        r.onRoster = m_roster.at(target).onRoster;
    });
    save(row);
    write(row, QStringLiteral("学号%1已由%2登录，本连接%3：%4，等老师决定（保留一个或合并）")
                   .arg(report.xuehao, ownerPeer, m_links.value(id).peer,
                        noticeSent ? QStringLiteral("已发送重复登录警告（0011）")
                                   : QStringLiteral("未发送警告")));
    return row;
}

void ClassConsole::apply(int row, const protocol::Report &report, bool end)
{
    const StudentRow &current = m_roster.at(row);
    const int oldFlags = current.flags;
    const int marks = reportcheck::flags(report, expectedLength(), current.lastTime);
    m_store.appendReport(current.resultId, report, !end, marks);
    if (current.finished() || current.dismissed())
        return; // stored; a finished result stays as it was
    const int limit = m_test ? m_test->setup.timeLimit : 0;
    bool changed =
        (current.flags | marks) != current.flags ||
        (!current.onRoster && (current.name != report.name || current.banji != report.banji)) ||
        (!end &&
         (current.computer != report.computer || current.inputMethod != report.inputMethod));
    StudentRow::Finish finish = StudentRow::Finish::None;
    if (end)
        finish = StudentRow::Finish::EndReport;
    else if (report.txtCount > 0 && report.inputCount >= report.txtCount)
        finish = StudentRow::Finish::Completed;
    else if (limit > 0 && report.totalTime >= limit * 60)
        finish = StudentRow::Finish::TimeUp;
    m_roster.update(row, [&](StudentRow &r) {
        // The roster's name and class are the teacher's; others come from the student.
        if (!r.onRoster) {
            r.name = report.name;
            r.banji = report.banji;
        }
        r.flags |= marks;
        r.lastTime = report.totalTime;
        if (!end) {
            r.computer = report.computer;
            r.inputMethod = report.inputMethod;
            r.live = report;
        }
        r.state = StudentRow::State::Typing;
        if (finish != StudentRow::Finish::None) {
            r.finish = finish;
            r.final = report;
            r.state = StudentRow::State::Finished;
            r.silent = false;
        }
    });
    if (marks & StudentRow::FigureFlags & ~oldFlags)
        write(row, QStringLiteral("成绩可疑（%1），不计入全班统计：%2")
                       .arg(StudentRow::flagsText(marks & ~oldFlags),
                            consoleformat::report(report, end)));
    if (finish != StudentRow::Finish::None) {
        changed = true;
        if (Link *link = m_links.contains(m_roster.at(row).connection)
                             ? &m_links[m_roster.at(row).connection]
                             : nullptr)
            link->phase = Link::Phase::Ended;
        write(row,
              QStringLiteral("结束（%1）：用时%2秒，共%3字，已输入%4，正确%5，退格%6")
                  .arg(StudentRow::finishText(finish))
                  .arg(report.totalTime)
                  .arg(report.txtCount)
                  .arg(report.inputCount)
                  .arg(report.right)
                  .arg(report.backspaces),
              false);
        scheduleExport();
    }
    if (changed)
        save(row);
}

Status ClassConsole::decideDuplicate(int row, Decision decision)
{
    if (row < 0 || row >= m_roster.size() || !m_roster.at(row).duplicate())
        return Status::failure(QStringLiteral("这一行不是重复登录"));
    const int first = m_roster.rowOfNumber(m_roster.at(row).xuehao);
    const auto dismiss = [this](int at) {
        const int connection = m_roster.at(at).connection;
        m_roster.update(at, [](StudentRow &r) {
            r.flags |= StudentRow::Dismissed;
            r.connection = 0;
        });
        save(at);
        if (connection > 0) {
            m_links.remove(connection);
            if (ClientSession *session = m_server.session(connection))
                session->disconnectClient();
        }
    };
    const QString number = m_roster.at(row).xuehao;
    switch (decision) {
    case Decision::KeepFirst:
        dismiss(row);
        m_roster.removeRow(row);
        write(first >= 0 && first > row ? first - 1 : first,
              QStringLiteral("重复登录：保留原来的，另一个连接已断开"));
        return Status::success();
    case Decision::KeepSecond:
        if (first >= 0) {
            dismiss(first);
            m_roster.removeRow(first);
            if (first < row)
                --row;
        }
        m_roster.update(row, [](StudentRow &r) {
            r.flags &= ~int(StudentRow::Duplicate);
            r.duplicateOf = 0;
            r.otherPeer.clear();
        });
        save(row);
        write(row, QStringLiteral("重复登录：保留新的，原来的连接已断开"));
        return Status::success();
    case Decision::Merge: {
        if (first < 0)
            return decideDuplicate(row, Decision::KeepSecond);
        const StudentRow second = m_roster.at(row);
        const int oldConnection = m_roster.at(first).connection;
        m_roster.update(first, [&](StudentRow &r) {
            if (second.connection > 0) {
                r.connection = second.connection;
                r.peer = second.peer;
                r.replies = second.replies;
            }
            if (!second.computer.isEmpty())
                r.computer = second.computer;
            // The later attempt's figures, unless the row has a result already.
            if (!r.finished() && second.figures()) {
                r.live = second.live;
                r.final = second.final;
                r.finish = second.finish;
                r.flags |= second.flags & StudentRow::FigureFlags;
                r.lastTime = second.lastTime;
                r.state = second.state;
            } else if (!r.finished()) {
                r.state = second.state;
            }
        });
        m_roster.update(row, [](StudentRow &r) {
            r.flags |= StudentRow::Dismissed;
            r.connection = 0;
        });
        save(row);
        m_roster.removeRow(row);
        const int kept = first > row ? first - 1 : first;
        save(kept);
        if (oldConnection > 0 && oldConnection != second.connection) {
            m_links.remove(oldConnection);
            if (ClientSession *session = m_server.session(oldConnection))
                session->disconnectClient();
        }
        write(kept, QStringLiteral("重复登录：学号%1的两行已合并").arg(number));
        return Status::success();
    }
    }
    return Status::success();
}

void ClassConsole::problem(int id, const QString &text, bool ownEvent)
{
    const int row = m_roster.rowOfConnection(id);
    if (row >= 0)
        m_roster.update(row, [&text](StudentRow &r) {
            ++r.problems;
            r.lastProblem = text;
        });
    const auto it = m_links.find(id);
    if (it == m_links.end()) {
        write(row, text, ownEvent);
        return;
    }
    // A flood is not written out line by line: a few lines a second, then a count.
    const qint64 second = m_monotonic.elapsed() / 1000;
    if (it->budgetSecond != second) {
        if (it->budgetDropped > 0)
            write(row, QStringLiteral("另有%1条无效消息未记录").arg(it->budgetDropped), ownEvent);
        it->budgetSecond = second;
        it->budgetUsed = 0;
        it->budgetDropped = 0;
    }
    if (it->budgetUsed < kLogBudget) {
        ++it->budgetUsed;
        write(row, text, ownEvent);
    } else {
        ++it->budgetDropped;
    }
}

void ClassConsole::tick()
{
    const qint64 time = m_monotonic.elapsed();
    // Claims whose old connection did not answer in time: the student is back.
    const QList<int> ids = m_links.keys();
    for (int id : ids) {
        const Link &link = m_links.value(id);
        if (link.claim && time - link.claim->since >= m_timing.probeMs)
            resolveClaim(id, false);
    }
    for (int row = m_roster.size() - 1; row >= 0; --row) {
        const StudentRow &r = m_roster.at(row);
        if (r.connection <= 0)
            continue;
        const auto link = m_links.constFind(r.connection);
        if (link == m_links.cend())
            continue;
        if (!r.identified()) {
            // Connections that do not say who they are leave the list (they stay counted).
            if (!link->claim && time - link->connectedAt >= m_timing.anonymousGraceMs)
                m_roster.removeRow(row);
            continue;
        }
        const bool silent =
            r.state == StudentRow::State::Typing && time - link->lastHeard > m_timing.silenceMs;
        if (silent != r.silent)
            m_roster.update(row, [silent](StudentRow &s) { s.silent = silent; });
    }
    if (m_exportDue > 0 && time >= m_exportDue)
        (void)saveResults();
    if (!m_test)
        return;
    const std::optional<int> left = secondsLeft();
    if (left && *left <= 0 && !collecting()) {
        m_collectingSince = std::max<qint64>(1, time);
        write(-1, QStringLiteral("时间到：等待还在测试的学生的最后报告（最多%1秒）")
                      .arg(m_timing.limitGraceMs / 1000));
    }
    if (collecting()) {
        const bool typing =
            std::any_of(m_roster.rows().cbegin(), m_roster.rows().cend(), [](const StudentRow &r) {
                return !r.finished() && r.connection > 0 && !r.silent &&
                       r.state == StudentRow::State::Typing;
            });
        if (!typing || time - m_collectingSince >= m_timing.limitGraceMs)
            closeTest(StudentRow::Finish::ClassTimeUp, QStringLiteral("time-limit"));
    }
}
