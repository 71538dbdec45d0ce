#!/usr/bin/env bash
# Installs every Debian package that Qurvex needs to build, run and test.
# Idempotent: packages already present are left alone. Waits for the package
# lock instead of failing when another apt process holds it.
set -euo pipefail

PACKAGES=(
  # toolchain and build
  g++ cmake ninja-build pkg-config
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
  # zip component
  zlib1g-dev zip unzip python3
  # RDML model
  libpugixml-dev libxml2-utils locales
  # main window and charts
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6svg6 fonts-dejavu-core
  # spreadsheet automation
  libreoffice-calc libreoffice-dev
  # headless window tests and screenshots
  xvfb xauth
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
APT=($SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -q)

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${APT[@]}" update
  "${APT[@]}" install --no-install-recommends "${missing[@]}"
fi

# A German locale for the locale-independence tests.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ -f /etc/locale.gen ] && ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null || echo "warning: could not generate de_DE.UTF-8" >&2
fi
