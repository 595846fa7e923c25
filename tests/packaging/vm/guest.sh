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

# A real USB keyboard of product 2003 (dummy_hcd and a configfs HID gadget):
# its hidraw node is the camera's kind, its input node is no camera button.
cp 60-persistent-input.rules /etc/udev/rules.d/
for m in evdev dummy_hcd libcomposite usb_f_hid usbhid hid-generic; do modprobe $m; done
mount -t configfs none /sys/kernel/config 2> /dev/null
g=/sys/kernel/config/usb_gadget/g1
mkdir -p $g/strings/0x409 $g/configs/c.1 $g/functions/hid.usb0
echo 0x1234 > $g/idVendor
echo 0x2003 > $g/idProduct
echo "Test keyboard" > $g/strings/0x409/product
echo 1 > $g/functions/hid.usb0/protocol
echo 1 > $g/functions/hid.usb0/subclass
echo 8 > $g/functions/hid.usb0/report_length
# A boot keyboard's report descriptor.
printf '\005\001\011\006\241\001\005\007\031\340\051\347\025\000\045\001\165\001\225\010\201\002\225\001\165\010\201\003\225\005\165\001\005\010\031\001\051\005\221\002\225\001\165\003\221\003\225\006\165\010\025\000\045\145\005\007\031\000\051\145\201\000\300' \
  > $g/functions/hid.usb0/report_desc
ln -s $g/functions/hid.usb0 $g/configs/c.1/
ls /sys/class/udc | head -1 > $g/UDC
i=0
while [ -z "$(ls /sys/class/hidraw 2>/dev/null)" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
sleep 1
rm -rf /run/udev/data
node=$(ls /sys/class/hidraw | head -1)
tags=$(./udevadm test --action=add "/sys/class/hidraw/$node" 2>&1 | sed -n 's/^CURRENT_TAGS=//p')
echo "usb hidraw: product $(cat "/sys/class/hidraw/$node/device/../../idProduct") tags=[$tags]"
for event in /sys/class/input/event*; do
  out=$(./udevadm test --action=add "$event" 2>&1)
  model=$(echo "$out" | sed -n 's/^ID_MODEL_ID=//p')
  driver=$(echo "$out" | sed -n 's/^ID_USB_DRIVER=//p')
  tags=$(echo "$out" | sed -n 's/^CURRENT_TAGS=//p')
  [ -n "$model" ] && echo "usb input: model $model driver $driver tags=[$tags]"
done
