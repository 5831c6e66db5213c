// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/MessageWindows.h"

#include "core/widgets/Geometry.h"
#include "core/widgets/LinkLabel.h"
#include "typing/widgets/Form4.h"
#include "typing/widgets/Form5.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>

#include <exception>

MessageWindows::MessageWindows(QWidget *window)
    : m_window(window)
    , m_clock([] { return QDateTime::currentDateTime(); })
{}

MessageWindows::~MessageWindows()
{
    // The windows are children of the main window, which may outlive this object by a moment.
    delete m_form4.data();
    delete m_form5.data();
}

QString MessageWindows::timeStamp(const QDateTime &when)
{
    return QLocale().toString(when.date(), QLocale::ShortFormat) + u' ' +
           when.time().toString(QStringLiteral("H:mm:ss"));
}

void MessageWindows::PrintText(const QString &text)
{
    const Clearance clearance = m_clearance ? m_clearance() : Clearance{m_window, {}, false};
    const bool opening = !m_form4;
    if (opening) {
        m_form4 = new Form4(m_window);
        // Closing the window discards it and its text; the next message opens a new one.
        m_form4->setAttribute(Qt::WA_DeleteOnClose);
    }
    // Every message starts on a new line, so the first one follows an empty line. Carriage
    // returns in the message would show as boxes; they become line breaks.
    QString message = text;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    m_form4->appendText(u'\n' + timeStamp(m_clock()) + QStringLiteral("  来自服务器的消息：") +
                        message);
    if (opening)
        placeMessageWindow(clearance);
    // During a test every key belongs to the typing box: a message that took the keyboard
    // would swallow what the student types next while the clock runs. The window comes up
    // without activation (the window manager is told so) and the keyboard stays where it is.
    m_form4->setAttribute(Qt::WA_ShowWithoutActivating, clearance.testRunning);
    m_form4->show();
    m_form4->raise();
    if (!clearance.testRunning)
        m_form4->activateWindow();
}

void MessageWindows::placeMessageWindow(const Clearance &clearance)
{
    QWidget *owner = clearance.window ? clearance.window : m_window;
    if (!owner || !owner->isVisible() || !clearance.keepClear.isValid())
        return;
    QScreen *screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The message window is not shown yet: the owner's frame stands in for its own.
    const QMargins frame = frameMargins(m_form4, owner);
    const QSize frameSize = m_form4->size().grownBy(frame);
    // Three lines of messages are the least worth a window of their own.
    const int minHeight =
        m_form4->Text1->fontMetrics().lineSpacing() * 3 + frame.top() + frame.bottom();
    const QRect place = placeClearOf(screen->availableGeometry(), owner->frameGeometry(),
                                     clearance.keepClear, frameSize, minHeight);
    m_form4->resize(place.size().shrunkBy(frame));
    m_form4->move(place.topLeft());
}

void MessageWindows::showMsg(const QString &xingming, const QString &xuehao, const QString &banji,
                             const QString &msg, const QString &cuowu)
{
    TestResult result;
    result.xingming = xingming;
    result.xuehao = xuehao;
    result.banji = banji;
    result.msg = msg;
    result.cuowu = cuowu;
    showMsg(result);
}

void MessageWindows::showMsg(const TestResult &result)
{
    if (m_form5) {
        m_waiting.push_back(result);
        return;
    }
    TestResult next = result;
    for (;;) {
        QPointer<Form5> form = new Form5(m_window);
        m_form5 = form;
        m_shown = next;
        form->fill(next);
        QObject::connect(form->Label3, &LinkLabel::clicked, form, [this] { Label3_Click(); });
        centerOnScreen(form);
        // The window's own modal loop: the caller waits here until the window has closed.
        form->exec();
        delete form.data();
        if (m_waiting.empty())
            return;
        next = m_waiting.front();
        m_waiting.pop_front();
    }
}

void MessageWindows::Label3_Click()
{
    if (!m_form5)
        return;
    const QString cuowu = m_form5->cuowu();
    try {
        if (m_startPractice)
            m_startPractice(m_shown.test, cuowu);
    } catch (const std::exception &) {
        // The window closes even when the practice could not start.
    }
    CloseResult();
}

void MessageWindows::CloseResult()
{
    if (m_form5)
        m_form5->done(QDialog::Accepted);
}

QWidget *MessageWindows::form4() const
{
    return m_form4;
}
