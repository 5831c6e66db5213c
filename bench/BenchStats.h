// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <algorithm>
#include <vector>

namespace bench {

// The value below which the given share of the samples lie (nearest rank).
inline double percentile(std::vector<double> samples, double share)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t rank = std::min(samples.size() - 1, size_t(share * (samples.size() - 1) + 0.5));
    return samples[rank];
}

inline QString summary(const QString &name, const std::vector<double> &ms)
{
    return QStringLiteral("%1: median %2 ms, p99 %3 ms (%4 runs)")
        .arg(name)
        .arg(percentile(ms, 0.5), 0, 'f', 3)
        .arg(percentile(ms, 0.99), 0, 'f', 3)
        .arg(ms.size());
}

} // namespace bench
