// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class ChoiceList;
class ControlModel;
class ProgressModel;
class QAbstractButton;
class QComboBox;
class QLabel;
class QProgressBar;
class QWidget;
class StatusBar;
class StatusPanels;

// Binds a widget of the main window to its model: the widget shows what the model holds from
// now on, and the student's actions on the widget go to the model. The widget must not outlive
// the model.
namespace bind {

// Enabled, visible and focus requests.
void widget(ControlModel *model, QWidget *widget);
// A push button or check box: also caption, check mark and clicks.
void button(ControlModel *model, QAbstractButton *button);
// A label: also its text; a label that fits its text is resized after every change.
void label(ControlModel *model, QLabel *label, bool fitText);
void progress(ProgressModel *model, QProgressBar *bar);
void choices(ChoiceList *model, QComboBox *box);
void status(StatusPanels *model, StatusBar *bar);

} // namespace bind
