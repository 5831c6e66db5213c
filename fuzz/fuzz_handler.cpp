// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole client without a window, driven through the same events as the model test
// (tests/support/SessionDriver.h), chosen by the fuzzer's input, with arrivals of any bytes
// among them. Nothing may crash or hang, and a violated invariant of the test session
// (tests/support/SessionInvariants.h) is a finding like a crash.
#include "core/Gbk.h"
#include "fuzz/FuzzInput.h"
#include "tests/support/SessionDriver.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    SessionDriver driver([&input] { return input.byte(); },
                         [&input] { return gbk::decode(input.piece()); });
    for (int step = 0; step < 96 && !input.atEnd(); ++step) {
        driver.step();
        if (!driver.invariants().ok()) {
            for (const QString &violation : driver.invariants().violations())
                fprintf(stderr, "violated: %s\n", qPrintable(violation));
            abort();
        }
    }
    return 0;
}
