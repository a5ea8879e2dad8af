// archivo_memoria.h - hands a fuzz input to a loader that only takes a path.
//
//   const char *RutaConDatos(const uint8_t *datos, size_t tam);
//
// Returns a path ("/proc/self/fd/N") that opens to a regular file holding
// exactly the `tam` bytes at `datos`. The file lives in memory (memfd), is
// made once per process and is rewritten on every call, so a fuzz run writes
// nothing to disk and leaves nothing behind. The returned string stays valid
// until the next call.
//
//   const char *RutaConBlancosYDatos(size_t blancos, const uint8_t *datos, size_t tam);
//
// As RutaConDatos, with that many spaces before the data. Aborts if the file cannot be made or written: a fuzz
// target that silently tested nothing would be worse than none.
#ifndef TALO_ARCHIVO_MEMORIA_H
#define TALO_ARCHIVO_MEMORIA_H

#include <cstddef>
#include <cstdint>

const char *RutaConDatos(const uint8_t *datos, size_t tam);

// The same, with `blancos` spaces (at most 2 MB) written before the data:
// puts the data where a loader that reads in blocks crosses from one block
// to the next.
const char *RutaConBlancosYDatos(size_t blancos, const uint8_t *datos, size_t tam);

#endif
