#!/usr/bin/env bash
# Installs the dependencies, builds the viewer and starts it. Without a real
# document camera the viewer shows the simulated one (see README).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release

if [ -z "${OVILEN_SIMULATED_CAMERAS:-}" ]; then
  export OVILEN_SIMULATED_CAMERAS='Ovilen Document Camera|usb#VID_0000&PID_2003#sim0|1600x1200 MJPG 30,1920x1080 MJPG 30,1280x720 MJPG 30,640x480 YUY2 30'
fi
exec build/release/bin/ovilen "$@"
