"""Reads the text of `apitrace dump` into calls and frames, and the eye of
each frame. A call is (number, name, [argument values as text]).
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
    return llamadas


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


def ojo(segmento):
    """The eye of a frame, from the translation that follows gluLookAt's
    rotation (GLU moves the world by minus the eye)."""
    for k, c in enumerate(segmento):
        if c[1] == "glMultMatrixf" and k + 1 < len(segmento) and segmento[k + 1][1] == "glTranslated":
            return tuple(-float(v) for v in segmento[k + 1][2])
    return None
