#!/usr/bin/env bash
# Makes the program a citizen of the user's desktop: a desktop entry in the application menu
# and the program's icon, in the freedesktop locations under $XDG_DATA_HOME (default
# ~/.local/share). The entry starts the program installed in the library folder, which is
# the library it works on. Running it again updates both.
#   scripts/install-desktop-entry.sh <library-folder>
set -euo pipefail

# A relative library folder is the caller's, so it is resolved before leaving their folder.
library="$(cd -- "${1:?library folder}" && pwd)"
cd "$(dirname "$0")/.."

data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
applications="$data_home/applications"
icons="$data_home/icons/hicolor"

# A value of the entry: backslashes, line breaks and tabs are escaped.
entry_value() {
  local value="${1//\\/\\\\}"
  value="${value//$'\n'/\\n}"
  value="${value//$'\t'/\\t}"
  printf '%s' "$value"
}

# The program as an argument of Exec: quoted, with ", `, $ and \ escaped inside the quotes,
# and % doubled, since a single % starts a field code even inside quotes.
exec_argument() {
  local value="$1"
  value="${value//\\/\\\\}"
  value="${value//\"/\\\"}"
  value="${value//\`/\\\`}"
  value="${value//\$/\\\$}"
  value="${value//%/%%}"
  entry_value "\"$value\""
}

mkdir -p "$applications" "$icons/256x256/apps" "$icons/scalable/apps"
install -m 644 ui/resources/icons/app.png "$icons/256x256/apps/quillet.png"
install -m 644 ui/resources/icons/app.svg "$icons/scalable/apps/quillet.svg"

entry="$(mktemp "$applications/.quillet.desktop.XXXXXX")"
cat > "$entry" <<ENTRY
[Desktop Entry]
Type=Application
Version=1.4
Name=Quillet
GenericName=File collection manager
GenericName[zh_CN]=文件分类管理
Comment=Keep downloaded software and documents in categories with notes
Comment[zh_CN]=把下载的软件和文档分类整理，并为每个文件写上注释
Icon=quillet
Exec=$(exec_argument "$library/quillet")
Path=$(entry_value "$library")
Terminal=false
Categories=Utility;FileTools;Qt;
Keywords=files;library;notes;category;
StartupNotify=true
StartupWMClass=quillet
ENTRY
chmod 644 "$entry"
mv -f "$entry" "$applications/quillet.desktop"

# The menus notice a new entry or icon sooner when their caches are refreshed.
if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$icons/index.theme" ]; then
  gtk-update-icon-cache -q -t "$icons" || true
fi
echo "Desktop entry: $applications/quillet.desktop"
