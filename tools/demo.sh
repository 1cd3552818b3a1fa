#!/usr/bin/env bash
# The program on the simulated notebook, driven through short scenarios.
# Called by ./dev demo with Wine and the virtual display already running.
set -euo pipefail
BUILD_DIR="$1"
BIN="$BUILD_DIR/bin"
OUT="$BUILD_DIR/demo"
SHOTS="$OUT/hotkeys"
rm -rf "$OUT"; mkdir -p "$OUT" "$SHOTS"
log_win='C:\ProgramData\KORVANE\Valmora\2.0\vqlg.log'
wine cmd /c del "$log_win" >/dev/null 2>&1 || true
shot() { echo "osdshot=$(winepath -w "$SHOTS/$1.png")"; }

drive() {  # drive NAME STEPS...: one run of the driver, its trace kept as NAME-trace.txt
    local name="$1"; shift
    (cd "$BIN" && wine vqdrive.exe trace="$(winepath -w "$OUT/$name-trace.txt")" "$@") | tr -d '\r' \
        | grep -v '^step: ' | sed 's/^/  /' || true
}

echo "== 1. Windows 7, raw keyboard input: brightness, wireless, backlight, battery"
drive win7 firmware-reset fwset=Brightness,6 fwset=Radio1,2 version=win7 start wait=500 \
    key=8 wait=200 "$(shot 1-brightness-up-7)" \
    key=8 wait=200 "$(shot 2-brightness-up-8)" \
    key=8 wait=200 "$(shot 3-brightness-top-again)" \
    key=9 wait=200 "$(shot 4-brightness-down-7)" \
    key=6 wait=200 "$(shot 5-wireless)" \
    key=4 wait=200 "$(shot 6-backlight)" \
    key=3 wait=200 "$(shot 7-battery)" \
    power=suspend power=resume second wait=300 quit firmware

echo "== 2. Windows XP, keyboard hook and the legacy mixer: volume up, mute picture"
drive winxp firmware-reset version=winxp start wait=500 \
    key=0x30,0xAF wait=200 "$(shot 8-volume-up)" \
    extkey=on sibling=32 wait=200 "$(shot 9-mute)" quit

echo "== 3. A model with a USB keyboard: its library's brightness key, silent mode"
drive usb firmware-reset fwmodel=S30K1 version=win7 start wait=500 \
    usb=0xB2,0xFF7F wait=200 "$(shot 10-usb-brightness-up)" \
    sibling=23 wait=200 "$(shot 11-silent-mode)" quit firmware

echo "== 4. The notebook's screen: an external monitor plugged in beside the panel, then removed"
DESK="$OUT/displays"
mkdir -p "$DESK"
# Each monitor has its own identity (its monitor device, DISPLAY\NAME); the
# same monitor plugged in again has the same one.
drive displays desktop-reset desktop monitors "picture=$(winepath -w "$DESK/1-panel-alone.png")" \
    connect=DUMMY1,1280x1024 wait=500 desktop monitors "picture=$(winepath -w "$DESK/2-panel-and-crt.png")" \
    unplug=DUMMY1 connect=DUMMY2,1920x1080 wait=500 desktop monitors \
    "picture=$(winepath -w "$DESK/3-panel-and-digital-monitor.png")" \
    unplug=DUMMY2 connect=DUMMY1,1280x1024 wait=500 monitors unplug=DUMMY1 wait=500 desktop

echo "== 5. The graphics adapter a program sees: Wine's, then the notebook's Intel adapter through the injected library"
drive adapter-wine adapter=wine probe
drive adapter-intel adapter=intel inject probe adapter=wine

