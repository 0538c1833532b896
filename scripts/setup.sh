#!/usr/bin/env bash
# Installs every Debian package Quill needs to build, test and run.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libsqlite3-dev sqlite3
  libfmt-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqt6printsupport6 qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core
  poppler-utils
  xvfb xauth x11-apps x11-utils imagemagick
  python3
  # readers of written workbooks that are not ours, for the tests
  python3-xlrd libreoffice-calc-nogui
  postgresql odbc-postgresql unixodbc unixodbc-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# apt-get update first in every case, so a fresh machine gets current lists.
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
