#pragma once

#include <QMetaType>
#include <QString>

// What the result window shows for a test that has just ended, and which test it was.
struct TestResult
{
    QString xingming;
    QString xuehao;
    QString banji;
    QString msg;           // the statistics sentence
    QString cuowu;         // the mistyped characters, for the practice link
    quint64 test = 0;      // the test the result belongs to
    bool drillable = true; // the practice link may start a practice of the mistyped characters
};

Q_DECLARE_METATYPE(TestResult)
