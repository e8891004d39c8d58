#!/usr/bin/env bash
# Builds and runs every test (installing what is missing).
#   ./test.sh             the ordinary build, in build/
#   ./test.sh --sanitize  AddressSanitizer and UBSan, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages "${NODELOOM_PACKAGES[@]}" "${NODELOOM_TEST_PACKAGES[@]}"

if [ "${1:-}" = "--sanitize" ]; then
    build_tree build-sanitize RelWithDebInfo -DNODELOOM_SANITIZE=ON
    dir=build-sanitize
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    build_tree build Release
    dir=build
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
