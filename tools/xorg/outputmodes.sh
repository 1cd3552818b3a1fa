#!/bin/sh
# outputmodes.sh OUTPUT WIDTH HEIGHT
# Gives an X output of the simulated notebook the sizes a screen of native
# size WIDTH x HEIGHT offers: its native size and the smaller standard sizes
# it can scale to, nothing larger; every other size of ours leaves its list
# (640 x 480 of the server's pool and a size the output shows stay). With
# 0 0 the output keeps no size of ours: a connector with nothing plugged in.
# Every mode runs at 60 Hz with short blanking, as the end-to-end driver's
# own (sim/common/xscreen.cpp).
set -u
out="$1" width="$2" height="$3"
for mode in $(xrandr -q | awk -v o="$out" '$1 == o { f = 1; next } /^[^ ]/ { f = 0 } f { print $1 }'); do
    [ "$mode" = 640x480 ] || xrandr --delmode "$out" "$mode" 2>/dev/null
done
[ "$width" -gt 0 ] || exit 0
for size in 1920x1200 1920x1080 1680x1050 1600x1200 1600x900 1440x900 1400x1050 1366x768 1280x1024 \
            1280x960 1280x800 1280x768 1280x720 1152x864 1024x768 1024x600 800x600 "${width}x${height}"; do
    w=${size%x*} h=${size#*x}
    [ "$w" -le "$width" ] && [ "$h" -le "$height" ] || continue
    clock=$(awk -v w="$w" -v h="$h" 'BEGIN { printf "%.2f", (w + 160) * (h + 30) * 60 / 1e6 }')
    xrandr --newmode "$size" "$clock" "$w" $((w + 48)) $((w + 80)) $((w + 160)) \
        "$h" $((h + 3)) $((h + 6)) $((h + 30)) +hsync +vsync 2>/dev/null
    xrandr --addmode "$out" "$size" 2>/dev/null
done
xrandr -q >/dev/null
