"""The one virtual X server of the program tests, the run script and the
frame-rate benchmark, and a program run and driven on it.

ServidorX starts Xvfb with -displayfd: Xvfb takes a display number that no
other server holds (its lock file and sockets decide, so two test classes
or two users of the machine can never share one) and writes that number
once it accepts connections, so nothing has to probe it. -noreset keeps the
server as it is when its last client leaves: without it a probe or an
xdotool call that disconnects starts a reset, and a program connecting
during the reset is refused ("failed to open display").

Programa runs walkthrough or walkthrough-wire with the frame counter
(contador_cuadros.c, built into BUILD/tools) preloaded, so its callers wait
for frames actually shown instead of sleeping: every wait below is for a
state, with a time bound.

    python3 servidor_x.py COMMAND [ARGS...]   runs one command on its own server
"""
import os
import select
import subprocess
import sys
import time

ANCHO, ALTO = 1280, 720
BUILD = os.environ.get("TALO_BUILD", os.path.join(os.getcwd(), "build"))
# The bound of every wait: far beyond what a sanitizer build on a loaded
# machine needs, short enough that a hang fails the test instead of ctest's
# time limit.
LIMITE = 60.0


def esperar(condicion, que, limite=LIMITE, proceso=None):
    """Polls condicion() until it gives a true value, which it returns.
    Fails after `limite` seconds, or at once when `proceso` has ended."""
    fin = time.monotonic() + limite
    while True:
        valor = condicion()
        if valor:
            return valor
        if proceso is not None and proceso.poll() is not None:
            raise RuntimeError("program ended while waiting for %s: %r" % (que, proceso.communicate()))
        if time.monotonic() > fin:
            raise RuntimeError("gave up waiting for %s after %g s" % (que, limite))
        time.sleep(0.02)


class ServidorX:
    def __init__(self, ancho=ANCHO, alto=ALTO):
        lectura, escritura = os.pipe()
        try:
            self.proceso = subprocess.Popen(
                ["Xvfb", "-displayfd", str(escritura), "-noreset", "-nolisten", "tcp",
                 "-screen", "0", "%dx%dx24" % (ancho, alto)],
                pass_fds=(escritura,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            os.close(escritura)
            numero = self._leer_numero(lectura)
        finally:
            os.close(lectura)
        self.display = ":%d" % numero
        self.entorno = dict(os.environ, DISPLAY=self.display)

    def _leer_numero(self, lectura):
        texto = b""
        fin = time.monotonic() + LIMITE
        while not texto.endswith(b"\n"):
            restante = fin - time.monotonic()
            if restante <= 0 or not select.select([lectura], [], [], restante)[0]:
                self.parar()
                raise RuntimeError("Xvfb gave no display number")
            trozo = os.read(lectura, 16)
            if not trozo:   # Xvfb ended
                raise RuntimeError("Xvfb did not start: %s" % self.proceso.communicate()[1].decode())
            texto += trozo
        return int(texto)

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.entorno, check=True,
                              capture_output=True, text=True, timeout=LIMITE).stdout

    def ventana_visible(self):
        """The id of the mapped window titled "TALO II", or None."""
        try:
            ids = self.xdotool("search", "--onlyvisible", "--name", "^TALO II$").split()
        except subprocess.CalledProcessError:   # none yet
            ids = []
        return ids[0] if ids else None

    def captura(self):
        """The whole screen as (width, height, RGB bytes)."""
        datos = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.entorno,
                               check=True, capture_output=True, timeout=LIMITE).stdout
        partes = datos.split(maxsplit=4)
        assert partes[0] == b"P6", partes[0]
        return int(partes[1]), int(partes[2]), partes[4]

    def guardar_captura(self, ruta):
        subprocess.run(["import", "-window", "root", ruta], env=self.entorno, check=True, timeout=LIMITE)

    def parar(self):
        self.proceso.terminate()
        try:
            self.proceso.wait(10)
        except subprocess.TimeoutExpired:
            self.proceso.kill()
            self.proceso.wait()


