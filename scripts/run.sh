#!/usr/bin/env bash
# Builds the program, installs it into a library folder, puts it into the desktop's
# application menu and starts it.
#   scripts/run.sh [library-folder]      (default: ~/Quillet)
# The library folder is the program's own folder: the executable, its help file and its
# sound live there beside the user's categories. Installing again updates the program and its
# menu entry and never touches the categories, notes or documents.
set -euo pipefail

# A relative library folder is the caller's, so it is resolved before leaving their folder.
library="${1:-$HOME/Quillet}"
mkdir -p -- "$library"
library="$(cd -- "$library" && pwd)"

cd "$(dirname "$0")/.."
source scripts/deps.sh
quillet_install_missing "${quillet_run_packages[@]}"

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF -DQUILLET_BENCH=OFF >/dev/null
cmake --build build-release --target quillet -j"$(nproc)"
cmake --install build-release --prefix "$library" >/dev/null
echo "Installed into $library"
scripts/install-desktop-entry.sh "$library"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No graphical session here (DISPLAY and WAYLAND_DISPLAY are not set)."
  echo "Start it from a desktop session with: $library/quillet"
  exit 1
fi
exec "$library/quillet"
