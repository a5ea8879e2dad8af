// archivos.h - writing meshes as OBJ text and pictures as TGA.
#ifndef TALO_GENERADOR_ARCHIVOS_H
#define TALO_GENERADOR_ARCHIVOS_H

#include <string>

#include "malla.h"
#include "lienzo.h"

// OBJ corner forms: 0 "v/vt", 1 "v//vn", 2 "v/vt/vn"; every corner carries
// the same number in each position. Returns false when the file cannot be
// written.
bool EscribirOBJ(const std::string &ruta, const Malla *m, int forma, const char *titulo);
// Uncompressed 24-bit true-colour TGA, bottom-left origin, pixels B, G, R.
// Returns false when the file cannot be written.
bool EscribirTGA(const std::string &ruta, const Lienzo *l);

#endif
