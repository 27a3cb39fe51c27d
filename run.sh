#!/usr/bin/env bash
# Installs what is missing, builds, puts the delivered databases into the data folder
# (never over an existing one) and starts Velloran.
set -euo pipefail
VELLORAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export VELLORAN_ROOT
. "$VELLORAN_ROOT/scripts/packages.sh"
velloran_install_packages
BUILD_DIR="${VELLORAN_BUILD_DIR:-$VELLORAN_ROOT/build}"
velloran_build "$BUILD_DIR"

# The same folder the programs compute: $VELLORAN_DOCUMENTS, else the user's data location.
DOCS="${VELLORAN_DOCUMENTS:-${XDG_DATA_HOME:-$HOME/.local/share}}"
DATA_DIR="$DOCS/Morvessa/Morvessa Velloran"
mkdir -p "$DATA_DIR"
for f in DATA.FDB DEMO.FDB; do
  if [ ! -e "$DATA_DIR/$f" ]; then
    cp "$BUILD_DIR/db/$f" "$DATA_DIR/$f"
    chmod 0660 "$DATA_DIR/$f"
    echo "Installed $f into $DATA_DIR"
  fi
done

exec "$BUILD_DIR/velloran" "$@"
