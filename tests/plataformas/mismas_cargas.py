"""The loaders give the same bits on Linux and on Windows.

    mismas_cargas.py LINUX_HUELLAS WINDOWS_HUELLAS_EXE SCENE_FOLDER CORPUS_FOLDER...

Gathers every file of the corpus folders and of the scene folder's
Modelos/ and Texturas/, 4000 generated and mutated OBJ files (the
differential tests' generator, run by the Linux build), statements longer
than the loader's look-ahead and its read blocks, adds variants that a loader reading in text mode
would see differently (every LF made CR LF; a 0x1A byte, the old DOS end
of file, at the start of a line, in the middle of the file and at its end;
in a TGA, CR LF and 0x1A bytes in its pixels), then runs the fingerprint
program of each platform on the lot (the Windows one under Wine) and
requires the same lines from both.
"""
import os
import shutil
import subprocess
import sys
import tempfile


def variantes(nombre, datos):
    yield nombre, datos
    yield nombre + ".crlf", datos.replace(b"\n", b"\r\n")
    medio = len(datos) // 2
    yield nombre + ".sub", b"\x1a" + datos[:medio] + b"\x1a" + datos[medio:] + b"\x1a"
    yield nombre + ".subnl", datos.replace(b"\n", b"\n\x1a", 3)


def tga_con_bytes_de_texto():
    """A 4 x 2, 24-bit TGA whose pixel bytes hold CR LF pairs and 0x1A."""
    cabecera = bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 24, 0])
    pixeles = bytes([0x0D, 0x0A, 0x1A, 0x1A, 0x0D, 0x0A, 10, 13, 26, 0x0A, 0x0D, 0x1A,
                     1, 2, 3, 0x0D, 0x0A, 0x0A, 0x1A, 0, 0x0D, 255, 0x0A, 0x1A])
    return cabecera + pixeles


def largas():
    """Numbers, blanks and comments longer than the loader keeps in view."""
    digitos = b"7" * 5000
    yield "larga_1.obj", b"v 1." + digitos + b" 2 3\nv -" + digitos + b"e-4990 5 6\n"
    yield "larga_2.obj", b"v 0." + b"0" * 3000 + b"1 2 3\n"
    yield "larga_3.obj", b"v 1" + b" " * 100000 + b"2\n\n" + b"\t" * 100000 + b"3 vn 1 2 3"
    yield "larga_4.obj", b"f 1/" + b"9" * 4000 + b" 2/3 4/5 f 1/1 2/2 3/3"
    yield "larga_5.obj", b"f 1" + b"\n" * 300000 + b"/2 3/4 5/6"
    yield "larga_6.obj", b"# " + b"x" * (1 << 20) + b" v 1 2 3"


def main():
    linux, windows, escena = sys.argv[1:4]
    corpus = sys.argv[4:]
    carpeta = tempfile.mkdtemp(prefix="talo-cargas-")
    try:
        origenes = [os.path.join(escena, "Modelos"), os.path.join(escena, "Texturas")] + corpus
        for origen in origenes:
            for nombre in sorted(os.listdir(origen)):
                with open(os.path.join(origen, nombre), "rb") as f:
                    datos = f.read()
                for variante, contenido in variantes(nombre, datos):
                    with open(os.path.join(carpeta, variante), "wb") as f:
                        f.write(contenido)
        with open(os.path.join(carpeta, "bytes_de_texto.tga"), "wb") as f:
            f.write(tga_con_bytes_de_texto())
        for nombre, texto in largas():
            with open(os.path.join(carpeta, nombre), "wb") as f:
                f.write(texto)
        subprocess.run([os.path.abspath(linux), "--casos", carpeta, "4000", "1208"], check=True)
        ficheros = sorted(os.listdir(carpeta))
        entorno = dict(os.environ, WINEDEBUG="-all")
        de_linux = subprocess.run([os.path.abspath(linux), "."], cwd=carpeta, check=True,
                                  capture_output=True, text=True).stdout.splitlines()
        de_windows = subprocess.run(["wine", os.path.abspath(windows), "."], cwd=carpeta, env=entorno,
                                    check=True, capture_output=True, text=True).stdout.splitlines()
        de_windows = [linea.rstrip("\r") for linea in de_windows]
        distintas = [(a, b) for a, b in zip(de_linux, de_windows) if a != b]
        print("%d files, %d loads compared" % (len(ficheros), len(de_linux)))
        if len(de_linux) != 6 * len(ficheros) or len(de_windows) != len(de_linux) or distintas:
            for a, b in distintas[:20]:
                print("Linux   %s\nWindows %s" % (a, b))
            print("%d lines from Linux, %d from Windows, %d differ" % (len(de_linux), len(de_windows),
                                                                      len(distintas)))
            return 1
        return 0
    finally:
        shutil.rmtree(carpeta)


if __name__ == "__main__":
    sys.exit(main())
