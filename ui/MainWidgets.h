// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;
class RichTextBox;
class StatusBar;

// The widgets of the main window, by the names of the controls they show. Form1 creates and
// lays them out and binds each to its model in Client::ui; nothing else sets them.
struct MainWidgets
{
    QWidget *Ptop = nullptr;
    QWidget *Pmid = nullptr;
    QWidget *Pmid2 = nullptr;
    QWidget *Pbottom = nullptr;

    QPushButton *cmdlianjie = nullptr;
    QPushButton *cmdread = nullptr;
    QPushButton *cmdexit = nullptr;
    QPushButton *btnzigen = nullptr;
    QPushButton *cmdserverset = nullptr;
    QPushButton *cmduserset = nullptr;
    QCheckBox *cts = nullptr;

    QWidget *Image3 = nullptr; // logo
    QLabel *Label5 = nullptr;  // title
    QWidget *Image2 = nullptr; // blue band behind the statistics row
    QLabel *Label3 = nullptr;
    QLabel *Lmsg2 = nullptr;
    QLabel *Label4 = nullptr;
    QProgressBar *pb = nullptr;
    QLabel *Lmsg = nullptr; // sized to its text
    QLabel *Ltimel1 = nullptr;
    QLabel *Ltime = nullptr;
    QLabel *Ltimel2 = nullptr;
    QLabel *Ltime2 = nullptr;
    QLabel *Ltimel3 = nullptr;
    QLabel *Ltime3 = nullptr;
    QLabel *LBM = nullptr; // sized to its text; the root slots follow it
    std::array<QLabel *, 4> Imgzg{};

    RichTextBox *txt1 = nullptr;
    RichTextBox *txt2 = nullptr;
    QWidget *Image1 = nullptr; // root chart on Pmid2

    QWidget *Imgfoot = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cmbshurufa = nullptr;
    QLabel *Label1 = nullptr;

    StatusBar *sb = nullptr;
};
