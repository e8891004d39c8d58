#!/usr/bin/env bash
# Builds the gf4 fuzz target with clang and runs it for SECONDS (default 60).
# New inputs go to fuzz/corpus-work/; a crash is written to fuzz/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
seconds=${1:-60}

ensure_packages clang libclang-rt-14-dev cmake make
if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DNODELOOM_FUZZ=ON -DNODELOOM_TESTS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
        -DNODELOOM_SANITIZE=ON
fi
cmake --build build-fuzz -j2 --target gf4_fuzz

mkdir -p fuzz/corpus-work
./build-fuzz/fuzz/gf4_fuzz fuzz/corpus-work fuzz/seeds -dict=fuzz/gf4.dict \
    -max_total_time="$seconds" -max_len=4096 -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix=fuzz/ -print_final_stats=1
