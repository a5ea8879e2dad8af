"""Runs the real walkthrough programs under a virtual X server (Xvfb) on Mesa,
records their OpenGL calls with apitrace, drives them with real key events
through xdotool and looks at what they show.

    TALO_BUILD=<build dir> python3 prueba_programas.py [TestClass ...]

Every test class starts its own X server (tools/servidor_x.py), so classes can run
in parallel. The tests wait for frames shown, never for a stretch of time.
"""
import math
import os
import re
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


def parecido(actual, esperado):
    """Compares one argument as apitrace prints it with an expected value:
    a number, a list of numbers, a set of mask bits, or exact text. None
    accepts anything."""
    if esperado is None:
        return True
    if isinstance(esperado, (int, float)):
        try:
            a = float(actual)
        except ValueError:
            return False
        return abs(a - esperado) <= 1e-5 * max(1.0, abs(esperado))
    if isinstance(esperado, (list, tuple)):
        try:
            valores = traza.vector(actual)
        except ValueError:
            return False
        return len(valores) == len(esperado) and all(
            parecido(repr(a), e) for a, e in zip(valores, esperado))
    if isinstance(esperado, frozenset):
        return frozenset(b.strip() for b in actual.split("|")) == esperado
    return actual == esperado


def texto_de(llamadas):
    """Collapses each run of font characters into one ("texto", glyphs) item."""
    salida = []
    for c in llamadas:
        if c[1] == "caracter":
            if salida and salida[-1][1] == "texto":
                salida[-1][2].append(c[2])
                continue
            salida.append((c[0], "texto", [c[2]]))
        else:
            salida.append(c)
    return salida


def comparar(prueba, actual, esperado, donde):
    """actual: calls; esperado: (name, [args]) or ("texto", predicate)."""
    for k, (e, a) in enumerate(zip(esperado, actual)):
        nombre, args = e
        prueba.assertEqual(a[1], nombre, "%s, call %d: %r instead of %s%r" % (donde, k, a, nombre, args))
        if nombre == "texto":
            prueba.assertTrue(args(a[2]), "%s, call %d: text of %d characters" % (donde, k, len(a[2])))
            continue
        prueba.assertEqual(len(a[2]), len(args), "%s, call %d: %r" % (donde, k, a))
        for x, y in zip(a[2], args):
            prueba.assertTrue(parecido(x, y), "%s, call %d: %r, expected %s%r" % (donde, k, a, nombre, args))
    prueba.assertEqual(len(actual), len(esperado),
                       "%s: %d calls, expected %d; first extra or missing: %r" % (
                           donde, len(actual), len(esperado),
                           (actual[len(esperado):] or esperado[len(actual):])[:3]))


LLAMADAS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "llamadas_esperadas.txt")


def _argumento(texto):
    if texto.startswith("{"):
        return [float(x) for x in texto.strip("{}").split()]
    if "|" in texto:
        return frozenset(texto.split("|"))
    try:
        return float(texto)
    except ValueError:
        return texto


def esperadas(seccion, wire):
    """The calls of one section of llamadas_esperadas.txt for one build, as
    (name, [args]) in the form comparar takes."""
    build = "wire" if wire else "textura"
    salida = []
    with open(LLAMADAS) as f:
        for linea in f:
            partes = re.findall(r"\{[^}]*\}|\S+", linea.split("#")[0])
            if partes and partes[0] == seccion and partes[1] in ("*", build):
                salida.append((partes[2], [_argumento(a) for a in partes[3:]]))
    return salida


def dibujo_modelo(nombre, wire):
    if wire:
        e = [("glColor3f", [1, 1, 1])]
        caras, primitiva = escena.caras_wire(nombre), "GL_LINE_STRIP"
    else:
        e = [("glColor4f", [0.5, 0.5, 0.5, 1])]
        caras, primitiva = escena.caras_dibujadas(nombre), "GL_TRIANGLES"
    for cara in caras:
        e.append(("glBegin", [primitiva]))
        e += [(llamada, list(valores)) for llamada, valores in cara]
        e.append(("glEnd", []))
    return e


