// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file reader and writer on any file content: reading never fails, and a value
// written reads back as written, every other key keeping its value.
#include "core/IniStore.h"
#include "fuzz/FuzzInput.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("appset.ini"));
    FuzzInput input(data, size);
    const QByteArray content = input.rest();
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            abort();
        out.write(content);
    }
    const QString ip = ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), file);
    (void)ReadIni(QStringLiteral("userinfo"), QStringLiteral("name"), file);
    (void)ReadIni(QStringLiteral(" UserInfo "), QStringLiteral("XUEHAO"), file);

    const QString value = QStringLiteral("李明 7");
    const Status status = WriteIni(QStringLiteral("userinfo"), QStringLiteral("name"), value, file);
    if (!status.ok())
        abort(); // a writable file in a writable folder always takes a sound value
    if (ReadIni(QStringLiteral("userinfo"), QStringLiteral("name"), file) != value)
        abort();
    if (ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), file) != ip)
        abort();
    return 0;
}
