#!/usr/bin/env bash
# The Debian 12 packages of the project, and what installs the missing ones. Sourced by
# run.sh (what the program needs) and test.sh (that and what the tests need).
set -euo pipefail

# To build the program and run it on any desktop, X or Wayland: the tool chain, Qt with its
# X and Wayland window systems, Qt's Chinese texts, a CJK font and an icon theme.
quillet_run_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libqt6svg6 qt6-qpa-plugins qt6-wayland
  fonts-wqy-microhei adwaita-icon-theme
)

# Besides, for scripts/test.sh: GoogleTest and Google Benchmark, clang with its sanitizer
# libraries for the fuzz targets, ccache, a virtual X server, the validators of the desktop
# files (desktop-file-validate, appstreamcli, gio launch, groff), a Wayland compositor with a
# headless back end, bindfs for the test of a FUSE mount, and a session bus.
quillet_test_packages=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev ccache
  xvfb xauth
  desktop-file-utils appstream libglib2.0-bin groff-base
  weston bindfs
  # a private session bus for the tests, with a stand-in for the desktop's settings portal
  dbus-daemon
)

# Installs those of the packages named that are missing.
quillet_install_missing() {
  local missing=()
  for package in "$@"; do
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
