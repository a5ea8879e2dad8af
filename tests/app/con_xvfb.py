"""Runs one command under its own virtual X server and returns its status.

    python3 con_xvfb.py COMMAND [ARGS...]
"""
import os
import subprocess
import sys

sys.dont_write_bytecode = True   # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from prueba_programas import ServidorX  # noqa: E402

if __name__ == "__main__":
    servidor = ServidorX()
    try:
        estado = subprocess.run(sys.argv[1:], env=servidor.entorno).returncode
    finally:
        servidor.parar()
    sys.exit(estado)
