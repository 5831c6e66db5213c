// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "typing/widgets/Form4.h"
#include "typing/widgets/Form5.h"

#include <QDateTime>
#include <QPointer>
#include <QRect>
#include <QString>

#include <deque>
#include <functional>

#include "typing/TestResult.h"

class QWidget;

// The server message window Form4 and the result window Form5 of one client. Each exists
// only while it is open and is built afresh when next needed.
class MessageWindows
{
public:
    using Clock = std::function<QDateTime()>;
    // Starts the practice of a result's mistyped characters; `test` is the result's test.
    using PracticeStarter = std::function<void(quint64 test, const QString &cuowu)>;
    // What a teacher's message must leave to the student: the window typed in now, the part
    // of it that must stay visible (the text and the typing box, in global coordinates) and
    // whether a test runs. Asked each time a message arrives.
    struct Clearance
    {
        QWidget *window = nullptr;
        QRect keepClear;
        bool testRunning = false;
    };
    using ClearanceQuery = std::function<Clearance()>;

    // The windows open over `window` (the main window).
    explicit MessageWindows(QWidget *window);
    ~MessageWindows();

    // Appends a teacher's message with a time stamp and shows the message window. While a test
    // runs the window opens without taking the keyboard and clear of the typing box; between
    // tests it opens as the active window.
    void PrintText(const QString &text);
    // Fills the result window and shows it modally; returns when it has closed. A result that
    // comes while the window is open waits and shows once the window has closed: a result on
    // the screen is never replaced by another.
    void showMsg(const QString &xingming, const QString &xuehao, const QString &banji,
                 const QString &msg, const QString &cuowu);
    void showMsg(const TestResult &result);
    // The practice link: starts a practice test on the kept error characters and closes the
    // result window.
    void Label3_Click();
    // Closes the result window, if open.
    void CloseResult();

    QWidget *form4() const; // the open message window, or nullptr
    Form4 *messageWindow() const { return m_form4; }
    Form5 *resultWindow() const { return m_form5; } // the open result window, or nullptr

    // The stamp put in front of a message: the local date in the locale's short form and the
    // time with seconds.
    static QString timeStamp(const QDateTime &when);

    // Where the time stamps come from (the local clock unless a test sets another).
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // What the practice link runs (the main window sets the typing engine's rst).
    void setPracticeStarter(PracticeStarter starter) { m_startPractice = std::move(starter); }
    // Where the student types (without it, messages open as active windows over `window`).
    void setClearance(ClearanceQuery query) { m_clearance = std::move(query); }

private:
    void placeMessageWindow(const Clearance &clearance);

    QWidget *m_window;
    QPointer<Form4> m_form4;
    QPointer<Form5> m_form5;
    Clock m_clock;
    PracticeStarter m_startPractice;
    TestResult m_shown; // the result in the open window
    std::deque<TestResult> m_waiting;
    ClearanceQuery m_clearance;
};
