#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build, run and test, when they are
# missing. Sourced by run.sh and test.sh.
set -euo pipefail

quillet_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libqt6svg6 qt6-qpa-plugins
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev ccache
  fonts-wqy-microhei adwaita-icon-theme
  xvfb xauth
  # a private session bus for the tests, with a stand-in for the desktop's settings portal
  dbus-daemon
)

quillet_install_missing() {
  local missing=()
  for package in "${quillet_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
