// huellas.cpp - a fingerprint of what the loaders make of each file, for
// comparing two platforms' builds: for every file named, one line per OBJ
// face format (0 to 4) with a hash of the model's counts and arrays, and one
// line with a hash of the TGA loader's image. Two builds that print the
// same lines loaded every file into the same bits.
//
//   huellas FILE_OR_FOLDER...    (a folder stands for its files, by name)
//   huellas --casos DIR N SEED   writes N generated and mutated OBJ files
//                                (the differential tests' generator) into DIR
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <random>
#include <vector>
#include <string>

#include "casos_obj.h"

#include "imagen.h"
#include "modelo.h"

namespace {

// FNV-1a, 64 bits.
uint64_t Mezclar(uint64_t h, const void *datos, size_t n)
{
    const unsigned char *p = (const unsigned char *)datos;
    for (size_t i = 0; i < n; i++) h = (h ^ p[i]) * 0x100000001B3ull;
    return h;
}

uint64_t HuellaModelo(const Modelo &m)
{
    uint64_t h = 0xCBF29CE484222325ull;
    const int cuentas[4] = {m.NumVertices, m.NumCaras, m.NumCTexturas, m.NumNormales};
    h = Mezclar(h, cuentas, sizeof cuentas);
    h = Mezclar(h, m.Vertices, (size_t)m.NumVertices * sizeof(Vector));
    // The first two triples only: the third is never written.
    for (int i = 0; i < m.NumCaras; i++) {
        h = Mezclar(h, m.Caras[i].Vert, sizeof m.Caras[i].Vert);
        h = Mezclar(h, m.Caras[i].Aux, sizeof m.Caras[i].Aux);
    }
    h = Mezclar(h, m.CTexturas, (size_t)m.NumCTexturas * sizeof(Vector));
    return Mezclar(h, m.Normales, (size_t)m.NumNormales * sizeof(Vector));
}

uint64_t HuellaImagen(const Imagen &im)
{
    uint64_t h = 0xCBF29CE484222325ull;
    const int campos[3] = {im.Bpp, im.Ancho, im.Alto};
    h = Mezclar(h, campos, sizeof campos);
    if (im.Pixeles) h = Mezclar(h, im.Pixeles, (size_t)im.Ancho * im.Alto * (im.Bpp / 8));
    return h;
}

// The file's own name, without its folder, so two machines' lists compare.
const char *Nombre(const char *ruta)
{
    const char *n = ruta;
    for (const char *p = ruta; *p; p++)
        if (*p == '/' || *p == '\\') n = p + 1;
    return n;
}

int EscribirCasos(const char *dir, long n, unsigned long long semilla)
{
    std::mt19937_64 g(semilla);
    std::string texto;
    int formato = 0;
    for (long i = 0; i < n; i++) {
        GenerarOBJ(&g, &texto, &formato);
        const std::string ruta = std::string(dir) + "/caso_" + std::to_string(i) + ".obj";
        FILE *f = std::fopen(ruta.c_str(), "wb");
        if (!f || std::fwrite(texto.data(), 1, texto.size(), f) != texto.size() || std::fclose(f) != 0)
            return 1;
    }
    return 0;
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--casos") == 0)
        return EscribirCasos(argv[2], std::strtol(argv[3], nullptr, 10), std::strtoull(argv[4], nullptr, 10));
    std::vector<std::string> rutas;
    for (int i = 1; i < argc; i++) {
        if (!std::filesystem::is_directory(argv[i])) {
            rutas.push_back(argv[i]);
            continue;
        }
        std::vector<std::string> dentro;
        for (const auto &e : std::filesystem::directory_iterator(argv[i]))
            dentro.push_back(e.path().generic_string());
        std::sort(dentro.begin(), dentro.end());
        rutas.insert(rutas.end(), dentro.begin(), dentro.end());
    }
    for (const std::string &ruta : rutas) {
        for (int formato = 0; formato <= 4; formato++) {
            Modelo m = CargarModeloOBJ(ruta.c_str(), formato);
            std::printf("%s obj%d %016llx\n", Nombre(ruta.c_str()), formato,
                        (unsigned long long)HuellaModelo(m));
            LiberarModelo(&m);
        }
        Imagen im = CargarImagenTGA(ruta.c_str());
        std::printf("%s tga %016llx\n", Nombre(ruta.c_str()), (unsigned long long)HuellaImagen(im));
        std::free(im.Pixeles);
    }
    return 0;
}
