# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

# Debian packages every build needs.
# Boost.Graph and nlohmann's JSON are headers only: the analysis needs them to build, not to run.
NODELOOM_PACKAGES=(cmake g++ make qt6-base-dev qt6-svg-dev libjpeg62-turbo-dev zlib1g-dev fonts-dejavu-core
                   pkg-config libxml2-dev libgraphviz-dev libboost-graph-dev nlohmann-json3-dev)
# And what the tests use besides: GoogleTest, an X server and a window manager for the end-to-end
# test and the tools that drive and measure it (xdotool, xprop, xwininfo), screenshots, the desktop
# validators, the Debian package's tools and checker, the readers of the exported files
# (rsvg-convert, pdftoppm, dot, Chromium); networkx with pydot, which writes the files the import
# reads and checks the analysis report; pdflatex with TikZ, which compiles the exported pictures
# and the report's tables.
NODELOOM_TEST_PACKAGES=(libgtest-dev xvfb openbox chromium xdotool x11-utils imagemagick desktop-file-utils appstream
                        shared-mime-info dpkg-dev lintian man-db librsvg2-bin poppler-utils graphviz
                        python3-networkx python3-pydot python3-numpy clang-format locales
                        texlive-latex-base texlive-latex-recommended texlive-pictures)
# What scripts/package.sh needs besides a build: dpkg-shlibdeps and dpkg-buildflags.
NODELOOM_PACKAGING_PACKAGES=(dpkg-dev)

# ensure_packages PKG...: apt-get installs the ones that are not installed yet; no apt call otherwise.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q || return 1
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# build_tree DIR BUILD_TYPE [CMAKE ARGS...]: configure (the first time, or again when switches are
# given, so that they hold for this build), then build with both cores.
build_tree() {
    local dir=$1 type=$2
    shift 2
    if [ ! -f "$dir/CMakeCache.txt" ] || [ $# -gt 0 ]; then
        cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@"
    fi
    cmake --build "$dir" -j2
}
