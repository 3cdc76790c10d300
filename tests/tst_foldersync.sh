#!/bin/sh
# Save syncs the folder after it renames the new copy into place, so that a
# power cut just after "File saved" cannot bring the old file back. Seen from
# outside, with strace, on a Save of the configuration file test.
# Usage: tst_foldersync.sh <tst_configfile>
set -eu
command -v strace >/dev/null || { echo "SKIP: strace is not installed"; exit 77; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! strace -f -y -qq -e trace=renameat,renameat2,fsync -o "$log" "$1" saveWritesAndReplacesTheFile >/dev/null 2>&1; then
    # No tracing here (a container without ptrace): say so rather than pass.
    grep -q 'Totals' "$log" 2>/dev/null || { echo "SKIP: strace cannot trace here"; exit 77; }
fi
# Each rename over Config.ini, then the next fsync: it must be on the folder
# that holds Config.ini.
awk '
    /renameat2?\(.*"Config.ini"/ { renamed++; match($0, /<[^>]*>/); folder = substr($0, RSTART + 1, RLENGTH - 2); waiting = 1; next }
    waiting && /fsync\(/ { match($0, /<[^>]*>/); if (substr($0, RSTART + 1, RLENGTH - 2) == folder) synced++; waiting = 0 }
    END {
        printf "%d renames over Config.ini, %d followed by an fsync of its folder\n", renamed, synced
        exit !(renamed > 0 && synced == renamed)
    }' "$log"
