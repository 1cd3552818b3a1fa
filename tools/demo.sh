#!/usr/bin/env bash
# The program on the simulated notebook, driven through a short scenario.
# Called by ./dev demo with Wine and the virtual display already running.
set -euo pipefail
BUILD_DIR="$1"
BIN="$BUILD_DIR/bin"
OUT="$BUILD_DIR/demo"
rm -rf "$OUT"; mkdir -p "$OUT"
trace_win="$(winepath -w "$OUT/trace.txt")"
log_win='C:\ProgramData\KORVANE\Valmora\2.0\vqlg.log'
wine cmd /c del "$log_win" >/dev/null 2>&1 || true

echo "== vqhkcore on the simulated notebook (Windows 7: raw keyboard input)"
(cd "$BIN" && wine vqdrive.exe firmware-reset version=win7 trace="$trace_win" start wait=500 \
    key=8 key=9 key=2 sibling=53,1 power=suspend power=resume session=lock key=8 \
    second wait=300 quit) | tr -d '\r' 
echo "== trace"
tr -d '\r' < "$OUT/trace.txt" | sed 's/^/  /'
echo "== firmware"
(cd "$BIN" && wine vqdrive.exe firmware) | tr -d '\r' | grep '^firmware:' | sed 's/^firmware: /  /' || true
echo "== log"
(cd "$BIN" && wine vqdrive.exe log) | tr -d '\r' | grep '^log:' | sed 's/^log: /  /' || true
echo "== output in $OUT"

echo "== OSD pictures (screenshots of the virtual display)"
OSD_OUT="$OUT/osd"
mkdir -p "$OSD_OUT"
(cd "$BIN" && wine osdshow.exe out="$(winepath -w "$OSD_OUT")" battery-100=20,100 battery-9=20,9 \
    brightness-3-of-8=111,3 volume-7-of-13=121,7 wireless-on=81) | tr -d '\r' | sed 's/^/  /'
echo "== OSD screenshots in $OSD_OUT:"
ls "$OSD_OUT" | sed 's/^/  /'
