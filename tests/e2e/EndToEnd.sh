#!/usr/bin/env bash
# Drives the real Zelvanto.exe with real input: Add... from the menu and the file dialog, then Home, Shift+F10
# and Open on a file whose name code page 1252 cannot hold; in German, the usage note in English.
#   EndToEnd.sh ZELVANTO_EXE RECORDER_EXE, with DISPLAY (and a window manager) and WINEPREFIX set
set -euo pipefail
chooser='^Öffnen mit \.\.\.$'
folder="$WINEPREFIX/drive_c/zelvanto-e2e"
source "$(dirname "$0")/../../scripts/window-steps"

# The processes of an earlier run must be gone, or their windows would be taken for this run's.
wineserver -w
wine reg delete 'HKCU\Software\Karvelund\Zelvanto' /f >/dev/null 2>&1 || true
rm -rf "$folder" && mkdir -p "$folder" && cp "$2" "$folder/rec.exe"
export ZELVANTO_RECORD_FILE='C:\zelvanto-e2e\launch.txt'

LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine "$1" 'C:\a.txt' 'C:\b.txt' >/dev/null 2>&1 &
note=$(wait_window '^Note$')
xdotool windowfocus --sync "$note" key Return 2>/dev/null || true
wait_gone '^Note$'
wait $!

target='C:\Docs\Łódź 東京 Ω.txt'
wine "$1" "$target" >/dev/null 2>&1 &
window=$(wait_window "$chooser")
menu "$window" 100 100 add
xdotool windowfocus --sync "$(wait_window '^Öffnen$')" 2>/dev/null || true
# Alt+N ("Datei&name") types into the name box, not into a focused file list, where "C" picks chooser_test.exe.
xdotool key alt+n type --delay 20 'C:\zelvanto-e2e\rec.exe'
xdotool key Return
wait_gone '^Öffnen$'
# Home selects the item, Shift+F10 opens the menu at it, Open starts the recorder, which writes its command line.
xdotool windowfocus --sync "$window" key Home 2>/dev/null || true
keyboard_menu "$window" shift+F10
xdotool key Down Return
for _ in $(seq 600); do [ -s "$folder/launch.txt" ] && break; sleep 0.1; done
launched=$(cat "$folder/launch.txt" 2>/dev/null || true)
[ "$launched" = "\"C:\\zelvanto-e2e\\rec.exe\" \"$target\"" ] || fail "launched: $launched; stored: $(wine reg query 'HKCU\Software\Karvelund\Zelvanto' /s 2>&1)"
echo "end to end: passed"
