"""Smoke test of a Windows build of a walkthrough program under Wine.

    humo_wine.py PROGRAM.exe SCENE_FOLDER SCREENSHOT.png

Runs the program in the scene folder on its own virtual X server (the
project's X server helper), waits until its window shows the first lit
frame, saves a screenshot, presses Escape and requires exit status 0.
The preloaded frame counter of the Linux tests cannot reach a Windows
program, so the first frame is recognised on the screen itself: the window
is mapped and the screen holds more than a few distinct colours (the
bundled scene's lit and textured surfaces, or the white lines of the wire
build on black). Every wait is for a state, with a time bound.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from servidor_x import ServidorX, esperar  # noqa: E402

# Wine's own start-up, on a prefix it may have to create first, comes on
# top of the program's.
LIMITE_WINE = 180.0


def colores_distintos(servidor):
    ancho, alto, rgb = servidor.captura()
    # One pixel in 97, enough to tell a drawn scene from a blank screen.
    return len({rgb[i:i + 3] for i in range(0, len(rgb) - 2, 3 * 97)})


def main():
    programa, carpeta, captura = sys.argv[1:4]
    os.makedirs(os.path.dirname(os.path.abspath(captura)), exist_ok=True)
    servidor = ServidorX()
    proceso = None
    try:
        entorno = dict(servidor.entorno, WINEDEBUG="-all")
        proceso = subprocess.Popen(["wine", os.path.abspath(programa)], cwd=carpeta, env=entorno,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)

        def ventana():
            r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^TALO II$"],
                               env=servidor.entorno, capture_output=True, text=True)
            return r.stdout.split()[0] if r.stdout.split() else None

        esperar(ventana, "the window to be mapped", limite=LIMITE_WINE, proceso=proceso)
        esperar(lambda: colores_distintos(servidor) > 8, "the first lit frame", proceso=proceso)
        servidor.guardar_captura(captura)
        servidor.xdotool("key", "Escape")
        try:
            _, errores = proceso.communicate(timeout=LIMITE_WINE)
        except subprocess.TimeoutExpired:
            proceso.kill()
            proceso.communicate()
            print("the program did not end on Escape", file=sys.stderr)
            return 1
        if proceso.returncode != 0:
            print("exit status %d on Escape: %s" % (proceso.returncode, errores.decode(errors="replace")),
                  file=sys.stderr)
            return 1
        print("first frame shown, screenshot in %s, exit status 0 on Escape" % captura)
        return 0
    finally:
        if proceso is not None and proceso.poll() is None:
            proceso.kill()
            proceso.wait()
        servidor.parar()


if __name__ == "__main__":
    sys.exit(main())
