#!/usr/bin/env bash
# The Debian package: built by CPack from the README's build, installed, the
# installed program's window opened and closed under Xvfb, then purged,
# leaving nothing behind.
set -euo pipefail
cd "$(dirname "$0")/../.."

apt-get install -y dpkg-dev file xvfb xauth xdotool matchbox-window-manager wmctrl

echo "+ building the Debian package"
(cd build && cpack -G DEB)
deb=$(echo build/fennick_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

echo "+ installing $deb"
trap 'apt-get remove -y --purge fennick >/dev/null 2>&1 || true' EXIT
apt-get install -y "./$deb"
installed_paths=$(mktemp)
dpkg -L fennick > "$installed_paths"

# Runs under Xvfb: starts what the menu entry starts, waits for the window,
# checks that docks can match it to the entry, and closes it.
launch_and_close() {
    set -euo pipefail
    local entry=/usr/share/applications/org.example.fennick.desktop
    local command wm_class window
    command=$(sed -n 's/^Exec=//p' "$entry")
    wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
    matchbox-window-manager -use_titlebar no &
    wm=$!
    $command &
    program=$!
    trap 'kill "$program" "$wm" 2>/dev/null || true' EXIT
    if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Fennick'); then
        echo "FAIL: no Fennick window within 30 seconds"
        exit 1
    fi
    window=${window%%$'\n'*}
    echo "window $window: $(xdotool getwindowname "$window")"
    if ! xdotool search --onlyvisible --class "^$wm_class\$" | grep -qx "$window"; then
        echo "FAIL: the window's class is not $wm_class, the entry's StartupWMClass"
        exit 1
    fi
    wmctrl -i -c "$window"
    local status=0
    timeout 10 tail --pid="$program" -f /dev/null || status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAIL: fennick still runs 10 seconds after its window was closed"
        exit 1
    fi
    wait "$program" || { echo "FAIL: fennick ended with status $?"; exit 1; }
    echo "the window closed and fennick ended"
}
echo "+ starting the installed fennick under Xvfb"
xvfb-run --auto-servernum --server-args='-screen 0 1280x1024x24' \
    bash -c "$(declare -f launch_and_close); launch_and_close"

echo "+ removing the package"
apt-get remove -y --purge fennick
leftovers=0
status=$(dpkg-query -W -f='${db:Status-Status}' fennick 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != not-installed ]; then
    echo "FAIL: dpkg still lists fennick as $status"
    leftovers=1
fi
while read -r path; do
    # Shared folders such as /usr/share/icons stay; every file must go.
    if [ -e "$path" ] && ! [ -d "$path" ]; then
        echo "FAIL: $path is left after removal"
        leftovers=1
    fi
done < "$installed_paths"
rm -f "$installed_paths"
[ "$leftovers" -eq 0 ]
echo "+ fennick installed, ran and left nothing behind"
