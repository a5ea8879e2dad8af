"""The one TGA byte writer of the Python tests: an 18-byte header with the
fields the loader reads, then the given body.

    tga(tipo, ancho, alto, bits, desc=0, idlen=0, mapa=0, lmapa=0, bmapa=0, cuerpo=b"", primero=0)
"""
import struct


def tga(tipo, ancho, alto, bits, desc=0, idlen=0, mapa=0, lmapa=0, bmapa=0, cuerpo=b"", primero=0):
    return (bytes([idlen, mapa, tipo]) + struct.pack("<HHB", primero, lmapa, bmapa) +
            struct.pack("<HHHHBB", 0, 0, ancho, alto, bits, desc) + cuerpo)
