#!/bin/sh
# Builds zlib, libpng, FreeType, pixman and cairo as static libraries for
# x86_64-w64-mingw32 from Debian's own source packages, into a prefix outside
# the clone. The prefix is keyed by a hash of this script, so a change here
# builds a fresh one and an unchanged script reuses it. Prints the prefix.
#
# The .pc files hold absolute paths, so the prefix is built in a temporary
# folder beside its final place and only renamed into place when complete.
set -eu

HOST=x86_64-w64-mingw32
CC_HOST=$HOST-gcc-posix
CXX_HOST=$HOST-g++-posix
SUITE=bookworm
SOURCES="zlib libpng1.6 freetype pixman cairo"

script_hash=$(sha256sum "$0" | cut -c1-12)
cache_root=${VERDIGRIX_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/verdigrix}
prefix=$cache_root/mingw-$script_hash

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "mingw deps: $*" >&2; }

# Runs a build step with its output in a log, shown only when the step fails.
quiet() {
    "$@" >>"$work/build.log" 2>&1 || {
        tail -n 40 "$work/build.log" >&2
        log "failed: $*"
        exit 1
    }
}

mkdir -p "$cache_root"
work=$(mktemp -d "$cache_root/build.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/stage
mkdir -p "$stage"

# Debian's sources come through apt; add a source entry for the release
# suite when the machine has none.
ensure_deb_src() {
    if apt-cache showsrc zlib 2>/dev/null | grep -q '^Package:'; then
        return
    fi
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root=sudo
    log "adding a deb-src entry for $SUITE"
    $as_root tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $SUITE
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $as_root apt-get update -qq
}

fetch_sources() {
    mkdir -p "$work/src"
    for pkg in $SOURCES; do
        # Only the upstream tarball is used; a missing Debian diff is no loss.
        (cd "$work/src" && apt-get source --download-only -qq "$pkg/$SUITE" >/dev/null 2>&1) || true
    done
    for pkg in $SOURCES; do
        tarball=$(ls "$work/src/${pkg}_"*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | grep -v -- '-ft2' | head -n1)
        if [ -z "$tarball" ]; then
            log "no source tarball for $pkg"
            exit 1
        fi
        tar -C "$work/src" -xf "$tarball"
    done
}

srcdir() {
    ls -d "$work/src/$1"-[0-9]* | head -n1
}

write_cross_file() {
    cat >"$work/cross.ini" <<EOF
[binaries]
c = '$CC_HOST'
cpp = '$CXX_HOST'
ar = '$HOST-ar'
strip = '$HOST-strip'
windres = '$HOST-windres'
pkgconfig = 'pkg-config'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
}

build_zlib() {
    log zlib
    cd "$(srcdir zlib)"
    quiet env CHOST=$HOST CC=$CC_HOST CFLAGS=-O2 ./configure --static --prefix="$stage"
    quiet make -j2 libz.a
    quiet make install
}

build_libpng() {
    log libpng
    cd "$(srcdir libpng)"
    quiet ./configure --host=$HOST CC=$CC_HOST --prefix="$stage" --enable-static --disable-shared \
        CPPFLAGS="-I$stage/include" LDFLAGS="-L$stage/lib"
    quiet make -j2 install
}

meson_build() {
    name=$1
    shift
    quiet meson setup "$work/build-$name" --cross-file "$work/cross.ini" --prefix "$stage" \
        --libdir lib --buildtype release --default-library static "$@"
    quiet ninja -C "$work/build-$name" -j2 install
}

build_freetype() {
    log FreeType
    cd "$(srcdir freetype)"
    # Exporting every symbol is only right for the DLL build.
    sed -i "s/^if host_machine.system() == 'windows'$/if host_machine.system() == 'windows' and get_option('default_library') != 'static'/" meson.build
    grep -q "default_library') != 'static'" meson.build
    meson_build freetype -Dbrotli=disabled -Dbzip2=disabled -Dharfbuzz=disabled \
        -Dpng=disabled -Dzlib=disabled -Dtests=disabled
}

build_pixman() {
    log pixman
    cd "$(srcdir pixman)"
    sed -i "s/^if cc.has_function_attribute('dllexport')$/if cc.has_function_attribute('dllexport') and get_option('default_library') != 'static'/" pixman/meson.build
    grep -q "default_library') != 'static'" pixman/meson.build
    meson_build pixman -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled \
        -Dopenmp=disabled
}

build_cairo() {
    log cairo
    cd "$(srcdir cairo)"
    # The fortify wrappers it asks for do not exist in the MinGW runtime.
    sed -i 's/-Wp,-D_FORTIFY_SOURCE=2//g' configure
    quiet ./configure --host=$HOST CC=$CC_HOST --prefix="$stage" --enable-static --disable-shared \
        CPPFLAGS="-DCAIRO_WIN32_STATIC_BUILD -I$stage/include" LDFLAGS="-L$stage/lib" \
        --enable-win32 --enable-win32-font --enable-ft --disable-fc --disable-png \
        --disable-xlib --disable-xcb --disable-script --disable-ps --disable-pdf --disable-svg \
        --disable-interpreter --disable-trace --disable-gobject --disable-valgrind \
        --disable-full-testing
    quiet make -C src -j2 install
    # A static cairo needs its consumers to skip dllimport and to link GDI.
    pc="$stage/lib/pkgconfig/cairo.pc"
    sed -i -e 's/^Cflags:\(.*\)$/Cflags:\1 -DCAIRO_WIN32_STATIC_BUILD/' \
        -e 's/^Libs:\(.*\)$/Libs:\1 -lgdi32 -lmsimg32/' "$pc"
}

ensure_deb_src
fetch_sources
write_cross_file
export PKG_CONFIG_LIBDIR="$stage/lib/pkgconfig"
export PKG_CONFIG_PATH=""
build_zlib
build_libpng
build_freetype
build_pixman
build_cairo

# Rebuild the paths for the final place before the rename.
for pc in "$stage"/lib/pkgconfig/*.pc; do
    sed -i "s|$stage|$prefix|g" "$pc"
done
rm -f "$stage"/lib/*.la
touch "$stage/.complete"
rm -rf "$prefix"
mv "$stage" "$prefix"
echo "$prefix"
