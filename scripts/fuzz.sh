#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target] (default 600). Findings go to fuzz-out/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"
targets=(fuzz_lamp_image fuzz_patch_file fuzz_lamp_data_file fuzz_import fuzz_ofl_definition fuzz_qxf_definition fuzz_gdtf_definition)

CC=clang CXX=clang++ cmake -S . -B "$build" -DRIGSMITH_FUZZ=ON -DRIGSMITH_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
    work="fuzz-out/$target"
    mkdir -p "$work/corpus" "$work/artifacts"
    # The kept seeds stay untouched; new inputs grow in the working corpus.
    cp -n fuzz/corpus/"$target"/* "$work/corpus/" 2>/dev/null || true
    echo "== $target for ${seconds}s"
    if "$build/fuzz/$target" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$work/log.txt" 2>&1; then
        grep -E '^stat::number_of_executed_units' "$work/log.txt" || true
    else
        echo "$target FAILED; see $work/log.txt and $work/artifacts/"
        tail -n 40 "$work/log.txt"
        status=1
    fi
done
exit $status
