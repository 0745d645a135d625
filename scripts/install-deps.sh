#!/usr/bin/env bash
# Installs everything needed to build, test and run the editor on Debian 12.
# Idempotent and quick when all packages are present already.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-pdf-dev qt6-image-formats-plugins libgl-dev
  libxml2-dev libxml2-utils libxslt1-dev zlib1g-dev libplist-dev
  libhunspell-dev hunspell-en-us fonts-liberation2 fonts-dejavu-core fontconfig libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zip unzip file poppler-utils
  desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl
  libjemalloc-dev libmimalloc-dev
  clang libclang-rt-14-dev llvm-14 clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
