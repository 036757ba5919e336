#!/usr/bin/env bash
# Installs every Debian package that building, testing and running need.
# Idempotent and quiet when everything is already present.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build ccache mold pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev libfontconfig-dev libjpeg62-turbo-dev libtiff-dev libgif-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-dejavu-core fonts-liberation2
  xvfb xdotool x11-utils
  libcanberra-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
