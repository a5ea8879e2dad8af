#!/usr/bin/env python3
"""Throws the hostile inputs of docs/entradas-hostiles.md at the three loaders.

    tests/fuzz/entradas_hostiles.py <build-dir>

Writes every input into a scratch folder, loads each one with medir_carga
(tests/fuzz/medir_carga.cpp) from the given build (use a -DTALO_SANITIZE=ON
build to see sanitizer reports), with a time limit, and prints one line per
input: what the loader gave, or "HANG" (did not end in 10 s), "CRASH"
(killed by a signal) or "SANITIZER" (a report on stderr). Ends with status 1
if any input hangs, crashes or draws a report, except the rows marked as
known and open.
"""
import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "referencia"))
from tga import tga  # noqa: E402,F401  (escenas_hostiles.py takes it from here)


def escribir(dir_, nombre, datos):
    ruta = os.path.join(dir_, nombre)
    with open(ruta, "wb") as f:
        f.write(datos)
    return ruta


def casos_obj(d):
    random.seed(6)
    v = b"v -100 0 -100\nv 100 0 -100\nv 0 0 100\n"
    fifo = os.path.join(d, "fifo.obj")
    os.mkfifo(fifo)
    return [
        ("missing file", os.path.join(d, "no_existe.obj"), 3),
        ("empty file", escribir(d, "vacio.obj", b""), 3),
        ("a directory", d, 3),
        ("a FIFO with no writer", fifo, 3),
        ("/dev/zero (endless NUL bytes)", "/dev/zero", 3),
        ("1 MB of random bytes", escribir(d, "basura.obj", bytes(random.randrange(256) for _ in range(1 << 20))), 2),
        ("a 64 MB token", escribir(d, "token.obj", v + b"a" * (64 << 20) + b"\nf 1 2 3\n"), 3),
        ("a 64 MB number after v", escribir(d, "numero.obj", b"v " + b"1" * (64 << 20) + b" 2 3\n"), 3),
        ("a 64 MB number in a face", escribir(d, "cara.obj", v + b"f " + b"9" * (64 << 20) + b" 1 2\n"), 3),
        ("floats beyond float: 1e39, -1e39, 1e-50", escribir(d, "flotantes.obj", b"v 1e39 -1e39 1e-50\n"), 3),
        ("ints beyond int: 2147483648, 4294967297, 99999999999999999999",
         escribir(d, "enteros.obj", v + b"f 2147483648 4294967297 99999999999999999999\n"), 3),
        ("NaN and infinity in vertices", escribir(d, "nan.obj", b"v nan inf -inf\nv -nan INFINITY NaN\n" + v + b"f 1 2 3\nf 3 4 5\n"), 3),
        ("face indices 0, negative, beyond", escribir(d, "indices.obj", v + b"f 0 1 2\nf -1 -2 -3\nf 4 5 99999\n"), 3),
        ("texture and normal arrays shorter than the vertices (format 2)",
         escribir(d, "cortos.obj", v + b"vt 0 0 0\nvn 0 1 0\nf 1/1/1 2/2/2 3/3/3\n"), 2),
        ("face format 5 (no pattern)", escribir(d, "formato.obj", v + b"f 1 2 3\n"), 5),
        ("face format -1 (no pattern)", escribir(d, "formato2.obj", v + b"f 1 2 3\n"), -1),
    ]


