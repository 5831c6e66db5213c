// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/StudentRow.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The class at a glance: mean and median speed and accuracy over the students that have
// reported, and the characters most students mistyped. Rows whose figures no typist can reach,
// duplicates and students not on the roster are counted apart and left out of the figures.
struct ClassSummary
{
    int students = 0; // identified rows with figures, left-out ones not counted
    int finished = 0; // of those, finished rows (however they finished)
    int absent = 0;   // roster students not seen in the test
    int leftOut = 0;  // rows with figures that the summary leaves out (StudentRow::doubtful)
    std::optional<double> meanSpeed;
    std::optional<double> medianSpeed;
    std::optional<double> meanAccuracy;
    std::optional<double> medianAccuracy;
    // Character and the number of students who mistyped it, most first (ties in order of
    // first appearance in the list).
    QList<QPair<QString, int>> mostMistyped;

    static ClassSummary of(const QList<StudentRow> &rows, int mistypedCount = 10);
    // "30人，已结束28人 | 速度 平均56.3 中位55.0 字/分 | 正确率 平均97 中位98 | 常错字：「的」12、
    // 「是」9", with "，缺席2人" and "，3人未计入（有标记）" after the counts when there are.
    QString text() const;

    // Speeds counted into bins of binWidth (the last bin takes everything above it).
    static QList<int> histogram(const QList<double> &speeds, double binWidth, int bins);
};
