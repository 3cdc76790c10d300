#!/usr/bin/env bash
# The Debian package, built and installed by the README's package command:
# checked as a distribution's maintainer would (lintian without errors or
# warnings, hardening-check), its manual page read, the installed program's
# window opened and closed under Xvfb, then purged, leaving nothing behind.
set -euo pipefail
cd "$(dirname "$0")/../.."

export DEBIAN_FRONTEND=noninteractive
. .ci/lib.sh
apt-get install -y xvfb xdotool matchbox-window-manager wmctrl x11-utils
# Without recommends: devscripts would bring a whole build environment, and
# hardening-check needs only binutils, which the compiler brought.
apt-get install -y --no-install-recommends lintian devscripts man-db

package_command=$(readme_command 'On Debian 12')
echo "+ $package_command"
trap 'apt-get remove -y --purge fennick >/dev/null 2>&1 || true' EXIT
eval "$package_command"
deb=$(echo build-deb/fennick_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

echo "+ lintian $deb"
lintian --fail-on error,warning --info --display-info --pedantic "$deb"

echo "+ hardening-check usr/bin/fennick"
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
program=$unpacked/usr/bin/fennick
# Debian 12's dpkg-buildflags does not ask for control-flow protection (nor
# do its Qt libraries have it, without which it stays off).
hardening-check --verbose --nocfprotection --nofortify "$program"
if ! hardening-check --quiet --nocfprotection "$program"; then
    # hardening-check fails fortify when the program calls only functions
    # that _FORTIFY_SOURCE cannot check: here, memmove in Qt's inline list
    # code, on heap memory whose size the compiler cannot know. Its manual
    # calls that a false alarm; what matters is that every part of the
    # program was compiled with _FORTIFY_SOURCE, so check that instead.
    unfortified=$(ninja -C build-deb -t commands app/fennick | grep -e ' -c ' | grep -v -e '-D_FORTIFY_SOURCE=[23] ' || true)
    if [ -n "$unfortified" ]; then
        echo "FAIL: compiled without _FORTIFY_SOURCE:"
        echo "$unfortified"
        exit 1
    fi
    echo "every part of fennick was compiled with _FORTIFY_SOURCE"
fi
rm -rf "$unpacked"

echo "+ man fennick"
man_page=$(MANWIDTH=80 man -P cat fennick)
echo "$man_page"
grep -q 'Config.ini' <<<"$man_page" || { echo "FAIL: man fennick does not name the file"; exit 1; }

installed_paths=$(mktemp)
dpkg -L fennick > "$installed_paths"

# Runs under Xvfb: starts what the menu entry starts, waits for the window,
# checks that docks can match it to the entry, and closes it.
launch_and_close() {
    local entry=/usr/share/applications/org.example.fennick.desktop
    local command wm_class window
    command=$(sed -n 's/^Exec=//p' "$entry")
    wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
    start_window_manager matchbox-window-manager -use_titlebar no
    $command &
    program=$!
    trap 'kill "$program" "$wm" 2>/dev/null || true' EXIT
    window=$(window_named 30 '^Fennick')
    echo "window $window: $(xdotool getwindowname "$window")"
    if ! grep -qx "$window" <<<"$(xdotool search --onlyvisible --class "^$wm_class\$")"; then
        echo "FAIL: the window's class is not $wm_class, the entry's StartupWMClass"
        exit 1
    fi
    wmctrl -i -c "$window"
    wait_until 10 "fennick ends once its window is closed" process_ended "$program"
    wait "$program" || { echo "FAIL: fennick ended with status $?"; exit 1; }
    echo "the window closed and fennick ended"
}
echo "+ starting the installed fennick under Xvfb"
with_screen 1280x1024 launch_and_close

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
