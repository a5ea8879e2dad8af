// conteo_memoria.cpp - see conteo_memoria.h.
#include "conteo_memoria.h"

#include <cstddef>

#include "comun.h"   // TALO_CON_ASAN

namespace {
// Plain globals: the counter must not allocate, and the tick runs on one thread.
volatile bool Contando = false;
volatile long long Asignaciones = 0;

void Anotar()
{
    if (Contando) Asignaciones = Asignaciones + 1;
}
}   // namespace

void EmpezarConteoMemoria()
{
    Asignaciones = 0;
    Contando = true;
}

long long TerminarConteoMemoria()
{
    Contando = false;
    return Asignaciones;
}

#ifdef TALO_CON_ASAN

// The sanitizer runtime's hook (declared here: not every compiler ships the
// header that declares it). Returns non-zero once installed.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void *, size_t),
                                                         void (*)(const volatile void *));

namespace {
void AlAsignar(const volatile void *, size_t) { Anotar(); }
void AlLiberar(const volatile void *) {}
// Installed before main, once the sanitizer runtime is up.
const int Instalado = __sanitizer_install_malloc_and_free_hooks(AlAsignar, AlLiberar);
}   // namespace

#else

// glibc's own allocator under its internal names.
extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void __libc_free(void *);

void *malloc(size_t n)
{
    Anotar();
    return __libc_malloc(n);
}
void *calloc(size_t n, size_t t)
{
    Anotar();
    return __libc_calloc(n, t);
}
void *realloc(void *p, size_t n)
{
    Anotar();
    return __libc_realloc(p, n);
}
void free(void *p) { __libc_free(p); }
}

#endif
