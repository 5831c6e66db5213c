#pragma once

#include "core/Client.h"

#include <QWidget>

#include <memory>

// The main window: it owns the client, creates and lays out the controls and forwards the
// close request. Geometry follows the design in twips, converted with the screen's DPI.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    Client &client() { return *m_client; }

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
    void updateMinimumWidth();

    MainControls m_controls;
    std::unique_ptr<Client> m_client;
};
