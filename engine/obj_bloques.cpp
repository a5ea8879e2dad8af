// obj_bloques.cpp - the OBJ loader's block reading and array growth (see
// obj_carga.h).
//
// The file is read with read() into one reused buffer, 64 KiB at a time: the
// bytes are copied once, from the page cache into memory that stays in the
// cache, and no page of fresh memory is spent on the text.
//
// The arrays take their first capacity from the file's size, so that a file
// as exporters write it is never regrown (nothing is copied); the capacity is
// only address space. Their pages are asked for as 2 MiB pages and faulted in
// a few MiB ahead of the writes with one call, because on the machines this
// runs on a fresh 4 KiB page costs far more to fault in than the text that
// fills it costs to parse (docs/rendimiento.md has the figures). At the end
// each array is cut to exactly its count, which gives the rest back.
#include "obj_carga.h"

#include "fichero.h"

#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace {

// Kept below malloc's mmap threshold (128 KiB), the buffer comes from the
// heap, where a later load finds its pages already faulted in.
const size_t kBloque = 64u << 10;

const size_t kAdelanto = 4u << 20;   // bytes faulted in ahead of the writes

// Gives `consejo` to the kernel for the whole `alineacion`-sized blocks of
// [ini, fin); the blocks at either end that the range only partly covers
// belong to other data and are left alone.
void Aconsejar(char *ini, char *fin, uintptr_t alineacion, int consejo) {
    const uintptr_t a = ((uintptr_t)ini + alineacion - 1) & ~(alineacion - 1);
    const uintptr_t b = (uintptr_t)fin & ~(alineacion - 1);
    if (b > a) madvise((void *)a, b - a, consejo);
}

// Faults in the pages of [ini, fin) with one call instead of one trap per
// page. Where the kernel lacks MADV_POPULATE_WRITE the call fails and the
// pages are faulted in as they are written.
void Poblar(char *ini, char *fin) {
#ifdef MADV_POPULATE_WRITE
    Aconsejar(ini, fin, 4096, MADV_POPULATE_WRITE);
#else
    (void)ini;
    (void)fin;
#endif
}

// Asks for 2 MiB pages over [ini, fin): 512 times fewer faults. Only advice:
// without transparent huge pages nothing changes.
void PaginasGrandes(char *ini, char *fin) {
#ifdef MADV_HUGEPAGE
    Aconsejar(ini, fin, 2u << 20, MADV_HUGEPAGE);
#else
    (void)ini;
    (void)fin;
#endif
}

}  // namespace

// ---- Faulting in ahead, on another core ----
//
// A fresh page is zeroed by the kernel when first touched, which here can
// take as long as parsing the text that fills it. With two processors to run
// on, a second thread does it just ahead of the writes: each time an array's
// writes reach the end of the pages asked for, the next kAdelanto bytes are
// handed to the helper while the loading thread goes on into the ones before
// them. The pages hold zeros either way and only the loading thread writes
// data, so the model cannot change; a page the helper has not reached yet is
// simply faulted in by the write. Before an array moves (realloc) or is cut,
// the helper drops what it has not started and finishes what it has.
struct Poblador {
    std::thread             hilo;
    std::mutex              mutex;
    std::condition_variable cambio;
    char                   *ini[8], *fin[8];   // ranges waiting
    int                     esperan;
    bool                    ocupado, parar;
};

