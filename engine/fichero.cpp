// fichero.cpp - opening the files the loaders read (see fichero_local.h).
#include "fichero_local.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

int AbrirDescriptorRegular(const char *ruta)
{
    const int fd = open(ruta, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

FILE *AbrirFicheroRegular(const char *ruta, const char *modo)
{
    const int fd = AbrirDescriptorRegular(ruta);
    if (fd < 0)
        return nullptr;
    FILE *f = fdopen(fd, modo);
    if (!f)
        close(fd);
    return f;
}

// Gives `consejo` for the whole `alineacion`-sized blocks of [ini, fin).
static void Aconsejar(char *ini, char *fin, uintptr_t alineacion, int consejo)
{
    const uintptr_t a = ((uintptr_t)ini + alineacion - 1) & ~(alineacion - 1);
    const uintptr_t b = (uintptr_t)fin & ~(alineacion - 1);
    if (b > a)
        madvise((void *)a, b - a, consejo);
}

void PedirPaginasGrandes(char *ini, char *fin)
{
#ifdef MADV_HUGEPAGE
    Aconsejar(ini, fin, 2u << 20, MADV_HUGEPAGE);
#else
    (void)ini;
    (void)fin;
#endif
}

void PoblarPaginas(char *ini, char *fin)
{
#ifdef MADV_POPULATE_WRITE
    Aconsejar(ini, fin, 4096, MADV_POPULATE_WRITE);
#else
    (void)ini;
    (void)fin;
#endif
}
