#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the libFuzzer harnesses with clang (AddressSanitizer and UBSan) in build-fuzz and runs
# each for a bounded time on a copy of its seed corpus. Any crash, leak-free abort or hang
# fails the run; the input that caused it is left in build-fuzz/findings/<name>/.
#
#   scripts/fuzz.sh                 every fuzzer for FUZZ_SECONDS (default 60) seconds
#   FUZZ_SECONDS=600 scripts/fuzz.sh protocol handler
#   FUZZ_SEED=7 scripts/fuzz.sh     a fixed seed, so a run can be repeated (scripts/test.sh uses 1)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
seed_option=()
[ -n "${FUZZ_SEED:-}" ] && seed_option=(-seed="$FUZZ_SEED")
all=(protocol gbk_stream ini codetables handler roottable)
names=("$@")
[ ${#names[@]} -eq 0 ] && names=("${all[@]}")

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCLIENT_FUZZ=ON -DCLIENT_BUILD_TESTS=OFF >/dev/null
ninja -C build-fuzz "${names[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
status=0
for name in "${names[@]}"; do
    work=build-fuzz/corpus/$name
    findings=build-fuzz/findings/$name
    rm -rf "$work" "$findings"
    mkdir -p "$work" "$findings"
    cp fuzz/corpus/"$name"/* "$work"/
    log=build-fuzz/fuzz_$name.log
    if build-fuzz/bin/fuzz_"$name" "${seed_option[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 "$work" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
        cover=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
        echo "fuzz_$name: $runs runs in ${seconds}s, $cover, no failure"
    else
        echo "fuzz_$name FAILED; the log is $log, the input in $findings/" >&2
        tail -30 "$log" >&2
        status=1
    fi
done
exit $status
