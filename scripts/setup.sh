#!/usr/bin/env bash
# Installs every Debian package folia needs to build, test and run. Quick when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-svg-dev qt6-webengine-dev qt6-image-formats-plugins
  libgl-dev libglx-dev libopengl-dev libvulkan-dev
  libsqlite3-dev sqlite3 zlib1g-dev libssl-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcpp-httplib-dev libbrotli-dev
  fonts-noto-cjk tzdata xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
