#!/usr/bin/env bash
# Checks the camera's hidraw rule with the real udevadm against the kernel's
# real hidraw devices: boots a virtual machine (run-in-vm.sh, qemu) in which
# uhid devices of products 2004, 2003 and 12003 appear; only 2003 may get the
# uaccess tag. Not part of CI; exits 77 (skipped) when qemu, udevadm or the VM
# runner is not at hand.
#
#   tests/packaging/vm/run.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
runner=${OVILEN_VM_RUNNER:-/work/shared/tools/vm/run-in-vm.sh}
udevadm=$(command -v udevadm || true)

if ! command -v qemu-system-x86_64 > /dev/null || [ ! -x "$runner" ] || [ -z "$udevadm" ]; then
  echo "skipped: qemu-system-x86_64, udevadm or $runner not available"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -static -o "$work/uhid_camera" "$source/tests/afbridge/vm/uhid_camera.c"
cp "$udevadm" "$source/packaging/70-ovilen.rules" "$here/guest.sh" "$work/"

output=$("$runner" --timeout 300 "$work" ./guest.sh 2>&1) || true
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
echo "PASSED: the hidraw rule tags the camera's node, and only that"
