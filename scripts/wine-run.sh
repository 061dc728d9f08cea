#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build:
#   wine-run.sh [--xvfb] PREFIX PROGRAM ARGS...
# The prefix is made on first use (once, even with tests running in parallel), with the
# settings headless runs need. Output lines lose Wine's carriage returns; the exit status is
# the program's.
# --xvfb: the program gets an X server of its own (Xvfb picks a free display), for windows.
# Wine's processes in the prefix keep the display they started with, so such a prefix serves
# one run at a time: its Wine processes are ended when the program is done.
set -eu

xvfb=""
if [ "${1:-}" = "--xvfb" ]; then
    xvfb=1
    shift
fi

WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
WINE=${VERDIGRIX_WINE:-/usr/lib/wine/wine64}

xvfb_pid=""
status_file=$(mktemp)
display_file=$(mktemp)
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        /usr/lib/wine/wineserver -k 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$status_file" "$display_file"
}
trap cleanup EXIT
if [ -n "$xvfb" ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    tries=0
    while [ ! -s "$display_file" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 200 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "wine-run.sh: Xvfb did not start" >&2
            exit 1
        fi
        sleep 0.05
    done
    DISPLAY=:$(head -n 1 "$display_file")
    export DISPLAY
fi

mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.verdigrix-ready" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1
        # Without a window manager every DestroyWindow would wait for one.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        touch "$WINEPREFIX/.verdigrix-ready"
    fi
) 9>"$WINEPREFIX.lock"

{
    status=0
    "$WINE" "$@" 2>&1 || status=$?
    echo "$status" >"$status_file"
} | tr -d '\r'
exit "$(cat "$status_file")"
