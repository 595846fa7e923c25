#!/bin/sh
# Runs inside the virtual machine: for each product identifier, a uhid device
# appears as /dev/hidraw0 and udevadm applies the installed rules to it.
mkdir -p /etc/udev/rules.d /run/udev
cp 70-ovilen.rules /etc/udev/rules.d/
for product in 2004 2003 12003; do
  rm -rf /run/udev/data
  ./uhid_camera 1234 $product 1 5 > /dev/null &
  camera=$!
  i=0
  while [ -z "$(ls /sys/class/hidraw 2>/dev/null)" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  node=$(ls /sys/class/hidraw | head -1)
  tags=$(./udevadm test --action=add "/sys/class/hidraw/$node" 2>&1 | sed -n 's/^CURRENT_TAGS=//p')
  echo "product $product: $(basename "$(readlink -f "/sys/class/hidraw/$node/device")") tags=[$tags]"
  wait $camera
  i=0
  while [ -n "$(ls /sys/class/hidraw 2>/dev/null)" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
done
