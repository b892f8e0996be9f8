#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need (only those missing), then configures
# and builds into build/ (or $BUILD_DIR). Safe to run again. Extra CMake options: $CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    cmake g++ make pkg-config
    qt6-base-dev libgl-dev
    unixodbc unixodbc-dev libsqlite3-dev sqlite3
    libgtest-dev libgmock-dev
    fop default-jre-headless fonts-dejavu-core fonts-liberation2
    poppler-utils
    libqpdf-dev qpdf   # encrypting the PDFs in our own process; the tests read PDFs back with qpdf
    hyphen-de hyphen-fr hyphen-it                                 # sources of the hyphenation patterns
    mariadb-server mariadb-client odbc-mariadb
    xvfb xauth xdg-utils qt6-translations-l10n
    clang-format
    dpkg-dev file help2man lintian desktop-file-utils appstream   # the Debian package and its checks
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir="${BUILD_DIR:-build}"
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
cmake --build "$build_dir" -j"$(nproc)"
