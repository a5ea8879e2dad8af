// bench_tga - the TGA loader against a plain read of the file and stb_image.
//
//   bench_tga <data dir> [Google Benchmark flags]
//
// Benchmarks (names are "group/contender", the table script pairs them up):
//   tga/rapido        CargarImagenTGA on a 4096 x 4096 uncompressed 24-bit file
//   tga/stb           stbi_load on the same file
//   tga/leer          read the whole 24-bit file into a new buffer
//   tga gris/rapido   CargarImagenTGA on the same picture as 8-bit grey
//   tga mapa/rapido   the same picture as 8-bit indices into a 256-entry map
// The grey and colour-mapped images decode to as many bytes as the 24-bit
// file holds, so each is held against the plain read of that file. Run with
// repetitions and --benchmark_enable_random_interleaving=true, so that the
// contenders take turns and a busy moment falls on all of them alike.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "datos_bench.h"
#include "imagen.h"
#include "leer_fichero.h"

namespace {

void BmTgaRapido(benchmark::State &st, std::string ruta)
{
    for (auto _ : st) {
        Imagen im = CargarImagenTGA(ruta.c_str());
        if (!im.Pixeles) st.SkipWithError("CargarImagenTGA failed");
        benchmark::DoNotOptimize(im.Pixeles);
        free(im.Pixeles);
    }
    st.SetBytesProcessed(st.iterations() * TamFichero(ruta));
}

void BmTgaStb(benchmark::State &st, std::string ruta)
{
    for (auto _ : st) {
        int w, h, n;
        unsigned char *p = stbi_load(ruta.c_str(), &w, &h, &n, 0);
        if (!p) st.SkipWithError("stbi_load failed");
        benchmark::DoNotOptimize(p);
        stbi_image_free(p);
    }
    st.SetBytesProcessed(st.iterations() * TamFichero(ruta));
}

// Writes the 24-bit file's picture again as 8-bit grey (type 3) or as 8-bit
// indices (type 1) into a map of 256 colours, bottom-left origin like it.
std::string FicheroDerivado(const std::string &dir, const std::string &color, bool mapa)
{
    const std::string ruta = dir + (mapa ? "/imagen_4096_mapa.tga" : "/imagen_4096_gris.tga");
    const long long lado = 4096, pixeles = lado * lado;
    if (TamFichero(ruta) == 18 + (mapa ? 768 : 0) + pixeles) return ruta;
    FILE *e = fopen(color.c_str(), "rb");
    FILE *s = fopen(ruta.c_str(), "wb");
    if (!e || !s) abort();
    unsigned char cab[18];
    if (fread(cab, 1, 18, e) != 18) abort();
    cab[1] = mapa ? 1 : 0;
    cab[2] = mapa ? 1 : 3;
    cab[5] = 0;   // 256 entries
    cab[6] = mapa ? 1 : 0;
    cab[7] = mapa ? 24 : 0;
    cab[16] = 8;
    fwrite(cab, 1, 18, s);
    for (int i = 0; mapa && i < 256; i++) {
        const unsigned char entrada[3] = {(unsigned char)(i * 7), (unsigned char)(i * 3), (unsigned char)i};
        fwrite(entrada, 1, 3, s);
    }
    std::vector<unsigned char> fila((size_t)lado * 3), sal((size_t)lado);
    for (long long y = 0; y < lado; y++) {
        if (fread(fila.data(), 1, fila.size(), e) != fila.size()) abort();
        for (long long x = 0; x < lado; x++) {
            const unsigned char *p = &fila[(size_t)x * 3];
            sal[(size_t)x] = (unsigned char)((p[0] + 2 * p[1] + p[2]) / 4);
        }
        fwrite(sal.data(), 1, sal.size(), s);
    }
    fclose(e);
    fclose(s);
    return ruta;
}

void Registrar(const char *nombre, void (*bm)(benchmark::State &, std::string), const std::string &ruta)
{
    benchmark::RegisterBenchmark(nombre, bm, ruta)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(10);
}

}   // namespace

int main(int argc, char **argv)
{
    const std::string dir = TomarDirectorioDatos(&argc, &argv);
    benchmark::Initialize(&argc, argv);
    const std::string color = FicheroTGA(dir);
    Registrar("tga/rapido", BmTgaRapido, color);
    Registrar("tga/stb", BmTgaStb, color);
    Registrar("tga/leer", BmLeer, color);
    Registrar("tga gris/rapido", BmTgaRapido, FicheroDerivado(dir, color, false));
    Registrar("tga mapa/rapido", BmTgaRapido, FicheroDerivado(dir, color, true));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
