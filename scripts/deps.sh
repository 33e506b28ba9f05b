#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          zlib1g-dev libjpeg62-turbo-dev libfreetype-dev libsdl2-dev fonts-liberation fonts-dejavu-core
          libosmesa6-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
# ccache is welcome but optional
if ! command -v ccache >/dev/null 2>&1; then
  DEBIAN_FRONTEND=noninteractive ${SUDO:-} apt-get install -y -qq ccache >/dev/null 2>&1 || true
fi
