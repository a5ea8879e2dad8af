// obj_carga.h - private to the OBJ loader (CargarModeloOBJ, modelo.h).
//
// The loader is two files and this header between them:
//   obj_sentencias.cpp  the statements and their numbers, read exactly as
//                       scanf reads them, and the loading loop;
//   obj_bloques.cpp     the file brought into memory block by block, and the
//                       arrays the statements fill, grown and cut to size.
// What runs once per statement (the room check before an append, the append
// itself, the character classes) is written here as inline functions, so the
// statement loop compiles as one piece with its hot path inlined; what
// obj_bloques.cpp holds runs once per 64 KiB block or once per growth of an
// array, where a call costs nothing measurable.
#ifndef TALO_OBJ_CARGA_H
#define TALO_OBJ_CARGA_H

#include <cstddef>

#include "modelo.h"

// ---- The input buffer ----

// Bytes after the sentinel that can always be read (and are 0): the digit
// reader loads eight bytes at a time wherever a run of digits starts.
const size_t kRelleno = 16;

// buf holds [p, fin) unread; *fin is always 0, a sentinel that stops every
// scanning loop (a 0 byte is neither blank, digit, sign, point nor slash), so
// only a stop on a 0 byte needs to ask whether it is the sentinel. kRelleno
// zero bytes follow it.
struct Entrada {
    int            fd;
    unsigned char *buf;
    size_t         cap;   // bytes of buf usable for data
    unsigned char *p;
    unsigned char *fin;
    bool           eof;   // read() has returned 0 (or failed)
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

// An array of `num` elements with room for `cap`. `listo` counts the elements
// that can be written with no more checks (their pages already faulted in).
struct Arreglo {
    void  *datos;
    size_t num;
    size_t cap;
    size_t listo;
};

// Makes room for more elements of `tam` bytes, growing the array or faulting
// in pages ahead. Returns false when memory runs out or the count would pass
// INT_MAX (the array keeps what it holds).
bool Ampliar(Arreglo *a, size_t tam);

inline bool Sitio(Arreglo *a, size_t tam) { return a->num < a->listo || Ampliar(a, tam); }

// The holders: three floats shared by the "v", "vn" and "vt" statements and
// six ints, one per face slot (Vert[0..2], then Aux[0..2]). A read assigns
// only the holders it reaches; the others keep their values from earlier
// statements for the whole load.
struct Casillas {
    float reales[3];
    int   enteros[6];
};

struct Carga {
    Arreglo  v, vn, vt, f;
    Casillas casillas;
    int      formato;
};

// First capacities from the file's size; only address space is taken.
void Reservar(Carga *l, long long bytes);

// The model: every array cut to exactly its count, null when empty.
Modelo Entregar(Carga *l);

inline bool AgregarVector(Arreglo *a, const float r[3]) {
    if (!Sitio(a, sizeof(Vector))) return false;
    Vector *v = (Vector *)a->datos + a->num++;
    v->x = r[0];
    v->y = r[1];
    v->z = r[2];
    return true;
}

// Every face number minus 1, wrapping (INT_MIN gives INT_MAX); Res zeroed.
inline bool AgregarCara(Arreglo *a, const int e[6]) {
    if (!Sitio(a, sizeof(Cara))) return false;
    Cara *c = (Cara *)a->datos + a->num++;
    for (int k = 0; k < 3; k++) {
        c->Vert[k] = (int)((unsigned)e[k] - 1u);
        c->Aux[k] = (int)((unsigned)e[3 + k] - 1u);
        c->Res[k] = 0;
    }
    return true;
}

#endif
