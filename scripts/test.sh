#!/usr/bin/env bash
# Sets everything up and runs every test: a normal build, then a build with AddressSanitizer
# and UndefinedBehaviorSanitizer. Both must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The logic stays free of widgets: no include from it reaches ui/, widgets/ or Qt Widgets.
scripts/check-layers.sh

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCLIENT_SANITIZE=ON
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)
