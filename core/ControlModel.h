// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

// What the handlers set and read on one control of the main window (a button, the hint check
// box, a label, a panel): enabled, visible, caption and check mark. The main window shows it
// through a widget bound to it and forwards the widget's clicks here. It holds no widget.
class ControlModel : public QObject
{
    Q_OBJECT
public:
    explicit ControlModel(const QString &text = {}, bool enabled = true, QObject *parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    const QString &text() const { return m_text; }
    void setText(const QString &text);
    void clear() { setText(QString()); }
    bool isChecked() const { return m_checked; }
    void setChecked(bool checked);

    // Asks the view to give this control the keyboard focus.
    void setFocus() { emit focusRequested(); }
    // A click of the control as the student makes it: a check box toggles first. Ignored while
    // disabled, as a disabled widget takes no clicks.
    void click();

signals:
    void enabledChanged(bool enabled);
    void visibleChanged(bool visible);
    void textChanged(const QString &text);
    void checkedChanged(bool checked);
    void focusRequested();
    void clicked();

private:
    QString m_text;
    bool m_enabled;
    bool m_visible = true;
    bool m_checked = false;

public:
    bool checkable = false; // a check box: click() toggles the check mark
};
