#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60) from the seed corpora in fuzz/corpus. A crash fails the run and leaves
# its input in build/fuzz/findings/.
#   bash scripts/fuzz.sh          # about a minute each, as CI does
#   bash scripts/fuzz.sh 3600     # an hour each
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)  # absolute paths: a fuzz target may change its current directory
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=$top/build/fuzz/findings
mkdir -p "$findings"
for corpus in fuzz/corpus/*/; do
    target=$(basename "$corpus")
    work=$top/build/fuzz/corpus/$target
    mkdir -p "$work"
    echo "== fuzz_$target for ${seconds}s"
    "$top/build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 "$work" "$top/$corpus" 2>&1 |
        grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' || true
    if ls "$findings/$target-"* >/dev/null 2>&1; then
        echo "fuzz_$target found a failing input: $(ls "$findings/$target-"*)"
        exit 1
    fi
done
