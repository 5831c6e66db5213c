// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Each test file of an area registers its test classes here; the area's one executable runs
// them all (tests/support/TestMain.cpp).
namespace testregistry {

using Factory = std::function<std::unique_ptr<QObject>()>;
std::vector<std::pair<const char *, Factory>> &all();
// Runs the registered classes (only the one named by args[1], when it names one); the other
// arguments go to Qt Test. Returns the process exit code.
int runAll(QStringList args);

struct Registrar
{
    Registrar(const char *name, Factory factory) { all().emplace_back(name, std::move(factory)); }
};

} // namespace testregistry

#define CLIENT_TEST(Class)                                                                         \
    static testregistry::Registrar registrar_##Class(#Class,                                       \
                                                     [] { return std::make_unique<Class>(); });
