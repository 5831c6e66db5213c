// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QWidget>

class QSvgRenderer;

// A built-in vector picture stretched over the whole widget, sharp at any size.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(const QString &resource, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer *m_renderer;
};
