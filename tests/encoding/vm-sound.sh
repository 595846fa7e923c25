#!/usr/bin/env bash
# Runs the wave input against a real ALSA driver (snd-aloop behind the system's "default")
# in the test VM:  tests/encoding/vm-sound.sh [build dir, default build/dev]
# (A whole recording also runs there, but the emulated CPU encodes pictures below real
# time, so its duration checks do not hold in the VM.)
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build/dev}" && pwd)
source "$here/scripts/vm-harness.sh"
vm=$(ovilen_vm_runner) || exit 77
exec "$vm" -m 2048 --hostroot - "
  export OVILEN_TEST_SYSTEM_SOUND=1 QT_QPA_PLATFORM=offscreen HOME=/tmp
  arecord -l | head -3
  $build/bin/test_encoding_wave_input \
    --gtest_filter='WaveInput.SoundBeforeTheFirstReadIsDiscarded:WaveInput.ClosedInput*:WaveInputDevices.*'"
