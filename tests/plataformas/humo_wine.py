"""Smoke test of a Windows build of a walkthrough program under Wine.

    humo_wine.py PROGRAM.exe SCENE_FOLDER SCREENSHOT.png WINE_PREFIX

Runs the program in the scene folder on its own virtual X server (the
project's X server helper), waits until its window shows the first frame,
saves a screenshot, presses Escape and requires exit status 0.

The preloaded frame counter of the Linux tests cannot reach a Windows
program, so the first frame is recognised on the screen itself: the window
is mapped, and the screen holds the overlay's red text beside other colours
(the lit and textured scene, or the white lines of the wire build on
black), which a window not yet drawn does not. Every wait is for a state,
with a time bound.

Wine's desktop, the process that owns every window, belongs to the X
display of the first program that needed it, for as long as its Wine server
runs. So each run has a Wine server of its own, on a prefix kept for these
runs (WINE_PREFIX), started with the program and stopped after it; the
ctest entries never run two of them at once.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from servidor_x import ServidorX, esperar  # noqa: E402

# Wine's own start-up, on a prefix it may have to create first, comes on
# top of the program's.
LIMITE_WINE = 180.0


def cuadro_dibujado(servidor):
    """The overlay's red text is on the screen, among at least three colours."""
    ancho, alto, rgb = servidor.captura()
    colores = set()
    rojos = 0
    for i in range(0, len(rgb) - 2, 3 * 3):   # one pixel in three
        r, g, b = rgb[i], rgb[i + 1], rgb[i + 2]
        colores.add((r, g, b))
        rojos += r > 100 and g < 40 and b < 40
    return rojos > 50 and len(colores) >= 3


def parar_wine(entorno):
    subprocess.run(["wineserver", "-k"], env=entorno, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=entorno, stderr=subprocess.DEVNULL)


def main():
    programa, carpeta, captura, prefijo = sys.argv[1:5]
    os.makedirs(os.path.dirname(os.path.abspath(captura)), exist_ok=True)
    servidor = ServidorX()
    proceso = None
    try:
        os.makedirs(prefijo, exist_ok=True)
        entorno = dict(servidor.entorno, WINEDEBUG="-all", WINEPREFIX=os.path.abspath(prefijo),
                       WINEDLLOVERRIDES="mscoree,mshtml=")
        parar_wine(entorno)
        proceso = subprocess.Popen(["wine", os.path.abspath(programa)], cwd=carpeta, env=entorno,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)

        esperar(servidor.ventana_visible, "the window to be mapped", limite=LIMITE_WINE, proceso=proceso)
        esperar(lambda: cuadro_dibujado(servidor), "the first frame", limite=LIMITE_WINE, proceso=proceso)
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
        if proceso is not None:
            parar_wine(entorno)
        servidor.parar()


if __name__ == "__main__":
    sys.exit(main())
