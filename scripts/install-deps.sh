#!/usr/bin/env bash
# Installs the Debian 12 packages Quendra needs to build, run and test. Idempotent:
# packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc qt6-translations-l10n
  libgtest-dev libgmock-dev
  unixodbc unixodbc-dev odbc-postgresql libpq-dev libsqliteodbc
  libshp-dev pxlib-dev libfreexl-dev libwps-dev mdbtools-dev mdbtools libtomlplusplus-dev
  libzip-dev libexpat1-dev libxlsxwriter-dev libsqlite3-dev
  postgresql sqlite3 gawk python3 python3-xlrd python3-xlwt python3-psycopg2
  python3-openpyxl python3-xlsxwriter xlsx2csv
  time bc miller hyperfine valgrind
  clang-14 libclang-rt-14-dev clang-format-14
  file lintian man-db xvfb xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "Installiere Pakete: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
