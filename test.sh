#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite offscreen.
set -euo pipefail
VELLORAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export VELLORAN_ROOT
. "$VELLORAN_ROOT/scripts/packages.sh"
velloran_install_packages
BUILD_DIR="${VELLORAN_BUILD_DIR:-$VELLORAN_ROOT/build}"
velloran_build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" --timeout 300
