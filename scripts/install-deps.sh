#!/bin/sh
# Installs the Debian packages the build needs, only when one is missing.
# Quiet when everything is already there.
set -eu

PACKAGES="cmake ninja-build pkg-config g++ make libcairo2-dev libfreetype-dev libpng-dev \
zlib1g-dev nlohmann-json3-dev libsndfile1-dev libgtest-dev libgmock-dev libbenchmark-dev \
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools \
googletest meson wine64 xvfb libx11-dev libxtst-dev bzip2 xz-utils clang-14 libclang-rt-14-dev"

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "missing packages:$missing (run as root or install sudo)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
