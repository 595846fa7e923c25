#!/usr/bin/env bash
# Checks the camera's hidraw rule with the real udevadm against the kernel's
# real hidraw devices: boots a virtual machine (the VM runner, see
# scripts/vm-harness.sh) in which
# uhid devices of products 2004, 2003 and 12003 appear; only 2003 may get the
# uaccess tag. Then a real USB keyboard of product 2003 (a gadget on dummy_hcd):
# its hidraw node gets the tag, its input node, not a camera's button, does not.
# Not part of CI; exits 77 (skipped) when qemu, udevadm or the VM runner is not
# at hand.
#
#   tests/packaging/vm/run.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
source "$source/scripts/vm-harness.sh"
udevadm=$(command -v udevadm || true)

if ! command -v qemu-system-x86_64 > /dev/null || ! runner=$(ovilen_vm_runner) || [ -z "$udevadm" ]; then
  echo "skipped: qemu-system-x86_64, udevadm or the VM runner not available"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -static -o "$work/uhid_camera" "$source/tests/afbridge/vm/uhid_camera.c"
cp "$udevadm" "$source/packaging/70-ovilen.rules" "$here/guest.sh" "$work/"
# The system's rule that names an input node's USB model and driver.
cp /usr/lib/udev/rules.d/60-persistent-input.rules "$work/" 2> /dev/null ||
  cp /lib/udev/rules.d/60-persistent-input.rules "$work/"

output=$("$runner" --timeout 300 --include evdev "$work" ./guest.sh 2>&1) || true
echo "$output"

expect() {
  if ! grep -qxF -- "$1" <<< "$output"; then
    echo "FAILED: expected \"$1\""
    exit 1
  fi
}
expect "product 2004: 0003:1234:2004.0001 tags=[]"
expect "product 2003: 0003:1234:2003.0002 tags=[:uaccess:]"
expect "product 12003: 0003:1234:12003.0003 tags=[]"
expect "usb hidraw: product 2003 tags=[:uaccess:]"
expect "usb input: model 2003 driver usbhid tags=[]"
echo "PASSED: the hidraw rule tags the camera's node, and only that; a keyboard's input node is left alone"
