// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMainWindow>
#include <QTimer>

#include "core/Status.h"

class ClassConsole;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class SortedRoster;
class SpeedChart;
struct TestSetup;

// The console's window: the class list, the test setup, messages to the class, the log, the
// live speed picture and the summary. Everything it does goes through ClassConsole, which the
// command-line server and the tests use without the window.
class TeacherWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TeacherWindow(ClassConsole &console, QWidget *parent = nullptr);

    // Shows the console's setup in the setup fields.
    void showSetup(const TestSetup &setup);
    // Reads the setup fields; false (and the reason in the status bar) when they do not make a
    // test.
    bool applySetup();
    // Refreshes the speed picture, the summary and the status bar (once a second).
    void refresh();

    // The history and reports window (made when first asked for).
    class HistoryWindow *openHistory();
    // The setups library: fills the list, saves the fields under a name, loads one into the
    // fields, imports a text file (UTF-8 or GBK) as a new setup.
    void refreshSetups();
    Status saveSetupAs(const QString &name);
    Status loadSetup(const QString &name);
    Status importSetup(const QString &path, const QString &name);

    QTableView *table() const { return m_table; }
    SortedRoster *sortedRoster() const { return m_sorted; }
    // The rows of the class list selected in the table.
    QList<int> selectedRows() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildSetup();
    QWidget *buildMessages();
    void openTextFile();
    void chooseResultsFolder();
    void sendMessage(bool selectedOnly);
    void report(const QString &error);
    void updateKind();
    void importRoster();
    void decide(int decision);
    void updateDecisionButtons();

    ClassConsole &m_console;
    SortedRoster *m_sorted = nullptr;
    QTableView *m_table = nullptr;
    SpeedChart *m_chart = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_countdown = nullptr;
    QLabel *m_classLine = nullptr;
    QList<QPushButton *> m_decisions;
    QPlainTextEdit *m_log = nullptr;

    QComboBox *m_kind = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QComboBox *m_encoding = nullptr;
    QSpinBox *m_zone = nullptr;
    QSpinBox *m_count = nullptr;
    QSpinBox *m_timeLimit = nullptr;
    QSpinBox *m_hintDelay = nullptr;
    QComboBox *m_ime = nullptr;
    QCheckBox *m_roots = nullptr;
    QCheckBox *m_hints = nullptr;
    QLineEdit *m_forbidden = nullptr;
    QLineEdit *m_testName = nullptr;
    QLineEdit *m_className = nullptr;
    QSpinBox *m_passSpeed = nullptr;
    QSpinBox *m_passAccuracy = nullptr;
    QComboBox *m_setups = nullptr;
    class HistoryWindow *m_history = nullptr;
    QLineEdit *m_message = nullptr;
    QLineEdit *m_folder = nullptr;
    QTimer m_refresh;
};
