// datos_bench.cpp - benchmark inputs (see datos_bench.h).
#include "datos_bench.h"

#include "casos_colision.h"
#include "tga_referencia.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

static const long long kTamObjetivo = 100LL * 1000 * 1000;

const char *NombreForma(FormaOBJ forma)
{
    switch (forma) {
    case kVVtVn: return "v/vt/vn";
    case kVVn: return "v//vn";
    default: return "v/vt";
    }
}

long long TamFichero(const std::string &ruta)
{
    struct stat st;
    return stat(ruta.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

std::string FicheroOBJ(const std::string &dir, FormaOBJ forma)
{
    static const char *const kNombres[] = {"malla_v_vt_vn.obj", "malla_v_vn.obj", "malla_v_vt.obj"};
    const std::string ruta = dir + "/" + kNombres[forma];
    if (TamFichero(ruta) > kTamObjetivo * 9 / 10 && TamFichero(ruta) < kTamObjetivo * 11 / 10) return ruta;
    mkdir(dir.c_str(), 0755);
    if (!EscribirMallaOBJ(ruta, forma, kTamObjetivo)) {
        fprintf(stderr, "cannot write %s\n", ruta.c_str());
        exit(1);
    }
    return ruta;
}

std::string FicheroTGA(const std::string &dir)
{
    const int lado = 4096;
    const std::string ruta = dir + "/imagen_4096.tga";
    if (TamFichero(ruta) == 18 + (long long)lado * lado * 3) return ruta;
    mkdir(dir.c_str(), 0755);
    FILE *f = fopen(ruta.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "cannot write %s\n", ruta.c_str());
        exit(1);
    }
    CamposTga c;
    c.ancho = c.alto = lado;
    const std::vector<unsigned char> cab = Tga(c);
    fwrite(cab.data(), 1, cab.size(), f);
    std::vector<unsigned char> fila((size_t)lado * 3);
    std::mt19937 g(3);
    for (int y = 0; y < lado; y++) {
        for (int x = 0; x < lado; x++) {
            unsigned r = (unsigned)g();
            fila[(size_t)x * 3 + 0] = (unsigned char)((x >> 4) + (r & 15));
            fila[(size_t)x * 3 + 1] = (unsigned char)((y >> 4) + ((r >> 4) & 15));
            fila[(size_t)x * 3 + 2] = (unsigned char)(((x + y) >> 5) + ((r >> 8) & 15));
        }
        fwrite(fila.data(), 1, fila.size(), f);
    }
    fclose(f);
    return ruta;
}

namespace {

// Cells of about `celda` along a side of length `largo`, at least one.
int Partes(double largo, double celda) { return largo / celda < 1 ? 1 : (int)std::lround(largo / celda); }

}   // namespace

void HacerSala(int caras, SalaBench *s)
{
    const float x0 = -1500, x1 = 1500, y0 = -50, y1 = 350, z0 = -2500, z1 = 1000;
    const double area = 2.0 * (x1 - x0) * (z1 - z0) + 2.0 * (y1 - y0) * ((x1 - x0) + (z1 - z0));
    const double celda = std::sqrt(2.0 * area / caras);   // two triangles per square cell
    const int nx = Partes(x1 - x0, celda), ny = Partes(y1 - y0, celda), nz = Partes(z1 - z0, celda);
    CasoColision sala;
    AnadirPared(nullptr, &sala, Vector{x0, y0, z0}, Vector{x1 - x0, 0, 0}, Vector{0, 0, z1 - z0}, nx,
                nz);   // floor
    AnadirPared(nullptr, &sala, Vector{x0, y1, z0}, Vector{x1 - x0, 0, 0}, Vector{0, 0, z1 - z0}, nx,
                nz);   // ceiling
    AnadirPared(nullptr, &sala, Vector{x0, y0, z0}, Vector{x1 - x0, 0, 0}, Vector{0, y1 - y0, 0}, nx, ny);
    AnadirPared(nullptr, &sala, Vector{x0, y0, z1}, Vector{x1 - x0, 0, 0}, Vector{0, y1 - y0, 0}, nx, ny);
    AnadirPared(nullptr, &sala, Vector{x0, y0, z0}, Vector{0, 0, z1 - z0}, Vector{0, y1 - y0, 0}, nz, ny);
    AnadirPared(nullptr, &sala, Vector{x1, y0, z0}, Vector{0, 0, z1 - z0}, Vector{0, y1 - y0, 0}, nz, ny);
    s->vertices.swap(sala.vertices);
    s->caras.swap(sala.caras);
    s->centros.clear();
    for (int k = 0; k < 64; k++) {
        const double t = k / 64.0;
        s->centros.push_back(Vector{(float)(1200 * std::sin(6.283 * t) + 3.7), y0 + 45.0f,
                                    (float)(-750 + 1600 * std::cos(6.283 * t) + 1.3)});
    }
}

Modelo ModeloDeSala(SalaBench *s) { return ModeloDeArrays(&s->vertices, &s->caras); }

std::string TomarDirectorioDatos(int *argc, char ***argv)
{
    char **a = *argv;
    if (*argc < 2 || a[1][0] == '-') {
        fprintf(stderr, "usage: %s <data dir> [benchmark flags]\n", a[0]);
        exit(2);
    }
    const std::string dir = a[1];
    a[1] = a[0];
    (*argc)--;
    (*argv)++;
    return dir;
}
