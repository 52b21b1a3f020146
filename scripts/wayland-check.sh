#!/usr/bin/env bash
# Starts the built program on a Wayland compositor without a screen (weston's headless back
# end) and without X, as on a Wayland-only desktop, and checks that it comes up on Wayland:
# the splash screen and the main window are drawn (the client's protocol log shows their
# buffers committed) under the program's own application id, it keeps running, and a second
# start for the same library hands over to it and ends. Skipped, with the reason, where
# weston or Qt's Wayland plugin is missing.
#   scripts/wayland-check.sh <built program>
set -euo pipefail
program="$(realpath "${1:?built program}")"

if ! command -v weston >/dev/null 2>&1; then
  echo "Wayland check skipped: weston is not installed"
  exit 0
fi
if ! ls /usr/lib/*/qt6/plugins/platforms/libqwayland-*.so >/dev/null 2>&1; then
  echo "Wayland check skipped: Qt's Wayland plugin (qt6-wayland) is not installed"
  exit 0
fi

scratch="$(mktemp -d)"
compositor=""
client=""
finish() {
  [ -n "$client" ] && kill "$client" 2>/dev/null || true
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap finish EXIT
fail() {
  echo "Wayland check failed: $*"
  echo "--- weston"; tail -n 20 "$scratch/weston.log" || true
  echo "--- program"; grep -v '^\[' "$scratch/client.log" | tail -n 20 || true
  exit 1
}

# The program's folder is its library: a folder of its own, with a link to the build.
mkdir -p "$scratch/run" "$scratch/library" "$scratch/config"
chmod 700 "$scratch/run"
ln "$program" "$scratch/library/quillet" 2>/dev/null || cp "$program" "$scratch/library/quillet"
export XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config"
unset DISPLAY QT_QPA_PLATFORM

weston --backend=headless-backend.so --socket=quillet-check --idle-time=0 \
  >"$scratch/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/quillet-check" ] && break
  sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/quillet-check" ] || fail "weston did not start"

WAYLAND_DISPLAY=quillet-check WAYLAND_DEBUG=client "$scratch/library/quillet" \
  >"$scratch/client.out" 2>"$scratch/client.log" &
client=$!
for _ in $(seq 100); do
  grep -q 'set_title("Quillet 2.96' "$scratch/client.log" 2>/dev/null && break
  kill -0 "$client" 2>/dev/null || fail "the program ended at start"
  sleep 0.1
done
sleep 1
kill -0 "$client" 2>/dev/null || fail "the program did not keep running"
grep -q 'set_app_id("io.github.quillet.Quillet")' "$scratch/client.log" ||
  fail "no window with the program's application id"
# The splash is the first window, the main window the second: each had a buffer committed.
surfaces="$(grep -oE 'wl_surface@[0-9]+\.attach' "$scratch/client.log" | sort -u | wc -l)"
[ "$surfaces" -ge 2 ] || fail "the splash screen and the main window were not both drawn"

WAYLAND_DISPLAY=quillet-check timeout 20 "$scratch/library/quillet" ||
  fail "a second start did not hand over and end"
kill -0 "$client" 2>/dev/null || fail "the running copy ended after the second start"
echo "Wayland check: the program runs on weston (headless), draws its splash screen and main window, and a second start hands over"
