#!/usr/bin/env bash
# Installs the dependencies, then builds and runs the whole test suite twice:
# the normal build (preset "dev") and the sanitizer build (preset "asan",
# AddressSanitizer + UndefinedBehaviorSanitizer).
#
#   scripts/test.sh              both builds
#   scripts/test.sh dev|asan|tsan    one build only
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(dev asan)

scripts/install-deps.sh

# No display is needed: Qt runs on its offscreen platform in the tests.
export QT_QPA_PLATFORM=offscreen

for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  echo "=== $preset: test"
  ctest --preset "$preset"
done
echo "=== all tests passed (${presets[*]})"
