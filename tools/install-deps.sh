#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# Idempotent and quiet when everything is already there.
# With --fuzz, also clang and its libFuzzer runtime (only `make fuzz` needs them).
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-image-formats-plugins
  libgl-dev libxkbcommon-dev
  libsqlite3-dev sqlite3
  postgresql postgresql-client libpq-dev
  libgsf-1-dev libfreexl-dev
  libbenchmark-dev
  fonts-noto-cjk
  python3 python3-pil
  desktop-file-utils appstream
)
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
