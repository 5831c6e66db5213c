// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

// Spreadsheets and CSV files read back by readers of their own (Python's csv module and
// openpyxl, python3-openpyxl): each sheet as rows of cells, numbers as numbers. An empty object
// and the reader's complaint in `error` when the file does not read.
namespace readback {

inline QJsonObject run(const QString &program, const QString &path, QString *error)
{
    QProcess python;
    // Debian's Python, which has python3-openpyxl, before any other on the path.
    const QString interpreter = QFile::exists(QStringLiteral("/usr/bin/python3"))
                                    ? QStringLiteral("/usr/bin/python3")
                                    : QStringLiteral("python3");
    python.start(interpreter, {QStringLiteral("-c"), program, path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

inline QJsonObject xlsx(const QString &path, QString *error = nullptr)
{
    return run(
        QStringLiteral("import json, sys, openpyxl\n"
                       "book = openpyxl.load_workbook(sys.argv[1])\n"
                       "print(json.dumps({s.title: [list(r) for r in s.iter_rows(values_only=True)]"
                       " for s in book.worksheets}, ensure_ascii=False, default=str))\n"),
        path, error);
}

// {"rows": [[...], ...]}, the byte-order mark checked and dropped.
inline QJsonObject csv(const QString &path, QString *error = nullptr)
{
    return run(QStringLiteral("import csv, json, sys\n"
                              "raw = open(sys.argv[1], 'rb').read()\n"
                              "assert raw.startswith(b'\\xef\\xbb\\xbf'), 'no byte-order mark'\n"
                              "rows = list(csv.reader(raw[3:].decode('utf-8').splitlines()))\n"
                              "print(json.dumps({'rows': rows}, ensure_ascii=False))\n"),
               path, error);
}

} // namespace readback
