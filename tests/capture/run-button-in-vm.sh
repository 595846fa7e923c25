#!/usr/bin/env bash
# Runs the snapshot-button tests inside the test VM, where uinput makes a real
# input device with the camera key (the VM runner, found by scripts/vm-harness.sh).
#
#   tests/capture/run-button-in-vm.sh [preset]     default preset: dev
set -euo pipefail
cd "$(dirname "$0")/../.."
preset=${1:-dev}
source scripts/vm-harness.sh
vm=$(ovilen_vm_runner) || exit 77
test_bin="$PWD/build/$preset/bin/test_capture_snapshot_button"
[ -x "$test_bin" ] || { echo "build $test_bin first" >&2; exit 2; }

exec "$vm" --hostroot --add-load evdev --add-load uinput --timeout 600 - \
  "export HOME=/tmp XDG_RUNTIME_DIR=/tmp; $test_bin"
