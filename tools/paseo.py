"""The run script's short walk, on a virtual X server of its own.

    python3 tools/paseo.py BUILD_DIR SCENE_DIR

Runs walkthrough, then walkthrough-wire, in SCENE_DIR with the driver the
program tests use (servidor_x.py): real key and pointer events, each step
waiting for frames shown. Saves four screenshots of each program to
BUILD_DIR/capturas/, ends each with Escape and fails unless it exits with
status 0.
"""
import os
import sys

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from servidor_x import ALTO, ANCHO, Programa, ServidorX  # noqa: E402


def pasear(servidor, build, escena, programa, capturas):
    print("%s:" % programa)
    p = Programa(servidor, programa, escena, build=build)

    def captura(n):
        ruta = os.path.join(capturas, "%s-%d.png" % (programa, n))
        servidor.guardar_captura(ruta)
        print("  " + ruta)

    # Keys act once per tick and the tick follows the frame rate, so turns
    # and looks go by the pointer (75 pixels to the radian) and the keys walk.
    captura(1)
    p.tecla("c")            # collision on: the walls keep the walk inside the hall
    p.mantener("w", 20)     # walk forward
    captura(2)
    p.raton(-60, 0)         # turn left, 0.8 rad
    p.mantener("w", 12)
    p.raton(0, -15)         # look up a little
    captura(3)
    p.raton(0, 15)          # level again
    p.mantener("e", 5)      # turn right with the key
    p.mantener("s", 10)     # step back
    captura(4)
    estado = p.salir()
    if estado != 0:
        sys.exit("paseo.py: %s exited with status %r:\n%s" % (programa, estado, getattr(p, "errores", "")))
    print("  exited with status 0")


def main():
    build, escena = (os.path.abspath(a) for a in sys.argv[1:3])
    capturas = os.path.join(build, "capturas")
    os.makedirs(capturas, exist_ok=True)
    servidor = ServidorX()
    try:
        print("Virtual X server on display %s (%dx%d)" % (servidor.display, ANCHO, ALTO))
        for programa in ("walkthrough", "walkthrough-wire"):
            pasear(servidor, build, escena, programa, capturas)
    finally:
        servidor.parar()
    print("Screenshots are in " + capturas)


if __name__ == "__main__":
    main()
