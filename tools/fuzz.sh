#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang-14, ASan, UBSan) and runs
# each for SECONDS (default 30) on its committed seed corpus. New inputs go to a
# scratch folder, so the committed corpus stays as it is; a crash leaves its
# input under build/fuzz/findings/ and fails the run.
#   tools/fuzz.sh [SECONDS] [TARGET...]     targets: wave_reader aiff_reader ogg_decoder setup_reader outside_names
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(wave_reader aiff_reader ogg_decoder setup_reader outside_names)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p build/fuzz/findings
for target in "${targets[@]}"; do
    mkdir -p "$scratch/$target"
    echo "fuzzing $target for $seconds s"
    if ! build/fuzz/tests/fuzz/"fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build/fuzz/findings/"$target"- "$scratch/$target" "tests/fuzz/corpus/$target" \
        >"build/fuzz/$target.log" 2>&1; then
        tail -40 "build/fuzz/$target.log" >&2
        echo "fuzz_$target found a fault; its input is in build/fuzz/findings/" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^Done" "build/fuzz/$target.log" | tr '\n' ' '
    echo
done
