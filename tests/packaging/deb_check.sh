#!/usr/bin/env bash
# Makes the Debian package from a built tree with CPack (no second compile) and checks it: every
# file in place with its mode and owner and nothing else, the control fields, no maintainer
# scripts, lintian, the packaged manual page rendered without warnings and naming every option
# the program lists, and the packaged program answering --version.
#   deb_check.sh BUILD_FOLDER
set -uo pipefail
build=$1
version=5.1.0
skip() { echo "SKIP: $*"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for tool in cpack dpkg-deb dpkg-shlibdeps lintian man gzip; do
    command -v "$tool" >/dev/null ||
        skip "$tool is not installed, so the Debian package is not checked (./test.sh installs it)"
done
arch=$(dpkg --print-architecture)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not make the package"
    exit 1
fi
deb=$work/out/nodeloom_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $(basename "$deb")"; exit 1; }

# Files: mode, then path. Every one must be there, owned by root, and there must be no other.
files=(
    "-rwxr-xr-x ./usr/bin/nodeloom"
    "-rw-r--r-- ./usr/share/nodeloom/help.html"
    "-rw-r--r-- ./usr/share/applications/nodeloom.desktop"
    "-rw-r--r-- ./usr/share/mime/packages/nodeloom.xml"
    "-rw-r--r-- ./usr/share/metainfo/nodeloom.metainfo.xml"
    "-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/nodeloom.png"
    "-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/nodeloom.png"
    "-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/nodeloom.png"
    "-rw-r--r-- ./usr/share/icons/hicolor/128x128/apps/nodeloom.png"
    "-rw-r--r-- ./usr/share/man/man1/nodeloom.1.gz"
    "-rw-r--r-- ./usr/share/doc/nodeloom/copyright"
    "-rw-r--r-- ./usr/share/doc/nodeloom/changelog.gz"
)
dpkg-deb -c "$deb" >"$work/contents" || fail "dpkg-deb -c cannot list the package"
awk '$1 !~ /^d/ { print $1, $NF }' "$work/contents" | sort >"$work/got"
printf '%s\n' "${files[@]}" | sort >"$work/want"
diff "$work/want" "$work/got" >"$work/files.diff" ||
    fail "files differ from the expected list (< expected, > in the package):$(printf '\n%s' "$(cat "$work/files.diff")")"
awk '$2 != "root/root" { print }' "$work/contents" | grep . && fail "entries not owned by root/root"

# Control fields: field, then the extended regular expression its value must match.
fields=(
    "Package ^nodeloom$"
    "Version ^${version}$"
    "Architecture ^${arch}$"
    "Section ^graphics$"
    "Priority ^optional$"
    "Maintainer ^[^<>]+ <[^@<> ]+@[^@<> ]+\\.[a-z]+>$"
    "Depends (^|, )fonts-dejavu-core(,|$)"
    "Depends (^|, )libqt6widgets6 \\(>= [0-9]"
    "Depends (^|, )libc6 \\(>= [0-9]"
    "Description ^[a-z].{10,78}$"
)
for row in "${fields[@]}"; do
    field=${row%% *} pattern=${row#* }
    value=$(dpkg-deb -f "$deb" "$field" | head -n 1)
    [[ $value =~ $pattern ]] || fail "control field $field is \"$value\", expected to match $pattern"
done
long=$(dpkg-deb -f "$deb" Description | tail -n +2 | grep -c '^ [^ ]')
[ "$long" -ge 3 ] || fail "the long description has $long lines, expected at least 3"

# The system's triggers refresh the caches: the control part holds no maintainer script.
members=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep . | sort | tr '\n' ' ')
[ "$members" = "control md5sums " ] || fail "control members are \"$members\", expected control and md5sums only"

# lintian: no error and no warning (its informational notes are shown, not counted).
lintian --display-info --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
cat "$work/lintian"
grep -q '^E: ' "$work/lintian" && fail "lintian reports errors"
grep -q '^W: ' "$work/lintian" && fail "lintian reports warnings"

# The packaged program and manual page.
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x cannot unpack the package"
program=$work/root/usr/bin/nodeloom
[ "$("$program" --version)" = "Nodeloom 5.1" ] || fail "the packaged program does not answer --version"
page=$work/root/usr/share/man/man1/nodeloom.1.gz
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/page" 2>"$work/man.err"
[ -s "$work/man.err" ] && fail "man reports: $(cat "$work/man.err")"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS "FILE FORMAT" FILES "EXIT STATUS" "SEE ALSO"; do
    grep -qx "$section" "$work/page" || fail "the manual page has no $section section"
done
# Every long option that --help lists is in the manual page's source, but --help-all: Qt's
# parser lists it, and the program does not act on it yet.
gzip -dc "$page" | sed 's/\\-/-/g' >"$work/source"
for option in $("$program" --help | grep -o -- '--[a-z][a-z-]*' | grep -vx -- --help-all | sort -u); do
    grep -q -- "$option" "$work/source" || fail "the manual page does not mention $option"
done

[ "$failures" -eq 0 ] || exit 1
echo "PASS: $(basename "$deb")"
