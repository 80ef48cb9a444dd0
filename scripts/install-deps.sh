#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Extra package names given as arguments are installed the same way.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc
    sqlite3 libsqlite3-dev unixodbc unixodbc-dev libsqliteodbc
    postgresql odbc-postgresql libqt6sql6-psql
    libmecab-dev mecab-ipadic-utf8
    fonts-ipafont-gothic fontconfig
    xvfb xauth
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
