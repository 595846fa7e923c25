#!/bin/sh
# Runs inside the virtual machine: a uhid camera 1234:2003, then afbridge-tool
# lists it and switches its focus mode twice.
./uhid_camera 1234 2003 2 10 &
camera=$!
i=0
while [ -z "$(ls /sys/class/hidraw 2>/dev/null)" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
for entry in /sys/class/hidraw/*; do
  echo "$entry: $(grep HID_ID "$entry/device/uevent")"
done
./afbridge-tool list
./afbridge-tool focus 1234 2003 manual
./afbridge-tool focus 1234 2003 auto
./afbridge-tool focus 1234 2004 auto
wait $camera
echo "uhid_camera exit $?"
