#!/usr/bin/env bash
# Opens the Verdigrix editor in Ardour 7's own window, on a private Xvfb: for
# each module a session with Verdigrix on a stereo track, Ardour's mixer,
# a double-click on the plug-in's entry, then screenshots and checks of the
# editor window Ardour made. A manual check, not part of CI.
#
# Needs the Debian packages ardour, xvfb, xdotool, x11-apps (xwd), x11-utils
# (xwininfo) and python3.
# Usage: scripts/ardour-check/gui.sh [--build] [VST3|VST2 ...]
#   --build   configure and build the modules in build/ardour (Release) first
# Environment: VDGX_BUILD (default build/ardour), VDGX_SCRATCH (default
# /tmp/vdgx-ardour-gui; wiped on every run).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
scratch="${VDGX_SCRATCH:-/tmp/vdgx-ardour-gui}"
. "$here/args.sh"

for tool in ardour ardour7-lua Xvfb xdotool xwd xwininfo python3; do
	command -v "$tool" >/dev/null || { echo "$tool missing (see the header of $0)" >&2; exit 2; }
done
vst3="$build/vst3/Verdigrix.vst3"
vst2="$build/vst2/Verdigrix.so"
[ -d "$vst3" ] && [ -f "$vst2" ] || { echo "modules missing in $build (use --build)" >&2; exit 2; }

. "$here/setup.sh"
scan_modules
shots="$scratch/shots"
mkdir -p "$shots"

# No first-run wizard (.a7 marks it done) and no engine dialog: the dummy
# backend is the last one used and starts by itself.
touch "$home/.config/ardour7/.a7"
sed -i 's|</Config>|  <Option name="try-autostart-engine" value="1"/>\n  </Config>\n  <Extra>\n    <AudioMIDISetup>\n      <EngineStates>\n        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">\n          <MIDIDevices/>\n        </State>\n      </EngineStates>\n    </AudioMIDISetup>\n  </Extra>|' \
	"$home/.config/ardour7/config"

