// bench_talo - the OBJ loader against the straightforward version and the
// library people would otherwise use (TGA: bench_tga.cpp, collision:
// bench_colision.cpp).
//
//   bench_talo <data dir> [Google Benchmark flags]
//
// Benchmarks (names are "group/contender", the table script pairs them up):
//   obj <form>/rapido    CargarModeloOBJ on a ~100 MB OBJ file of that form
//   obj <form>/oraculo   the fscanf loader (the straightforward one)
//   obj <form>/tinyobj   tinyobjloader's LoadObj on the same file
//   obj <form>/leer      read the whole file into a new buffer: the limit
// Before timing, every OBJ file is loaded by both our loader and the fscanf
// loader and compared bit for bit; the counters "identico" carry the verdict.
// These are loads inside one process; bench/procesos_nuevos.py times one
// load per fresh process (carga_unica.cpp), as a program that starts, loads
// and exits pays it.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <tiny_obj_loader.h>

#include "datos_bench.h"
#include "leer_fichero.h"
#include "modelo.h"
#include "modelos_iguales.h"
#include "obj_scanf.h"

namespace {

// ---- OBJ ----

// Loads the file with both loaders and compares everything bit for bit.
bool ObjIdentico(const std::string &ruta, int formato)
{
    Modelo a = CargarModeloOBJ(ruta.c_str(), formato);
    Modelo b = CargarModeloOBJScanf(ruta.c_str(), formato);
    const std::string diferencia = DiferenciaModelos(a, b);
    const bool igual = diferencia.empty();
    fprintf(stderr, "%s: %d vertices, %d faces, %d texture coordinates, %d normals: %s\n", ruta.c_str(),
            a.NumVertices, a.NumCaras, a.NumCTexturas, a.NumNormales,
            igual ? "identical to the fscanf loader" : ("DIFFERENT: " + diferencia).c_str());
    LiberarModelo(&a);
    LiberarModelo(&b);
    return igual;
}

void BmObjRapido(benchmark::State &st, std::string ruta, int formato, bool identico)
{
    for (auto _ : st) {
        Modelo m = CargarModeloOBJ(ruta.c_str(), formato);
        benchmark::DoNotOptimize(m.Vertices);
        LiberarModelo(&m);
    }
    st.SetBytesProcessed(st.iterations() * TamFichero(ruta));
    st.counters["identico"] = identico ? 1 : 0;
}

void BmObjOraculo(benchmark::State &st, std::string ruta, int formato)
{
    for (auto _ : st) {
        Modelo m = CargarModeloOBJScanf(ruta.c_str(), formato);
        benchmark::DoNotOptimize(m.Vertices);
        LiberarModelo(&m);
    }
    st.SetBytesProcessed(st.iterations() * TamFichero(ruta));
}

void BmObjTinyobj(benchmark::State &st, std::string ruta)
{
    for (auto _ : st) {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> formas;
        std::vector<tinyobj::material_t> materiales;
        std::string aviso, error;
        bool bien = tinyobj::LoadObj(&attrib, &formas, &materiales, &aviso, &error, ruta.c_str());
        if (!bien) st.SkipWithError("tinyobjloader failed");
        benchmark::DoNotOptimize(attrib.vertices.data());
    }
    st.SetBytesProcessed(st.iterations() * TamFichero(ruta));
}

void RegistrarObj(const std::string &dir)
{
    for (FormaOBJ forma : {kVVtVn, kVVn, kVVt}) {
        const std::string ruta = FicheroOBJ(dir, forma);
        const int formato = FormatoDeForma(forma);
        const bool identico = ObjIdentico(ruta, formato);
        const std::string g = std::string("obj ") + NombreForma(forma) + "/";
        benchmark::RegisterBenchmark((g + "rapido").c_str(), BmObjRapido, ruta, formato, identico)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);
        benchmark::RegisterBenchmark((g + "oraculo").c_str(), BmObjOraculo, ruta, formato)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(2);
        benchmark::RegisterBenchmark((g + "tinyobj").c_str(), BmObjTinyobj, ruta)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(2);
        benchmark::RegisterBenchmark((g + "leer").c_str(), BmLeer, ruta)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(10);
    }
}

}   // namespace

int main(int argc, char **argv)
{
    const std::string dir = TomarDirectorioDatos(&argc, &argv);
    benchmark::Initialize(&argc, argv);
    RegistrarObj(dir);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
