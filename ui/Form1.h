// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "client/ClientLogic.h"
#include "core/widgets/StatisticsRow.h"
#include "typing/widgets/MessageWindows.h"
#include "ui/MainWidgets.h"

#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <memory>

class Form6;
class ModalRunner;
class PracticeSession;

// The main window: it owns the client's logic, creates and lays out the widgets, binds each to
// its model in client().ui and runs what only a window can (settings dialogs, message and
// result windows). Geometry follows the design in twips, converted with the screen's DPI.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // Settings dialogs run through `modal`; message boxes through services.dialogs.
    Form1(const Services &services, ModalRunner &modal, QWidget *parent = nullptr);
    ~Form1() override;

    Client &client() { return m_logic->client(); }
    ClientLogic &logic() { return *m_logic; }
    const MainWidgets &widgets() const { return m_widgets; }
    MessageWindows &windows() { return *m_windows; }
    // The root practice window while it is loaded, or nullptr.
    Form6 *practiceWindow() const;

    // Twips to pixels and back at this window's logical DPI (15 twips a pixel at 96 DPI).
    int px(int twips) const;
    int twips(int pixels) const;

    // The five layout rules, run on every resize of the window.
    void layoutWindow();
    void layoutTop();
    void layoutMid();
    void layoutBottom();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void createControls();
    void bindControls();
    MessageWindows::Clearance messageClearance() const;
    void showRoots();
    void placeRoots();
    void fitToScreen();
    void loadPracticeWindow(PracticeSession *session);
    void showPracticeWindow();

    std::unique_ptr<ClientLogic> m_logic;
    ModalRunner &m_modal;
    MainWidgets m_widgets;
    std::unique_ptr<MessageWindows> m_windows;
    QPointer<Form6> m_practiceWindow;
    StatisticsRow m_statistics;
    QMargins m_fittedFrame; // the frame the last fit to the screen used
};
