// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/History.h"
#include "server/TrendChart.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QPagedPaintDevice;
class QPainter;

// A school's reports from the history: a class's report of one test, a student's report across
// tests and a class's term, as tables (CSV, UTF-8 with a byte-order mark, and XLSX through
// libxlsxwriter) and as printed pages (PDF through QPdfWriter, or any paged device such as a
// printer), the students' names in a CJK font.
namespace reports {

// A table of a report: numbers stay numbers in a spreadsheet.
struct Table
{
    QString title; // the sheet's name
    QStringList header;
    QList<QList<QVariant>> rows;
};

Table testTable(const history::TestEntry &entry, const QList<history::Result> &results);
Table studentTable(const history::Student &student);
Table termTable(const history::Class &history);

// CSV of one table; the lines before it (title, date, pass mark) as "key,value" lines.
QByteArray csv(const Table &table, const QStringList &preamble = {});
Status writeCsv(const QString &path, const Table &table, const QStringList &preamble = {});
// One sheet per table, the preamble lines above each table.
Status writeXlsx(const QString &path, const QList<Table> &tables,
                 const QList<QStringList> &preambles = {});

// The lines above a report: what the test was, when, and its pass mark.
QStringList testPreamble(const history::TestEntry &entry);
QStringList studentPreamble(const history::Student &student);
QStringList termPreamble(const history::Class &history);

// Pages of a report on any paged device (a PDF writer, a printer).
void paintTestReport(QPagedPaintDevice &device, QPainter &painter, const history::TestEntry &entry,
                     const QList<history::Result> &results);
void paintStudentReport(QPagedPaintDevice &device, QPainter &painter,
                        const history::Student &student);
void paintTermReport(QPagedPaintDevice &device, QPainter &painter, const history::Class &history);
// A4 PDF files of the same.
Status writeTestPdf(const QString &path, const history::TestEntry &entry,
                    const QList<history::Result> &results);
Status writeStudentPdf(const QString &path, const history::Student &student);
Status writeTermPdf(const QString &path, const history::Class &history);

// A report into a file, its kind by the file's suffix (.csv, .xlsx, .pdf): a test's by its id,
// a class's term by the class's name (empty: every class), a student's by the number; `from`
// and `to` bound a term (ms since 1970, 0 for none).
enum class Subject { Test, Term, Student };
Status exportReport(history::History &history, Subject subject, const QString &key,
                    const QString &path, qint64 from = 0, qint64 to = 0);

// The font the reports write Chinese in, and whether this computer has it.
QString reportFontFamily();

// The charts of the views and reports.
trendchart::Chart studentSpeedChart(const history::Student &student);
trendchart::Chart studentAccuracyChart(const history::Student &student);
trendchart::Chart classSpeedChart(const history::Class &history);

// "2026-03-02 三班期中"
QString testLabel(const StoredTest &test);

} // namespace reports
