// malla_obj.cpp - the exporter-style OBJ sheet (see malla_obj.h).
#include "malla_obj.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace {

// Appends formatted text to a buffered file.
struct Escritor {
    FILE *f;
    char linea[256];
};

void Linea(Escritor *e, int n) { fwrite(e->linea, 1, (size_t)n, e->f); }

// One 1-based corner in the chosen form.
int Esquina(char *b, size_t tam, FormaOBJ forma, long v)
{
    switch (forma) {
    case kVVtVn: return snprintf(b, tam, " %ld/%ld/%ld", v, v, v);
    case kVVn: return snprintf(b, tam, " %ld//%ld", v, v);
    default: return snprintf(b, tam, " %ld/%ld", v, v);
    }
}

// A wavy sheet of `lado` x `lado` vertices, written as rows of vertices,
// then texture coordinates and normals, then the triangles.
void EscribirMalla(Escritor *e, FormaOBJ forma, int lado)
{
    Linea(e, snprintf(e->linea, sizeof e->linea, "# bench mesh %d x %d\no malla\ng malla\n", lado, lado));
    std::mt19937 g(17);
    std::uniform_real_distribution<double> ruido(-0.5, 0.5);
    for (int j = 0; j < lado; j++)
        for (int i = 0; i < lado; i++) {
            double x = (i - lado / 2) * 1.7 + ruido(g), z = (j - lado / 2) * 1.7 + ruido(g);
            double y = 40 * std::sin(x * 0.01) * std::cos(z * 0.013) + ruido(g);
            Linea(e, snprintf(e->linea, sizeof e->linea, "v %.6f %.6f %.6f\n", x, y, z));
        }
    if (forma != kVVn)
        for (int j = 0; j < lado; j++)
            for (int i = 0; i < lado; i++)
                Linea(e, snprintf(e->linea, sizeof e->linea, "vt %.6f %.6f\n", (double)i / lado,
                                  (double)j / lado));
    if (forma != kVVt)
        for (int j = 0; j < lado; j++)
            for (int i = 0; i < lado; i++) {
                double a = ruido(g) * 0.6, b = ruido(g) * 0.6;
                double n = std::sqrt(a * a + b * b + 1);
                Linea(e, snprintf(e->linea, sizeof e->linea, "vn %.6f %.6f %.6f\n", a / n, 1 / n, b / n));
            }
    Linea(e, snprintf(e->linea, sizeof e->linea, "usemtl material\ns 1\n"));
    for (int j = 0; j + 1 < lado; j++)
        for (int i = 0; i + 1 < lado; i++) {
            long a = (long)j * lado + i + 1, b = a + 1, c = a + lado, d = c + 1;
            const long tri[2][3] = {{a, b, d}, {a, d, c}};
            for (int t = 0; t < 2; t++) {
                int n = snprintf(e->linea, sizeof e->linea, "f");
                for (int k = 0; k < 3; k++)
                    n += Esquina(e->linea + n, sizeof e->linea - (size_t)n, forma, tri[t][k]);
                e->linea[n++] = '\n';
                Linea(e, n);
            }
        }
}

// The side of a sheet of `bytes` bytes: the side measured for 100 MB in each
// form, scaled by the square root (the file grows with the vertex count).
int LadoPara(FormaOBJ forma, long long bytes)
{
    const int lado = forma == kVVtVn ? 686 : forma == kVVn ? 796 : 839;
    const int escalado = (int)std::lround(lado * std::sqrt((double)bytes / 1e8));
    return escalado < 2 ? 2 : escalado;
}

}   // namespace

int FormatoDeForma(FormaOBJ forma)
{
    switch (forma) {
    case kVVtVn: return 4;
    case kVVn: return 1;
    default: return 0;
    }
}

bool EscribirMallaOBJ(const std::string &ruta, FormaOBJ forma, long long bytes)
{
    Escritor e;
    e.f = fopen(ruta.c_str(), "wb");
    if (!e.f) return false;
    setvbuf(e.f, nullptr, _IOFBF, 1 << 20);
    EscribirMalla(&e, forma, LadoPara(forma, bytes));
    const bool bien = ferror(e.f) == 0;
    return fclose(e.f) == 0 && bien;
}
