#!/usr/bin/env bash
# Times start-up to the first painted main window: runs the probe N times (default 21) and
# prints every run and the median in milliseconds, exec to exit.
# With FILE, the probe opens that graph file before the first paint.
#   bench/startup.sh BUILD_DIR [N] [FILE]
set -euo pipefail
probe="$1/bench/nodeloom_startup_probe"
runs="${2:-21}"
file="${3:-}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
times=()
for ((i = 0; i < runs; ++i)); do
    start=$(date +%s%N)
    "$probe" ${file:+"$file"} >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
printf 'runs (us): %s\n' "${times[*]}"
printf 'median: %d.%03d ms\n' $(( sorted[runs / 2] / 1000 )) $(( sorted[runs / 2] % 1000 ))
