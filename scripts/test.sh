#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets everything up and runs every test: a normal build, the Debian packages made from it
# (installed, tried and removed again), then a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzzers for a bounded time. All must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The logic stays free of widgets: no include from it reaches ui/, widgets/ or Qt Widgets.
scripts/check-layers.sh
# Every source file is in a target (the source lists are written out) and has its licence line.
scripts/check-sources.sh
# The C++ files as clang-format makes them with .clang-format.
scripts/check-format.sh

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

# The Debian packages of that build: lintian, installed, a short test, removed.
scripts/package-check.sh build

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCLIENT_SANITIZE=ON
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

# The fuzzers (clang, AddressSanitizer and UBSan), each for FUZZ_SECONDS (default 60) seconds,
# with a fixed seed so that a failing run can be repeated.
FUZZ_SEED=${FUZZ_SEED:-1} scripts/fuzz.sh
