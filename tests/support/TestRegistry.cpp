// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include <QTest>

namespace testregistry {

std::vector<std::pair<const char *, Factory>> &all()
{
    static std::vector<std::pair<const char *, Factory>> tests;
    return tests;
}

int runAll(QStringList args)
{
    QString only;
    if (args.size() > 1 && !args.at(1).startsWith(u'-')) {
        for (const auto &[name, factory] : all()) {
            if (args.at(1) == QLatin1String(name)) {
                only = args.takeAt(1);
                break;
            }
        }
    }
    int failed = 0;
    for (const auto &[name, factory] : all()) {
        if (!only.isEmpty() && only != QLatin1String(name))
            continue;
        std::unique_ptr<QObject> test = factory();
        failed += QTest::qExec(test.get(), args);
    }
    return failed == 0 ? 0 : 1;
}

} // namespace testregistry
