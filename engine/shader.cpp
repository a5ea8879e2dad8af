// shader.cpp - reading shader source text.
#include "shader.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens `ruta` for reading in text mode only if it is a regular file. The
// descriptor is opened non-blocking so that a FIFO with no writer cannot hang
// the caller before the file type has been checked.
FILE *AbrirFicheroRegular(const char *ruta) {
    int fd = open(ruta, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    FILE *f = fdopen(fd, "r");
    if (!f) close(fd);
    return f;
}

// Number of characters the stream delivers from here to its end.
size_t ContarCaracteres(FILE *f) {
    size_t n = 0;
    while (getc(f) != EOF) n++;
    return n;
}

}  // namespace

char *CargarTextoShader(const char *ruta) {
    FILE *f = AbrirFicheroRegular(ruta);
    if (!f) return nullptr;
    size_t cuenta = ContarCaracteres(f);
    rewind(f);
    char *texto = (char *)malloc(cuenta + 1);
    if (texto) {
        // The file may have shrunk since it was counted: the text ends where
        // the read ended, so no byte of the buffer is left unset before the NUL.
        size_t leidos = fread(texto, 1, cuenta, f);
        texto[leidos] = '\0';
    }
    fclose(f);
    return texto;
}
