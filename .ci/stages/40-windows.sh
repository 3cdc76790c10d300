#!/usr/bin/env bash
# Windows, proved on Linux: the README's cross build with MinGW-w64 against
# ../shared/qt6-mingw64; every test run under Wine (offscreen, code page
# 1252; the save tests in 1250, 1251, 1253, 1254, 936 and 932 too) with the
# counts printed; the ZIP's fennick.exe started from
# a PATH without Qt or MinGW under Xvfb with Windows' own platform plugin,
# walked through the steps to Save, and its C:\Config.ini compared byte for
# byte with the Linux program's file of the same walk; a file in code page
# 1252 opened and saved over itself with Save As through Windows' own
# dialog, the same bytes coming back and no QtProject key left; the installer
# installed, started and uninstalled silently, leaving nothing behind.
set -euo pipefail
cd "$(dirname "$0")/../.."
export DEBIAN_FRONTEND=noninteractive
. .ci/lib.sh

apt-get install -y xvfb xdotool matchbox-window-manager wmctrl x11-utils unzip

started=$SECONDS
build_command=$(readme_command 'Cross-build it')
echo "+ $build_command"
eval "$build_command"
echo "+ cross build: $((SECONDS - started)) s"

# One throwaway Wine prefix for everything below, owned by whoever runs this.
WINEPREFIX=$(mktemp -d /tmp/fennick-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d /tmp/fennick-windows.XXXXXX)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$work"' EXIT

started=$SECONDS
test_command=$(readme_command 'Test it under Wine')
echo "+ $test_command"
status=0
eval "${test_command/--output-on-failure/--output-on-failure -V}" > "$work/ctest.log" 2>&1 || status=$?
grep -E '^[0-9]+/[0-9]+ Test|tests passed|FAIL!|^(   Actual|   Expected)' "$work/ctest.log" || true
echo "+ Windows tests under Wine: $((SECONDS - started)) s"
# Verbose lines carry the test's number; a failed test's report comes once
# more without it.
grep -E '^[0-9]+: Totals: ' "$work/ctest.log" | sed 's/^[0-9]*: //' | awk '{p += $2; f += $4; s += $6}
    END {printf "+ Qt Test functions and rows under Wine: %d passed, %d failed, %d skipped\n", p, f, s}'
