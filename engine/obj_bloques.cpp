// obj_bloques.cpp - the OBJ loader's block reading and its arrays (see
// obj_local.h).
//
// The file is read with LeerDescriptor into one reused buffer, 64 KiB at a time: the
// bytes are copied once, from the page cache into memory that stays in the
// cache, and no page of fresh memory is spent on the text.
//
// The arrays take their first capacity from the file's size, so that a file
// as exporters write it is never regrown (nothing is copied); the capacity is
// only address space. Their pages are asked for as 2 MiB pages and faulted in
// one 2 MiB page ahead of the writes with one call, because on the machines
// this runs on a fresh 4 KiB page costs far more to fault in than the text
// that fills it costs to parse (docs/rendimiento.md has the figures). At the
// end each array is cut to exactly its count, which gives the rest back.
#include "obj_local.h"

#include "fichero_local.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Kept below malloc's mmap threshold (128 KiB), the buffer comes from the
// heap, where a later load finds its pages already faulted in.
const size_t kBloque = 64u << 10;

// Bytes faulted in ahead of the writes: one 2 MiB page, so that at the end
// no more than that is left zeroed for nothing in each array.
const size_t kAdelanto = 2u << 20;

// Gives the array room for at least `cap` elements of `tam` bytes, or if
// that much cannot be had, for just one more. Returns false when even that
// fails or the count would pass INT_MAX.
bool Crecer(Arreglo *a, size_t tam, size_t cap)
{
    if (a->num >= (size_t)INT_MAX) return false;
    if (cap > (size_t)INT_MAX) cap = (size_t)INT_MAX;
    void *d = realloc(a->datos, cap * tam);
    if (!d) {
        cap = a->num + 1;
        d = realloc(a->datos, cap * tam);
        if (!d) return false;
    }
    PedirPaginasGrandes((char *)d + a->num * tam, (char *)d + cap * tam);
    a->datos = d;
    a->cap = cap;
    a->listo = a->num;
    return true;
}

// Cuts the array to exactly its count (null when empty).
void *Recortar(Arreglo *a, size_t tam)
{
    if (a->num == 0) {
        free(a->datos);
        return nullptr;
    }
    if (a->num == a->cap) return a->datos;
    void *d = realloc(a->datos, a->num * tam);
    return d ? d : a->datos;
}

}   // namespace

long long AbrirEntrada(Entrada *e, const char *ruta)
{
    e->fd = AbrirDescriptorRegular(ruta);
    if (e->fd < 0) return -1;
    long long bytes = TamanoDescriptor(e->fd);
    if (bytes < 0) bytes = 0;   // only the first capacity's guess
    e->cap = kBloque;
    unsigned char *bloque = (unsigned char *)malloc(kDelante + e->cap + 1 + kRelleno);
    if (!bloque) {
        CerrarDescriptor(e->fd);
        return -1;
    }
    memset(bloque, 0, kDelante);
    e->buf = bloque + kDelante;
    e->p = e->fin = e->buf;
    e->eof = false;
    // With nothing unread the buffer never has to grow, so this cannot fail;
    // a read error reads as the end of the file.
    Recargar(e, 1);
    return bytes;
}

void CerrarEntrada(Entrada *e)
{
    free(e->buf - kDelante);
    CerrarDescriptor(e->fd);
}

bool Recargar(Entrada *e, size_t quiero)
{
    size_t quedan = (size_t)(e->fin - e->p);
    if (e->p != e->buf && quedan) memmove(e->buf, e->p, quedan);
    e->p = e->buf;
    e->fin = e->buf + quedan;
    while (!e->eof && quedan < quiero) {
        if (e->cap - quedan < e->cap / 2) {   // a long statement fills it: grow
            const size_t cap = e->cap * 2;
            unsigned char *bloque =
                (unsigned char *)realloc(e->buf - kDelante, kDelante + cap + 1 + kRelleno);
            if (!bloque) return false;
            unsigned char *b = bloque + kDelante;
            e->buf = b;
            e->cap = cap;
            e->p = b;
            e->fin = b + quedan;
        }
        const long long n = LeerDescriptor(e->fd, e->fin, e->cap - quedan);
        if (n <= 0) {
            e->eof = true;
        } else {
            e->fin += n;
            quedan += (size_t)n;
        }
    }
    memset(e->fin, 0, 1 + kRelleno);   // the sentinel and the bytes after it
    return true;
}

bool Ampliar(Arreglo *a, size_t tam)
{
    if (a->num >= a->cap && !Crecer(a, tam, a->cap ? a->cap * 2 : 1024)) return false;
    // Ahead by kAdelanto, or by an eighth of the capacity if that is less:
    // the first capacity of a small file is an over-estimate, and faulting
    // in pages that will never be written is wasted.
    size_t paso = kAdelanto / tam;
    if (paso > a->cap / 8 + 1) paso = a->cap / 8 + 1;
    size_t hasta = a->num + paso;
    if (hasta > a->cap) hasta = a->cap;
    PoblarPaginas((char *)a->datos + a->num * tam, (char *)a->datos + hasta * tam);
    a->listo = hasta;
    return true;
}

// An element's statement takes at least about 16 bytes in any file an
// exporter writes, so file size / 16 elements per array is rarely outgrown.
void Reservar(Arreglos *l, long long bytes)
{
    size_t n = bytes > 0 ? (size_t)(bytes / 16) : 0;
    if (n < 1024) n = 1024;
    Crecer(&l->v, sizeof(Vector), n);
    Crecer(&l->vn, sizeof(Vector), n);
    Crecer(&l->vt, sizeof(Vector), n);
    Crecer(&l->f, sizeof(Cara), n);
}

Modelo Entregar(Arreglos *l)
{
    Modelo m;
    m.NumVertices = (int)l->v.num;
    m.NumNormales = (int)l->vn.num;
    m.NumCTexturas = (int)l->vt.num;
    m.NumCaras = (int)l->f.num;
    m.Vertices = (Vector *)Recortar(&l->v, sizeof(Vector));
    m.Normales = (Vector *)Recortar(&l->vn, sizeof(Vector));
    m.CTexturas = (Vector *)Recortar(&l->vt, sizeof(Vector));
    m.Caras = (Cara *)Recortar(&l->f, sizeof(Cara));
    return m;
}
