// shader.cpp - reading shader source text.
#include "shader.h"

#include "fichero_local.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Number of characters the stream delivers from here to its end.
size_t ContarCaracteres(FILE *f)
{
    size_t n = 0;
    while (getc(f) != EOF) n++;
    return n;
}

}   // namespace

char *CargarTextoShader(const char *ruta)
{
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
