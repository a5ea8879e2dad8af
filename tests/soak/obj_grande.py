#!/usr/bin/env python3
"""Writes a large, valid OBJ file for measuring the loader's memory by hand.

    tests/soak/obj_grande.py <path> <megabytes>

A grid of vertices with a texture coordinate and a normal each, and two
triangles per cell in the v/vt/vn form (face format 2 or 4). Stops once
the file holds at least the given number of megabytes.
"""
import sys


def main():
    ruta, megas = sys.argv[1], float(sys.argv[2])
    objetivo = int(megas * 1e6)
    lado = 1000
    with open(ruta, "w") as f:
        escrito = 0
        fila = 0
        while escrito < objetivo:
            trozo = []
            for x in range(lado):
                trozo.append("v %.6f %.6f %.6f\n" % (x * 1.5, 0.25 * (x % 7), fila * 1.5))
                trozo.append("vt %.6f %.6f 0.000000\n" % (x / lado, (fila % lado) / lado))
                trozo.append("vn 0.000000 1.000000 0.000000\n")
            if fila > 0:
                base = (fila - 1) * lado + 1
                for x in range(lado - 1):
                    a, b, c, d = base + x, base + x + 1, base + lado + x + 1, base + lado + x
                    trozo.append("f %d/%d/%d %d/%d/%d %d/%d/%d\n" % (a, a, a, b, b, b, c, c, c))
                    trozo.append("f %d/%d/%d %d/%d/%d %d/%d/%d\n" % (a, a, a, c, c, c, d, d, d))
            texto = "".join(trozo)
            f.write(texto)
            escrito += len(texto)
            fila += 1


if __name__ == "__main__":
    main()
