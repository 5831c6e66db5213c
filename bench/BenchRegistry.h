// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <vector>

// Each benchmark file registers its runs here; client-bench runs them all and prints
// median and p99 per operation together with the baseline measured in the same run.
namespace benchregistry {

using Run = std::function<void()>;
std::vector<std::pair<const char *, Run>> &all();

struct Registrar
{
    Registrar(const char *name, Run run) { all().emplace_back(name, std::move(run)); }
};

} // namespace benchregistry

#define CLIENT_BENCH(name, function)                                                               \
    static benchregistry::Registrar benchRegistrar_##name(#name, function);
