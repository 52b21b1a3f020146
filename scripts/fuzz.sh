#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (address and undefined-behaviour
# sanitizers) in build-fuzz, and runs each for a fixed time, 20 seconds unless given, on a
# copy of its seed corpus. A crash, a sanitizer report or a failed check ends it with an
# error; the input that caused it is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"

CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_FUZZ=ON \
  -DQUILLET_WERROR=ON >/dev/null
if ! cmake --build build-fuzz -j"$(nproc)" >build-fuzz/build.log 2>&1; then
  tail -n 40 build-fuzz/build.log
  exit 1
fi

for target in ini_document text_codec uri_list mount_info note_sanitizer; do
  corpus="build-fuzz/corpus-$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  log="build-fuzz/fuzz-$target.log"
  # A target whose inputs are text with a grammar has a dictionary of its pieces.
  dictionary=()
  if [ -f "tests/fuzz/$target.dict" ]; then
    dictionary=(-dict="tests/fuzz/$target.dict")
  fi
  if ! "build-fuzz/tests/fuzz/fuzz_$target" "${dictionary[@]}" -max_total_time="$seconds" -timeout=10 \
      -artifact_prefix="build-fuzz/crash-$target-" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz_$target failed; see $log"
    exit 1
  fi
  echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")"
done
