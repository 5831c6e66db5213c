// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class QPlainTextEdit;

// The message window "来自服务器的消息": the teacher's messages, one under the other, in a
// read-only text area that fills the window.
class Form4 : public QWidget
{
    Q_OBJECT
public:
    explicit Form4(QWidget *parent = nullptr);

    // Adds text at the end of the text area and shows the end.
    void appendText(const QString &text);
    // Keeps Text1 over the whole client area.
    void Form_Resize();

    QPlainTextEdit *Text1;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
