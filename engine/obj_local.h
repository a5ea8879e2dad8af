// obj_local.h - private to the OBJ loader (CargarModeloOBJ, modelo.h): what
// its two files hand each other.
//
//   obj_sentencias.cpp  the grammar: tokens, the four statements, the face
//                       patterns and the numbers, read as scanf reads them
//                       (its own private headers: obj_numeros_local.h,
//                       obj_reglas_local.h);
//   obj_bloques.cpp     the file brought into memory block by block, and the
//                       arrays the statements fill, grown and cut to size.
#ifndef TALO_OBJ_LOCAL_H
#define TALO_OBJ_LOCAL_H

#include <cstddef>

#include "modelo.h"

// ---- The input buffer ----

// Bytes after the sentinel that can always be read (and are 0), so that the
// grammar may look at 64 bytes at a time from any byte up to the sentinel,
// and load eight at a time wherever a run of digits starts within them.
const size_t kRelleno = 128;

// Bytes before the buffer that can always be read, so that the eight bytes
// that end at any byte of it can be loaded at once.
const size_t kDelante = 8;

// buf holds [p, fin) unread; *fin is always 0, a sentinel that stops every
// scanning loop (a 0 byte is neither blank, digit, sign, point nor slash), so
// only a stop on a 0 byte needs to ask whether it is the sentinel. kRelleno
// zero bytes follow it.
struct Entrada {
    int fd;
    unsigned char *buf;   // kDelante bytes after the start of its block
    size_t cap;           // bytes of buf usable for data
    unsigned char *p;
    unsigned char *fin;
    bool eof;   // read() has returned 0 (or failed)
};

// Opens `ruta` (a regular file only) and reads the first block. Returns the
// file's size in bytes, or -1 when it cannot be opened or no buffer can be had
// (then there is nothing to close).
long long AbrirEntrada(Entrada *e, const char *ruta);
void CerrarEntrada(Entrada *e);

// Keeps the unread bytes [p, fin), moving them to the front, and reads until
// at least `quiero` bytes are unread or the file ends, growing the buffer if
// it cannot hold them. Returns false only if the buffer could not grow.
bool Recargar(Entrada *e, size_t quiero);

// ---- The arrays being filled ----

// An array of `num` elements with room for `cap`; the first `listo` can be
// written with no further check (their pages are already faulted in).
struct Arreglo {
    void *datos;
    size_t num;
    size_t cap;
    size_t listo;
};

// The four arrays of the model being loaded, all empty to begin with.
struct Arreglos {
    Arreglo v, vn, vt, f;
};

// First capacities from the file's size; only address space is taken.
void Reservar(Arreglos *a, long long bytes);

// Makes room for the next element of `tam` bytes: grows the array when it is
// full, and faults in pages ahead of the writes; afterwards num < listo.
// False when memory runs out or the count would pass INT_MAX (the array
// keeps what it holds).
bool Ampliar(Arreglo *a, size_t tam);

// The model: every array cut to exactly its count, null when empty.
Modelo Entregar(Arreglos *a);

#endif
