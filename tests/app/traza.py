"""Reads the text of `apitrace dump` into calls and frames.

A call is (number, name, [argument values as text]). The calls that freeglut's bitmap
font routine makes for one character (a glPushClientAttrib ... glPopClientAttrib
group around one glBitmap) are folded into one call named "caracter" whose
arguments are the glBitmap call's number, width and advance, so the program's own calls can be
told from the font routine's.
"""
import re
import subprocess

_LINEA = re.compile(r"^(\d+) (\w+)\((.*)\)(?: = (.*?))?(?: // fake)?$")


def _partir(texto):
    """Splits 'a = 1, b = {2, 3}' at the top-level commas."""
    partes, nivel, actual = [], 0, ""
    for c in texto:
        if c in "{(":
            nivel += 1
        elif c in "})":
            nivel -= 1
        if c == "," and nivel == 0:
            partes.append(actual.strip())
            actual = ""
        else:
            actual += c
    if actual.strip():
        partes.append(actual.strip())
    return partes


def _valor(arg):
    # "name = value" -> "value"
    m = re.match(r"^\w+ = (.*)$", arg, re.S)
    return m.group(1) if m else arg


def leer(ruta_traza):
    texto = subprocess.run(["apitrace", "dump", "--color=never", ruta_traza],
                           check=True, capture_output=True, text=True).stdout
    llamadas = []
    for linea in texto.splitlines():
        if linea.endswith("// fake"):
            continue
        m = _LINEA.match(linea)
        if not m:
            continue
        llamadas.append((int(m.group(1)), m.group(2), [_valor(a) for a in _partir(m.group(3))]))
    return _plegar_caracteres(llamadas)


def _plegar_caracteres(llamadas):
    salida, i = [], 0
    while i < len(llamadas):
        if llamadas[i][1] == "glPushClientAttrib":
            j = i + 1
            while j < len(llamadas) and llamadas[j][1] != "glPopClientAttrib":
                j += 1
            bitmaps = [c for c in llamadas[i:j] if c[1] == "glBitmap"]
            if len(bitmaps) == 1 and j < len(llamadas):
                no, _, args = bitmaps[0]
                salida.append((llamadas[i][0], "caracter", [no, args[0], args[4]]))
                i = j + 1
                continue
        salida.append(llamadas[i])
        i += 1
    return salida


def marcos(llamadas):
    """Splits the calls at each buffer swap; returns the segments before each
    swap (the last, unfinished segment is dropped)."""
    segmentos, actual = [], []
    for c in llamadas:
        if c[1] == "glXSwapBuffers":
            segmentos.append(actual)
            actual = []
        elif not c[1].startswith("glX"):
            actual.append(c)
    return segmentos


def numero(texto):
    return float(texto)


def vector(texto):
    """'{1, 2, 3}' -> [1.0, 2.0, 3.0]"""
    return [float(x) for x in texto.strip("{}").split(",")]


def ojo(segmento):
    """The eye of a frame, from the translation that follows gluLookAt's
    rotation (GLU moves the world by minus the eye)."""
    for k, c in enumerate(segmento):
        if c[1] == "glMultMatrixf" and k + 1 < len(segmento) and segmento[k + 1][1] == "glTranslated":
            return tuple(-float(v) for v in segmento[k + 1][2])
    return None


def glifos(ruta_traza, numeros, carpeta):
    """The bitmap bytes of the given glBitmap calls (dumped with --blobs into
    carpeta), one bytes object per call number."""
    primero, ultimo = min(numeros), max(numeros)
    subprocess.run(["apitrace", "dump", "--blobs", "--calls=%d-%d" % (primero, ultimo),
                    ruta_traza], check=True, capture_output=True, cwd=carpeta)
    salida = {}
    for no in numeros:
        try:
            with open("%s/blob_call%d.bin" % (carpeta, no), "rb") as f:
                salida[no] = f.read()
        except FileNotFoundError:
            salida[no] = b""   # a glyph with no pixels
    return salida
