// fichero_windows.cpp - the loaders' platform layer on Windows (see
// fichero_local.h).
//
// Files are opened in binary mode: in text mode the C run-time would turn
// CR LF into LF and stop at a 0x1A byte, so a model or an image would load
// differently than on Linux. _O_NOINHERIT keeps the descriptor from child
// processes, as O_CLOEXEC does. Opening never waits: a device (NUL, CON) or a
// pipe is opened at once and then refused by its type, like a directory.
// Windows has no page advice that matters here; the hints do nothing and the
// pages are made as they are written.
#include "fichero_local.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <climits>

int AbrirDescriptorRegular(const char *ruta)
{
    const int fd = _open(ruta, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return -1;
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
        _close(fd);
        return -1;
    }
    return fd;
}

FILE *AbrirFicheroRegular(const char *ruta)
{
    const int fd = AbrirDescriptorRegular(ruta);
    if (fd < 0) return nullptr;
    FILE *f = _fdopen(fd, "rb");
    if (!f) _close(fd);
    return f;
}

long long TamanoDescriptor(int fd)
{
    struct _stat64 st;
    return _fstat64(fd, &st) == 0 ? (long long)st.st_size : -1;
}

long long LeerDescriptor(int fd, void *destino, size_t n)
{
    // _read takes an unsigned int count.
    const unsigned int pedido = n > INT_MAX ? INT_MAX : (unsigned int)n;
    return _read(fd, destino, pedido);
}

void CerrarDescriptor(int fd) { _close(fd); }

void PedirPaginasGrandes(char *, char *) {}
void PoblarPaginas(char *, char *) {}
