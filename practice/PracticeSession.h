// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "practice/PracticeDisplay.h"
#include "practice/PracticeHost.h"
#include "practice/RootDraw.h"
#include "practice/RootStrip.h"
#include "practice/RootTable.h"

#include <QObject>
#include <QString>

struct ClientState;
class QTimer;

// One root practice window's logic: the root table, the exercise and its strip, judging of
// key releases and the one-second display refresh. Each exercise is a test of the client's
// test session (through PracticeHost): the session times, reports and ends it. Key releases
// count into the client's shared counters only while the exercise is the session's running
// test. The window shows what this publishes and forwards its events here.
class PracticeSession : public QObject
{
    Q_OBJECT
public:
    // What starting a practice gave: an error for the dispatcher's error box (nothing was
    // changed then), or a notice for the student once the window shows.
    struct Start
    {
        QString error;
        QString notice;
        bool ok() const { return error.isEmpty(); }
    };

    PracticeSession(ClientState &state, PracticeHost &host, QObject *parent = nullptr);

    // Loading the window: reads 86zg.dat from `appDir`, creates the root labels for a strip
    // panel `panelWidth` twips wide and starts the display timer. Returns the warning to show,
    // or an empty text.
    QString Form_Load(const QString &appDir, int panelWidth);
    // Starts the practice asked for by a "<zg>" text.
    Start LoadForm(const QString &text);
    // A key released in the typing box, with its Qt key code.
    void RTinput_KeyUp(int key);
    // The strip panel is now `panelWidth` twips wide.
    void Pmid_Resize(int panelWidth);
    // A tick of the one-second display timer: the statistics row and the root chart.
    void Timer1_Timer();
    // The display timer: it ticks from the window's load until the window is gone.
    QTimer *Timer1;
    // A close request. True when the close is refused.
    bool Form_QueryUnload();

    // The statistics row from the counters as they are now, without counting time.
    PracticeDisplay display() const;

    const RootTable &table() const { return m_table; }
    const RootStrip &strip() const { return m_strip; }
    int NumZgZone() const { return m_zone; }
    int NumZgCount() const { return m_count; }
    // Wrong letters pressed in this exercise.
    int wrongKeys() const { return m_wrongKeys; }
    // True while this window's practice runs: from its start until it ends, is left or a new
    // test takes its place.
    bool isRunning() const { return m_practice != 0 && m_host.isRunning(m_practice); }

    void setRandom(rootdraw::Random random) { m_random = std::move(random); }

    // The letter a Qt key code stands for (A to Z), or a null character for any other key.
    static QChar keyLetter(int key);

signals:
    void stripChanged(const RootStrip &strip);
    // The progress bar's range and value; not sent for an exercise without roots.
    void progressChanged(int maximum, int value);
    void displayChanged(const PracticeDisplay &display);
    // A wrong letter for the root in label `label`, whose key is `right`.
    void wrongKey(int label, QChar right);

private:
    ClientState &m_state;
    PracticeHost &m_host;
    rootdraw::Random m_random;
    RootTable m_table;
    RootStrip m_strip;
    int m_zone = 0;
    int m_count = 0;
    quint64 m_practice = 0; // the session's identity of the exercise shown
    int m_wrongKeys = 0;
};