def superposicion(wire, hay_fps):
    esquinas = [(0, 0.02), (0.06, 0.02), (0.06, -0.01), (0, -0.01)]
    e = [("glPushMatrix", []), ("glLoadIdentity", []), ("glColor3f", [1, 1, 1]),
         ("glDisable", ["GL_DEPTH_TEST"])]
    if not wire:
        e.append(("glDisable", ["GL_LIGHTING"]))
    e.append(("glBegin", ["GL_QUADS"]))
    e += [("glVertex3f", [x, y, -1]) for x, y in esquinas]
    e += [("glEnd", []), ("glColor3f", [1, 0, 0]), ("glBegin", ["GL_LINES"])]
    for k in range(4):
        for x, y in (esquinas[k], esquinas[(k + 1) % 4]):
            e.append(("glVertex3f", [x, y, -1]))
    e += [("glEnd", []), ("glColor3f", [1, 0, 0]), ("glRasterPos3f", [0, 0, -1])]
    if hay_fps:
        # "FPS: <rate>\n": from 7 characters ("FPS: 5\n") to 10 ("FPS: 1000\n").
        e.append(("texto", lambda g: 7 <= len(g) <= 10))
    e += [("glRasterPos3f", [-0.7, 0.5, -1]),
          ("texto", lambda g: len(g) == len(escena.texto_caballo())),
          ("glRasterPos3f", [-0.7, 0.55, -1]),
          ("texto", lambda g: len(g) == len(escena.texto_mujer())),
          ("glEnable", ["GL_DEPTH_TEST"])]
    if not wire:
        e.append(("glEnable", ["GL_LIGHTING"]))
    e.append(("glPopMatrix", []))
    return e


def marco_esperado(wire, ojo, texturas, hay_fps):
    # gluLookAt as GLU expands it: a rotation, then minus the eye.
    e = esperadas("cuadro", wire) + [("glMultMatrixf", [None]),
                                     ("glTranslated", [-ojo[0], -ojo[1], -ojo[2]])]
    e += esperadas("luz", wire) + esperadas("ejes", wire) + esperadas("color", wire)
    for modelo, imagen in escena.ORDEN_DIBUJO:
        if modelo == "Caballo":
            e += [("glPushMatrix", []), ("glTranslatef", [0, 0, -50])]
        if not wire and imagen:
            e.append(("glBindTexture", ["GL_TEXTURE_2D", texturas[imagen]]))
        e += dibujo_modelo(modelo, wire)
        if modelo == "Caballo":
            e.append(("glPopMatrix", []))
    return e + superposicion(wire, hay_fps)