class Programa:
    """One run of walkthrough or walkthrough-wire in a scene folder (or of
    any program that ends up as one of them, such as the installed
    launcher), optionally under apitrace, its window over the whole screen."""

    def __init__(self, servidor, nombre, carpeta, ruta_traza=None, build=BUILD, argumentos=()):
        self.servidor = servidor
        self.ruta_cuadros = os.path.join(carpeta, ".cuadros-%d" % id(self))
        entorno = dict(servidor.entorno, TALO_CUADROS=self.ruta_cuadros)
        # The counter goes first, so its glXSwapBuffers wraps apitrace's.
        contador = os.path.join(build, "tools", "libcontador_cuadros.so")
        entorno["LD_PRELOAD"] = ":".join(p for p in (contador, os.environ.get("LD_PRELOAD")) if p)
        orden = [os.path.join(build, nombre)] + list(argumentos)   # an absolute name stands as it is
        if ruta_traza:
            orden = ["apitrace", "trace", "-o", ruta_traza] + orden
        self.proceso = subprocess.Popen(orden, cwd=carpeta, env=entorno,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.ventana = esperar(servidor.ventana_visible, "the window to be mapped", proceso=self.proceso)
        # The first frame: freeglut has done with its own start-up requests,
        # the full-screen one included, so none of them lands after ours.
        esperar(lambda: self.cuadros() >= 1, "the first frame", proceso=self.proceso)
        # No window manager here to honour the full-screen request: put the
        # window over the whole screen as full screen would (--sync: until
        # the server has done it), and the pointer in its middle. The first
        # frame drawn after that has seen the new size.
        servidor.xdotool("windowmove", "--sync", self.ventana, "0", "0",
                         "windowsize", "--sync", self.ventana, str(ANCHO), str(ALTO))
        servidor.xdotool("mousemove", str(ANCHO // 2), str(ALTO // 2))
        self.esperar_cuadros(2)

    def cuadros(self):
        """How many frames the program has swapped so far."""
        try:
            with open(self.ruta_cuadros, "rb") as f:
                return max(0, f.read().count(b"\n") - 1)   # the first line is the launch time
        except FileNotFoundError:
            return 0

    def esperar_cuadros(self, n):
        """Waits until n more frames have been swapped. A key event sent
        before the call has been read by the program by the second of them."""
        objetivo = self.cuadros() + n
        esperar(lambda: self.cuadros() >= objetivo, "%d frames" % n, proceso=self.proceso)

    def tecla(self, tecla, cuadros=2):
        self.servidor.xdotool("key", tecla)
        self.esperar_cuadros(cuadros)

    def raton(self, dx, dy, cuadros=2):
        """Moves the pointer by (dx, dy) pixels."""
        self.servidor.xdotool("mousemove_relative", "--", str(dx), str(dy))
        self.esperar_cuadros(cuadros)

    def mantener(self, tecla, cuadros):
        """Holds a key down while the program draws `cuadros` frames."""
        self.servidor.xdotool("keydown", tecla)
        self.esperar_cuadros(cuadros)
        self.servidor.xdotool("keyup", tecla)
        self.esperar_cuadros(2)

    def salir(self):
        """Presses Escape and waits for the end; returns the exit status."""
        self.servidor.xdotool("key", "Escape")
        try:
            _, errores = self.proceso.communicate(timeout=LIMITE)
        except subprocess.TimeoutExpired:
            self.proceso.kill()
            self.proceso.communicate()
            return None
        self.errores = errores.decode(errors="replace")
        return self.proceso.returncode


if __name__ == "__main__":
    servidor = ServidorX()
    try:
        estado = subprocess.run(sys.argv[1:], env=servidor.entorno).returncode
    finally:
        servidor.parar()
    sys.exit(estado)
