# Sourced first by run.sh and gui.sh: the repository, the build folder and the formats
# asked for ("$@"), building the modules on --build. Needs $here; sets $repo, $build and
# $formats.
repo="$(cd "$here/../.." && pwd)"
build="${VDGX_BUILD:-$repo/build/ardour}"

formats=()
for a in "$@"; do
	case "$a" in
	--build)
		cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
			-DVERDIGRIX_BUILD_TESTS=OFF -DVERDIGRIX_BUILD_BENCH=OFF
		cmake --build "$build" -j2 --target verdigrix_vst3 verdigrix_vst2
		;;
	VST3 | VST2) formats+=("$a") ;;
	*) echo "unknown argument $a" >&2; exit 2 ;;
	esac
done
[ ${#formats[@]} -gt 0 ] || formats=(VST3 VST2)
