// archivo_memoria.cpp - one memfd per process, rewritten for every input.
#include "archivo_memoria.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Descriptor = -1;
char Ruta[64];

void Fallo(const char *que)
{
    perror(que);
    abort();
}

void Escribir(const uint8_t *datos, size_t tam, size_t desde)
{
    size_t hecho = 0;
    while (hecho < tam) {
        ssize_t n = pwrite(Descriptor, datos + hecho, tam - hecho, (off_t)(desde + hecho));
        if (n <= 0) Fallo("pwrite");
        hecho += (size_t)n;
    }
}

}   // namespace

const char *RutaConBlancosYDatos(size_t blancos, const uint8_t *datos, size_t tam)
{
    static uint8_t espacios[2 << 20];
    if (blancos > sizeof espacios) Fallo("too many spaces asked for");
    if (Descriptor < 0) {
        Descriptor = memfd_create("talo_fuzz", 0);
        if (Descriptor < 0) Fallo("memfd_create");
        snprintf(Ruta, sizeof Ruta, "/proc/self/fd/%d", Descriptor);
        memset(espacios, ' ', sizeof espacios);
    }
    if (ftruncate(Descriptor, 0) != 0) Fallo("ftruncate");
    Escribir(espacios, blancos, 0);
    Escribir(datos, tam, blancos);
    return Ruta;
}

const char *RutaConDatos(const uint8_t *datos, size_t tam) { return RutaConBlancosYDatos(0, datos, tam); }
