// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/History.h"
#include "server/Reports.h"

#include <QDialog>

class ClassConsole;
class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;
class QTabWidget;
class TrendView;

// The term at a glance: the class view (the class's tests with their mean and median, the
// class's speed over the term, who improved most) and the student view (a student's speed and
// accuracy across tests, the results with their grades, the characters the student keeps
// mistyping); every view's report saved as CSV, XLSX or PDF or printed. Reads the console's
// store, or the school's database when one is set (every room's tests).
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryWindow(ClassConsole &console, QWidget *parent = nullptr);

    // Shows a class's term (empty: every class) and a student.
    void showClass(const QString &banji);
    void showStudent(const QString &xuehao);

    // A report of what is shown into a file (.csv, .xlsx, .pdf), or on a printer (or a
    // printer writing a PDF); the test report is of the test selected in the class view.
    Status exportTo(reports::Subject subject, const QString &path);
    Status printTo(QPagedPaintDevice &printer, reports::Subject subject);

    QTabWidget *tabs() const { return m_tabs; }
    const history::Class &classHistory() const { return m_class; }
    const history::Student &student() const { return m_student; }

private:
    QWidget *buildClassView();
    QWidget *buildStudentView();
    bool openHistory();
    void reload();
    void fillClass();
    void fillStudent();
    void exportReport(reports::Subject subject);
    void print(reports::Subject subject);
    qint64 from() const;
    qint64 to() const;
    QString key(reports::Subject subject) const;
    void say(const QString &text);

    ClassConsole &m_console;
    std::optional<history::History> m_history;
    history::Class m_class;
    history::Student m_student;

    QTabWidget *m_tabs = nullptr;
    QComboBox *m_source = nullptr;
    QComboBox *m_classes = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    TrendView *m_classChart = nullptr;
    QTableWidget *m_tests = nullptr;
    QTableWidget *m_improved = nullptr;
    QComboBox *m_students = nullptr;
    TrendView *m_speedChart = nullptr;
    TrendView *m_accuracyChart = nullptr;
    QTableWidget *m_results = nullptr;
    QLabel *m_mistyped = nullptr;
    QLabel *m_status = nullptr;
};
