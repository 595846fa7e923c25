#!/usr/bin/env bash
# Runs the V4L2 tests against the real vivid driver inside the test VM
# (the VM runner, found by scripts/vm-harness.sh, boots a kernel with vivid loaded).
#
#   tests/capture/run-v4l2-in-vm.sh [preset]     default preset: dev
set -euo pipefail
cd "$(dirname "$0")/../.."
preset=${1:-dev}
source scripts/vm-harness.sh
vm=$(ovilen_vm_runner) || exit 77
test_bin="$PWD/build/$preset/bin/test_capture_v4l2_live"
[ -x "$test_bin" ] || { echo "build $test_bin first" >&2; exit 2; }

# A GStreamer registry made here spares the guest its slow plugin scan.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
GST_REGISTRY="$work/registry.bin" gst-inspect-1.0 >/dev/null

exec "$vm" --hostroot --timeout 900 "$work" \
  "export HOME=/tmp XDG_RUNTIME_DIR=/tmp QT_QPA_PLATFORM=offscreen \
GST_REGISTRY=/tmp/tests/registry.bin GST_REGISTRY_UPDATE=no; $test_bin"
