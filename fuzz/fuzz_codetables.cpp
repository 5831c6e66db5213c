// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The readers of the code tables wb.dat and wbcz.dat on any file content, and the lookups on
// what they read.
#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Gbk.h"
#include "fuzz/FuzzInput.h"
#include "hints/CodeTables.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        abort();
    out.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    FuzzInput input(data, size);
    const QByteArray wb = input.piece() + input.piece() + input.piece();
    const QByteArray cz = input.rest();
    writeFile(dir.filePath(QStringLiteral("wb.dat")), wb);
    writeFile(dir.filePath(QStringLiteral("wbcz.dat")), cz);

    Services services;
    services.paths = AppPaths::inFolder(dir.path());
    ClientLogic logic(services);
    CodeTables &tables = *logic.client().tables;
    tables.ReadBM();
    if (tables.wbCount() > CodeTables::kMaxRows || tables.czWord().size() != tables.czCode().size())
        abort();
    const QString text = gbk::decode(wb + cz);
    for (qsizetype i = 0; i < text.size() && i < 64; i += 7) {
        const QString one = text.mid(i, 1);
        if (!tables.FindWord(one).startsWith(QStringLiteral("五笔编码：")))
            abort();
        (void)tables.rootField(one);
        (void)tables.FindCz(text.mid(i, 4));
    }
    return 0;
}
