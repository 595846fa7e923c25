#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots: the real window on the simulated
# camera, on a virtual X server at 1920 × 1080, in a throw-away home folder.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/docs/screenshots"
build="${BUILD_DIR:-build/dev}"
cmake --build "$build" --target make_screenshots ovilen_skin

home="$(mktemp -d)"
trap 'kill "${xvfb:-0}" 2>/dev/null || true; rm -rf "$home"' EXIT
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp &
xvfb=$!
sleep 1
mkdir -p "$out" "$home/run"
chmod 700 "$home/run"
HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_DOCUMENTS_DIR="$home/Documents" \
  DISPLAY="$display" QT_QPA_PLATFORM=xcb \
  OVILEN_SIMULATED_CAMERAS='Ovilen Document Camera|usb#VID_0000&PID_2003#sim0|1600x1200 MJPG 30,1920x1080 MJPG 30,1280x720 MJPG 30,640x480 YUY2 30' \
  "$build/bin/make_screenshots" "$out"
