# Helpers that .ci/run and the stages share: sourced, never run on its own.
# Every wait polls for what it waits for and gives up after a bound.

# The fenced command that follows the README paragraph starting with $1.
readme_command() {
    awk -v start="^$1" '$0 ~ start { found = 1 } found && /^```sh/ { getline; print; exit }' README.md
}

# Runs "$@" (output discarded) every tenth of a second until it succeeds, for
# at most $1 seconds; then fails, saying what did not happen ($2).
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "FAIL: $what, not within $seconds seconds" >&2
            return 1
        fi
        sleep 0.1
    done
}

# Runs "$@" in a subshell, which sees this shell's functions, on an X server
# of its own with a screen of $1 (WIDTHxHEIGHT) pixels; the server ends with
# it. Returns the command's status.
with_screen() {
    local size=$1
    shift
    local fifo display server status=0
    fifo=$(mktemp -u /tmp/fennick-display.XXXXXX)
    mkfifo "$fifo"
    # Xvfb picks a free display and writes its number once it takes clients.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" &
    server=$!
    if ! read -r -t 30 display <"$fifo"; then
        rm -f "$fifo"
        kill "$server" 2>/dev/null || true
        echo "FAIL: Xvfb did not start within 30 seconds" >&2
        return 1
    fi
    rm -f "$fifo"
    # The number comes once the server listens; the command starts only when
    # the server answers a client, so that a server that ended is told apart
    # from a window manager that cannot open the display.
    local deadline=$((SECONDS + 30)) status_text
    until xdpyinfo -display ":$display" >/dev/null 2>&1; do
        if ! kill -0 "$server" 2>/dev/null; then
            wait "$server" && status_text=0 || status_text=$?
            echo "FAIL: Xvfb on :$display ended with status $status_text before it answered" >&2
            return 1
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            kill "$server" 2>/dev/null || true
            echo "FAIL: Xvfb on :$display did not answer within 30 seconds" >&2
            return 1
        fi
        sleep 0.1
    done
    # In the background, so that errexit holds inside; then waited for.
    (
        export DISPLAY=":$display"
        "$@"
    ) &
    wait $! || status=$?
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    return "$status"
}

# Starts the window manager "$@" in the background, its process id in the
# caller's $wm, and waits until it answers. One that ends before it does
# (it could not take the display) is started again, at most twice more.
start_window_manager() {
    local attempt deadline
    for attempt in 1 2 3; do
        "$@" &
        wm=$!
        deadline=$((SECONDS + 30))
        while kill -0 "$wm" 2>/dev/null; do
            if wmctrl -m >/dev/null 2>&1; then
                return 0
            fi
            if [ "$SECONDS" -ge "$deadline" ]; then
                echo "FAIL: the window manager $1 runs but does not answer, not within 30 seconds" >&2
                return 1
            fi
            sleep 0.1
        done
        wait "$wm" 2>/dev/null || echo "the window manager $1 ended with status $? (try $attempt of 3)" >&2
        sleep 1
    done
    echo "FAIL: the window manager $1 did not start" >&2
    return 1
}

# The id of the first visible window whose title matches the pattern $2,
# waiting for one at most $1 seconds.
window_named() {
    local windows
    if ! windows=$(timeout "$1" xdotool search --sync --onlyvisible --name "$2"); then
        echo "FAIL: no window titled like '$2' within $1 seconds" >&2
        return 1
    fi
    echo "${windows%%$'\n'*}"
}

# Succeeds when no visible window's title matches the pattern $1.
no_window_named() {
    ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}

# Succeeds when process $1 has ended.
process_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# Runs "$@" as part $1 of CI (the name is not passed on), its output shown as
# it comes and kept whole in $CI_LOGS/$1.log, which nothing deletes; when the
# part fails, says so with the log's name and prints its last lines once
# more, so that the cause stands at the end of CI's output. Gives the part's
# status. The part runs with errexit, as it would on its own.
run_logged() {
    local name=$1 status
    shift
    local log="$CI_LOGS/$name.log"
    set +e
    (
        set -e
        "$@"
    ) 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    if [ "$status" -ne 0 ]; then
        echo "FAIL: $name, exit status $status; the end of its log, kept whole in $log:"
        tail -n 80 "$log"
    fi
    return "$status"
}

# Runs the uninstaller in the Wine folder $1 silently and waits until the
# folder is gone, at most 30 seconds. Its first process only copies itself to
# the temporary folder, starts the copy and ends, so its status says whether
# the copy started, not what the uninstall did: a status other than 0 is
# printed, and what is left behind, which the caller checks, decides.
uninstall_silently() {
    local folder=$1 status=0
    # Any server still running (lingering, or ended by wineserver -k) is
    # waited for first, so that the uninstaller starts one of its own.
    wineserver --wait
    wine "$folder/Uninstall.exe" /S || status=$?
    [ "$status" -eq 0 ] || echo "the uninstaller's first process ended with status $status"
    wineserver --wait
    wait_until 30 "the uninstaller removes $folder" test ! -e "$folder" || true
    wineserver --wait
}
