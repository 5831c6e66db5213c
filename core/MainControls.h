// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/ChoiceList.h"
#include "core/ControlModel.h"
#include "core/ProgressModel.h"
#include "core/StatusPanels.h"
#include "core/TextModel.h"

#include <QObject>
#include <QTimer>

#include <array>

// What the handlers drive on the main window, as models without widgets: the main window binds
// a widget to each and forwards the student's actions to them. The names are those of the
// main window's controls. The two timers are the window's clocks.
class MainControls : public QObject
{
    Q_OBJECT
public:
    explicit MainControls(QObject *parent = nullptr);

    ControlModel *Ptop;
    ControlModel *Pmid;  // the two text boxes
    ControlModel *Pmid2; // the root chart, hidden at start

    ControlModel *cmdlianjie;
    ControlModel *cmdread;
    ControlModel *cmdexit;
    ControlModel *btnzigen;
    ControlModel *cmdserverset;
    ControlModel *cmduserset;
    ControlModel *cts;

    ControlModel *Lmsg2; // speed
    ProgressModel *pb;
    ControlModel *Lmsg; // progress text
    ControlModel *Ltime;
    ControlModel *Ltime2;
    ControlModel *Ltime3;
    ControlModel *LBM; // the code hint
    // Glyph number (1-206) each root slot Imgzg shows, 0 for none; rootsChanged follows a change.
    std::array<int, 4> Imgzg{};

    TextModel *txt1;
    TextModel *txt2;
    ChoiceList *cmbshurufa;
    StatusPanels *sb;

    QTimer *Timer3; // test clock, 1000 ms
    QTimer *Timer4; // connection display, 500 ms

    // Sets the glyph of one root slot and tells the view.
    void setRootSlot(int slot, int glyph);
    // Asks the view to place the root slots after the hint text as it stands now.
    void placeRootSlots() { emit rootSlotsPlaced(); }

signals:
    void rootsChanged();
    void rootSlotsPlaced();
};
