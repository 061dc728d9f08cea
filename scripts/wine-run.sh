#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build: wine-run.sh PREFIX PROGRAM ARGS...
# The prefix is made on first use (once, even with tests running in parallel), with the
# settings headless runs need. Output lines lose Wine's carriage returns; the exit status is
# the program's.
set -eu

WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
WINE=${VERDIGRIX_WINE:-/usr/lib/wine/wine64}

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

status_file=$(mktemp)
trap 'rm -f "$status_file"' EXIT
{
    status=0
    "$WINE" "$@" 2>&1 || status=$?
    echo "$status" >"$status_file"
} | tr -d '\r'
exit "$(cat "$status_file")"
