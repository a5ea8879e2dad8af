#!/bin/sh
# Runs the walkthrough from a build directory.
#
#   tools/ejecutar.sh [BUILD_DIR] [SCENE_DIR]   (defaults: build, BUILD_DIR/escena)
#
# The programs read ./Modelos and ./Texturas, so they start in SCENE_DIR.
# With a reachable display, walkthrough simply opens its window there.
# Without one, tools/paseo.py starts a virtual X server and runs each
# program (walkthrough, then walkthrough-wire) through a short walk with
# real key and pointer events, saving screenshots to BUILD_DIR/capturas/;
# each program is ended with Escape and must exit with status 0.
set -eu

build=${1:-build}
build=$(cd "$build" && pwd)
escena=${2:-$build/escena}

for programa in walkthrough walkthrough-wire; do
    if [ ! -x "$build/$programa" ]; then
        echo "ejecutar.sh: $build/$programa is missing; build first (cmake --build $build)" >&2
        exit 1
    fi
done
if [ ! -d "$escena/Modelos" ]; then
    echo "ejecutar.sh: $escena/Modelos is missing; the scene is empty, only the axes and overlay show" >&2
    mkdir -p "$escena"
fi
escena=$(cd "$escena" && pwd)

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    cd "$escena"
    exec "$build/walkthrough"
fi

for herramienta in Xvfb xdotool import python3; do
    if ! command -v "$herramienta" >/dev/null 2>&1; then
        echo "ejecutar.sh: no display and no $herramienta; run tools/dependencias.sh" >&2
        exit 1
    fi
done
exec python3 "$(dirname "$0")/paseo.py" "$build" "$escena"
