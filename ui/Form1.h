#pragma once

#include "client/ClientLogic.h"
#include "ui/MainWidgets.h"

#include <QWidget>

#include <memory>

class MessageWindows;
class ModalRunner;

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

private:
    void createControls();
    void bindControls();
    void showRoots();
    void placeRoots();
    void updateMinimumWidth();

    std::unique_ptr<ClientLogic> m_logic;
    ModalRunner &m_modal;
    MainWidgets m_widgets;
    std::unique_ptr<MessageWindows> m_windows;
};
