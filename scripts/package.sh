#!/usr/bin/env bash
# Builds the Debian package nodeloom_VERSION_ARCH.deb into the source folder: a Release build
# with the install prefix /usr and Debian's build flags in build-package/, then CPack.
#   scripts/package.sh && sudo apt install ./nodeloom_5.1.0_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${NODELOOM_PACKAGES[@]}" "${NODELOOM_PACKAGING_PACKAGES[@]}"
# Hardening and optimisation as Debian's own packages are built, with every hardening feature
# (bind now included); read at the first configure.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
build_tree build-package Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF
rm -f build-package/nodeloom_*.deb
(cd build-package && cpack -G DEB)
cp build-package/nodeloom_*.deb .
ls nodeloom_*.deb