def casos_tga(d):
    random.seed(7)
    fifo = os.path.join(d, "fifo.tga")
    os.mkfifo(fifo)
    casos = [
        ("missing file", os.path.join(d, "no_existe.tga")),
        ("empty file", escribir(d, "vacio.tga", b"")),
        ("a directory", d),
        ("a FIFO with no writer", fifo),
        ("/dev/zero", "/dev/zero"),
        ("/dev/urandom", "/dev/urandom"),
        ("4 KB of random bytes", escribir(d, "basura.tga", bytes(random.randrange(256) for _ in range(4096)))),
        ("header cut at 11 bytes", escribir(d, "corta.tga", tga(2, 2, 2, 24)[:11])),
        ("65535 x 65535 x 32, type 2, 64-byte body", escribir(d, "enorme2.tga", tga(2, 65535, 65535, 32, cuerpo=b"\1" * 64))),
        ("65535 x 65535 x 32, type 10, 10-byte body",
         escribir(d, "enorme10.tga", tga(10, 65535, 65535, 32, cuerpo=b"\xff\1\2\3\4" * 2))),
        ("ID length 255, 20 bytes after the header", escribir(d, "id255.tga", tga(2, 2, 2, 24, idlen=255, cuerpo=b"x" * 20))),
        ("RLE packet running past the image (128 pixels for 4)",
         escribir(d, "rle_pasa.tga", tga(10, 2, 2, 24, cuerpo=b"\xff\1\2\3"))),
        ("RLE raw packet running past the image", escribir(d, "rle_crudo.tga", tga(10, 2, 1, 24, cuerpo=b"\x05" + b"\7" * 18))),
        ("RLE data ending early", escribir(d, "rle_corto.tga", tga(10, 40, 40, 24, cuerpo=b"\x01" * 60))),
        ("pixel data one byte short", escribir(d, "cuerpo_corto.tga", tga(2, 4, 4, 24, cuerpo=b"\1" * 47))),
        ("colour-map type 2", escribir(d, "mapa2.tga", tga(2, 1, 1, 24, mapa=2, cuerpo=b"abc"))),
        ("colour map of 65535 entries claimed, file short",
         escribir(d, "mapa_largo.tga", tga(2, 1, 1, 24, mapa=1, lmapa=65535, bmapa=32, cuerpo=b"abc"))),
        ("colour index below the map's first entry",
         escribir(d, "indice_bajo.tga", tga(1, 1, 1, 8, mapa=1, primero=5, lmapa=2, bmapa=24, cuerpo=b"abcdef\4"))),
        ("colour index past the map's last entry",
         escribir(d, "indice_alto.tga", tga(1, 1, 1, 8, mapa=1, primero=5, lmapa=2, bmapa=24, cuerpo=b"abcdef\7"))),
        ("16-bit colour index past the map",
         escribir(d, "indice16.tga", tga(1, 1, 1, 16, mapa=1, primero=256, lmapa=2, bmapa=24, cuerpo=b"abcdef\2\1"))),
        ("colour map cut short", escribir(d, "mapa_corto.tga", tga(1, 1, 1, 8, mapa=1, lmapa=4, bmapa=24, cuerpo=b"abcdef"))),
        ("colour-mapped type without a map", escribir(d, "sin_mapa.tga", tga(1, 1, 1, 8, cuerpo=b"\0"))),
        ("colour map of 8-bit entries", escribir(d, "entrada8.tga", tga(1, 1, 1, 8, mapa=1, lmapa=2, bmapa=8, cuerpo=b"ab\0"))),
        ("greyscale of 24 bits", escribir(d, "gris24.tga", tga(3, 1, 1, 24, cuerpo=b"abc"))),
        ("greyscale data one byte short", escribir(d, "gris_corto.tga", tga(3, 2, 2, 8, cuerpo=b"abc"))),
        ("20000 x 20000 x 32, type 2, 64-byte body",
         escribir(d, "veinte2.tga", tga(2, 20000, 20000, 32, cuerpo=b"\1" * 64))),
        ("20000 x 20000 x 32, type 10, 10-byte body",
         escribir(d, "veinte10.tga", tga(10, 20000, 20000, 32, cuerpo=b"\xff\1\2\3\4" * 2))),
        ("20000 x 20000, type 9 with 32-bit map entries, small body",
         escribir(d, "veinte9.tga", tga(9, 20000, 20000, 8, mapa=1, lmapa=1, bmapa=32, cuerpo=b"abcd\xff\0"))),
        ("valid 16384 x 16385 grey + alpha run-length file (result just over 1 GiB)",
         escribir(d, "giga.tga", tga(11, 16384, 16385, 16, cuerpo=b"\xff\1\2" * (16384 * 16385 // 128 + 1)))),
        ("4096 x 4096 run-length indices, the last past the map",
         escribir(d, "rle_indice.tga", tga(9, 4096, 4096, 8, mapa=1, primero=5, lmapa=2, bmapa=24,
                                           cuerpo=b"abcdef" + b"\xff\5" * (4096 * 4096 // 128 - 1) + b"\xff\7"))),
        ("4096 x 4096 run-length grey, last value missing",
         escribir(d, "rle_gris.tga", tga(11, 4096, 4096, 8, cuerpo=b"\xff\5" * (4096 * 4096 // 128 - 1) + b"\xff"))),
        ("run-length grey packet running past the image",
         escribir(d, "rle_gris_pasa.tga", tga(11, 2, 2, 8, cuerpo=b"\xff\x80"))),
    ]
    for bits in (0, 1, 8, 15, 16, 24, 32, 255):
        casos.append(("depth %d, type 2, 2 x 2" % bits,
                      escribir(d, "prof%d.tga" % bits, tga(2, 2, 2, bits, cuerpo=bytes(range(16))))))
    for tipo in range(256):
        casos.append(("image type %d, 24 bits, 2 x 2" % tipo,
                      escribir(d, "tipo%d.tga" % tipo, tga(tipo, 2, 2, 24, cuerpo=b"\x83abc" + bytes(range(12))))))
    return casos


def casos_shader(d):
    random.seed(8)
    fifo = os.path.join(d, "fifo.glsl")
    os.mkfifo(fifo)
    ilegible = escribir(d, "ilegible.glsl", b"void main() {}\n")
    os.chmod(ilegible, 0)
    return [
        ("missing file", os.path.join(d, "no_existe.glsl")),
        ("empty file", escribir(d, "vacio.glsl", b"")),
        ("a directory", d),
        ("a FIFO with no writer", fifo),
        ("a file with mode 000 (readable only by root)", ilegible),
        ("/dev/zero", "/dev/zero"),
        ("1 MB of random bytes with NULs", escribir(d, "basura.glsl", bytes(random.randrange(256) for _ in range(1 << 20)))),
        ("a 200 MB text", escribir(d, "grande.glsl", b"// line\n" * (25 << 20))),
    ]


def correr(programa, args):
    try:
        p = subprocess.run([programa] + args, capture_output=True, text=True, timeout=10,
                           errors="replace")
    except subprocess.TimeoutExpired:
        return "HANG"
    if "Sanitizer" in p.stderr or "runtime error" in p.stderr:
        return "SANITIZER: " + p.stderr.strip().splitlines()[0]
    if p.returncode < 0:
        return "CRASH (signal %d)" % -p.returncode
    return p.stdout.strip()


def main():
    build = sys.argv[1]
    programa = os.path.join(build, "tests", "fuzz", "medir_carga")
    d = tempfile.mkdtemp(prefix="talo-hostiles-")
    malos = 0
    try:
        filas = [("obj", c[0], ["obj", c[1], str(c[2])]) for c in casos_obj(d)]
        filas += [("tga", c[0], ["tga", c[1]]) for c in casos_tga(d)]
        filas += [("shader", c[0], ["shader", c[1]]) for c in casos_shader(d)]
        for cargador, nombre, args in filas:
            r = correr(programa, args)
            malos += r.startswith(("HANG", "CRASH", "SANITIZER"))
            print("%-6s | %-60s | %s" % (cargador, nombre, r))
    finally:
        for raiz, _, ficheros in os.walk(d):
            for f in ficheros:
                os.chmod(os.path.join(raiz, f), stat.S_IRUSR | stat.S_IWUSR)
        shutil.rmtree(d, ignore_errors=True)
    sys.exit(1 if malos else 0)


if __name__ == "__main__":
    main()
