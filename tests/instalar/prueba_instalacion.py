"""The installed program: what `cmake --install` lays out and what the
Debian package holds, tried as a user would.

    prueba_instalacion.py preparar         install into a scratch DESTDIR
                                           (prefix /usr) and build the package
    prueba_instalacion.py [TestClass ...]  the tests, on what preparar made

Environment: TALO_BUILD (the build tree), TALO_INSTALACION (the scratch
folder), TALO_CMAKE and TALO_CPACK, and the install folders relative to the
prefix: TALO_JUEGOS, TALO_PROGRAMAS, TALO_ESCENA.
"""
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import carpeta_conocida  # noqa: E402
from servidor_x import ALTO, ANCHO, BUILD, Programa, ServidorX  # noqa: E402

INSTALACION = os.environ["TALO_INSTALACION"]
RAIZ = os.path.join(INSTALACION, "raiz de prueba")   # the DESTDIR; the space tries the quoting
PAQUETES = os.path.join(INSTALACION, "paquete")   # cpack's output
JUEGOS = os.environ["TALO_JUEGOS"]
PROGRAMAS = os.environ["TALO_PROGRAMAS"]
ESCENA = os.environ["TALO_ESCENA"]
TALO = os.path.join(RAIZ, "usr", JUEGOS, "talo")
TALO_EN_BIN = os.path.join(RAIZ, "usr", "bin", "talo")   # the link on every PATH

ARCHIVOS_ESCENA = ["Modelos/%s.OBJ" % m for m in ("Techo", "Suelo", "Paredes", "Mujer", "Caballo")] + \
                  ["Texturas/%s.tga" % t for t in ("Vampiro", "Paredes", "Suelo", "Techo")]

