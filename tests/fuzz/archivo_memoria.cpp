// archivo_memoria.cpp - one memfd per process, rewritten for every input.
#include "archivo_memoria.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int  Descriptor = -1;
char Ruta[64];

void Fallo(const char *que) {
    perror(que);
    abort();
}

}  // namespace

const char *RutaConDatos(const uint8_t *datos, size_t tam) {
    if (Descriptor < 0) {
        Descriptor = memfd_create("talo_fuzz", 0);
        if (Descriptor < 0) Fallo("memfd_create");
        snprintf(Ruta, sizeof Ruta, "/proc/self/fd/%d", Descriptor);
    }
    if (ftruncate(Descriptor, 0) != 0) Fallo("ftruncate");
    size_t hecho = 0;
    while (hecho < tam) {
        ssize_t n = pwrite(Descriptor, datos + hecho, tam - hecho, (off_t)hecho);
        if (n <= 0) Fallo("pwrite");
        hecho += (size_t)n;
    }
    return Ruta;
}
