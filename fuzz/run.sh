#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs them for SECONDS each (default 60):
#   fuzz/run.sh [SECONDS] [reader|file|both|edgelist|graph6|graphml|dot|import]
# reader: gf4_fuzz, the gf4 reader over bytes in memory, inputs up to 2 MB;
# file:   gf4_file_fuzz, load from a file, save over an existing target, load again, up to 64 kB;
# edgelist, graph6, graphml, dot: the import readers (import: all four in turn), inputs up to 64 kB,
#         seeds in fuzz/seeds-import/<target>/.
# New inputs go to fuzz/corpus-work/<target>/; a crash is written to fuzz/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
seconds=${1:-60}
which=${2:-both}

ensure_packages clang libclang-rt-14-dev cmake make
if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DNODELOOM_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
        -DNODELOOM_SANITIZE=ON
fi
ensure_packages libxml2-dev libgraphviz-dev pkg-config
cmake --build build-fuzz -j2 --target gf4_fuzz gf4_file_fuzz edgelist_fuzz graph6_fuzz graphml_fuzz dot_fuzz

# The file target's folder lives in memory where it can: each save flushes to the disk.
if [ -w /dev/shm ]; then export NODELOOM_FUZZ_DIR=/dev/shm; fi

# run TARGET MAX_LEN
run() {
    mkdir -p "fuzz/corpus-work/$1"
    "./build-fuzz/fuzz/$1" "fuzz/corpus-work/$1" fuzz/seeds -dict=fuzz/gf4.dict \
        -max_total_time="$seconds" -max_len="$2" -timeout=5 -rss_limit_mb=2048 \
        -artifact_prefix=fuzz/ -print_final_stats=1
}
# A seed of more than 1 MB for the reader: a full table with long names and many edges.
big=fuzz/corpus-work/gf4_fuzz/big-seed.gf4
if [ ! -f "$big" ]; then
    mkdir -p fuzz/corpus-work/gf4_fuzz
    name=$(head -c 11000 /dev/zero | tr '\0' n)
    {
        printf '[undirected]\r\n[weighted]\r\n[navy]\r\n100 1000\r\n'
        for i in $(seq 100); do printf '%d %d /*%s*/\r\n' $((i * 7)) $((i * 3)) "$name"; done
        for i in $(seq 1000); do printf '%d %d /*%d*/ red\r\n' $((i % 100 + 1)) $((i * 7 % 100 + 1)) "$i"; done
    } > "$big"
fi
# run_import TARGET: an import reader from its own seeds.
run_import() {
    mkdir -p "fuzz/corpus-work/$1"
    "./build-fuzz/fuzz/$1" "fuzz/corpus-work/$1" "fuzz/seeds-import/$1" \
        -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=fuzz/ -print_final_stats=1
}
for target in edgelist graph6 graphml dot; do
    if [ "$which" = "$target" ] || [ "$which" = import ]; then run_import "${target}_fuzz"; fi
done
if [ "$which" = reader ] || [ "$which" = both ]; then run gf4_fuzz 2097152; fi
if [ "$which" = file ] || [ "$which" = both ]; then run gf4_file_fuzz 65536; fi
