#!/usr/bin/env bash
# Runs libafbridge.so against the kernel's real hidraw driver: boots a virtual
# machine (the VM runner, see scripts/vm-harness.sh) in which a uhid device stands in for the camera,
# and checks the 65-byte reports it receives. Not part of CI; exits 77 (skipped)
# when qemu or the VM runner is not at hand.
#
#   tests/afbridge/vm/run.sh [BIN_DIR]      (default build/dev/bin)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../../../build/dev/bin}" && pwd)
source "$here/../../../scripts/vm-harness.sh"

if ! command -v qemu-system-x86_64 > /dev/null || ! runner=$(ovilen_vm_runner); then
  echo "skipped: qemu-system-x86_64 or the VM runner not available"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -static -o "$work/uhid_camera" "$here/uhid_camera.c"
cp -P "$bin"/libafbridge.so* "$bin/afbridge-tool" "$here/guest.sh" "$work/"

output=$("$runner" --timeout 120 "$work" ./guest.sh 2>&1) || true
echo "$output"

zeros=$(printf ' 00%.0s' $(seq 61))
expect() {
  if ! grep -qF -- "$1" <<< "$output"; then
    echo "FAILED: expected \"$1\""
    exit 1
  fi
}
expect "0	vid_1234&pid_2003"
expect "vid_1234&pid_2003: manual focus"
expect "vid_1234&pid_2003: auto focus"
expect "uhid_camera: output report of 65 bytes: 00 02 04 03$zeros"
expect "uhid_camera: output report of 65 bytes: 00 02 04 00$zeros"
expect "no HID interface vid_1234&pid_2004"
expect "uhid_camera exit 0"
echo "PASSED: libafbridge.so drove the real hidraw driver"
