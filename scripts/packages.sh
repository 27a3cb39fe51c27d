#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, but only those missing.
# Sourced by run.sh and test.sh.
VELLORAN_PACKAGES=(
  cmake g++ make pkg-config
  qtbase5-dev qtbase5-dev-tools qttools5-dev-tools
  libqt5sql5-ibase libqt5sql5-sqlite
  qtscript5-dev libqt5charts5-dev qtdeclarative5-dev libqt5svg5-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts qml-module-qtquick-controls2
  libfbclient2 firebird3.0-server-core firebird3.0-utils
  zlib1g-dev gzip
  fonts-liberation fonts-dejavu-core fontconfig
  poppler-utils
  libcurl4-openssl-dev libgmime-3.0-dev
  python3-aiosmtpd openssl
  acl
  xvfb
)

velloran_install_packages() {
  local missing=()
  local p
  for p in "${VELLORAN_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
      return 1
    fi
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

velloran_build() {
  local build_dir="$1"
  cmake -S "$VELLORAN_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
  cmake --build "$build_dir" -j"$(nproc)" || return 1
}
