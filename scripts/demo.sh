#!/bin/sh
# The main job: render the demo through the plug-in and draw the editor.
set -eu
BUILD=${1:-build/release}
mkdir -p out
if [ -x "$BUILD/tools/render/verdigrix-render" ]; then
    "$BUILD/tools/render/verdigrix-render" --out out/demo.wav
fi
if [ -x "$BUILD/tools/snapshot/verdigrix-snapshot" ]; then
    "$BUILD/tools/snapshot/verdigrix-snapshot" out/editor.png && echo "drew the editor into out/editor.png"
fi
