"""A scene folder of known contents for the program tests: writes Modelos/
and Texturas/.

Each of the five models is written so that its counts select a different
drawing variant, and some faces hold a corner index outside an array that
their variant reads. The floor lies at y = -100 under a blue and white
checker. The images cover 24 and 32 bits per pixel and a row length that is
not a multiple of four bytes.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "referencia"))
from tga import tga  # noqa: E402

# One model: the arrays as the loader will hold them and the face statements
# as written.
MODELOS = {
    # Floor, y = -100. Format 0 "v/vt". Normals for 4 corners only: the third
    # face's corner 5 lies outside the normal array and is skipped.
    "Suelo": {
        "formato": 0,
        "v": [(-2000, -100, -2000), (2000, -100, -2000), (2000, -100, 2000),
              (-2000, -100, 2000), (0, -100, 0)],
        "vt": [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (0.5, 0.5, 0)],
        "vn": [(0, 1, 0), (0, 1, 0), (0, 1, 0), (0, 1, 0)],
        "f": ["1/1 2/2 3/3", "1/1 3/3 4/4", "1/1 2/2 5/5"],
    },
    # Ceiling, y = 300. Format 0 with texture coordinates, no normals.
    "Techo": {
        "formato": 0,
        "v": [(-2000, 300, -2000), (2000, 300, -2000), (2000, 300, 2000), (-2000, 300, 2000)],
        "vt": [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)],
        "vn": [],
        "f": ["1/1 2/2 3/3", "1/1 3/3 4/4"],
    },
    # Back wall, z = -1500. Format 0, vertices only; the last face names a
    # vertex 9 that does not exist.
    "Paredes": {
        "formato": 0,
        "v": [(-2000, -100, -1500), (2000, -100, -1500), (2000, 300, -1500), (-2000, 300, -1500)],
        "vt": [],
        "vn": [],
        "f": ["1/1 2/2 3/3", "1/1 3/3 4/4", "1/1 2/2 9/9"],
    },
    # Woman: format 2 "v/vt/vn", the normal number is the corner index.
    "Mujer": {
        "formato": 2,
        "v": [(-60, -100, -400), (60, -100, -400), (0, 150, -400)],
        "vt": [],
        "vn": [(0, 0, 1), (0, 0.6, 0.8), (0.6, 0, 0.8)],
        "f": ["1/1/1 2/2/2 3/3/3"],
    },
    # Horse: format 1 "v//vn", texture coordinates and no normals. Eight
    # unused vertices make its vertex count two digits long.
    "Caballo": {
        "formato": 1,
        "v": [(100, -100, -300), (250, -100, -300), (175, 20, -300), (100, 20, -300)]
             + [(k, 0, 0) for k in range(8)],
        "vt": [(0, 0, 0), (1, 0, 0), (0.5, 1, 0), (0, 1, 0)],
        "vn": [],
        "f": ["1//1 2//2 3//3", "1//1 3//3 4//4"],
    },
}

# Image file, bits per pixel, width, height. Pixels are given as R, G, B (, A).
IMAGENES = {
    "Vampiro": (32, 2, 2, [(200, 30, 30, 255), (30, 200, 30, 255), (30, 30, 200, 255), (220, 220, 40, 128)]),
    "Paredes": (24, 3, 1, [(180, 120, 60), (90, 60, 30), (240, 200, 160)]),
    "Suelo": (24, 8, 8, [((255, 255, 255) if (x + y) % 2 == 0 else (40, 90, 200))
                         for y in range(8) for x in range(8)]),
    "Techo": (24, 2, 2, [(120, 120, 120), (160, 160, 160), (160, 160, 160), (120, 120, 120)]),
}


def _texto_obj(m):
    lineas = ["# test model"]
    lineas += ["v %g %g %g" % p for p in m["v"]]
    lineas += ["vt %g %g %g" % p for p in m["vt"]]
    lineas += ["vn %g %g %g" % p for p in m["vn"]]
    lineas += ["f " + f for f in m["f"]]
    return "\n".join(lineas) + "\n"


def _bytes_tga(bpp, ancho, alto, pixeles):
    datos = bytearray()
    for p in pixeles:
        datos += bytes((p[2], p[1], p[0]) + tuple(p[3:]))   # stored B, G, R (, A)
    return tga(2, ancho, alto, bpp, cuerpo=bytes(datos))


def escribir(carpeta):
    """Writes Modelos/ and Texturas/ under carpeta."""
    os.makedirs(os.path.join(carpeta, "Modelos"), exist_ok=True)
    os.makedirs(os.path.join(carpeta, "Texturas"), exist_ok=True)
    for nombre, m in MODELOS.items():
        with open(os.path.join(carpeta, "Modelos", nombre + ".OBJ"), "w") as f:
            f.write(_texto_obj(m))
    for nombre, (bpp, ancho, alto, pixeles) in IMAGENES.items():
        with open(os.path.join(carpeta, "Texturas", nombre + ".tga"), "wb") as f:
            f.write(_bytes_tga(bpp, ancho, alto, pixeles))
