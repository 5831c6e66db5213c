// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class Client;
class QLabel;
class QLineEdit;
class QPushButton;

// The server settings dialog "服务器设置": address and port of the test server. OK checks
// the port, updates the client state and stores both values in appset.ini.
class Form3 : public QDialog
{
    Q_OBJECT
public:
    explicit Form3(Client &client, QWidget *parent = nullptr);

    void Command1_Click(); // OK
    void Command2_Click(); // cancel

    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *Text1; // server address
    QLineEdit *Text2; // port
    QPushButton *Command1;
    QPushButton *Command2;

private:
    Client &m_client;
};
