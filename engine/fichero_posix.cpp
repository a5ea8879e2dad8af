// fichero_posix.cpp - the loaders' platform layer on Linux and other POSIX
// systems (see fichero_local.h). O_NONBLOCK lets a FIFO open at once, to be
// refused by its type; it changes nothing for a regular file.
#include "fichero_local.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

int AbrirDescriptorRegular(const char *ruta)
{
    const int fd = open(ruta, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

long long TamanoDescriptor(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 ? (long long)st.st_size : -1;
}

long long LeerDescriptor(int fd, void *destino, size_t n)
{
    ssize_t leidos;
    do leidos = read(fd, destino, n);
    while (leidos < 0 && errno == EINTR);
    return leidos;
}

void CerrarDescriptor(int fd) { close(fd); }

FILE *AbrirFicheroRegular(const char *ruta)
{
    const int fd = AbrirDescriptorRegular(ruta);
    if (fd < 0) return nullptr;
    FILE *f = fdopen(fd, "rb");
    if (!f) close(fd);
    return f;
}

// Gives `consejo` for the whole `alineacion`-sized blocks of [ini, fin).
static void Aconsejar(char *ini, char *fin, uintptr_t alineacion, int consejo)
{
    const uintptr_t a = ((uintptr_t)ini + alineacion - 1) & ~(alineacion - 1);
    const uintptr_t b = (uintptr_t)fin & ~(alineacion - 1);
    if (b > a) madvise((void *)a, b - a, consejo);
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
