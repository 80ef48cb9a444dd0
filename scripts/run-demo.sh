#!/usr/bin/env bash
# Installs what is missing, builds, and opens the receipt list on the demo database.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DPARLOW6_BUILD_TESTS=OFF
build_dir=${BUILD_DIR:-$root/build}
export FONTCONFIG_FILE="$root/fonts/fonts.conf"
host=("$build_dir/host/parlow6-host" --db "$build_dir/demo.sqlite" "$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$build_dir/demo.png"
    echo "No display here: rendering the screen to $shot instead."
    QT_QPA_PLATFORM=offscreen "${host[@]}" --search --screenshot "$shot"
    exit 0
fi
exec "${host[@]}"
