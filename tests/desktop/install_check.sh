#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks that every file lands where the
# freedesktop specifications expect it, that the validators accept them, that the MIME database
# knows *.gf4, and that the installed program runs.
#   install_check.sh BUILD_FOLDER
set -uo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/nodeloom share/nodeloom/help.html share/applications/nodeloom.desktop \
         share/mime/packages/nodeloom.xml share/metainfo/nodeloom.metainfo.xml \
         share/icons/hicolor/16x16/apps/nodeloom.png share/icons/hicolor/32x32/apps/nodeloom.png \
         share/icons/hicolor/48x48/apps/nodeloom.png share/icons/hicolor/128x128/apps/nodeloom.png \
         share/man/man1/nodeloom.1.gz; do
    [ -f "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/nodeloom" ] || fail "bin/nodeloom is not executable"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/nodeloom.desktop" || fail "desktop entry invalid"
else
    echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/nodeloom.metainfo.xml" || fail "metainfo invalid"
else
    echo "appstreamcli not installed: metainfo not validated"
fi
if command -v update-mime-database >/dev/null; then
    update-mime-database "$prefix/share/mime" || fail "update-mime-database failed"
    grep -q 'application/x-nodeloom-gf4' "$prefix/share/mime/globs2" || fail "*.gf4 not in the MIME globs"
    grep -q '\*\.gf4' "$prefix/share/mime/globs2" || fail "*.gf4 pattern missing"
else
    echo "update-mime-database not installed: MIME package not compiled"
fi

[ "$("$prefix/bin/nodeloom" --version)" = "Nodeloom 5.1" ] || fail "--version does not print Nodeloom 5.1"
# Whole, then searched: grep -q would stop reading at the first match and, with pipefail, a
# program still writing the rest of its help would count as failing.
help=$("$prefix/bin/nodeloom" --help) || fail "--help fails"
grep -q -- '--version' <<< "$help" || fail "--help does not list the options"
echo "PASS: install into $prefix"
