#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Each test file of an area registers its test classes here; the area's one executable runs
// them all (tests/support/TestMain.cpp).
namespace testregistry {

using Factory = std::function<std::unique_ptr<QObject>()>;
std::vector<std::pair<const char *, Factory>> &all();

struct Registrar
{
    Registrar(const char *name, Factory factory) { all().emplace_back(name, std::move(factory)); }
};

} // namespace testregistry

#define CLIENT_TEST(Class)                                                                       \
    static testregistry::Registrar registrar_##Class(#Class,                                    \
                                                     [] { return std::make_unique<Class>(); });