xvfb_pid=""
ardour_pid=""
stop_ardour() {
	if [ -n "$ardour_pid" ]; then
		kill "$ardour_pid" 2>/dev/null || true
		for _ in $(seq 50); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.1; done
		kill -9 "$ardour_pid" 2>/dev/null || true
		wait "$ardour_pid" 2>/dev/null || true
		ardour_pid=""
	fi
}
cleanup() {
	stop_ardour
	[ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the pipe.
exec {dfd}<> <(:)
Xvfb -displayfd "$dfd" -screen 0 1600x1200x24 -nolisten tcp >"$log/xvfb.txt" 2>&1 &
xvfb_pid=$!
read -r -t 30 -u "$dfd" display || { echo "Xvfb did not start (log $log/xvfb.txt)" >&2; exit 2; }
exec {dfd}<&-
export DISPLAY=":$display"
echo "== Xvfb on $DISPLAY"

# waits up to $1 seconds for a window whose name matches $2; prints its id
wait_window() {
	local t="$1" pattern="$2" id
	for _ in $(seq $((t * 4))); do
		id="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)" || true
		[ -z "$id" ] || { echo "$id"; return 0; }
		[ -z "$ardour_pid" ] || kill -0 "$ardour_pid" 2>/dev/null || return 1
		sleep 0.25
	done
	return 1
}

# One try: Ardour on the session, the mixer, a double-click on the second
# plug-in entry (the first is the test tone), the editor's window.
# Leaves $plugwin and $ourwin set, or $why it failed.
open_editor() {
	local fmt="$1" sess="$2" main mix xy
	plugwin="" ourwin="" why=""
	ardour -a -n "$sess/vdgx.ardour" >"$log/$fmt-ardour.txt" 2>&1 &
	ardour_pid=$!
	main="$(wait_window 120 ' - Ardour$')" || { why="no main window"; return 1; }
	xwininfo -id "$main" >"$log/$fmt-main.txt"
	# the mixer: the "Mix" button at the right end of the toolbar (Alt+M is
	# not taken without a window manager giving the focus)
	for _ in 1 2 3 4 5; do
		mix="$(awk '/Width:/ { print $2 - 23 }' "$log/$fmt-main.txt")"
		xdotool mousemove --window "$main" "$mix" 72 click 1
		sleep 2
		xwd -root -silent >"$scratch/mixer.xwd"
		xy="$(python3 "$here/find_entry.py" "$scratch/mixer.xwd" 2)" && break
		xy=""
	done
	[ -n "$xy" ] || { why="no plug-in entry in the mixer"; return 1; }
	for _ in 1 2 3; do
		# shellcheck disable=SC2086
		xdotool mousemove $xy click --repeat 2 --delay 80 1
		plugwin="$(wait_window 15 '^Tone: Verdigrix')" && break
	done
	[ -n "$plugwin" ] || { why="no plug-in window after double-clicks at $xy"; return 1; }
	sleep 3 # the editor's first frames
	xwininfo -tree -id "$plugwin" >"$log/$fmt-plugin-window.txt"
	ourwin="$(awk '$2 == "\"Verdigrix\":" { print $1; exit }' "$log/$fmt-plugin-window.txt")"
	[ -n "$ourwin" ] || { why="no window named Verdigrix inside Ardour's plug-in window"; return 1; }
}

# prints the size of window $1 as WxH
window_size() {
	xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

failures=0
result() { # fmt ok what
	if [ "$2" = 1 ]; then echo "RESULT $1 PASS $3"; else echo "RESULT $1 FAIL $3"; failures=$((failures + 1)); fi
}

for fmt in "${formats[@]}"; do
	echo "== $fmt"
	before=$failures
	sess="$scratch/sessions/$fmt"
	mkdir -p "$scratch/sessions"
	for attempt in 1 2 3 4 5; do
		rm -rf "$sess"
		rc=0
		timeout 300 ardour7-lua "$here/check.lua" "$fmt" "$sess" "$out" create add save >"$log/$fmt-create.txt" 2>&1 || rc=$?
		[ "$rc" -ge 128 ] && [ "$rc" -ne 124 ] || break
		echo "   ardour7-lua died with status $rc (attempt $attempt)"
	done
	[ "$rc" -eq 0 ] || { result "$fmt" 0 "session with Verdigrix (log $log/$fmt-create.txt)"; continue; }

	opened=0
	for attempt in 1 2 3; do
		# every try starts from the session as the script made it
		open_editor "$fmt" "$sess" && { opened=1; break; }
		echo "   try $attempt: $why"
		xwd -root -silent >"$shots/$fmt-failed-$attempt.xwd" &&
			python3 "$here/xwdpng.py" "$shots/$fmt-failed-$attempt.xwd" "$shots/$fmt-failed-$attempt.png" >/dev/null || true
		stop_ardour
	done
	result "$fmt" "$opened" "Ardour opened the editor in its plug-in window"
	if [ "$opened" = 1 ]; then
		title="$(xdotool getwindowname "$plugwin")"
		echo "   Ardour's window: \"$title\" $(window_size "$plugwin")"
		size="$(window_size "$ourwin")"
		result "$fmt" "$([ "$size" = 500x450 ] && echo 1 || echo 0)" "editor window is 500x450 at scale 1 (is $size)"
		xwd -root -silent >"$shots/$fmt-screen.xwd"
		python3 "$here/xwdpng.py" "$shots/$fmt-screen.xwd" "$shots/$fmt-screen.png" >/dev/null
		xwd -id "$ourwin" -silent >"$shots/$fmt-editor.xwd"
		stats="$(python3 "$here/xwdpng.py" "$shots/$fmt-editor.xwd" "$shots/$fmt-editor.png")"
		colours="$(echo "$stats" | awk '{ print $4 }')"
		amber="$(echo "$stats" | awk '{ print $6 }')"
		result "$fmt" "$([ "$colours" -ge 50 ] && echo 1 || echo 0)" "editor is drawn ($colours colours)"
		result "$fmt" "$([ "$amber" -ge 1000 ] && echo 1 || echo 0)" "editor shows its amber ($amber pixels)"
	fi
	stop_ardour
	echo "   screenshots: $shots/$fmt-screen.png (screen) $shots/$fmt-editor.png (editor window)"
	[ "$failures" -eq "$before" ] && echo "== $fmt GUI PASS" || echo "== $fmt GUI FAIL"
done

echo "== failures: $failures (logs in $log, screenshots in $shots)"
[ "$failures" -eq 0 ]
