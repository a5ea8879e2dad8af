#!/usr/bin/env python3
"""Runs both walkthrough programs on scene folders full of hostile files.

    tests/fuzz/escenas_hostiles.py <build-dir>

For each scene below, each program is started under its own virtual X
server in a folder whose Modelos/ and Texturas/ hold the hostile files; then
collision and gravity are switched on, the viewer walks, jumps and looks
around for a few seconds, and Escape ends it. A scene passes when the window
appeared, the program ended with status 0 and printed no sanitizer report.
Use a -DTALO_SANITIZE=ON build; the LeakSanitizer options of .ci/run apply
(Mesa's driver keeps memory to the end of the process).
"""
import os
import random
import shutil
import sys
import tempfile

AQUI = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, AQUI)
from entradas_hostiles import tga  # noqa: E402

MODELOS = ["Techo.OBJ", "Suelo.OBJ", "Paredes.OBJ", "Mujer.OBJ", "Caballo.OBJ"]
TEXTURAS = ["Vampiro.tga", "Paredes.tga", "Suelo.tga", "Techo.tga"]


def escribir(ruta, datos):
    os.makedirs(os.path.dirname(ruta), exist_ok=True)
    with open(ruta, "wb") as f:
        f.write(datos)


def escena_basura(d, real):
    azar = random.Random(6)
    for m in MODELOS:
        escribir(os.path.join(d, "Modelos", m), bytes(azar.randrange(256) for _ in range(1 << 16)))
    for t in TEXTURAS:
        escribir(os.path.join(d, "Texturas", t), bytes(azar.randrange(256) for _ in range(1 << 12)))


def escena_mentiras(d, real):
    v = b"v -1500 -50 -2500\nv 1500 -50 -2500\nv 0 -50 1000\nv nan inf -inf\nv 1e39 0 -1e39\n"
    caras = b"f 1/1/1 2/2/2 3/3/3\nf 4/4/4 5/5/5 1/1/1\nf 0/0/0 -1/-1/-1 99999/1/1\n"
    caras0 = b"f 1/1 2/2 3/3\nf 4/1 5/1 1/1\nf 0/0 -1/-1 2147483648/1\n"
    cortos = b"vt 0 0 0\nvn 0 1 0\n"
    for m in MODELOS:
        escribir(os.path.join(d, "Modelos", m), v + cortos + (caras if m == "Mujer.OBJ" else caras0)
                 + b"f 2//1 3//1 99//1\n")
    escribir(os.path.join(d, "Texturas", "Vampiro.tga"), tga(2, 65535, 65535, 32, cuerpo=b"\1" * 64))
    escribir(os.path.join(d, "Texturas", "Paredes.tga"), tga(2, 2, 2, 16, cuerpo=b"\1" * 8))
    escribir(os.path.join(d, "Texturas", "Suelo.tga"), tga(10, 2, 2, 24, cuerpo=b"\xff\1\2\3"))
    escribir(os.path.join(d, "Texturas", "Techo.tga"), tga(2, 1, 1, 32, desc=0x30, cuerpo=b"\1\2\3\4"))


def escena_vacia(d, real):
    os.makedirs(d, exist_ok=True)   # no Modelos/, no Texturas/


def escena_directorios(d, real):
    for m in MODELOS:
        os.makedirs(os.path.join(d, "Modelos", m))
    for t in TEXTURAS:
        os.makedirs(os.path.join(d, "Texturas", t))


def escena_real_con_suelo_roto(d, real):
    shutil.copytree(real, d, dirs_exist_ok=True)
    # The real hall, with a floor whose every other face points nowhere and
    # whose vertices are partly NaN: the viewer may fall, but must not crash.
    with open(os.path.join(real, "Modelos", "Suelo.OBJ"), "rb") as f:
        texto = f.read()
    texto = texto.replace(b"v -1380.0000", b"v nan").replace(b"f 1/1", b"f 0/0")
    escribir(os.path.join(d, "Modelos", "Suelo.OBJ"), texto)
    escribir(os.path.join(d, "Texturas", "Suelo.tga"), b"")


ESCENAS = [escena_basura, escena_mentiras, escena_vacia, escena_directorios, escena_real_con_suelo_roto]


def recorrer(servidor, programa):
    """Collision and gravity on, then a walk, a jump and a look around,
    counted in frames (one tick each)."""
    for tecla in ("c", "v"):
        programa.tecla(tecla)
    programa.mantener("w", 8)
    programa.mantener("space", 5)
    for x in (100, 500, 900, 300):
        servidor.xdotool("mousemove", str(x), str(x // 2))
        programa.esperar_cuadros(2)
    programa.mantener("x", 3)
    programa.mantener("d", 4)
    programa.tecla("r", 5)


def correr(Programa, ServidorX, escena, nombre, real):
    """One program in one scene, on its own X server: (status, stderr)."""
    d = tempfile.mkdtemp(prefix="talo-escena-")
    shutil.rmtree(d)
    escena(d, real)
    servidor = ServidorX()
    try:
        programa = Programa(servidor, nombre, d)
        recorrer(servidor, programa)
        estado = programa.salir()
        errores = getattr(programa, "errores", "")
    except RuntimeError as e:
        estado, errores = None, str(e)
    finally:
        servidor.parar()
        shutil.rmtree(d, ignore_errors=True)
    return estado, errores


def main():
    build = os.path.abspath(sys.argv[1])
    os.environ["TALO_BUILD"] = build
    sys.path.insert(0, os.path.join(AQUI, "..", "..", "tools"))
    from servidor_x import Programa, ServidorX

    real = os.path.join(build, "escena")
    fallos = 0
    for escena in ESCENAS:
        for nombre in ("walkthrough", "walkthrough-wire"):
            estado, errores = correr(Programa, ServidorX, escena, nombre, real)
            informe = "Sanitizer" in errores or "runtime error" in errores
            bien = estado == 0 and not informe
            fallos += not bien
            print("%-28s %-17s status %s%s" % (escena.__name__, nombre, estado,
                                              "" if bien else "  FAILED\n" + errores[-3000:]))
    sys.exit(1 if fallos else 0)


if __name__ == "__main__":
    main()
