// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include <QCoreApplication>
#include <QTest>

// Runs every registered test class of a logic area without a window system. A first argument
// naming a class runs only that class; the remaining arguments go to Qt Test.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return testregistry::runAll(QCoreApplication::arguments());
}
