// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Figures.h"
#include "server/ResultsStore.h"

#include <QDateTime>
#include <QTest>

#include <cmath>

// A class's term in a results store: 40 students, 30 weekly tests, written through the store
// as the console writes them. The figures follow simple rules, so a test can work out what
// the history must say without the store: student i types 100 + t·(i mod 6) + 2i right
// characters in test t in 300 s, and (i mod 5) + (t mod 3) wrong ones. Student 7 misses every
// tenth test, student 13's fifth test is marked too fast, and a dismissed duplicate of
// student 20 sits in test 3. The pass mark is 40 字/分 and 95 % for the first half, 50 字/分
// after.
struct TermFixture
{
    static constexpr int kStudents = 40;
    static constexpr int kTests = 30;
    static constexpr int kSeconds = 300;
    static inline const QString kClass = QStringLiteral("三班");

    static qint64 start(int t)
    {
        return QDateTime(QDate(2026, 3, 2), QTime(9, 0)).toMSecsSinceEpoch() +
               qint64(t) * 7 * 24 * 3600 * 1000;
    }
    static QString number(int i) { return QString::number(2026001 + i); }
    static QString name(int i)
    {
        static const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周");
        static const QString given = QStringLiteral("伟芳娜敏静丽强磊军洋");
        return QString(surnames.at(i % 10)) + given.at((i / 10 + i) % 10) +
               (i >= 20 ? QString(given.at(i % 7)) : QString());
    }
    static bool absent(int i, int t) { return i == 7 && t % 10 == 0; }
    static bool flagged(int i, int t) { return i == 13 && t == 5; }
    static int right(int i, int t) { return 100 + t * (i % 6) + 2 * i; }
    static int typed(int i, int t) { return right(i, t) + i % 5 + t % 3; }
    static int passSpeed(int t) { return t < 15 ? 40 : 50; }
    static QString errors(int i, int t)
    {
        return (t % 3 == 0 ? QStringLiteral("的") : QString()) +
               (i % 4 == 0 ? QStringLiteral("是") : QString()) +
               (t == kTests - 1 ? QStringLiteral("了") : QString());
    }
    // Speed and accuracy as the figures of the students' windows give them.
    static double speed(int i, int t)
    {
        return double(*figures::speedTenths(right(i, t), kSeconds)) / 10.0;
    }
    static double accuracy(int i, int t)
    {
        return double(*figures::accuracyPercent(right(i, t), typed(i, t)));
    }
    static bool passes(int i, int t) { return speed(i, t) >= passSpeed(t) && accuracy(i, t) >= 95; }

    static StudentRow row(int i, int t)
    {
        StudentRow row;
        row.xuehao = number(i);
        row.name = name(i);
        row.banji = kClass;
        row.computer = QStringLiteral("PC%1").arg(i + 1);
        row.inputMethod = QStringLiteral("五笔");
        row.onRoster = true;
        if (absent(i, t))
            return row;
        protocol::Report report;
        report.xuehao = row.xuehao;
        report.name = row.name;
        report.banji = row.banji;
        report.totalTime = kSeconds;
        report.txtCount = 600;
        report.inputCount = typed(i, t);
        report.right = right(i, t);
        report.backspaces = i % 9;
        report.errChars = errors(i, t);
        row.final = report;
        row.finish = StudentRow::Finish::TeacherEnded;
        row.state = StudentRow::State::Finished;
        row.flags = flagged(i, t) ? int(StudentRow::TooFast) : 0;
        return row;
    }

    // Writes the term into an open store; the ids of its tests, oldest first.
    static QList<qint64> write(ResultsStore &store)
    {
        QList<qint64> ids;
        for (int t = 0; t < kTests; ++t) {
            StoredTest test;
            test.name = QStringLiteral("第%1周").arg(t + 1);
            test.startedAt = start(t);
            test.banji = kClass;
            test.setup.text = QStringLiteral("春眠不觉晓处处闻啼鸟").repeated(60);
            test.setup.timeLimit = 5;
            test.setup.passSpeed = passSpeed(t);
            test.setup.passAccuracy = 95;
            if (!store.beginTest(test).ok())
                qFatal("cannot write test %d", t);
            ids << test.id;
            for (int i = 0; i < kStudents; ++i) {
                StudentRow r = row(i, t);
                if (!store.saveResult(test.id, r).ok())
                    qFatal("cannot write a result");
                if (r.final)
                    store.appendReport(r.resultId, *r.final, true, 0);
                if (i == 20 && t == 3) {
                    StudentRow duplicate = row(i, t);
                    duplicate.flags = StudentRow::Duplicate | StudentRow::Dismissed;
                    duplicate.final->right = 5;
                    duplicate.duplicateOf = r.resultId;
                    (void)store.saveResult(test.id, duplicate);
                }
            }
            (void)store.endTest(test.id, start(t) + kSeconds * 1000, QStringLiteral("teacher"));
        }
        (void)store.sync();
        return ids;
    }
};
