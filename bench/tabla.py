"""Prints the one table of ratios from a benchmark run.

    python3 bench/tabla.py BENCH_JSON [BENCH_JSON ...] FRAMES_JSON

Each BENCH_JSON is Google Benchmark's JSON output of one benchmark program
(bench_talo, bench_tga, bench_colision) run with repetitions (the median of each
benchmark's wall-clock time is used); FRAMES_JSON is the output of
bench/cuadros.py from the same run.
"""
import json
import sys

sys.dont_write_bytecode = True

FORMAS = ["v/vt/vn", "v//vn", "v/vt"]
SALAS = ["10000", "100000", "1000000"]


def medianas(ruta):
    with open(ruta) as f:
        datos = json.load(f)
    tiempos, contadores = {}, {}
    medianas.extra = getattr(medianas, "extra", {})
    for b in datos["benchmarks"]:
        nombre = b.get("run_name", b["name"]).split("/iterations:")[0].replace("/real_time", "")
        es_mediana = b.get("aggregate_name") == "median"
        if es_mediana or (b.get("run_type") == "iteration" and nombre not in tiempos):
            factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            tiempos[nombre] = b["real_time"] * factor   # milliseconds
            if "identico" in b:
                contadores[nombre] = b["identico"]
            if "bytes_cara" in b:
                medianas.extra[nombre] = b["bytes_cara"]
    return tiempos, contadores


def fila(filas, que, nuestro, otro, unidad, razon, objetivo, cumple):
    filas.append((que, nuestro, otro, razon, objetivo, cumple))


def ms(x):
    return "%.1f ms" % x if x >= 1 else "%.1f us" % (x * 1e3)


def main():
    tiempos, identicos = {}, {}
    for ruta in sys.argv[1:-1]:
        t, i = medianas(ruta)
        tiempos.update(t)
        identicos.update(i)
    with open(sys.argv[-1]) as f:
        cuadros = json.load(f)
    filas = []
    for forma in FORMAS:
        g = "obj " + forma + "/"
        r, o, t, l = (tiempos.get(g + k) for k in ("rapido", "oraculo", "tinyobj", "leer"))
        if None in (r, o, t, l):
            continue
        fila(filas, "OBJ %-8s vs fscanf loader" % forma, ms(r), ms(o), "", "%.1fx" % (o / r), ">= 5x",
             o / r >= 5)
        fila(filas, "OBJ %-8s vs tinyobjloader" % forma, ms(r), ms(t), "", "%.1fx" % (t / r), ">= 4x",
             t / r >= 4)
        fila(filas, "OBJ %-8s vs read into new buffer" % forma, ms(r), ms(l), "", "%.2f" % (r / l),
             "<= 1.5", r / l <= 1.5)
    r, s, l = (tiempos.get("tga/" + k) for k in ("rapido", "stb", "leer"))
    if None not in (r, s, l):
        fila(filas, "TGA 4096x4096x24 vs stbi_load", ms(r), ms(s), "", "%.2fx" % (s / r), ">= 1x", s / r >= 1)
        fila(filas, "TGA 4096x4096x24 vs read into new buffer", ms(r), ms(l), "", "%.2f" % (r / l), "<= 1.1",
             r / l <= 1.1)
        for g, que in (("gris", "grey"), ("mapa", "colour-mapped")):
            t = tiempos.get("tga %s/rapido" % g)
            if t is not None:
                fila(filas, "TGA 4096x4096 %s vs read of the 24-bit file" % que, ms(t), ms(l), "",
                     "%.2f" % (t / l), "< 2", t / l < 2)
    for n in SALAS:
        x, m, c = (tiempos.get("colision %s/%s" % (n, k)) for k in ("indice", "modelo", "cara"))
        if None in (x, m, c):
            continue
        objetivo = ">= 100x" if n == "100000" else ""
        fila(filas, "Collision index, %7s faces vs face by face" % n, ms(x), ms(c), "", "%.0fx" % (c / x),
             objetivo, (c / x >= 100) if objetivo else None)
        fila(filas, "Collision index, %7s faces vs XoqueEsferaModelo" % n, ms(x), ms(m), "", "%.0fx" % (m / x),
             "", None)
    x1, x10 = tiempos.get("colision 1000000/indice"), tiempos.get("colision 10000/indice")
    if None not in (x1, x10):
        fila(filas, "Collision index, 1M faces vs 10k faces", ms(x1), ms(x10), "", "%.1f" % (x1 / x10), "<= 3",
             x1 / x10 <= 3)
    b = tiempos.get("indexar 1000000")
    if b is not None:
        fila(filas, "Index build, 1M faces", ms(b), "", "", "", "< 1 s", b < 1000)
        bc = medianas.extra.get("indexar 1000000")
        if bc is not None:
            fila(filas, "Index memory, bytes a face (face array: 36)", "%.1f" % bc, "", "", "", "<= 36", bc <= 36)
    for programa in ("walkthrough", "walkthrough-wire"):
        p = cuadros.get(programa, {})
        fila(filas, "Frame rate %s, %s" % (programa, cuadros.get("pantalla", "")), "%.1f fps" % p.get("fps", 0),
             "", "", "", "", None)
        a = p.get("arranque_ms")
        fila(filas, "Start-up to first frame, %s" % programa, "%.1f ms" % a if a is not None else "-", "", "",
             "", "", None)

    ancho = max(len(f[0]) for f in filas)
    print("%-*s %12s %12s %8s %8s %5s" % (ancho, "measure (median wall-clock time)", "ours", "other", "ratio",
                                          "target", "met"))
    for que, nuestro, otro, razon, objetivo, cumple in filas:
        marca = "" if cumple is None else ("yes" if cumple else "NO")
        print("%-*s %12s %12s %8s %8s %5s" % (ancho, que, nuestro, otro, razon, objetivo, marca))
    obj = [identicos.get("obj %s/rapido" % f) for f in FORMAS]
    col = [identicos.get("colision %s/indice" % n) for n in SALAS]
    print("identical results: OBJ files %d of %d (bit for bit with the fscanf loader), "
          "collision halls %d of %d (index, model and face by face bit for bit)"
          % (sum(1 for x in obj if x == 1), len(obj), sum(1 for x in col if x == 1), len(col)))
    print("renderer: %s" % cuadros.get("renderer", "?"))


if __name__ == "__main__":
    main()
