"""Runs the real walkthrough programs under a virtual X server (Xvfb) on Mesa
and checks what only a real program shows: it starts and draws, lit and
textured or as white lines, real keys move the view, and Escape ends it with
status 0. The calls themselves, call by call, are the recorded-call tests'
(test_escena.cpp, test_fps.cpp).

    TALO_BUILD=<build dir> python3 prueba_programas.py [TestClass ...]

Every test class starts its own X server (tools/servidor_x.py), so classes
can run in parallel. The tests wait for frames shown, never for a stretch of
time.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import carpeta_conocida as escena  # noqa: E402
import traza  # noqa: E402
from servidor_x import ALTO, ANCHO, BUILD, Programa, ServidorX  # noqa: E402


def colores(captura, fila_desde=0, fila_hasta=None):
    ancho, alto, datos = captura
    fila_hasta = alto if fila_hasta is None else fila_hasta
    trozo = datos[fila_desde * ancho * 3:fila_hasta * ancho * 3]
    return {bytes(trozo[k:k + 3]) for k in range(0, len(trozo), 3)}


def correr(cls, nombre, pasos, ruta_traza=None):
    """Runs one program on the known scene in cls.temporal on an X server of
    its own, does pasos(servidor, programa), ends it with Escape and keeps the
    exit status in cls.estado."""
    cls.temporal = tempfile.mkdtemp(prefix="talo-app-")
    escena.escribir(cls.temporal)
    servidor = ServidorX()
    try:
        programa = Programa(servidor, nombre, cls.temporal, ruta_traza and os.path.join(cls.temporal, ruta_traza))
        pasos(servidor, programa)
        cls.estado = programa.salir()
    finally:
        servidor.parar()


class _Corrida(unittest.TestCase):
    """Runs one program on the known scene, takes a screenshot, ends it with
    Escape; the tests look at the results."""

    PROGRAMA = None

    @classmethod
    def setUpClass(cls):
        def pasos(servidor, programa):
            programa.esperar_cuadros(10)
            cls.captura = servidor.captura()
            servidor.guardar_captura(os.path.join(BUILD, "tests", "app", cls.PROGRAMA + "-prueba.png"))
        correr(cls, cls.PROGRAMA, pasos)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.temporal, ignore_errors=True)

    def test_escape_termina_con_estado_cero(self):
        self.assertEqual(self.estado, 0)


class Texturas(_Corrida):
    PROGRAMA = "walkthrough"

    def test_la_captura_esta_iluminada_y_texturada(self):
        self.assertEqual(self.captura[:2], (ANCHO, ALTO))
        suelo = colores(self.captura, ALTO // 2 + 40, ALTO)
        # The tiled floor under the light: many shades, not black, not one colour.
        self.assertGreater(len(suelo), 50)
        self.assertNotEqual(suelo, {bytes(3)})
        # Lit grey times the blue and white checker: both a bluish and a
        # light shade appear.
        self.assertTrue([c for c in suelo if c[2] > c[0] + 40], "no blue floor tiles")
        self.assertTrue([c for c in suelo if min(c) > 120], "no light floor tiles")


class Alambre(_Corrida):
    PROGRAMA = "walkthrough-wire"

    def test_la_captura_son_lineas_blancas_sobre_negro(self):
        self.assertEqual(self.captura[:2], (ANCHO, ALTO))
        permitidos = {bytes(c) for c in [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255)]}
        self.assertLessEqual(colores(self.captura), permitidos)
        ancho, alto, datos = self.captura
        blancos = sum(1 for k in range(0, len(datos), 3) if datos[k:k + 3] == b"\xff\xff\xff")
        negros = sum(1 for k in range(0, len(datos), 3) if datos[k:k + 3] == b"\0\0\0")
        self.assertGreater(blancos, 2000)   # the model lines, not just the overlay box
        self.assertGreater(negros, ancho * alto // 2)


class Entrada(unittest.TestCase):
    """Real key events from the X server. The eye of every frame is read
    from the look-at translation apitrace records."""

    @classmethod
    def setUpClass(cls):
        def pasos(servidor, programa):
            # The program runs one tick before each frame, so frames count ticks.
            programa.mantener("w", 6)       # walk along -z
            programa.tecla("r")             # back to the start
            programa.tecla("c")             # collision on
            programa.tecla("v")             # gravity on: fall onto the floor at y = -100
            programa.esperar_cuadros(12)    # 5 ticks of fall, then at rest
            programa.tecla("c")             # collision off: through the floor
            programa.esperar_cuadros(10)
            programa.tecla("v")             # gravity off: the fall stops
            programa.esperar_cuadros(6)
        correr(cls, "walkthrough", pasos, "programa.trace")
        marcos = traza.marcos(traza.leer(os.path.join(cls.temporal, "programa.trace")))
        cls.ojos = [o for o in map(traza.ojo, marcos) if o is not None]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.temporal, ignore_errors=True)

    def test_escape_termina_con_estado_cero(self):
        self.assertEqual(self.estado, 0)

    def test_las_teclas_mueven_la_vista(self):
        ojos = self.ojos
        self.assertEqual(ojos[0], (0.0, 0.0, 0.0))
        # w: forward along -z, level.
        k = next(i for i, o in enumerate(ojos) if o != (0.0, 0.0, 0.0))
        while ojos[k + 1] != (0.0, 0.0, 0.0):
            self.assertLessEqual(ojos[k + 1][2], ojos[k][2])
            self.assertEqual(ojos[k + 1][1], 0.0)
            k += 1
        self.assertLessEqual(ojos[k][2], -14.0, "w moved less than two ticks")
        # r: back to the start; then only the height changes.
        alturas = [o[1] for o in ojos[k + 1:]]
        self.assertTrue(all((o[0], o[2]) == (0.0, 0.0) for o in ojos[k + 1:]))
        self.assertTrue(all(a >= b for a, b in zip(alturas, alturas[1:])), "the eye rose")
        # Gravity with collision: at rest 50 above the floor for several frames.
        self.assertGreaterEqual(alturas.count(-50.0), 3, alturas)
        # Collision off: through the floor; gravity off: it stops.
        self.assertLess(alturas[-1], -100.0)
        self.assertEqual(alturas[-3:], [alturas[-1]] * 3)


class SinPantalla(unittest.TestCase):
    """With no X server to talk to, each program says so and ends with a
    non-zero status, without being killed by a signal. Display 59999 is
    far above the numbers Xvfb -displayfd takes (the lowest free ones)."""

    def test_sin_pantalla(self):
        carpeta = tempfile.mkdtemp(prefix="talo-app-")
        try:
            escena.escribir(carpeta)
            for programa in ("walkthrough", "walkthrough-wire"):
                for entorno in ({k: v for k, v in os.environ.items() if k != "DISPLAY"},
                                dict(os.environ, DISPLAY=":59999")):
                    r = subprocess.run([os.path.join(BUILD, programa)], cwd=carpeta, env=entorno,
                                       capture_output=True, text=True, timeout=30)
                    self.assertGreater(r.returncode, 0, (programa, r.returncode, r.stderr))
                    self.assertIn("failed to open display", r.stderr)
        finally:
            shutil.rmtree(carpeta, ignore_errors=True)


if __name__ == "__main__":
    unittest.main(verbosity=2)
