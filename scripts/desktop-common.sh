#!/usr/bin/env bash
# What the desktop install and uninstall scripts share: the application's id and the places
# under $XDG_DATA_HOME (default ~/.local/share) where its files go. Sourced.

app_id=io.github.quillet.Quillet
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
applications="$data_home/applications"
icons="$data_home/icons/hicolor"
launcher="$data_home/quillet/quillet"
# Every file installed for the desktop, the entry and the launcher aside.
desktop_files=(
  "$icons/256x256/apps/$app_id.png"
  "$icons/scalable/apps/$app_id.svg"
  "$data_home/metainfo/$app_id.metainfo.xml"
  "$data_home/man/man1/quillet.1"
)

# A word for sh: single-quoted, each ' written as '\''.
shell_word() {
  printf "'%s'" "${1//\'/\'\\\'\'}"
}

# The launcher that starts the program of library $1.
launcher_text() {
  printf '#!/bin/sh\n'
  printf '# Starts Quillet on the library it was installed for (scripts/install-desktop-entry.sh).\n'
  printf 'exec %s "$@"\n' "$(shell_word "$1/quillet")"
}
