#!/bin/busybox sh
# The driver test guest's first process (busybox): loads the USB adapter's drivers, runs the
# suite on the real ttyUSB0 and ttyS1, and says its exit status on the console before it powers off.
/bin/busybox mkdir -p /proc /sys /dev /tmp /run/lock /bin /sbin /usr/bin
/bin/busybox --install -s
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
for module in usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio; do
    insmod "/modules/$module.ko" || echo "insmod $module failed"
done
waited=0
while [ ! -e /dev/ttyUSB0 ] && [ "$waited" -lt 300 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
echo "guest: kernel $(uname -r), $(ls /dev/ttyUSB* /dev/ttyS1 2>/dev/null | tr '\n' ' ')"
cd /tmp
PATH=/velotrix:$PATH
export PATH HOME=/tmp
# The rows compare the German texts.
export VELOTRIX_LANG=de
velotrix_driver_tests $(cat /velotrix/arguments 2>/dev/null)
echo "velotrix-drivers: status $?"
poweroff -f
