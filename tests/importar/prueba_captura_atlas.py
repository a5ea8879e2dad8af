"""The imported room of many materials on screen. The atlas tests' OBJ room,
each material in a hue of its own (floor yellow, bricks red, wood green,
plaster cyan, glass blue, the other walls magenta, the ceiling grey), goes
through importar; the walkthrough runs in the folder under a virtual X
server and turns round in four quarter turns of the pointer, and every hue must
show. A slot drawn
with one material's image, or a rectangle mapped wrong, loses some of them.
The figures are grey and the ceiling grey; the horse, drawn with one texel
of the walls' image (at the texture coordinate of their last face, the
front wall), shows magenta, a hue the walls show largely anyway.

    TALO_BUILD=<build dir> python3 prueba_captura_atlas.py
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from servidor_x import ALTO, ANCHO, BUILD, LIMITE, Programa, ServidorX  # noqa: E402

TONOS = {(1, 0, 0): "red", (0, 1, 0): "green", (0, 0, 1): "blue",
         (1, 1, 0): "yellow", (0, 1, 1): "cyan", (1, 0, 1): "magenta"}
# The overlay's lines of text are at the top of the screen.
PRIMERA_FILA = 100
PASO = 4   # every fourth pixel of every fourth row
CUARTO = 118   # pointer pixels in a quarter turn (75 a radian)


def contar_tonos(ancho, alto, rgb, cuenta):
    """Adds to `cuenta` the sampled pixels of each hue: the channels above
    60% of the brightest, for pixels not too dark to tell."""
    for y in range(PRIMERA_FILA, alto, PASO):
        fila = y * ancho * 3
        for x in range(0, ancho, PASO):
            i = fila + x * 3
            r, g, b = rgb[i], rgb[i + 1], rgb[i + 2]
            m = max(r, g, b)
            if m < 40:
                continue
            tono = TONOS.get((int(r > 0.6 * m), int(g > 0.6 * m), int(b > 0.6 * m)))
            if tono:
                cuenta[tono] = cuenta.get(tono, 0) + 1


class CapturaAtlas(unittest.TestCase):
    def test_cada_material_con_su_tono(self):
        temporal = tempfile.mkdtemp()
        try:
            escribir = os.path.join(BUILD, "tests", "importar", "escribir_sala_atlas")
            sala = subprocess.run([escribir, temporal, "tonos"], check=True, capture_output=True, text=True,
                                  timeout=LIMITE).stdout.strip()
            figura = os.path.join(temporal, "figura.obj")
            with open(figura, "w") as f:
                f.write("v 0 0 0\nv 1 0 0\nv 0 2 0\nv 0 0 1\nf 1 2 3\nf 1 3 4\nf 1 4 2\nf 2 4 3\n")
            escena = os.path.join(temporal, "escena")
            subprocess.run([os.path.join(BUILD, "importar", "importar"), "--mujer", figura, "--caballo", figura,
                            sala, escena], check=True, capture_output=True, timeout=LIMITE)
            cuenta, total = {}, 0
            servidor = ServidorX()
            try:
                programa = Programa(servidor, "walkthrough", escena)
                for vuelta in range(4):
                    ancho, alto, rgb = servidor.captura()
                    contar_tonos(ancho, alto, rgb, cuenta)
                    total += ((alto - PRIMERA_FILA + PASO - 1) // PASO) * ((ancho + PASO - 1) // PASO)
                    if vuelta == 0:
                        servidor.guardar_captura(os.path.join(BUILD, "tests", "importar", "atlas-captura.png"))
                    # A quarter turn to the left: the pointer turns the view
                    # at once, 75 pixels a radian, whatever the frame rate.
                    servidor.xdotool("mousemove", str(ANCHO // 2 - CUARTO * (vuelta + 1)), str(ALTO // 2))
                    programa.esperar_cuadros(2)
                estado = programa.salir()
            finally:
                servidor.parar()
        finally:
            shutil.rmtree(temporal, ignore_errors=True)
        self.assertEqual(estado, 0)
        for tono in TONOS.values():
            self.assertGreater(cuenta.get(tono, 0), 0.002 * total, "%s hardly shows: %r" % (tono, cuenta))


if __name__ == "__main__":
    unittest.main()
