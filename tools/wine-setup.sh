#!/usr/bin/env bash
# One-time settings of the private wine prefix: font replacements so that
# GDI+ finds the usual UI fonts, and no crash dialog that would block a test.
set -euo pipefail
tmp="$(mktemp --suffix=.reg)"
cat > "$tmp" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="DejaVu Sans"
"Tahoma"="DejaVu Sans"
"MS Shell Dlg"="DejaVu Sans"
"Microsoft Sans Serif"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="0"
"Debugger"=""
REG
wine regedit /S "$(winepath -w "$tmp")" >/dev/null 2>&1
wineserver -w
rm -f "$tmp"
