#!/usr/bin/env bash
# Installs the Debian packages nlx needs to build, test and run; does nothing when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config dpkg-dev file gettext
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libsqlite3-dev sqlite3
  qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev qt6-translations-l10n
  libxlsxwriter-dev python3-openpyxl
  fonts-noto-cjk locales-all
  clang libclang-rt-14-dev
  xvfb xauth openbox x11-utils libxtst-dev poppler-utils desktop-file-utils man-db
  cups cups-client printer-driver-cups-pdf
  libpq-dev postgresql
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
