// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The root practice table reader on any file content, and the draw on what it read: reading
// never fails, a root is always answered by the first row that lists it, and an exercise holds
// exactly the roots asked for, each taken from its pool.
#include "fuzz/FuzzInput.h"
#include "practice/RootDraw.h"
#include "practice/RootTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int count = input.byte() % 40;
    uint32_t seed = input.byte() | (uint32_t(input.byte()) << 8);
    const RootTable::Load load = RootTable::parse(input.rest());
    const RootTable &table = load.table;

    for (int row = 0; row < RootTable::kRows; ++row) {
        for (const QChar root : table.roots(row)) {
            int first = 0;
            while (!table.roots(first).contains(root))
                ++first;
            const std::optional<QString> key = table.keyOf(root);
            if (!key || *key != table.key(first))
                abort();
        }
    }
    if (table.pool(RootTable::kZones + 1))
        abort();

    // A small generator stands in for the system's, so a run can be replayed.
    const rootdraw::Random random = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    for (int zone = -1; zone <= RootTable::kZones; ++zone) {
        const std::optional<QString> pool = table.pool(zone);
        if (!pool)
            abort();
        const QString exercise = rootdraw::exercise(*pool, count, random);
        if (exercise.size() != (pool->isEmpty() ? 0 : count))
            abort();
        for (const QChar root : exercise)
            if (!pool->contains(root))
                abort();
    }
    return 0;
}
