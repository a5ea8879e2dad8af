#!/bin/sh
# Runs the walkthrough from a build directory.
#
#   tools/ejecutar.sh [BUILD_DIR] [SCENE_DIR]
#                     (defaults: build, and the bundled scene BUILD_DIR/escena)
#
# The programs read ./Modelos and ./Texturas, so they start in SCENE_DIR, for
# instance a folder written by importar.
# With a reachable display, walkthrough simply opens its window there.
# Without one, a virtual X server (Xvfb, through tests/app/servidor_x.py) is
# started on a free display, each program (walkthrough, then walkthrough-wire)
# runs for a few seconds while
# xdotool sends a short walk with real key events, screenshots are saved to
# BUILD_DIR/capturas/, each program is ended with Escape and must exit with
# status 0, and the X server is stopped.
set -eu

build=${1:-build}
build=$(cd "$build" && pwd)
escena=${2:-$build/escena}
mkdir -p "$escena"
escena=$(cd "$escena" && pwd)
capturas="$build/capturas"

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

# Under the private X server started below, TALO_SERVIDOR_PRIVADO is set and
# the walk runs; otherwise a reachable display simply gets the program.
if [ -z "${TALO_SERVIDOR_PRIVADO:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    cd "$escena"
    exec "$build/walkthrough"
fi

for herramienta in Xvfb xdotool import xdpyinfo python3; do
    if ! command -v "$herramienta" >/dev/null 2>&1; then
        echo "ejecutar.sh: no display and no $herramienta; run tools/dependencias.sh" >&2
        exit 1
    fi
done

# The tests' X server helper starts Xvfb on a display it picks itself and
# runs this script again on it; it stops the server when the script ends.
if [ -z "${TALO_SERVIDOR_PRIVADO:-}" ]; then
    TALO_SERVIDOR_PRIVADO=1 exec python3 "$(dirname "$0")/../tests/app/servidor_x.py" sh "$0" "$build" "$escena"
fi

ANCHO=1280
ALTO=720
temporal=$(mktemp -d)
programa_pid=

limpiar() {
    if [ -n "$programa_pid" ]; then kill "$programa_pid" 2>/dev/null || true; fi
    rm -rf "$temporal"
}
trap limpiar EXIT
trap 'exit 130' INT TERM

echo "Virtual X server on display $DISPLAY (${ANCHO}x${ALTO})"
mkdir -p "$capturas"

# Waits for the program's window and returns its id.
esperar_ventana() {
    i=0
    while [ $i -lt 100 ]; do
        ventana=$(xdotool search --name '^TALO II$' 2>/dev/null | head -n 1 || true)
        if [ -n "$ventana" ]; then echo "$ventana"; return 0; fi
        if ! kill -0 "$programa_pid" 2>/dev/null; then return 1; fi
        i=$((i + 1))
        sleep 0.1
    done
    return 1
}

captura() {
    import -window root "$capturas/$1.png"
    echo "  $capturas/$1.png"
}

# Holds a key down for a while, then lets it go.
mantener() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

ejecutar() {
    programa=$1
    rm -f "$capturas/$programa"-*.png
    echo "$programa:"
    (cd "$escena" && exec "$build/$programa") >"$temporal/$programa.log" 2>&1 &
    programa_pid=$!
    if ! ventana=$(esperar_ventana); then
        echo "ejecutar.sh: $programa opened no window:" >&2
        cat "$temporal/$programa.log" >&2
        exit 1
    fi
    # With no window manager there is nobody to honour the full-screen
    # request as a desktop would, and the window can stay offset by its first
    # position; put it where full screen means: the whole screen.
    sleep 0.5
    xdotool windowmove "$ventana" 0 0 windowsize "$ventana" "$ANCHO" "$ALTO"
    # Park the pointer in the middle so later moves do not turn the view.
    xdotool mousemove --window "$ventana" $((ANCHO / 2)) $((ALTO / 2))
    sleep 1
    captura "$programa-1"
    # Keys act once per tick and the tick follows the frame rate, so turns
    # and looks go by the pointer (75 pixels to the radian, whatever the
    # rate) and the keys walk.
    xdotool key c           # collision on: the walls keep the walk inside the hall
    mantener w 0.8          # walk forward
    captura "$programa-2"
    xdotool mousemove_relative -- -60 0     # turn left, 0.8 rad
    mantener w 0.5
    xdotool mousemove_relative -- 0 -15     # look up a little
    captura "$programa-3"
    xdotool mousemove_relative -- 0 15      # level again
    mantener e 0.2          # turn right with the key
    mantener s 0.4          # step back
    captura "$programa-4"
    xdotool key Escape
    estado=0
    wait "$programa_pid" || estado=$?
    programa_pid=
    if [ "$estado" -ne 0 ]; then
        echo "ejecutar.sh: $programa exited with status $estado:" >&2
        cat "$temporal/$programa.log" >&2
        exit 1
    fi
    echo "  exited with status 0"
}

ejecutar walkthrough
ejecutar walkthrough-wire
echo "Screenshots are in $capturas"
