#!/usr/bin/env bash
# Runs the stress of the live path (tests/live_path_stress_test.cpp) for MINUTES
# under ThreadSanitizer (the tsan preset), then as long under AddressSanitizer
# and UndefinedBehaviorSanitizer (the native preset). Any failure or sanitizer
# report fails the run and prints the end of its log, build/<preset>/live_path_stress.log;
# QUILLPAD_STRESS_SEED, when set, chooses the program's random steps.
#   tools/stress.sh MINUTES
set -euo pipefail
cd "$(dirname "$0")/.."

minutes="${1:-}"
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: tools/stress.sh MINUTES" >&2
    exit 2
fi

for preset in tsan native; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)" --target quillpad_tests >/dev/null
    log="build/$preset/live_path_stress.log"
    echo "live path stress under $preset for $minutes min"
    if ! QUILLPAD_STRESS_SECONDS=$((minutes * 60)) TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        "build/$preset/tests/quillpad_tests" --gtest_filter='LivePathStress.*' >"$log" 2>&1; then
        tail -60 "$log" >&2
        echo "the live path stress failed under $preset; the whole log is $log" >&2
        exit 1
    fi
    sed -n '/^live path stress:/,/^\[       OK/p' "$log" | grep -v '^\['
done
