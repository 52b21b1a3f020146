#!/usr/bin/env bash
# Removes what scripts/run.sh installed: the program, its help file and its sound from the
# library folder, and the desktop entry, icon, metainfo, manual page and launcher from
# $XDG_DATA_HOME (default ~/.local/share). The library's categories, notes, documents,
# recycle box and transit folder stay, and so does the configuration file: installing again
# brings the program back to them.
#   scripts/uninstall.sh [library-folder]      (default: ~/Quillet)
set -euo pipefail

library="${1:-$HOME/Quillet}"
if [ ! -d "$library" ]; then
  echo "No library folder at $library" >&2
  exit 1
fi
library="$(cd -- "$library" && pwd)"

cd "$(dirname "$0")/.."
source scripts/desktop-common.sh

# Files only, never a folder: a category may carry any name.
remove_file() {
  if [ -f "$1" ] || [ -L "$1" ]; then
    rm -f -- "$1"
    echo "Removed $1"
  fi
}

for name in quillet quillet.html DropEnd.wav; do
  remove_file "$library/$name"
done
# The desktop entry and the launcher are removed only when they start this library.
if [ -f "$launcher" ] && [ "$(cat -- "$launcher")" != "$(launcher_text "$library")" ]; then
  echo "The menu entry starts another library; it stays."
else
  remove_file "$applications/$app_id.desktop"
  remove_file "$launcher"
  rmdir -- "$data_home/quillet" 2>/dev/null || true
  for file in "${desktop_files[@]}"; do
    remove_file "$file"
  done
fi

if command -v update-desktop-database >/dev/null 2>&1 && [ -d "$applications" ]; then
  update-desktop-database -q "$applications" || true
fi
echo "Your categories, notes and documents in $library are untouched."
