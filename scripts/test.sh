#!/usr/bin/env bash
# Builds everything and runs every test, without a display (Qt's offscreen platform); then
# starts the program on a headless Wayland compositor and runs the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quillet_install_missing "${quillet_run_packages[@]}" "${quillet_test_packages[@]}"

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# The program on a Wayland desktop without X (weston's headless back end).
scripts/wayland-check.sh build-test/app/quillet

# The fuzz targets, built with clang, each for 20 seconds.
scripts/fuzz.sh 20
