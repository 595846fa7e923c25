#!/usr/bin/env bash
# Installs the dependencies, then builds and runs the whole test suite twice:
# the normal build (preset "dev", followed by the naming check of every
# module, scripts/check-naming.sh) and the sanitizer build (preset "asan",
# AddressSanitizer + UndefinedBehaviorSanitizer). Then ThreadSanitizer (preset
# "tsan") runs the tests of the modules with threads of their own, capture
# (streaming threads, recording) and encoding (its workers).
#
#   scripts/test.sh              all of that, the viewer's release build, then
#                                every fuzz target for OVILEN_FUZZ_SECONDS (30 s)
#   scripts/test.sh dev|asan|tsan    one build only, its whole suite
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(dev asan)

scripts/install-deps.sh

# No display is needed: Qt runs on its offscreen platform in the tests.
export QT_QPA_PLATFORM=offscreen

# The compiler cache: a second run, or another checkout on the same machine,
# compiles only what changed. Paths below the checkout are hashed relative to
# it, so checkouts in different folders share the cache.
if command -v ccache >/dev/null 2>&1 && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD"
fi

for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  if [ "$preset" = dev ]; then
    echo "=== dev: naming check"
    scripts/check-naming.sh build/dev
  fi
  echo "=== $preset: test"
  ctest --preset "$preset"
done
if [ "$#" -eq 0 ]; then
  echo "=== tsan: configure and build (capture, encoding and window tests)"
  cmake --preset tsan
  cmake --build --preset tsan --target tests/capture/all tests/encoding/all tests/app/all tests/scene/all
  echo "=== tsan: test (capture, encoding and the window)"
  ctest --preset tsan -L '^(capture|encoding|app|scene)$'
fi
# The viewer as scripts/run.sh builds it: an optimised build can warn where
# the others do not, and warnings are errors.
if [ "$#" -eq 0 ]; then
  echo "=== release: configure and build"
  cmake --preset release
  cmake --build --preset release
  echo "=== fuzz: every reader of outside data, ${OVILEN_FUZZ_SECONDS:-30} s each"
  scripts/fuzz.sh "${OVILEN_FUZZ_SECONDS:-30}"
fi
if [ "$#" -eq 0 ]; then
  echo "=== all tests passed (${presets[*]}, tsan on capture, encoding and the window, fuzzing); the release build compiles"
else
  echo "=== all tests passed (${presets[*]})"
fi
