#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# when any is missing. Runs as root (or through sudo when available).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev zlib1g-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2 fonts-dejavu-core
          libfreetype-dev gdal-bin xvfb openbox xdotool x11-utils imagemagick pngcheck
          ghostscript librsvg2-bin libxml2-utils python3 python3-ezdxf python3-pil python3-matplotlib
          poppler-utils libwmf-bin emf2svg clang libclang-rt-dev hp2xx pandoc libreoffice-writer-nogui libreoffice-impress-nogui)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
