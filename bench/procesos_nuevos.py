#!/usr/bin/env python3
"""The OBJ loader timed in fresh processes against tinyobjloader and a plain
read, on files of the three face forms.

    python3 bench/procesos_nuevos.py BUILD_DIR [ROUNDS] [MEGABYTES]

BUILD_DIR is a Release build with -DTALO_BENCH=ON (bench/ejecutar.sh makes
one). The files, about MEGABYTES each (default 40), are written once into
BUILD_DIR/bench_datos and reused. Every round starts, for each form, one
process per contender in turn (carga_unica talo, tinyobj, leer), so a busy
moment of the machine falls on all of them alike. Two times are taken of
each process: the wall clock from just before the start to the reaping, and
its CPU time (user + system, the kernel's own accounting of the finished
child). On a quiet machine they agree; on a busy one the wall clock also
holds the wait for a processor. The tables give the medians of ROUNDS
rounds (default 15) and the ratios of medians.
"""
import os
import statistics
import subprocess
import sys
import time

sys.dont_write_bytecode = True

FORMAS = [("v/vt/vn", "v_vt_vn", 4), ("v//vn", "v_vn", 1), ("v/vt", "v_vt", 0)]


def tiempos(orden):
    """Wall and CPU seconds of one run of `orden`."""
    inicio = time.perf_counter()
    proceso = subprocess.Popen(orden, stdout=subprocess.DEVNULL)
    _, estado, uso = os.wait4(proceso.pid, 0)
    pared = time.perf_counter() - inicio
    proceso.returncode = os.waitstatus_to_exitcode(estado)
    if proceso.returncode != 0:
        sys.exit("%s failed (%d)" % (" ".join(orden), proceso.returncode))
    return pared, uso.ru_utime + uso.ru_stime


def imprimir(titulo, medianas):
    print(titulo)
    print("%-9s %10s %10s %10s %12s %12s %10s" %
          ("form", "ours", "tinyobj", "read", "ours/read", "tiny/read", "speed/tiny"))
    for forma, m in medianas.items():
        print("%-9s %7.1f ms %7.1f ms %7.1f ms %11.2fx %11.2fx %9.2fx" %
              (forma, m["ours"], m["tinyobj"], m["read"], m["ours"] / m["read"],
               m["tinyobj"] / m["read"], m["tinyobj"] / m["ours"]))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    rondas = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    megas = sys.argv[3] if len(sys.argv) > 3 else "40"
    programa = os.path.join(build, "bench", "carga_unica")
    datos = os.path.join(build, "bench_datos")
    os.makedirs(datos, exist_ok=True)
    contendientes = {}
    for forma, nombre, formato in FORMAS:
        ruta = os.path.join(datos, "malla_%s_%sMB.obj" % (nombre, megas))
        if not os.path.exists(ruta):
            subprocess.run([programa, "malla", ruta, forma, megas], check=True)
        contendientes[forma] = [
            ("ours", [programa, "talo", ruta, str(formato)]),
            ("tinyobj", [programa, "tinyobj", ruta]),
            ("read", [programa, "leer", ruta]),
        ]
    pared = {(f, c): [] for f in contendientes for c, _ in contendientes[f]}
    cpu = {(f, c): [] for f in contendientes for c, _ in contendientes[f]}
    for _ in range(rondas):
        for forma, lista in contendientes.items():
            for nombre, orden in lista:
                p, c = tiempos(orden)
                pared[(forma, nombre)].append(p)
                cpu[(forma, nombre)].append(c)
    for titulo, datos in (("wall clock", pared), ("CPU time", cpu)):
        medianas = {f: {c: statistics.median(datos[(f, c)]) * 1e3 for c in ("ours", "tinyobj", "read")}
                    for f in contendientes}
        imprimir("fresh processes, %s, median of %d rounds, %s MB files" % (titulo, rondas, megas), medianas)


if __name__ == "__main__":
    main()
