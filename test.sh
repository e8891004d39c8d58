#!/usr/bin/env bash
# Builds and runs every test (installing what is missing).
#   ./test.sh             the ordinary build, in build/
#   ./test.sh --sanitize  AddressSanitizer and UBSan, in build-sanitize/
#   --werror              warnings are errors (also when CI=true, as in .ci/run)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

sanitize=no
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
for arg in "$@"; do
    case $arg in
        --sanitize) sanitize=yes ;;
        --werror) werror=ON ;;
        *) echo "usage: ./test.sh [--sanitize] [--werror]" >&2; exit 2 ;;
    esac
done

ensure_packages "${NODELOOM_PACKAGES[@]}" "${NODELOOM_TEST_PACKAGES[@]}"

if [ $sanitize = yes ]; then
    build_tree build-sanitize RelWithDebInfo -DBUILD_TESTING=ON -DNODELOOM_WERROR=$werror -DNODELOOM_SANITIZE=ON
    dir=build-sanitize
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    build_tree build Release -DBUILD_TESTING=ON -DNODELOOM_WERROR=$werror
    dir=build
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
