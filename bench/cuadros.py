"""Frames per second and start-up time of the walkthrough programs.

    python3 bench/cuadros.py BUILD_DIR [SECONDS]

Runs each program (walkthrough, walkthrough-wire) unchanged, from
BUILD_DIR/escena, full screen on its own virtual X server of 1280 x 1024
(tools/servidor_x.py) with Mesa's llvmpipe renderer. The frames are counted
from outside: the library BUILD_DIR/tools/libcontador_cuadros.so, preloaded, notes the time of every
buffer swap. Start-up is the time from just before the program is started to
the end of its first swap; the frame rate is the number of swaps per second
after the first two seconds, over SECONDS more (default 6). Each program is
ended with SIGTERM (it has no other way out than the Escape key).

Prints one JSON object: {"walkthrough": {"fps": ..., "arranque_ms": ...,
"cuadros": ...}, "walkthrough-wire": {...}, "pantalla": "1280x1024",
"renderer": ...}.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from servidor_x import ServidorX  # noqa: E402

ANCHO, ALTO = 1280, 1024
CALENTAR = 2.0


def entorno(pantalla, contador, salida):
    e = dict(os.environ)
    e.update({"DISPLAY": pantalla, "LIBGL_ALWAYS_SOFTWARE": "1", "GALLIUM_DRIVER": "llvmpipe",
              "LD_PRELOAD": contador, "TALO_CUADROS": salida})
    return e


def medir(programa, escena, pantalla, contador, segundos):
    salida = tempfile.mktemp(prefix="talo_cuadros_")
    e = entorno(pantalla, contador, salida)
    e["TALO_CUADROS_T0"] = str(time.monotonic_ns())
    proceso = subprocess.Popen([programa], cwd=escena, env=e,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(CALENTAR + segundos + 0.5)
    proceso.terminate()
    proceso.wait(timeout=10)
    try:
        with open(salida) as f:
            numeros = [int(x) for x in f.read().split()]
    except FileNotFoundError:
        numeros = []
    finally:
        if os.path.exists(salida):
            os.unlink(salida)
    if len(numeros) < 2:
        return {"fps": 0.0, "arranque_ms": None, "cuadros": 0}
    t0, cuadros = numeros[0], numeros[1:]
    desde = cuadros[0] + int(CALENTAR * 1e9)
    hasta = desde + int(segundos * 1e9)
    en_ventana = [t for t in cuadros if desde <= t < hasta]
    fps = len(en_ventana) / segundos
    return {"fps": round(fps, 1), "arranque_ms": round((cuadros[0] - t0) / 1e6, 1), "cuadros": len(cuadros)}


def renderer(pantalla):
    if not shutil.which("glxinfo"):
        return "llvmpipe (LIBGL_ALWAYS_SOFTWARE)"
    r = subprocess.run(["glxinfo", "-B"], env=entorno(pantalla, "", "/dev/null"),
                       capture_output=True, text=True)
    for linea in r.stdout.splitlines():
        if "renderer string" in linea:
            return linea.split(":", 1)[1].strip()
    return "unknown"


def main():
    build = os.path.abspath(sys.argv[1])
    segundos = float(sys.argv[2]) if len(sys.argv) > 2 else 6.0
    contador = os.path.join(build, "tools", "libcontador_cuadros.so")
    escena = os.path.join(build, "escena")
    xvfb = ServidorX(ANCHO, ALTO)
    pantalla = xvfb.display
    try:
        resultado = {"pantalla": "%dx%d" % (ANCHO, ALTO), "renderer": renderer(pantalla)}
        for nombre in ("walkthrough", "walkthrough-wire"):
            resultado[nombre] = medir(os.path.join(build, nombre), escena, pantalla, contador, segundos)
    finally:
        xvfb.parar()
    print(json.dumps(resultado))


if __name__ == "__main__":
    main()
