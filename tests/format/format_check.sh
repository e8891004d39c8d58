#!/usr/bin/env bash
# Every C++ source in the repository is as .clang-format writes it: a change that is not fails
# here, with the places clang-format would change. Skipped (77) where the formatter or the
# repository's file list is not at hand.
set -euo pipefail
cd "$1"
formatter=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$formatter" ] || { echo "SKIP: clang-format is not installed"; exit 77; }
git rev-parse --git-dir >/dev/null 2>&1 || { echo "SKIP: not a git checkout"; exit 77; }
git ls-files -z '*.cpp' '*.h' | xargs -0 "$formatter" --dry-run --Werror
