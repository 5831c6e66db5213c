// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class GapLabel;
class QLabel;
class QProgressBar;
class QWidget;

// The statistics row of the main window and of the root practice window, inside the blue band:
// speed, progress (caption, bar, text) from the left, the three timing pairs hanging from the
// right edge, 7900 twips from it.
//
// The progress text changes every second and the window may be narrow, so the row keeps room
// for the longest progress text of the test shown ("1/30(正确100%)" keeps room for
// "30/30(正确100%)"): where it would reach the timing labels, the bar gives up width first;
// where even the shortest bar leaves no room, the timing labels take a second line inside the
// band. The row thus never changes within a test, never overlaps itself and holds the longest
// figures there are (kLongestProgress, kLongestTime) at any width from minimumWidth() on.
struct StatisticsRow
{
    GapLabel *speedCaption = nullptr; // "速度：       字/分", the speed value in its gap
    QLabel *speed = nullptr;
    QLabel *progressCaption = nullptr; // "进度："
    QProgressBar *bar = nullptr;
    QLabel *progress = nullptr; // sized to its text
    QLabel *timingCaption = nullptr;
    QLabel *timing = nullptr;
    QLabel *elapsedCaption = nullptr;
    QLabel *elapsed = nullptr;
    QLabel *remainingCaption = nullptr;
    QLabel *remaining = nullptr;
    QWidget *band = nullptr; // the picture behind the row

    // Design positions in twips: the left edges of the progress caption, the bar and the text,
    // and the bar's width.
    int progressCaptionLeft = 0;
    int barLeft = 0;
    int barWidth = 0;
    int progressLeft = 0;

    static const QString kLongestProgress;
    static const QString kLongestTime;
    static const QString kLongestTiming;

    // Lays the row out in a panel `width` pixels wide (the window's inner width).
    void layout(int width);
    // To be called when the progress text has changed: lays the row out again when the text
    // belongs to a test of another length (or has outgrown its room).
    void followProgress();
    // True when the last layout put the timing labels on a line of their own.
    bool timingWrapped() const { return m_wrapped; }
    // The least inner width, in pixels, at which the row holds the longest figures there are.
    int minimumWidth() const;

private:
    int px(int twips) const;
    int timingWidth() const;
    int progressReserve() const;

    bool m_wrapped = false;
    int m_width = 0;   // of the last layout
    int m_reserve = 0; // the progress text's room in the last layout
};