echo "== 6. The display switch key on the simulated Intel notebook (Vista) with an external monitor"
SWITCH="$OUT/display-switch"
mkdir -p "$SWITCH"
sw() { echo "$1=$(winepath -w "$SWITCH/$2.png")"; }
# The model's keyboard sends the display switch key as code 1; it offers the
# panel alone and the clone, and its menu program is told of every change.
drive display-switch firmware-reset fwmodel=N10A graphics-reset graphics-register desktop-reset \
    connect=DUMMY1,1280x1024 wait=500 gfxset=CrtConnected,1 gfxshown=1,2 adapter=intel inject \
    version=vista menu start wait=800 desktop "$(sw picture 1-desktop-extended-before)" \
    key=1 wait=300 "$(sw osdshot 2-osd-opened-panel-alone)" \
    key=1 wait=300 "$(sw osdshot 3-osd-step-clone)" \
    key=1 wait=300 "$(sw osdshot 4-osd-step-panel-alone-again)" \
    wait=7000 desktop "$(sw picture 5-desktop-panel-alone)" \
    key=1 wait=300 key=1 wait=300 "$(sw osdshot 6-osd-clone-chosen)" \
    wait=7000 desktop "$(sw picture 7-desktop-clone)" \
    menu-received profiles quit adapter=wine graphics-unregister desktop-reset

echo "== 7. The resolution key on the small-panel model (Intel driver, the panel alone)"
RES="$OUT/resolution-toggle"
mkdir -p "$RES"
rsz() { echo "$1=$(winepath -w "$RES/$2.png")"; }
# The 1366 x 768 panel opens the toggle on 1024 x 600; the next press selects
# 800 x 480, which the desktop takes when the toggle closes.
drive resolution-toggle firmware-reset fwmodel=N10A graphics-reset graphics-register desktop-reset \
    addmode=DUMMY0,800x480 adapter=intel inject version=vista start wait=800 desktop \
    key=118 wait=300 "$(rsz osdshot 1-toggle-opened-1024x600)" \
    key=118 wait=300 "$(rsz osdshot 2-toggle-step-800x480)" \
    wait=4000 desktop "$(rsz picture 3-desktop-800x480)" \
    quit adapter=wine graphics-unregister desktop-reset
echo "== 8. The wireless master key: all radios off, then back on, and the radio overview of each"
RADIOS="$OUT/toggles"
mkdir -p "$RADIOS"
rs() { echo "osdshot=$(winepath -w "$RADIOS/$1.png")"; }
# Three radios, the first and third on; the key remembers them and turns all
# off, the next press (after the 5 s key block) brings them back.
drive radios firmware-reset fwset=Radio1,1 fwset=Radio2,0 fwset=Radio3,1 version=win7 start wait=500 \
    key=85 wait=300 "$(rs 1-all-radios-off)" wait=5500 \
    key=85 wait=300 "$(rs 2-first-and-third-on)" quit firmware
echo "== 9. The SRS key: without a sound-effect filter it is reported; with the simulated audio driver's"
echo "      two effects it opens the SRS toggle on the driver's state and each press steps and sets the effect"
drive srs-none firmware-reset version=win7 start wait=500 key=111 wait=500 quit
(cd "$BIN" && wine vqdrive.exe log) | tr -d '\r' | grep 'SRS' | sed 's/^/  /' || true
wine reg add 'HKCU\Software\VqSim\AudioFx' /v Selection /t REG_DWORD /d 1 /f >/dev/null 2>&1
drive srs firmware-reset version=win7 inject-audiofx start wait=500 \
    key=111 wait=300 "$(rs 3-srs-opened-effects-off)" \
    key=111 wait=300 "$(rs 4-srs-step-effect-a)" \
    key=111 wait=300 "$(rs 5-srs-step-effect-b)" \
    key=111 wait=300 "$(rs 6-srs-step-effects-off-again)" quit
echo "  requests the audio driver answered:"
wine reg query 'HKCU\Software\VqSim\AudioFx' /v Requests 2>/dev/null | tr -d '\r' | grep Requests | sed 's/^ */    /' || true
wine reg delete 'HKCU\Software\VqSim\AudioFx' /f >/dev/null 2>&1 || true

