#!/usr/bin/env bash
# Builds the bench preset (optimised, no sanitizers) and runs the core
# benchmarks; prints each figure as a ratio against the limit measured in the
# same run.
#   tools/bench/core.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" >/dev/null
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
# Repeated and interleaved, so that a slow moment of the machine weighs on both.
build/bench/bench/wave_reading_bench --benchmark_format=json --benchmark_repetitions=9 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true >"$out"
python3 - "$out" <<'PY'
import json, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
plain, reader = runs["PlainRead"]["real_time"], runs["WaveReader"]["real_time"]
print(f"WAV reading, 100 MB data chunk (medians of 9): plain read {plain:.1f} ms, reader {reader:.1f} ms, "
      f"throughput ratio {plain / reader:.2f} (goal at least 0.8)")
PY
