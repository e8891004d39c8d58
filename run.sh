#!/usr/bin/env bash
# Builds Nodeloom in Release (installing what is missing) and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages "${NODELOOM_PACKAGES[@]}"
build_tree build Release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found. To start the editor on a virtual X server:"
    echo "  apt-get install xvfb && xvfb-run -s '-screen 0 1280x1024x24' ./build/app/nodeloom"
    exit 1
fi
exec ./build/app/nodeloom "$@"