echo "== 10. The wireless key on a notebook with a built-in 3G modem (two radios, both on): the wireless"
echo "      toggle opens on the radios' state, one press steps it, and the choice reaches the firmware"
drive wireless-3g firmware-reset fwset=Radio1,2 fwset=WirelessForm,2 fwset=Wireless,1 fwset=Wireless2,3 \
    adapter=intel inject inject-usb 'usbdevices=USB\VID_12D1&PID_1404\6&11AA22BB&0&2' version=win7 start wait=800 \
    key=6 wait=400 "$(rs 7-wireless-opened-both-on)" \
    key=6 wait=400 "$(rs 8-wireless-step-first-only)" \
    wait=3000 quit firmware adapter=wine usbdevices=none | grep -E 'Wireless|Radio' || true

echo "== 11. The mini UI: a monitor plugged in shows the row of panels at the bottom of the panel's screen;"
echo "      each panel's view-mode button clicked with the mouse (icon, strip, full; the options panel icon <-> full)"
MINI="$OUT/miniui"
mkdir -p "$MINI"
mu() { echo "screenshot=$(winepath -w "$MINI/$1.png")"; }
for value in SimpleUI miniWinDisplay; do
    wine reg delete 'HKCU\Software\Korvane\vqhkcore\Settings' /v "$value" /f >/dev/null 2>&1 || true
done
drive miniui firmware-reset graphics-reset graphics-register desktop-reset adapter=intel inject version=win7 \
    start wait=800 connect=DUMMY1,1280x1024 wait=1200 "$(mu 1-row-shown-icons)" \
    miniui-click=0 wait=400 miniui-click=1 wait=400 miniui-click=2 wait=400 "$(mu 2-row-strips)" \
    miniui-click=0 wait=400 miniui-click=1 wait=400 miniui-click=2 wait=400 "$(mu 3-row-full)" \
    miniui-click=3 wait=400 "$(mu 4-options-panel-full)" \
    unplug=DUMMY1 wait=1000 "$(mu 5-row-hidden-after-unplug)" \
    quit adapter=wine graphics-unregister desktop-reset

echo "== trace of run 1"
grep -v '^call \(OnTimer\|Has\|Is\)' "$OUT/win7-trace.txt" | tr -d '\r' | sed 's/^/  /'
echo "== log"
(cd "$BIN" && wine vqdrive.exe log) | tr -d '\r' | grep '^log:' | sed 's/^log: /  /' || true

echo "== OSD pictures drawn directly (the artwork)"
OSD_OUT="$OUT/osd"
mkdir -p "$OSD_OUT"
(cd "$BIN" && wine osdshow.exe out="$(winepath -w "$OSD_OUT")" battery-100=20,100 battery-9=20,9 \
    brightness-3-of-8=111,3 volume-7-of-13=121,7 wireless-on=81 \
    srs-1-opened-effects-off=srs,33,0 srs-2-step-effect-a=srs,33,1 srs-3-step-effect-b=srs,33,2 \
    srs-4-step-effects-off-again=srs,33,3 \
    wireless-two-1-both-on=wireless,0,1,0 wireless-two-2-step-both-off=wireless,0,1,1 \
    wireless-four-1-both-on=wireless,0,0,0 wireless-four-2-step-first-only=wireless,0,0,1 \
    wireless-four-3-step-second-only=wireless,0,0,2 wireless-four-4-step-both-off=wireless,0,0,3 \
    rf-three-radios-1-0-1=rf,1,0,1 rf-two-radios-1-2-0=rf,1,2,0) | tr -d '\r' | sed 's/^/  /'
echo "== screenshots of the hotkey OSD in $SHOTS:"
ls "$SHOTS" | sed 's/^/  /'
echo "== artwork screenshots in $OSD_OUT:"
ls "$OSD_OUT" | sed 's/^/  /'
echo "== desktop pictures in $DESK:"
ls "$DESK" | sed 's/^/  /'
echo "== display switch OSD screenshots and desktop pictures in $SWITCH:"
ls "$SWITCH" | sed 's/^/  /'
echo "== resolution toggle OSD screenshots and desktop pictures in $RES:"
ls "$RES" | sed 's/^/  /'
echo "== radio overview and SRS toggle screenshots in $RADIOS:"
ls "$RADIOS" | sed 's/^/  /'
echo "== mini UI screenshots in $MINI:"
ls "$MINI" | sed 's/^/  /'