echo "+ skipped, with the reasons given:"
grep -E '^[0-9]+: (SKIP   : |SKIP: )' "$work/ctest.log" | sed 's/^[0-9]*: //' | sort | uniq -c || true
if [ "$status" -ne 0 ]; then
    # All that each failed test printed, Wine's own words included, and the
    # whole log kept where the clean-up below does not reach.
    kept=${CI_LOGS:-$(mktemp -d /tmp/fennick-ci-logs.XXXXXX)}/windows-tests.log
    cp "$work/ctest.log" "$kept"
    for number in $(sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*\([0-9][0-9]*\) - .*/\1/p' "$work/ctest.log"); do
        echo "+ all that test $number printed:"
        grep -E "^$number: |^ *[0-9]+/[0-9]+ Test +#$number: " "$work/ctest.log" || true
    done
    echo "FAIL: tests under Wine; their whole log is kept in $kept"
    exit 1
fi

started=$SECONDS
(cd build-windows && cpack -G ZIP && cpack -G NSIS)
zip=$(echo build-windows/fennick-*-win64.zip)
installer=$(echo build-windows/fennick-*-win64.exe)
unzip -l "$zip"
ls -l "$zip" "$installer"
echo "+ packages: $((SECONDS - started)) s"

# The Linux program, walked the same way, makes the file to compare with.
QT_QPA_PLATFORM=offscreen:configfile=tests/screen-1920x1080.json build/tests/fennick_click_positions Command2 Command3 Command4 Command5 Command13 \
    Command7 Command8 Command10 Command14 > "$work/clicks"
cat "$work/clicks"

# Under Xvfb: starts the program given, waits for its window, checks its
# icon, presses the steps' buttons where the layout puts them, then Save,
# confirms the message and closes the window.
walk_to_save() {
    local clicks=$1
    shift
    local wm
    start_window_manager matchbox-window-manager -use_titlebar no
    "$@" &
    local program=$!
    trap 'kill "$program" "$wm" 2>/dev/null || true' RETURN
    local window
    window=$(window_named 60 '^Fennick - ')
    echo "window: $(xdotool getwindowname "$window")"
    # Read whole first: grep -q stops at the first match, and under pipefail
    # the writer's broken pipe would count as a failure.
    local icons
    icons=$(xprop -id "$window" _NET_WM_ICON)
    if ! grep -q 'Icon (' <<<"$icons"; then
        echo "FAIL: the window shows no icon"
        return 1
    fi
    # The program reads its clicks in the order the X server queues them, from
    # the moment its window is visible, each handled before the next is looked
    # at: a tab is in front before the button on it is pressed, with nothing
    # to wait for in between.
    local name tab_x tab_y x y
    while read -r name tab_x tab_y x y; do
        if [ "$tab_x" -ge 0 ]; then
            xdotool mousemove --window "$window" "$tab_x" "$tab_y" click 1
        fi
        xdotool mousemove --window "$window" "$x" "$y" click 1
    done < "$clicks"
    window_named 20 '^Fennick$' >/dev/null # Save's message
    xdotool key Return
    wait_until 10 "the message closes" no_window_named '^Fennick$'
    wmctrl -i -c "$window"
    wait_until 20 "the program ends" process_ended "$program"
}

started=$SECONDS
echo "+ the Linux program, walked to Save"
linux_home=$work/linux-home
mkdir -p "$linux_home"
HOME=$linux_home with_screen 1280x1024 walk_to_save "$work/clicks" build/app/fennick

echo "+ the ZIP's fennick.exe, walked to Save with Windows' platform plugin"
mkdir -p "$work/zip"
unzip -q "$zip" -d "$work/zip"
zip_bin=$(echo "$work"/zip/*)
rm -f "$WINEPREFIX/drive_c/Config.ini"
# A PATH and a WINEPATH that hold no Qt and no MinGW: only what the ZIP holds.
(
    unset WINEPATH
    export PATH=/usr/bin:/bin
    cd "$zip_bin"
    with_screen 1280x1024 walk_to_save "$work/clicks" wine fennick.exe
)
# Wine's desktop process would outlive this X display and stand in the way
# of the next one.
wineserver -k 2>/dev/null || true
if ! cmp "$linux_home/Config.ini" "$WINEPREFIX/drive_c/Config.ini"; then
    echo "FAIL: C:\\Config.ini differs from the Linux program's file of the same walk"
    exit 1
fi
echo "C:\\Config.ini: $(wc -c < "$WINEPREFIX/drive_c/Config.ini") bytes, the same as on Linux"

# Presses the key $2 until "$3 ..." holds, for at most $1 seconds: a key that
# comes while Wine has not yet made the window or dialog active is lost, so
# it is pressed again after a while, never sooner than the last press could
# have done its work.
press_until() {
    local seconds=$1 key=$2
    shift 2
    local deadline=$((SECONDS + seconds)) again
    until "$@" >/dev/null 2>&1; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "FAIL: $key did not lead to: $*, not within $seconds seconds" >&2
            return 1
        fi
        xdotool key "$key"
        again=$((SECONDS + 3))
        while [ "$SECONDS" -lt "$again" ] && ! "$@" >/dev/null 2>&1; do
            sleep 0.1
        done
    done
}
# Whether at least $2 visible windows are titled like $1.
windows_named() {
    [ "$(xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l)" -ge "${2:-1}" ]
}
# Open and Save As in Windows' own file dialog, which Wine draws as Windows
# does: Ctrl+O, Return on the file the dialog starts at; Ctrl+Shift+S,
# Return, Yes to replace it, then Save's message. The file keeps its bytes,
# and nothing is left in HKCU\Software\QtProject, where Qt's dialog would
# write the folder last visited for every Qt program of the user.
open_then_save_as() {
    local wm
    start_window_manager matchbox-window-manager -use_titlebar no
    "$@" &
    local program=$!
    trap 'kill "$program" "$wm" 2>/dev/null || true' RETURN
    local window
    window=$(window_named 60 '^Fennick - ')
    press_until 30 ctrl+o windows_named '^Open$'
    press_until 20 Return no_window_named '^Open$'
    press_until 30 ctrl+shift+s windows_named '^Save As$'
    # Asked whether to replace the file, in a box titled as the dialog: Yes
    # is the default.
    press_until 20 Return windows_named '^Save As$' 2
    press_until 20 Return windows_named '^Fennick$' # Save's message
    press_until 20 Return no_window_named '^Fennick$'
    wmctrl -i -c "$window"
    wait_until 20 "the program ends" process_ended "$program"
}
echo "+ the ZIP's fennick.exe: Open, then Save As, through Windows' own dialog"
qt_key='HKCU\Software\QtProject'
# The tests above ran Qt's own dialog on the offscreen platform, which
# writes the key: gone first, so that only this walk counts.
if wine reg query "$qt_key" >/dev/null 2>&1; then
    echo "$qt_key: left by the tests' Qt dialogs, removed"
    wine reg delete "$qt_key" /f >/dev/null
fi
# Started without a display, Wine's desktop would keep the program's window
# off the next one.
wineserver -k 2>/dev/null || true
# Western Windows' own bytes for é and €, which are no UTF-8: code page 1252,
# which Wine takes from LANG.
printf '; caf\xe9 \x80 5\r\n[GAME]\r\nServerName = "Caf\xe9 \x80"\r\n' > "$work/opened.ini"
cp "$work/opened.ini" "$WINEPREFIX/drive_c/Config.ini"
touch -d '1 minute ago' "$WINEPREFIX/drive_c/Config.ini"
(
    unset WINEPATH
    export PATH=/usr/bin:/bin LANG=en_US.UTF-8
    cd "$zip_bin"
    with_screen 1280x1024 open_then_save_as wine fennick.exe
)
wineserver -k 2>/dev/null || true
if [ ! "$WINEPREFIX/drive_c/Config.ini" -nt "$work/opened.ini" ]; then
    echo "FAIL: Save As did not write C:\\Config.ini"
    exit 1
fi
if ! cmp "$work/opened.ini" "$WINEPREFIX/drive_c/Config.ini"; then
    echo "FAIL: Open, then Save As did not give back the bytes opened"
    exit 1
fi
if wine reg query "$qt_key"; then
    echo "FAIL: Open and Save As left $qt_key"
    exit 1
fi
echo "C:\\Config.ini in code page 1252 opened and saved again, the same bytes; no $qt_key"
echo "+ walks: $((SECONDS - started)) s"

started=$SECONDS
echo "+ installing $installer silently"
program_files=$WINEPREFIX/drive_c/"Program Files"/Fennick
start_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/"Start Menu"/Programs/Fennick
wine "$installer" /S
wineserver --wait
find "$program_files" "$start_menu" | sort
for file in "$program_files/fennick.exe" "$program_files/Uninstall.exe" "$start_menu/Fennick.lnk"; do
    [ -e "$file" ] || { echo "FAIL: $file is missing"; exit 1; }
done
installed=$(cd "$program_files" && find . -type f | sort)
expected=$(cd "$work/zip"/* && find . -type f | sort; echo ./Uninstall.exe)
if [ "$installed" != "$(sort <<< "$expected")" ]; then
    echo "FAIL: the installer did not install what the ZIP holds"
    diff <(echo "$installed") <(sort <<< "$expected") || true
    exit 1
fi
if ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fennick' /v DisplayName; then
    echo "FAIL: no entry in Add/Remove Programs"
    exit 1
fi
# The shortcut holds its target's path one folder at a time, in UTF-16;
# with no icon of its own, it shows the target's.
if ! grep -qx fennick.exe <<<"$(strings -el "$start_menu/Fennick.lnk")"; then
    echo "FAIL: the Start-menu entry does not start the installed fennick.exe"
    exit 1
fi
wineserver -k 2>/dev/null || true

echo "+ starting the installed program"
start_installed() {
    "$@" &
    # Named now: the trap runs after this function's locals are gone.
    trap "kill $! 2>/dev/null || true" EXIT
    local window
    window=$(window_named 60 '^Fennick - ')
    echo "window: $(xdotool getwindowname "$window")"
    wineserver -k
}
(
    unset WINEPATH
    export PATH=/usr/bin:/bin
    with_screen 1280x1024 start_installed wine 'C:\Program Files\Fennick\fennick.exe'
)

echo "+ uninstalling silently"
uninstall_silently "$program_files"
leftovers=$( { find "$program_files" "$start_menu" 2>/dev/null || true; } )
if [ -n "$leftovers" ]; then
    echo "FAIL: left after uninstalling:"
    echo "$leftovers"
    exit 1
fi
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fennick' >/dev/null 2>&1; then
    echo "FAIL: the Add/Remove Programs entry is left"
    exit 1
fi
echo "+ installer: $((SECONDS - started)) s"
echo "+ Windows: built, tested under Wine, walked, packaged, installed and removed"