def ajustes_esperados(wire):
    e = esperadas("ajustes", wire)
    if wire:
        return e
    for k, imagen in enumerate(escena.ORDEN_TEXTURAS):
        bpp, ancho, alto, _ = escena.IMAGENES[imagen]
        formato = "GL_RGBA" if bpp == 32 else "GL_RGB"
        e += [("glGenTextures", [1, "&%d" % (k + 1)]),
              ("glBindTexture", ["GL_TEXTURE_2D", k + 1]),
              ("glTexImage2D", ["GL_TEXTURE_2D", 0, "GL_RGB", ancho, alto, 0, formato,
                                "GL_UNSIGNED_BYTE", "blob(%d)" % (ancho * alto * bpp // 8)])]
        e += esperadas("textura", wire)
    return e


def colores(captura, fila_desde=0, fila_hasta=None):
    ancho, alto, datos = captura
    fila_hasta = alto if fila_hasta is None else fila_hasta
    trozo = datos[fila_desde * ancho * 3:fila_hasta * ancho * 3]
    return {bytes(trozo[k:k + 3]) for k in range(0, len(trozo), 3)}


class _Corrida(unittest.TestCase):
    """Runs one program once under apitrace with the test scene, takes a
    screenshot, ends it with Escape; the tests look at the results."""

    PROGRAMA = None
    WIRE = False

    @classmethod
    def setUpClass(cls):
        cls.temporal = tempfile.mkdtemp(prefix="talo-app-")
        escena.escribir(cls.temporal)
        cls.ruta_traza = os.path.join(cls.temporal, "programa.trace")
        servidor = ServidorX()
        try:
            programa = Programa(servidor, cls.PROGRAMA, cls.temporal, cls.ruta_traza)
            # Well over 27 frames: the rate text shows from the 27th on.
            programa.esperar_cuadros(40)
            cls.captura = servidor.captura()
            servidor.guardar_captura(os.path.join(BUILD, "tests", "app", cls.PROGRAMA + "-prueba.png"))
            cls.estado = programa.salir()
        finally:
            servidor.parar()
        cls.llamadas = traza.leer(cls.ruta_traza)
        cls.marcos = traza.marcos(cls.llamadas)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.temporal, ignore_errors=True)

    def _frame(self, segmento):
        """The calls of a frame, from its clear on; reshapes come before it."""
        for k, c in enumerate(segmento):
            if c[1] == "glClear":
                # glutSwapBuffers flushes before it swaps.
                fin = len(segmento) - 1 if segmento[-1][1] == "glFlush" else len(segmento)
                return texto_de(segmento[k:fin])
        self.fail("a frame without glClear: %r" % segmento[:5])

    def test_escape_ends_with_status_zero(self):
        self.assertEqual(self.estado, 0)

    def test_render_state_call_by_call(self):
        primeras = []
        for c in self.llamadas:
            if c[1].startswith("glX"):
                continue
            if c[1] in ("glViewport", "glClear"):
                break
            primeras.append(c)
        comparar(self, primeras, ajustes_esperados(self.WIRE), "render state")

    def test_reshape_to_full_screen(self):
        # Each reshape: viewport, projection identity, GLU's perspective
        # matrix for 60 degrees, near 1, far 10000, with the aspect rounded
        # to a 32-bit float; then back to an identity model-view matrix.
        vistos = []
        for k, c in enumerate(self.llamadas):
            if c[1] != "glViewport":
                continue
            ancho, alto = int(c[2][2]), int(c[2][3])
            siguientes = [x for x in self.llamadas[k + 1:k + 12] if not x[1].startswith("glX")][:5]
            self.assertEqual([x[1] for x in siguientes],
                             ["glMatrixMode", "glLoadIdentity", "glMultMatrixd", "glMatrixMode",
                              "glLoadIdentity"])
            self.assertEqual(siguientes[0][2], ["GL_PROJECTION"])
            self.assertEqual(siguientes[3][2], ["GL_MODELVIEW"])
            m = traza.vector(siguientes[2][2][0])
            f = 1.0 / math.tan(math.radians(30.0))
            import struct
            aspecto = struct.unpack("f", struct.pack("f", ancho / alto))[0]
            self.assertAlmostEqual(m[0], f / aspecto, places=12)
            self.assertAlmostEqual(m[5], f, places=12)
            self.assertAlmostEqual(m[10], -10001.0 / 9999.0, places=12)
            self.assertAlmostEqual(m[14], -20000.0 / 9999.0, places=12)
            vistos.append((ancho, alto))
        self.assertIn((ANCHO, ALTO), vistos)

    def test_frames_call_by_call(self):
        texturas = {imagen: k + 1 for k, imagen in enumerate(escena.ORDEN_TEXTURAS)}
        self.assertGreater(len(self.marcos), 30, "too few frames to see the rate text")
        for numero, segmento in enumerate(self.marcos):
            calls = self._frame(segmento)
            esperado = marco_esperado(self.WIRE, (0, 0, 0), texturas, numero >= 26)
            comparar(self, calls, esperado, "frame %d" % (numero + 1))

    def test_overlay_texts(self):
        # Each character is identified by the bitmap freeglut draws for it;
        # the same character must always give the same bitmap and different
        # characters different ones, over both statistics lines and the
        # "FPS: " of the rate text.
        marco = self._frame(self.marcos[30])
        textos = [c[2] for c in marco if c[1] == "texto"]
        self.assertEqual(len(textos), 3)
        numeros = [g[0] for t in textos for g in t]
        carpeta = tempfile.mkdtemp(dir=self.temporal)
        bitmaps = traza.glifos(self.ruta_traza, numeros, carpeta)
        esperados = ["FPS: ", escena.texto_caballo(), escena.texto_mujer()]
        por_caracter, por_glifo = {}, {}
        for texto, glifos in zip(esperados, textos):
            for caracter, g in zip(texto, glifos):
                identidad = (g[1], g[2], bitmaps[g[0]])
                self.assertEqual(por_caracter.setdefault(caracter, identidad), identidad,
                                 "%r drawn two ways in %r" % (caracter, texto))
                self.assertEqual(por_glifo.setdefault(identidad, caracter), caracter,
                                 "%r and %r drawn alike in %r" % (por_glifo[identidad], caracter, texto))
        self.assertEqual(len(textos[1]), len(esperados[1]))
        self.assertEqual(len(textos[2]), len(esperados[2]))

    def test_forbidden_calls_absent_in_wire_build(self):
        if not self.WIRE:
            self.skipTest("textured build")
        prohibidas = {"glBindTexture", "glColor4f", "glColorMaterial", "glGenTextures",
                      "glLightModelfv", "glLightfv", "glMaterialfv", "glMateriali",
                      "glPixelStorei", "glTexImage2D", "glTexParameterf", "glNormal3f",
                      "glTexCoord3f"}
        vistas = {c[1] for c in self.llamadas} & prohibidas
        self.assertEqual(vistas, set())


class TrazaTexturas(_Corrida):
    PROGRAMA = "walkthrough"
    WIRE = False

    def test_screenshot_is_lit_and_textured(self):
        self.assertEqual(self.captura[:2], (ANCHO, ALTO))
        suelo = colores(self.captura, ALTO // 2 + 40, ALTO)
        # The tiled floor under the light: many shades, not black, not one colour.
        self.assertGreater(len(suelo), 50)
        self.assertNotEqual(suelo, {bytes(3)})
        # Lit grey times the blue and white checker: both a bluish and a
        # light shade appear.
        azules = [c for c in suelo if c[2] > c[0] + 40]
        claros = [c for c in suelo if min(c) > 120]
        self.assertTrue(azules, "no blue floor tiles")
        self.assertTrue(claros, "no light floor tiles")


class TrazaWire(_Corrida):
    PROGRAMA = "walkthrough-wire"
    WIRE = True

    def test_screenshot_is_white_lines_on_black(self):
        self.assertEqual(self.captura[:2], (ANCHO, ALTO))
        vistos = colores(self.captura)
        permitidos = {bytes(c) for c in [(0, 0, 0), (255, 255, 255), (255, 0, 0),
                                         (0, 255, 0), (0, 0, 255)]}
        self.assertLessEqual(vistos, permitidos)
        ancho, alto, datos = self.captura
        blancos = sum(1 for k in range(0, len(datos), 3) if datos[k:k + 3] == b"\xff\xff\xff")
        negros = sum(1 for k in range(0, len(datos), 3) if datos[k:k + 3] == b"\0\0\0")
        self.assertGreater(blancos, 2000)   # the model lines, not just the overlay box
        self.assertGreater(negros, ancho * alto // 2)


class Entrada(unittest.TestCase):
    """Real key events from the X server. The eye of every frame is read
    from the traced look-at translation."""

    @classmethod
    def setUpClass(cls):
        cls.temporal = tempfile.mkdtemp(prefix="talo-app-")
        escena.escribir(cls.temporal)
        ruta_traza = os.path.join(cls.temporal, "programa.trace")
        servidor = ServidorX()
        try:
            programa = Programa(servidor, "walkthrough", cls.temporal, ruta_traza)
            # The program runs one tick before each frame, so frames count
            # ticks. The counts leave a margin of a few ticks over what the
            # checks below need.
            programa.mantener("w", 6)       # walk along -z: at least 5 ticks
            programa.tecla("r")             # back to the start
            programa.tecla("c")             # collision on
            programa.tecla("v")             # gravity on: fall onto the floor at y = -100
            programa.esperar_cuadros(12)    # 5 ticks of fall, then at rest
            programa.tecla("c")             # collision off: through the floor
            programa.esperar_cuadros(10)    # more than 5 ticks of free fall
            programa.tecla("v")             # gravity off: the fall stops
            programa.esperar_cuadros(6)     # several frames stopped
            cls.estado = programa.salir()
        finally:
            servidor.parar()
        marcos = traza.marcos(traza.leer(ruta_traza))
        cls.ojos = [traza.ojo(m) for m in marcos if traza.ojo(m) is not None]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.temporal, ignore_errors=True)

    def _tramos(self):
        """Consecutive distinct eye positions."""
        tramos = []
        for o in self.ojos:
            if not tramos or tramos[-1][0] != o:
                tramos.append([o, 0])
            tramos[-1][1] += 1
        return tramos

    def test_escape_ends_with_status_zero(self):
        self.assertEqual(self.estado, 0)

    def test_walk_reset_toggles(self):
        ojos = self.ojos
        self.assertEqual(ojos[0], (0.0, 0.0, 0.0))
        k = 0
        # w held: z falls by whole steps of 7 per tick, y stays 0, x stays tiny.
        while k < len(ojos) and ojos[k][2] == 0.0:
            k += 1
        inicio = k
        while k + 1 < len(ojos) and ojos[k + 1] != (0.0, 0.0, 0.0):
            if ojos[k + 1][1] != 0.0:
                break
            paso = ojos[k][2] - ojos[k + 1][2]
            self.assertAlmostEqual(paso / 7.0, round(paso / 7.0), places=4, msg=ojos[k:k + 2])
            self.assertGreaterEqual(paso, 0.0)
            self.assertLess(abs(ojos[k + 1][0]), 1e-3)
            k += 1
        self.assertLessEqual(ojos[k][2], -14.0, "w moved less than two ticks: %r" % ojos[inicio:k + 1])
        # r: straight back to the start.
        self.assertEqual(ojos[k + 1], (0.0, 0.0, 0.0), ojos[k:k + 3])
        k += 1
        resto = ojos[k:]
        for o in resto:
            self.assertEqual((o[0], o[2]), (0.0, 0.0))
        alturas = [o[1] for o in resto]
        # Falls 10 per tick and rests 50 above the floor (collision and gravity on).
        for a, b in zip(alturas, alturas[1:]):
            self.assertGreaterEqual(a - b, 0.0)
            self.assertAlmostEqual((a - b) / 10.0, round((a - b) / 10.0), places=4)
        self.assertGreaterEqual(alturas.count(-50.0), 3, alturas)
        # c again: collision off, the fall goes through the floor; v again: it stops.
        self.assertLess(alturas[-1], -100.0)
        self.assertEqual(alturas[-1], alturas[-2])
        self.assertEqual(alturas[-1], alturas[-3])


class SinPantalla(unittest.TestCase):
    """With no X server to talk to, each program says so and ends with a
    non-zero status, without being killed by a signal. Display 59999 is
    far above the numbers Xvfb -displayfd takes (the lowest free ones)."""

    def _ejecutar(self, programa, entorno):
        carpeta = tempfile.mkdtemp(prefix="talo-app-")
        try:
            escena.escribir(carpeta)
            r = subprocess.run([os.path.join(BUILD, programa)], cwd=carpeta, env=entorno,
                               capture_output=True, text=True, timeout=30)
        finally:
            shutil.rmtree(carpeta, ignore_errors=True)
        return r

    def test_no_display(self):
        for programa in ("walkthrough", "walkthrough-wire"):
            for entorno in ({k: v for k, v in os.environ.items() if k != "DISPLAY"},
                            dict(os.environ, DISPLAY=":59999")):
                r = self._ejecutar(programa, entorno)
                self.assertGreater(r.returncode, 0, (programa, r.returncode, r.stderr))
                self.assertIn("failed to open display", r.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
