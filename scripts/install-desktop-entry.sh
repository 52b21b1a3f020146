#!/usr/bin/env bash
# Makes the program a citizen of the user's desktop, in the freedesktop locations under
# $XDG_DATA_HOME (default ~/.local/share): a desktop entry in the application menu (files
# opened with it go to the library's running copy), the program's icon, its AppStream
# metainfo for software centres, its manual page, and a launcher that starts the program
# installed in the library folder, which is the library it works on. Running it again
# updates all of them; scripts/uninstall.sh removes them.
#   scripts/install-desktop-entry.sh <library-folder>
set -euo pipefail

# A relative library folder is the caller's, so it is resolved before leaving their folder.
library="$(cd -- "${1:?library folder}" && pwd)"
cd "$(dirname "$0")/.."

source scripts/desktop-common.sh

# A value of the entry: backslashes, line breaks and tabs are escaped.
entry_value() {
  local value="${1//\\/\\\\}"
  value="${value//$'\n'/\\n}"
  value="${value//$'\t'/\\t}"
  printf '%s' "$value"
}

# A path as an argument of Exec: quoted, with ", `, $ and \ escaped inside the quotes, and %
# doubled, since a single % starts a field code even inside quotes.
exec_argument() {
  local value="$1"
  value="${value//\\/\\\\}"
  value="${value//\"/\\\"}"
  value="${value//\`/\\\`}"
  value="${value//\$/\\\$}"
  value="${value//%/%%}"
  entry_value "\"$value\""
}

# The entry starts a launcher rather than the library's program itself: GLib-based menus look
# for the program named in Exec before expanding its field codes, so a library whose path
# holds a % could not start from them.
mkdir -p "$(dirname "$launcher")"
staged="$(mktemp "$launcher.XXXXXX")"
launcher_text "$library" > "$staged"
chmod 755 "$staged"
mv -f "$staged" "$launcher"
if [[ "$launcher" == *%* ]]; then
  echo "Note: $launcher holds a '%'; menus built on GLib cannot start it." >&2
fi

mkdir -p "$applications" "$icons/256x256/apps" "$icons/scalable/apps" \
  "$data_home/metainfo" "$data_home/man/man1"
install -m 644 ui/resources/icons/app.png "${desktop_files[0]}"
install -m 644 ui/resources/icons/app.svg "${desktop_files[1]}"
install -m 644 "assets/$app_id.metainfo.xml" "${desktop_files[2]}"
install -m 644 assets/quillet.1 "${desktop_files[3]}"

entry="$(mktemp "$applications/.$app_id.desktop.XXXXXX")"
cat > "$entry" <<ENTRY
[Desktop Entry]
Type=Application
Version=1.4
Name=Quillet
GenericName=File collection manager
GenericName[zh_CN]=文件分类管理
Comment=Keep downloaded software and documents in categories with notes
Comment[zh_CN]=把下载的软件和文档分类整理，并为每个文件写上注释
Icon=$app_id
Exec=$(exec_argument "$launcher") %F
Path=$(entry_value "$library")
Terminal=false
Categories=Utility;FileTools;Qt;
Keywords=files;library;notes;category;
StartupNotify=true
StartupWMClass=quillet
ENTRY
chmod 644 "$entry"
mv -f "$entry" "$applications/$app_id.desktop"

# What an earlier version installed under the program's short name.
rm -f "$applications/quillet.desktop" "$icons/256x256/apps/quillet.png" \
  "$icons/scalable/apps/quillet.svg"

# The menus notice a new entry or icon sooner when their caches are refreshed.
if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$icons/index.theme" ]; then
  gtk-update-icon-cache -q -t "$icons" || true
fi
echo "Desktop entry: $applications/$app_id.desktop"
