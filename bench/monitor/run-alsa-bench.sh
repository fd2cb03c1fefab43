#!/usr/bin/env bash
# run-alsa-bench.sh [BENCH_BUILD_DIR]
# Runs monitor_alsa_bench (built by 'make bench') in the ALSA test guest.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build-bench}" && pwd)
program="$build/bench/monitor/monitor_alsa_bench"
[ -x "$program" ] || { echo "run-alsa-bench: no $program (make bench builds it)" >&2; exit 1; }
exec "$here/../../tests/support/alsaguest/run-in-guest.sh" "$build" --timeout 1800 -- "$program"
