// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class Client;
class QLabel;
class QLineEdit;
class QPushButton;

// The personal information dialog "个人信息": student number, name and class. It is filled
// from the client state when built; OK checks the fields, updates the state and the status
// bar and stores the values in appset.ini.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    explicit Form2(Client &client, QWidget *parent = nullptr);

    void Command1_Click(); // OK
    void Command2_Click(); // cancel

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Text1; // student number
    QLineEdit *Text2; // name
    QLineEdit *Text3; // class
    QPushButton *Command1;
    QPushButton *Command2;

private:
    // Refuses an identity field that could not travel or be stored: it names the field, puts
    // the focus in it and returns false.
    bool checkField(QLineEdit *field, const QString &caption);

    Client &m_client;
};
