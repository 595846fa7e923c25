#!/usr/bin/env bash
# The real-driver suite: every test that needs a kernel driver this machine
# lacks, each in the test VM (qemu): the V4L2 provider against vivid, the
# snapshot button against uinput, afbridge against uhid devices, the wave
# input against snd-aloop, and the udev rule against real hidraw nodes.
# Run it before a release; it is not part of CI (about 2 minutes under
# software emulation on a quiet machine).
#
#   scripts/vm-suite.sh [--vm RUNNER] [--preset PRESET] [--no-build] [NAME...]
#
#   --vm RUNNER    the VM runner (run-in-vm.sh); default: OVILEN_VM_RUNNER, or
#                  ../shared/tools/vm beside the repository (scripts/vm-harness.sh)
#   --preset P     the build the tests come from (default dev); built first
#   NAME           run only these: v4l2 button afbridge sound udev
set -euo pipefail
cd "$(dirname "$0")/.."

preset=dev
build=1
names=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --vm) export OVILEN_VM_RUNNER=$2; shift 2 ;;
    --preset) preset=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    v4l2|button|afbridge|sound|udev) names+=("$1"); shift ;;
    *) echo "usage: $0 [--vm RUNNER] [--preset PRESET] [--no-build] [v4l2|button|afbridge|sound|udev]..." >&2
       exit 2 ;;
  esac
done
[ "${#names[@]}" -gt 0 ] || names=(v4l2 button afbridge sound udev)

source scripts/vm-harness.sh
runner=$(ovilen_vm_runner) || exit 2
export OVILEN_VM_RUNNER=$runner
command -v qemu-system-x86_64 >/dev/null || { echo "qemu-system-x86_64 is missing: scripts/install-deps.sh --vm" >&2; exit 2; }
echo "VM runner: $runner"

if [ "$build" = 1 ]; then
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target test_capture_v4l2_live test_capture_snapshot_button \
    afbridge afbridge-tool test_encoding_wave_input
fi

command_of() {
  case "$1" in
    v4l2) echo "tests/capture/run-v4l2-in-vm.sh $preset" ;;
    button) echo "tests/capture/run-button-in-vm.sh $preset" ;;
    afbridge) echo "tests/afbridge/vm/run.sh build/$preset/bin" ;;
    sound) echo "tests/encoding/vm-sound.sh build/$preset" ;;
    udev) echo "tests/packaging/vm/run.sh" ;;
  esac
}

mkdir -p "build/$preset/vm-suite"
summary=()
failed=0
for name in "${names[@]}"; do
  log=build/$preset/vm-suite/$name.log
  echo "=== $name: $(command_of "$name")"
  start=$SECONDS
  status=0
  # shellcheck disable=SC2046
  $(command_of "$name") >"$log" 2>&1 || status=$?
  took=$((SECONDS - start))
  case "$status" in
    0) result=passed ;;
    77) result=skipped; failed=1 ;;
    *) result="FAILED ($status)"; failed=1 ;;
  esac
  summary+=("$(printf '%-9s %-12s %4d s   %s' "$name" "$result" "$took" "$log")")
  [ "$status" = 0 ] || tail -30 "$log"
done

printf '%s\n' "${summary[@]}"
if [ "$failed" != 0 ]; then
  echo "vm-suite: not every real-driver test passed" >&2
  exit 1
fi
echo "vm-suite: every real-driver test passed"
