// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/PracticeSession.h"

#include "core/ClientState.h"
#include "practice/PracticeHost.h"
#include "practice/PracticeRequest.h"

#include <QDir>
#include <QTimer>

PracticeSession::PracticeSession(ClientState &state, PracticeHost &host, QObject *parent)
    : QObject(parent)
    , Timer1(new QTimer(this))
    , m_state(state)
    , m_host(host)
    , m_random(rootdraw::systemRandom())
{
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &PracticeSession::Timer1_Timer);
}

QString PracticeSession::Form_Load(const QString &appDir, int panelWidth)
{
    RootTable::Load load = RootTable::read(QDir(appDir).filePath(QStringLiteral("86zg.dat")));
    m_table = load.table;
    // Without its file the window keeps only the first label.
    m_strip.createLabels(load.found ? RootStrip::kLabels : 1, panelWidth);
    emit stripChanged(m_strip);
    Timer1->start();
    return load.warning;
}

PracticeSession::Start PracticeSession::LoadForm(const QString &text)
{
    // Everything is checked before anything changes: a bad message leaves a running practice
    // as it was.
    const PracticeRequest::Parse parsed = PracticeRequest::parse(text);
    if (!parsed.request)
        return {parsed.error, QString()};
    m_zone = parsed.request->zone;
    m_count = parsed.request->count;

    const QString pool = m_table.pool(m_zone).value_or(QString());
    Start start;
    if (pool.isEmpty() && m_count >= 1) {
        // Nothing can be drawn: the exercise stays empty instead of drawing forever.
        const QString which =
            m_zone < 1 ? QStringLiteral("全部字根") : QStringLiteral("第%1区的字根").arg(m_zone);
        start.notice = QStringLiteral("字根表中没有%1，本次练习没有字根可练。"
                                      "请检查程序目录中的字根表文件86zg.dat。")
                           .arg(which);
    }
    m_strip.start(rootdraw::exercise(pool, m_count, m_random));
    m_wrongKeys = 0;
    // The session resets the counters and the time and starts the clock.
    m_practice = m_host.beginPractice(m_strip.length());

    emit stripChanged(m_strip);
    if (m_state.NumTxtCount >= 1)
        emit progressChanged(m_state.NumTxtCount, 0);
    emit displayChanged(display());
    return start;
}

QChar PracticeSession::keyLetter(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(u'A' + (key - Qt::Key_A));
    return {};
}

void PracticeSession::RTinput_KeyUp(int key)
{
    // The expected letter comes from the labels as they are before a page turn.
    const QString root = m_strip.nextRoot();
    const std::optional<QString> expected =
        root.isEmpty() ? std::nullopt : m_table.keyOf(root.at(0));

    m_strip.turnPageIfFull();

    // Once the practice is over (ended, left, or replaced by a new test) no key is accepted:
    // the counters belong to the session's current test.
    const bool running = isRunning();
    const QChar letter = keyLetter(key);
    if (running && expected && !letter.isNull() && QString(letter) == expected->toUpper()) {
        m_strip.acceptNext();
        if (m_state.NumTxtInputCount < ClientState::kMaxCount)
            ++m_state.NumTxtInputCount;
        if (m_state.NumTxtRight < ClientState::kMaxCount)
            ++m_state.NumTxtRight;
    } else if (running && expected && !expected->isEmpty() && !letter.isNull()) {
        // A wrong letter: the root shows it and the session counts it for the result. Keys
        // that are no letter (Shift, the arrows) are no answer at all.
        const QChar right = expected->toUpper().at(0);
        ++m_wrongKeys;
        emit wrongKey(int(m_strip.typed().size()), right);
        m_host.practiceMistake(m_practice, root, letter, right);
    }

    if (running && m_state.NumTxtInputCount >= m_state.NumTxtCount) {
        // The last root stands in the typing box while the result window is open.
        emit stripChanged(m_strip);
        m_host.practiceFinished(m_practice);
    }

    m_strip.recolour();
    emit stripChanged(m_strip);
}

void PracticeSession::Pmid_Resize(int panelWidth)
{
    m_strip.relayout(panelWidth);
    emit stripChanged(m_strip);
}

void PracticeSession::Timer1_Timer()
{
    // The seconds, the time limit and the reports are the test clock's; this only shows them.
    if (m_state.NumTxtCount >= 1)
        emit progressChanged(m_state.NumTxtCount, m_state.NumTxtInputCount);
    emit displayChanged(display());
}

bool PracticeSession::Form_QueryUnload()
{
    if (!isRunning())
        return false;
    if (!m_host.confirmLeave(QStringLiteral("正在进行测试，确实要退出吗？")))
        return true;
    // Leaving ends the practice, so the main window is not left marked as running a test.
    m_host.practiceLeft(m_practice);
    return false;
}

PracticeDisplay PracticeSession::display() const
{
    const figures::Display figures = figures::display(m_state.counts(), m_state.MaxTime);
    PracticeDisplay d;
    d.speed = figures.speed;
    d.progress = figures.progress;
    d.timing = figures.timing;
    d.elapsed = figures.elapsed;
    d.remaining = figures.remaining;
    d.chartShown = m_state.Zigen;
    return d;
}
