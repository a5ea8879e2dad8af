// fallo_memoria.h - the one way the tests make memory run out. Included by
// exactly one file of a test program, it puts its own malloc, calloc and
// realloc in front of glibc's: they note the largest request, and fail on
// demand (FallarMemoria). Where that cannot be done (AddressSanitizer owns
// the allocator) TALO_FALLO_MEMORIA stays undefined and the tests that need
// it are left out.
#ifndef TALO_FALLO_MEMORIA_H
#define TALO_FALLO_MEMORIA_H

#include <cstddef>
#include <cstdint>

#include "comun.h"

#if defined(__GLIBC__) && !defined(TALO_CON_ASAN)
#define TALO_FALLO_MEMORIA 1

namespace {
size_t g_mayor_pedido = 0;         // the largest request since it was last zeroed
size_t g_desde_bytes = SIZE_MAX;   // requests of at least this many bytes may fail...
long g_aciertos = 0;               // ...after this many of them have succeeded
}   // namespace

// From now on the requests of at least `desde_bytes` bytes fail, after the
// first `aciertos` of them. RestaurarMemoria() ends it.
inline void FallarMemoria(size_t desde_bytes, long aciertos = 0)
{
    g_desde_bytes = desde_bytes;
    g_aciertos = aciertos;
}
inline void RestaurarMemoria() { g_desde_bytes = SIZE_MAX; }

inline bool FallaPedido(size_t n)
{
    if (n > g_mayor_pedido) g_mayor_pedido = n;
    if (n < g_desde_bytes) return false;
    return g_aciertos-- <= 0;
}

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *malloc(size_t n) noexcept { return FallaPedido(n) ? nullptr : __libc_malloc(n); }
void *calloc(size_t a, size_t b) noexcept { return FallaPedido(a * b) ? nullptr : __libc_calloc(a, b); }
void *realloc(void *p, size_t n) noexcept { return FallaPedido(n) ? nullptr : __libc_realloc(p, n); }
}
#endif

#endif
