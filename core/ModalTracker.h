// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Dialogs.h"

#include <QObject>

// Counts the client's modal windows that are open: message boxes, the end question, the result
// window. While one is open the student answers it and nothing else; the server's messages that
// would change the test wait until the last one has closed (the message handler listens to
// allClosed), so that no message lands in the middle of a question or a result.
class ModalTracker : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool isOpen() const { return m_open > 0; }
    int openCount() const { return m_open; }
    void enter() { ++m_open; }
    void leave()
    {
        if (m_open > 0 && --m_open == 0)
            emit allClosed();
    }

signals:
    // The last open modal window has closed. Emitted from inside the code that closed it.
    void allClosed();

private:
    int m_open = 0;
};

// Holds a modal window open in the tracker for as long as it lives.
class ModalScope
{
public:
    explicit ModalScope(ModalTracker &tracker)
        : m_tracker(tracker)
    {
        m_tracker.enter();
    }
    ~ModalScope() { m_tracker.leave(); }
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;

private:
    ModalTracker &m_tracker;
};

// The platform's message boxes, each counted as an open modal window while it is shown.
class TrackedDialogs final : public Dialogs
{
public:
    TrackedDialogs(Dialogs *boxes, ModalTracker &tracker)
        : m_boxes(boxes)
        , m_tracker(tracker)
    {}

    Button message(Icon icon, const QString &title, const QString &text, int buttons,
                   Button defaultButton) override
    {
        if (!m_boxes)
            return defaultButton != NoButton ? defaultButton : Ok;
        const ModalScope open(m_tracker);
        return m_boxes->message(icon, title, text, buttons, defaultButton);
    }

private:
    Dialogs *m_boxes;
    ModalTracker &m_tracker;
};
