// fichero.cpp - opening the files the loaders read (see fichero.h).
#include "fichero.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
