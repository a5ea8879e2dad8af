// fuzz_shader.cpp - the shader text reader on arbitrary bytes.
//
// The whole input is the file. CargarTextoShader must give back a buffer
// holding exactly those bytes followed by a NUL (the stream is read in text
// mode, which on this platform changes nothing), and the buffer must be
// released with free. Any disagreement aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archivo_memoria.h"
#include "shader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *datos, size_t tam)
{
    char *texto = CargarTextoShader(RutaConDatos(datos, tam));
    if (!texto || memcmp(texto, datos, tam) != 0 || texto[tam] != '\0') {
        fprintf(stderr, "fuzz_shader: the text read is not the file\n");
        abort();
    }
    free(texto);
    return 0;
}