# The frame-rate text appears from this frame on, centred; it differs from run to run.
CUADRO_TASA = 27
# Where the rate text can fall: from the centre of the view to the right, one
# line of the 10-point font about the baseline.
TASA = (ANCHO // 2 - 2, ALTO // 2 - 14, ANCHO // 2 + 80, ALTO // 2 + 6)


def preparar():
    shutil.rmtree(INSTALACION, ignore_errors=True)
    os.makedirs(PAQUETES)
    subprocess.run([os.environ["TALO_CMAKE"], "--install", BUILD, "--prefix", "/usr"],
                   env=dict(os.environ, DESTDIR=RAIZ), check=True, stdout=subprocess.DEVNULL)
    subprocess.run([os.environ["TALO_CPACK"], "-G", "DEB", "-B", PAQUETES,
                    "--config", os.path.join(BUILD, "CPackConfig.cmake")],
                   check=True, stdout=subprocess.DEVNULL)


def salida(*orden):
    return subprocess.run(orden, check=True, capture_output=True, text=True).stdout


def paquete():
    debs = glob.glob(os.path.join(PAQUETES, "*.deb"))
    assert len(debs) == 1, debs
    return debs[0]


def archivos(raiz):
    """Every file and symbolic link under raiz, as paths relative to it."""
    salida = set()
    for carpeta, _, nombres in os.walk(raiz):
        for n in nombres:
            salida.add(os.path.relpath(os.path.join(carpeta, n), raiz))
    return salida


class PrimerCuadro(unittest.TestCase):
    """The installed launcher, started from a folder that has nothing to do
    with the scene, shows the same first frame as the build tree's program,
    pixel for pixel, on one virtual X server."""

    @classmethod
    def setUpClass(cls):
        cls.servidor = ServidorX()
        cls.ajena = tempfile.mkdtemp(prefix="talo-ajena-")
        cls.otra = tempfile.mkdtemp(prefix="talo otra escena ")
        carpeta_conocida.escribir(cls.otra)

    @classmethod
    def tearDownClass(cls):
        cls.servidor.parar()
        shutil.rmtree(cls.ajena, ignore_errors=True)
        shutil.rmtree(cls.otra, ignore_errors=True)

    def _captura(self, programa, carpeta, argumentos=()):
        """The screen at the first frames after the window covers it, and
        how many frames had been shown. The program is stopped while the
        screenshot is taken, so no later frame can change it."""
        p = Programa(self.servidor, programa, carpeta, argumentos=argumentos)
        try:
            os.kill(p.proceso.pid, signal.SIGSTOP)
            cuadros = p.cuadros()
            captura = self.servidor.captura()
            os.kill(p.proceso.pid, signal.SIGCONT)
            self.assertEqual(p.salir(), 0, getattr(p, "errores", ""))
        finally:
            if p.proceso.poll() is None:
                p.proceso.kill()
                p.proceso.wait()
            os.remove(p.ruta_cuadros)
        return captura, cuadros

    def _iguales(self, esperada, vista, donde):
        (a, cuadros_a), (b, cuadros_b) = esperada, vista
        self.assertEqual((a[:2], b[:2]), ((ANCHO, ALTO), (ANCHO, ALTO)))
        # The rate text is compared only where both runs were stopped before
        # it first showed.
        con_tasa = max(cuadros_a, cuadros_b) < CUADRO_TASA
        x0, y0, x1, y1 = TASA
        fila = ANCHO * 3
        distintos = [(x, y) for y in range(ALTO) if a[2][y * fila:(y + 1) * fila] != b[2][y * fila:(y + 1) * fila]
                     for x in range(ANCHO)
                     if a[2][y * fila + 3 * x:y * fila + 3 * x + 3] != b[2][y * fila + 3 * x:y * fila + 3 * x + 3]
                     and (con_tasa or not (x0 <= x < x1 and y0 <= y < y1))]
        self.assertEqual(distintos[:10], [], "%s: %d pixels differ" % (donde, len(distintos)))

    def test_same_first_frame_as_the_build_tree(self):
        casos = [
            # build tree program, its scene folder, the launcher, its arguments
            ("walkthrough", os.path.join(BUILD, "escena"), TALO, []),
            ("walkthrough-wire", os.path.join(BUILD, "escena"), TALO, ["--wire"]),
            # a second scene, named by a path relative to the working folder
            ("walkthrough", self.otra, TALO_EN_BIN, [os.path.relpath(self.otra, self.ajena)]),
        ]
        for programa, escena, talo, argumentos in casos:
            with self.subTest(talo=talo, argumentos=argumentos):
                esperada = self._captura(programa, escena)
                vista = self._captura(talo, self.ajena, argumentos)
                datos = esperada[0][2]
                self.assertGreater(len({datos[k:k + 3] for k in range(0, len(datos), 3 * 97)}), 1,
                                   "the build tree's frame is one colour")
                self._iguales(esperada, vista, "talo %s" % " ".join(argumentos))
        self.assertEqual(os.listdir(self.ajena), [], "talo left files in the working folder")


class Lanzador(unittest.TestCase):
    """The launcher's command line and its refusal of incomplete scene
    folders, before any window: run without a display, so a launcher that
    went on to start the program would get freeglut's complaint instead."""

    def _talo(self, *argumentos, cwd=None):
        entorno = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        return subprocess.run([TALO] + list(argumentos), env=entorno, cwd=cwd or tempfile.gettempdir(),
                              capture_output=True, text=True, timeout=30)

    def test_incomplete_scene_folders_are_refused_naming_what_is_missing(self):
        casos = [
            # the files written, and those left as folders instead
            ([], []),
            (ARCHIVOS_ESCENA[1:], []),
            (ARCHIVOS_ESCENA[:-1], []),
            (ARCHIVOS_ESCENA[:3] + ARCHIVOS_ESCENA[4:], [ARCHIVOS_ESCENA[3]]),
        ]
        for escritos, carpetas in casos:
            with self.subTest(escritos=len(escritos), carpetas=carpetas):
                with tempfile.TemporaryDirectory(prefix="talo sin escena ") as raiz:
                    for nombre in escritos:
                        os.makedirs(os.path.join(raiz, os.path.dirname(nombre)), exist_ok=True)
                        with open(os.path.join(raiz, nombre), "w") as f:
                            f.write("v 0 0 0\n")
                    for nombre in carpetas:
                        os.makedirs(os.path.join(raiz, nombre))
                    r = self._talo(raiz)
                faltan = [a for a in ARCHIVOS_ESCENA if a not in escritos]
                self.assertEqual(r.returncode, 1, r.stderr)
                self.assertEqual(r.stdout, "")
                linea = r.stderr.strip()
                self.assertEqual(len(linea.splitlines()), 1, linea)
                self.assertIn(raiz, linea)
                nombrados = [a for a in ARCHIVOS_ESCENA if a in linea]
                self.assertEqual(nombrados, faltan, linea)

    def test_command_line(self):
        casos = [
            # arguments, exit status, text expected on stdout / stderr
            (["--help"], 0, "Usage: talo [--wire] [FOLDER]", ""),
            (["--wire", "--bogus"], 2, "", "unknown option '--bogus'"),
            (["a", "b"], 2, "", "one scene folder at most"),
            (["/no/such/folder"], 1, "", "/no/such/folder: no such folder"),
            # a complete scene and no display: said before the program starts
            ([], 1, "", "no display"),
            (["--wire"], 1, "", "no display"),
        ]
        for argumentos, estado, salida, errores in casos:
            with self.subTest(argumentos=argumentos):
                r = self._talo(*argumentos)
                self.assertEqual(r.returncode, estado, r.stderr)
                self.assertIn(salida, r.stdout)
                self.assertIn(errores, r.stderr)
                self.assertNotIn("freeglut", r.stderr)


class Paquete(unittest.TestCase):
    """The Debian package against what `cmake --install` put in place."""

    @classmethod
    def setUpClass(cls):
        cls.deb = paquete()
        cls.contenido = tempfile.mkdtemp(prefix="talo-deb-")
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.contenido], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.contenido, ignore_errors=True)

    def _elf(self, raiz):
        salida = []
        for ruta in sorted(archivos(raiz)):
            with open(os.path.join(raiz, ruta), "rb") as f:
                if f.read(4) == b"\x7fELF":
                    salida.append(ruta)
        return salida

    def test_file_list_modes_and_stripped_programs(self):
        self.assertEqual(archivos(self.contenido), archivos(RAIZ))
        listado = salida("dpkg-deb", "-c", self.deb).splitlines()
        ejecutables = {"./usr/%s/talo" % JUEGOS, "./usr/%s/walkthrough" % PROGRAMAS,
                       "./usr/%s/walkthrough-wire" % PROGRAMAS}
        ejecutables |= {"./" + r for r in self._elf(RAIZ)}   # the importer, where it is built
        for linea in listado:
            modo, duenos, _, _, _, ruta = linea.split(None, 5)
            self.assertEqual(duenos, "root/root", linea)
            if modo.startswith("l"):
                # A relative link to a program of the package.
                ruta, destino = ruta.split(" -> ")
                self.assertFalse(os.path.isabs(destino), linea)
                self.assertIn(os.path.normpath(os.path.join(os.path.dirname(ruta), destino)),
                              {os.path.normpath(e) for e in ejecutables}, linea)
            elif modo.startswith("d") or ruta in ejecutables:
                self.assertEqual(modo[1:], "rwxr-xr-x", linea)
            else:
                self.assertEqual(modo, "-rw-r--r--", linea)
        escena = {os.path.join("usr", ESCENA, a) for a in ARCHIVOS_ESCENA}
        self.assertLessEqual(escena, archivos(RAIZ))
        for ruta in self._elf(self.contenido):   # stripped
            secciones = salida("readelf", "-S", os.path.join(self.contenido, ruta))
            self.assertNotIn(".symtab", secciones, ruta)
            self.assertNotIn(".debug_", secciones, ruta)

    def test_depends_field_is_what_the_installed_programs_link(self):
        # Each library an installed program names, to the package that ships it.
        necesarios = set()
        for ruta in self._elf(RAIZ):
            completa = os.path.join(RAIZ, ruta)
            dinamica = salida("readelf", "-d", completa)
            self.assertNotIn("RPATH", dinamica, ruta)
            self.assertNotIn("RUNPATH", dinamica, ruta)
            nombres = {l.split("[")[1].split("]")[0] for l in dinamica.splitlines() if "(NEEDED)" in l}
            for linea in salida("ldd", completa).splitlines():
                partes = linea.split()
                if len(partes) >= 3 and partes[0] in nombres and partes[1] == "=>":
                    necesarios.add(self._dueno(partes[2]))
                    nombres.discard(partes[0])
            self.assertEqual(nombres, set(), "%s: libraries not found" % ruta)
        grupos = [{alt.split()[0] for alt in grupo.split("|")} for grupo in salida("dpkg-deb", "-f", self.deb, "Depends").split(",")]
        for grupo in grupos:
            self.assertTrue(grupo & necesarios, "Depends names %s, which no program links" % grupo)
        for nombre in necesarios:
            self.assertTrue(any(nombre in g for g in grupos), "%s is linked but not in Depends" % nombre)

    def _dueno(self, biblioteca):
        reales = {biblioteca, os.path.realpath(biblioteca)}
        for ruta in list(reales):   # merged /usr: the package may list either form
            reales.add(ruta[4:] if ruta.startswith("/usr/") else "/usr" + ruta)
        for ruta in sorted(reales):
            r = subprocess.run(["dpkg", "-S", ruta], capture_output=True, text=True)
            if r.returncode == 0:
                return r.stdout.split(":")[0]
        self.fail("no package ships %s" % biblioteca)

    def test_nothing_points_into_the_build_tree(self):
        # Source file names may stay (sanitizer builds report them); no
        # installed file may name a file of the build tree.
        for ruta in sorted(archivos(self.contenido)):
            with open(os.path.join(self.contenido, ruta), "rb") as f:
                datos = f.read()
            for arbol in {os.path.realpath(BUILD), BUILD}:
                self.assertFalse(arbol.encode() in datos, "%s names %s" % (ruta, arbol))


if __name__ == "__main__":
    if sys.argv[1:] == ["preparar"]:
        preparar()
    else:
        unittest.main(verbosity=2)
