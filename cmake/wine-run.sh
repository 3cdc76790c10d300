#!/bin/sh
# Runs a Windows program under Wine the way a test or a developer needs it:
# in a Wine prefix of its own (WINEPREFIX, by default one per user under
# /tmp, made on first use), with Wine's own chatter off, and with Qt's
# environment variables handed through (Wine drops names that begin with
# QT_ unless they are given as WINEQT_...). With FENNICK_QTEST_REPORT set,
# the program is a Qt Test and its report is printed here: through Wine it
# reaches a pipe only by way of a file. FENNICK_WINE_DLL_PATH, Linux folders
# separated by colons, is added to the program's DLL search path.
set -eu
# Wine takes the ANSI code page from LANG, and falls back to another where
# the system lacks that locale: a test that needs it says so and skips.
if [ -n "${FENNICK_WINE_NEEDS_LOCALE:-}" ]; then
    wanted=$(printf '%s' "${LANG:-C}" | tr 'A-Z' 'a-z' | tr -d -)
    if ! locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d - | grep -qxF "$wanted"; then
        echo "SKIP: the system has no locale $LANG (locale-gen), from which Wine would take the code page"
        exit 77
    fi
fi
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/fennick-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" # no Mono/Gecko prompts
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # Windows' dialog and console fonts, mapped to fonts of the same widths
    # (fonts-liberation): Wine would otherwise give Qt a serif face for
    # them. Segoe UI and MS Shell Dlg (Microsoft Sans Serif) become
    # Liberation Sans, which has Arial's widths; Lucida Console and Courier
    # New become Liberation Mono, which has their advance.
    export FENNICK_WINE_FONTS='REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="Liberation Sans"
"MS Shell Dlg"="Liberation Sans"
"MS Shell Dlg 2"="Liberation Sans"
"Lucida Console"="Liberation Mono"
"Courier New"="Liberation Mono"
'
    # One program makes the prefix; any started beside it wait for it.
    flock "$WINEPREFIX" sh -c '[ -f "$WINEPREFIX/system.reg" ] || {
        wine wineboot --init >/dev/null 2>&1 && wineserver --wait &&
        printf "%s" "$FENNICK_WINE_FONTS" > "$WINEPREFIX/drive_c/fonts.reg" &&
        wine regedit /S "C:\\fonts.reg" && wineserver --wait && rm "$WINEPREFIX/drive_c/fonts.reg"; }'
fi
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    eval "export WINE$name=\"\$$name\""
done
if [ -n "${FENNICK_WINE_DLL_PATH:-}" ]; then
    # Wine sees Linux folders on drive Z:; its search path is separated by ;
    dlls=
    old_ifs=$IFS
    IFS=:
    for folder in $FENNICK_WINE_DLL_PATH; do
        dlls="$dlls${dlls:+;}Z:$(printf '%s' "$folder" | tr / '\\')"
    done
    IFS=$old_ifs
    export WINEPATH="$dlls${WINEPATH:+;$WINEPATH}"
fi
if [ -z "${FENNICK_QTEST_REPORT:-}" ]; then
    exec wine "$@"
fi
report=$(mktemp "${TMPDIR:-/tmp}/qtest-report.XXXXXX")
trap 'rm -f "$report"' EXIT
status=0
wine "$@" -o "Z:$(printf '%s' "$report" | tr / '\\'),txt" || status=$?
cat "$report"
exit "$status"