namespace {

void TrabajarPoblador(Poblador *p) {
    std::unique_lock<std::mutex> cerrojo(p->mutex);
    for (;;) {
        p->cambio.wait(cerrojo, [p] { return p->esperan > 0 || p->parar; });
        if (p->parar) return;
        p->esperan--;
        char *ini = p->ini[p->esperan], *fin = p->fin[p->esperan];
        p->ocupado = true;
        cerrojo.unlock();
        Poblar(ini, fin);
        cerrojo.lock();
        p->ocupado = false;
        p->cambio.notify_all();
    }
}

// Hands [ini, fin) to the helper; with no room left the request is dropped.
void Encargar(Poblador *p, char *ini, char *fin) {
    std::lock_guard<std::mutex> cerrojo(p->mutex);
    if (p->esperan == 8) return;
    p->ini[p->esperan] = ini;
    p->fin[p->esperan] = fin;
    p->esperan++;
    p->cambio.notify_all();
}

// Drops the waiting ranges and waits for the one being faulted in.
void Vaciar(Poblador *p) {
    if (!p) return;
    std::unique_lock<std::mutex> cerrojo(p->mutex);
    p->esperan = 0;
    p->cambio.wait(cerrojo, [p] { return !p->ocupado; });
}

// A helper for a file of `bytes`, or null when it would not pay: a small
// file, a single processor to run on (the loading thread would only wait for
// it), or no thread to be had.
Poblador *CrearPoblador(long long bytes) {
    cpu_set_t cpus;
    if (getenv("SIN_POBLADOR") || bytes < (32ll << 20) || sched_getaffinity(0, sizeof cpus, &cpus) != 0 || CPU_COUNT(&cpus) < 2)
        return nullptr;
    Poblador *p = new (std::nothrow) Poblador();
    if (!p) return nullptr;
    try {
        p->hilo = std::thread(TrabajarPoblador, p);
    } catch (const std::system_error &) {
        delete p;
        return nullptr;
    }
    return p;
}

void Parar(Poblador *p) {
    if (!p) return;
    {
        std::lock_guard<std::mutex> cerrojo(p->mutex);
        p->parar = true;
        p->cambio.notify_all();
    }
    p->hilo.join();
    delete p;
}

// Gives the array room for at least `cap` elements of `tam` bytes, or if
// that much cannot be had, for just one more. Returns false when even that
// fails or the count would pass INT_MAX.
bool Crecer(Arreglo *a, size_t tam, size_t cap) {
    if (a->num >= (size_t)INT_MAX) return false;
    if (cap > (size_t)INT_MAX) cap = (size_t)INT_MAX;
    Vaciar(a->poblador);   // the array may move
    void *d = realloc(a->datos, cap * tam);
    if (!d) {
        cap = a->num + 1;
        d = realloc(a->datos, cap * tam);
        if (!d) return false;
    }
    PaginasGrandes((char *)d + a->num * tam, (char *)d + cap * tam);
    a->datos = d;
    a->cap = cap;
    a->listo = a->num;
    return true;
}

// Cuts the array to exactly its count (null when empty).
void *Recortar(Arreglo *a, size_t tam) {
    if (a->num == 0) {
        free(a->datos);
        return nullptr;
    }
    if (a->num == a->cap) return a->datos;
    void *d = realloc(a->datos, a->num * tam);
    return d ? d : a->datos;
}

}  // namespace

long long AbrirEntrada(Entrada *e, const char *ruta) {
    e->fd = AbrirDescriptorRegular(ruta);
    if (e->fd < 0) return -1;
    struct stat st;
    const long long bytes = fstat(e->fd, &st) == 0 ? (long long)st.st_size : 0;
    e->cap = kBloque;
    e->buf = (unsigned char *)malloc(e->cap + 1 + kRelleno);
    if (!e->buf) {
        close(e->fd);
        return -1;
    }
    e->p = e->fin = e->buf;
    e->eof = false;
    if (!Recargar(e, 1)) e->eof = true;   // cannot fail: the buffer is empty
    return bytes;
}

void CerrarEntrada(Entrada *e) {
    free(e->buf);
    close(e->fd);
}

bool Recargar(Entrada *e, size_t quiero) {
    size_t quedan = (size_t)(e->fin - e->p);
    if (e->p != e->buf && quedan) memmove(e->buf, e->p, quedan);
    e->p = e->buf;
    e->fin = e->buf + quedan;
    while (!e->eof && quedan < quiero) {
        if (e->cap - quedan < e->cap / 2) {   // a long statement fills it: grow
            const size_t cap = e->cap * 2;
            unsigned char *b = (unsigned char *)realloc(e->buf, cap + 1 + kRelleno);
            if (!b) return false;
            e->buf = b;
            e->cap = cap;
            e->p = b;
            e->fin = b + quedan;
        }
        ssize_t n;
        do n = read(e->fd, e->fin, e->cap - quedan);
        while (n < 0 && errno == EINTR);
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

bool Ampliar(Arreglo *a, size_t tam) {
    if (a->num >= a->cap && !Crecer(a, tam, a->cap ? a->cap * 2 : 1024)) return false;
    // Ahead by kAdelanto, or by an eighth of the capacity if that is less:
    // the first capacity of a small file is an over-estimate, and faulting
    // in pages that will never be written is wasted.
    size_t paso = kAdelanto / tam;
    if (paso > a->cap / 8 + 1) paso = a->cap / 8 + 1;
    size_t hasta = a->num + paso;
    if (hasta > a->cap) hasta = a->cap;
    char *datos = (char *)a->datos;
    // Already done when the helper got there first: then a quick walk.
    Poblar(datos + a->num * tam, datos + hasta * tam);
    if (a->poblador && hasta < a->cap) {
        const size_t luego = hasta + paso < a->cap ? hasta + paso : a->cap;
        Encargar(a->poblador, datos + hasta * tam, datos + luego * tam);
    }
    a->listo = hasta;
    return true;
}

// An element's statement takes at least about 16 bytes in any file an
// exporter writes, so file size / 16 elements per array is rarely outgrown.
void Reservar(Carga *l, long long bytes) {
    size_t n = bytes > 0 ? (size_t)(bytes / 16) : 0;
    if (n < 1024) n = 1024;
    Crecer(&l->v, sizeof(Vector), n);
    Crecer(&l->vn, sizeof(Vector), n);
    Crecer(&l->vt, sizeof(Vector), n);
    Crecer(&l->f, sizeof(Cara), n);
    l->v.poblador = l->vn.poblador = l->vt.poblador = l->f.poblador = CrearPoblador(bytes);
}

Modelo Entregar(Carga *l) {
    Parar(l->v.poblador);
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
