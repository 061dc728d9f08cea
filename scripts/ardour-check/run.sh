#!/usr/bin/env bash
# Checks the built Verdigrix VST3 and VST2 modules inside Ardour 7 without a
# display: scan, instantiate on a stereo track, set and automate parameters,
# export audio, save, reopen, compare, remove. A manual check, not part of CI.
#
# Needs the Debian package "ardour" (apt-get install ardour) and python3.
# Usage: scripts/ardour-check/run.sh [--build] [VST3|VST2 ...]
#   --build   configure and build the modules in build/ardour (Release) first
# Environment: VDGX_BUILD (default build/ardour), VDGX_SCRATCH (default
# /tmp/vdgx-ardour-check; wiped on every run: Ardour's settings, caches,
# sessions and exports live there, never in the real home directory).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
scratch="${VDGX_SCRATCH:-/tmp/vdgx-ardour-check}"
. "$here/args.sh"

command -v ardour7-lua >/dev/null || { echo "ardour7-lua missing: apt-get install ardour" >&2; exit 2; }
vst3="$build/vst3/Verdigrix.vst3"
vst2="$build/vst2/Verdigrix.so"
[ -d "$vst3" ] && [ -f "$vst2" ] || { echo "modules missing in $build (use --build)" >&2; exit 2; }

. "$here/setup.sh"

failures=0
note() { echo "== $*"; }

note "scan (Ardour's own scanner processes)"
scan_modules
cat "$log/scan-vst3.txt" "$log/scan-vst2.txt"
grep -q 'name="Verdigrix" vendor="Tamrok" category="Fx|Modulation" version="1.1.0"' "$log/scan-vst3.txt" &&
	echo "RESULT VST3 PASS scan: Verdigrix by Tamrok, Fx|Modulation, 1.1.0" ||
	{ echo "RESULT VST3 FAIL scan: name/vendor/category/version"; failures=$((failures + 1)); }
grep -q 'n_inputs="2" n_outputs="2" n_aux_inputs="2" n_aux_outputs="0"' "$log/scan-vst3.txt" &&
	echo "RESULT VST3 PASS scan: 2 in + 2 side-chain in, 2 out" ||
	{ echo "RESULT VST3 FAIL scan: bus layout"; failures=$((failures + 1)); }
grep -q 'name="Verdigrix" creator="Tamrok" category="Effect".*n_inputs="4" n_outputs="2"' "$log/scan-vst2.txt" &&
	echo "RESULT VST2 PASS scan: Verdigrix by Tamrok, Effect, 4 in (2 side-chain), 2 out" ||
	{ echo "RESULT VST2 FAIL scan: name/creator/category/IO"; failures=$((failures + 1)); }

# One Ardour process per step: its SimpleExport works once per process.
# ardour7-lua 7.3 also dies now and then (heap corruption after an export,
# seen with no Verdigrix in the session too), so a step killed by a signal is
# run again, up to five times; every such death is listed.
crashes=0
step() {
	local fmt="$1" name="$2"
	shift 2
	note "$fmt: $name"
	local rc=0 attempt sess="$scratch/sessions/$fmt"
	rm -rf "$sess.before"
	[ ! -d "$sess" ] || cp -a "$sess" "$sess.before"
	for attempt in 1 2 3 4 5; do
		# every attempt starts from the session as it was before the step
		rm -rf "$sess"
		[ ! -d "$sess.before" ] || cp -a "$sess.before" "$sess"
		rc=0
		timeout 300 ardour7-lua "$here/check.lua" "$fmt" "$scratch/sessions/$fmt" "$out" "$@" \
			>"$log/$fmt-$name.txt" 2>&1 || rc=$?
		[ "$rc" -ge 128 ] && [ "$rc" -ne 124 ] || break
		crashes=$((crashes + 1))
		cp "$log/$fmt-$name.txt" "$log/$fmt-$name.crash$attempt.txt"
		echo "   ardour7-lua died with status $rc (attempt $attempt; log $log/$fmt-$name.crash$attempt.txt)"
	done
	grep -v '^RESULT .* PASS ' "$log/$fmt-$name.txt" | grep -v '^PARAM ' || true
	{ grep -c '^RESULT .* PASS ' "$log/$fmt-$name.txt" || true; } | sed 's/^/   passed: /'
	failures=$((failures + $(grep -c '^RESULT .* FAIL ' "$log/$fmt-$name.txt" || true)))
	if [ "$rc" -ne 0 ]; then
		echo "RESULT $fmt FAIL $name: ardour7-lua exited with $rc"
		failures=$((failures + 1))
	fi
}

for fmt in "${formats[@]}"; do
	mkdir -p "$scratch/sessions"
	step "$fmt" create create save export:input
	step "$fmt" instantiate add describe presets defaults save export:default
	grep '^PARAM ' "$log/$fmt-instantiate.txt" || true
	step "$fmt" amount0 "set:Analog Saturation=0" "set:Effect Amount=0" export:amount0-nosat
	step "$fmt" amount100 "set:Analog Saturation=0" "set:Effect Amount=100" export:amount100-nosat
	step "$fmt" square "set:Source Type=4" "set:Filter Type=0" export:square-lowpass
	step "$fmt" automation "set:Source Type=4" "set:Analog Saturation=0" automate export:automated-amount
	step "$fmt" store setstored stored save export:stored
	step "$fmt" reopen stored export:restored
	step "$fmt" remove remove save export:removed
	step "$fmt" removed absent
	note "$fmt: audio"
	python3 "$here/wavstat.py" --judge "$out" "$fmt" | tee "$log/$fmt-audio.txt" || true
	failures=$((failures + $(grep -c '^RESULT .* FAIL ' "$log/$fmt-audio.txt" || true)))
done

note "plug-in messages from Ardour (anything but our RESULT lines)"
grep -h -v -E '^(RESULT|PARAM|INFO|EXPORT|SAVED|DONE) |^\[WARNING\]: Falling back to Reasonable Synth|^Butler drops pool trash$|^lua/unknown direct dispatch of call slot' \
	"$log"/VST?-*[!0-9].txt | sort | uniq -c || true

note "ardour7-lua deaths that were retried: $crashes"
note "failures: $failures (logs in $log, exports in $out)"
[ "$failures" -eq 0 ]
