// archivos.cpp - writing meshes as OBJ text and pictures as TGA.
//
// The OBJ files hold only "v", "vt", "vn" and "f" statements and one comment
// line that contains none of those words (the walkthrough's loader finds
// statements by word, comments included). Each corner repeats one number in
// every position, so whichever of them a loader keeps addresses the vertex,
// its texture coordinate and its normal alike.
#include <cmath>
#include <cstdio>

#include "archivos.h"

namespace {

// Prints a coordinate without a negative zero, so equal meshes print equally
// whatever the sign of a zero that rounding produced.
double SinCeroNegativo(double x) { return x == 0.0 ? 0.0 : x; }

void EscribirTerna(FILE *f, const char *clave, Punto3 p, int decimales)
{
    std::fprintf(f, "%s %.*f %.*f %.*f\n", clave, decimales, SinCeroNegativo(p.x), decimales,
                 SinCeroNegativo(p.y), decimales, SinCeroNegativo(p.z));
}

void EscribirEsquina(FILE *f, int n, int forma)
{
    if (forma == 0)
        std::fprintf(f, " %d/%d", n, n);
    else if (forma == 1)
        std::fprintf(f, " %d//%d", n, n);
    else
        std::fprintf(f, " %d/%d/%d", n, n, n);
}

}   // namespace

bool EscribirOBJ(const std::string &ruta, const Malla *m, int forma, const char *titulo)
{
    // Binary, so the lines end in LF on every platform and the scene is the
    // same file wherever it is generated.
    FILE *f = std::fopen(ruta.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "# %s\n", titulo);
    for (const Punto3 &p : m->vertices) EscribirTerna(f, "v", p, 4);
    for (const Punto3 &p : m->ctexturas) EscribirTerna(f, "vt", p, 5);
    for (const Punto3 &p : m->normales) EscribirTerna(f, "vn", p, 5);
    for (const Triangulo &t : m->caras) {
        std::fputs("f", f);
        EscribirEsquina(f, t.a + 1, forma);
        EscribirEsquina(f, t.b + 1, forma);
        EscribirEsquina(f, t.c + 1, forma);
        std::fputs("\n", f);
    }
    bool bien = std::ferror(f) == 0;
    return std::fclose(f) == 0 && bien;
}

bool EscribirTGA(const std::string &ruta, const Lienzo *l)
{
    FILE *f = std::fopen(ruta.c_str(), "wb");
    if (f == nullptr) return false;
    unsigned char cabecera[18] = {0};
    cabecera[2] = 2;   // uncompressed true colour, no ID, no colour map
    cabecera[12] = (unsigned char)(l->ancho & 0xFF);
    cabecera[13] = (unsigned char)(l->ancho >> 8);
    cabecera[14] = (unsigned char)(l->alto & 0xFF);
    cabecera[15] = (unsigned char)(l->alto >> 8);
    cabecera[16] = 24;
    cabecera[17] = 0;   // bottom-left origin: rows from the bottom up
    std::fwrite(cabecera, 1, sizeof cabecera, f);
    std::vector<unsigned char> fila((size_t)l->ancho * 3);
    for (int y = 0; y < l->alto; y++) {
        for (int x = 0; x < l->ancho; x++) {
            size_t i = ((size_t)y * l->ancho + x) * 3;
            for (int c = 0; c < 3; c++) {
                long b = std::lround(l->rgb[i + 2 - c] * 255.0);   // B, G, R
                fila[x * 3 + c] = (unsigned char)(b < 0 ? 0 : b > 255 ? 255 : b);
            }
        }
        std::fwrite(fila.data(), 1, fila.size(), f);
    }
    bool bien = std::ferror(f) == 0;
    return std::fclose(f) == 0 && bien;
}
