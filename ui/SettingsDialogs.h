// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

class Client;
class Dialogs;
class ModalRunner;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The personal information dialog Form2 ("个人信息"), run modally over `parent`.
void showForm2(Client &client, ModalRunner &runner, QWidget *parent);
// The server settings dialog Form3 ("服务器设置"), run modally over `parent`.
void showForm3(Client &client, ModalRunner &runner, QWidget *parent);

namespace settingsdialogs {

// The label, text box and button styles the two dialogs share.
QLabel *makeLabel(QWidget *parent, const QString &caption);
QLineEdit *makeTextBox(QWidget *parent, const QString &text, int maxLength);
QPushButton *makeButton(QWidget *parent, const QString &caption);

// Writes the keys of one section of appset.ini in turn and collects the failures, so the
// student learns when the new values will not outlive this run.
// After the settings were stored: the completion message when `errors` (from AppSettings) is
// empty, else a warning that says why the settings could not be saved.
void reportSaved(Dialogs &dialogs, const QStringList &errors);

} // namespace settingsdialogs
