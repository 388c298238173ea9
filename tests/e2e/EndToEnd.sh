#!/usr/bin/env bash
# Drives the real Zelvanto.exe from outside with real input events, as a user would:
# right-click, Add..., the file dialog, Default, Edit... with the insert button, a click on a file whose
# name code page 1252 cannot hold, Shift+F10 and Remove, Escape.
#   EndToEnd.sh ZELVANTO_EXE RECORDER_EXE
# Needs DISPLAY (with a window manager) and WINEPREFIX; checks the store with Wine's reg.
set -euo pipefail
zelvanto=$1
recorder=$2
export WINEDEBUG=-all
store='HKCU\Software\Karvelund\Zelvanto'
chooser='^(Open with|Öffnen mit) \.\.\.$'
folder="$WINEPREFIX/drive_c/zelvanto-e2e"

source "$(dirname "$0")/../../scripts/window-steps"

value() { # KEY VALUE -> the data column of wine reg query
  wine reg query "$store\\$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

# The processes of an earlier run must be gone, or their windows would be taken for this run's.
wineserver -w
wine reg delete "$store" /f >/dev/null 2>&1 || true
rm -rf "$folder" && mkdir -p "$folder"
cp "$recorder" "$folder/rec.exe"
export ZELVANTO_RECORD_FILE='C:\zelvanto-e2e\launch.txt'

target='C:\Docs\Łódź 東京 Ω.txt'
wine "$zelvanto" "$target" >/dev/null 2>&1 &
window=$(wait_window "$chooser")

menu "$window" 100 100 add
picker=$(wait_window '^(Open|Öffnen)$')
xdotool windowfocus --sync "$picker" 2>/dev/null || true
xdotool type --delay 20 'C:\zelvanto-e2e\rec.exe'
xdotool key Return
wait_gone '^(Open|Öffnen)$'
[ "$(value 'Applications\rec.exe' Path)" = 'C:\zelvanto-e2e\rec.exe' ] || fail "Add stored no path"

# The first icon stands at the list's top left.
menu "$window" 40 25 default
[ "$(value 'Extensions\txt\rec.exe' Default)" = 0x1 ] || fail "Default was not set"

menu "$window" 40 25 edit
edit=$(wait_window '^(Edit|Bearbeiten)$')
# From the name: path, browse, parameters, the insert button; then OK.
xdotool key --window "$edit" --delay 50 Tab Tab Tab Tab space Tab space
wait_gone '^(Edit|Bearbeiten)$'
[ "$(value 'Extensions\txt\rec.exe' Parameters)" = '"%1"' ] || fail "Edit stored no parameters"

# A click on the item opens the file.
xdotool mousemove --window "$window" 40 25 click 1 2>/dev/null || true
for _ in $(seq 600); do [ -s "$folder/launch.txt" ] && break; sleep 0.1; done
launched=$(cat "$folder/launch.txt" 2>/dev/null || true)
# The recorder writes the command line it received in UTF-8.
[ "$launched" = "\"C:\\zelvanto-e2e\\rec.exe\" \"$target\"" ] || fail "launched: $launched"
wait_gone "$chooser"
[ -n "$(value 'Extensions\txt' WindowWidth)" ] || fail "no geometry saved"

wine "$zelvanto" 'C:\Docs\other.TXT' >/dev/null 2>&1 &
window=$(wait_window "$chooser")
# The default is selected: the menu opens at its icon, and Up reaches the last item, Remove.
keyboard_menu "$window" shift+F10
xdotool key Up Return
# The window closes under the key, which xdotool may report as an error.
xdotool key --window "$window" Escape 2>/dev/null || true
wait_gone "$chooser"
wine reg query "$store\\Applications\\rec.exe" >/dev/null 2>&1 && fail "the application record stayed"
wine reg query "$store\\Extensions\\txt" >/dev/null 2>&1 && fail "the extension record stayed"
echo "end to end: passed"
