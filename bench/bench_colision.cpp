// bench_colision - one collision query against rooms of growing size: the
// collision index, XoqueEsferaModelo and the face-by-face loop, and the cost
// of building the index.
//
//   bench_colision [Google Benchmark flags]
//
// Benchmarks (names are "group/contender", the table script pairs them up):
//   colision <n>/indice  one XoqueEsferaIndice call on a hall of n faces
//   colision <n>/modelo  one XoqueEsferaModelo call on the same hall
//   colision <n>/cara    the face-by-face loop over XoqueEsferaPlano
//   indexar <n>          IndexarModelo on the hall (counters: bytes, bytes a face)
// The halls are those of datos_bench (HacerSala) with their faces and their
// vertices shuffled, so that faces near each other are far apart in memory,
// as in a room an exporter wrote. Before timing, every centre of the walk goes
// through the three and the results are compared bit for bit; the counters
// "identico" carry the verdict.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "casos_colision.h"
#include "colision.h"
#include "datos_bench.h"

namespace {

const float kRadio = 50.0f;
const Vector kPaso = {3.0f, -10.0f, -7.0f};   // walking and falling, as in a tick

// Shuffles the faces and renumbers the vertices at random.
void Barajar(SalaBench *s, unsigned semilla)
{
    std::mt19937 g(semilla);
    std::shuffle(s->caras.begin(), s->caras.end(), g);
    std::vector<int> nuevo(s->vertices.size());
    std::iota(nuevo.begin(), nuevo.end(), 0);
    std::shuffle(nuevo.begin(), nuevo.end(), g);
    std::vector<Vector> v(s->vertices.size());
    for (size_t i = 0; i < v.size(); i++) v[(size_t)nuevo[i]] = s->vertices[i];
    s->vertices.swap(v);
    for (Cara &c : s->caras)
        for (int &k : c.Vert) k = nuevo[(size_t)k];
}

struct Sala {
    SalaBench datos;
    IndiceColision indice;
    bool identico;
};

bool Mismo(Vector a, Vector b) { return memcmp(&a, &b, sizeof a) == 0; }

// Every centre of the walk through the three, compared bit for bit.
bool Identica(Sala *s)
{
    const Modelo m = ModeloDeSala(&s->datos);
    int tocados = 0;
    for (const Vector &c : s->datos.centros) {
        const Vector a = XoqueEsferaIndice(kRadio, c, kPaso, s->indice);
        const Vector b = XoqueEsferaModelo(kRadio, c, kPaso, m);
        const Vector d = XoqueCaraACara(kRadio, c, kPaso, m);
        if (!Mismo(a, b) || !Mismo(a, d)) return false;
        tocados += !Mismo(d, kPaso);
    }
    fprintf(stderr, "hall of %d faces: %d of %zu centres touch; index, model and face by face identical\n",
            m.NumCaras, tocados, s->datos.centros.size());
    return true;
}

enum Contendiente { kIndice, kModelo, kCara };

void BmConsulta(benchmark::State &st, Sala *s, Contendiente quien)
{
    const Modelo m = ModeloDeSala(&s->datos);
    size_t k = 0;
    for (auto _ : st) {
        const Vector &c = s->datos.centros[k++ % s->datos.centros.size()];
        Vector r = quien == kIndice   ? XoqueEsferaIndice(kRadio, c, kPaso, s->indice)
                   : quien == kModelo ? XoqueEsferaModelo(kRadio, c, kPaso, m)
                                      : XoqueCaraACara(kRadio, c, kPaso, m);
        benchmark::DoNotOptimize(r);
    }
    st.counters["caras"] = m.NumCaras;
    st.counters["identico"] = s->identico ? 1 : 0;
}

size_t BytesIndice(const IndiceColision &ind)
{
    const size_t celdas = (size_t)ind.celdas[0] * ind.celdas[1] * ind.celdas[2];
    return (size_t)ind.NumCaras * sizeof(EsferaCara) + (celdas + 1) * sizeof(int);
}

void BmIndexar(benchmark::State &st, Sala *s)
{
    const Modelo m = ModeloDeSala(&s->datos);
    for (auto _ : st) {
        IndiceColision ind = IndexarModelo(m);
        benchmark::DoNotOptimize(ind.caras);
        LiberarIndice(&ind);
    }
    st.counters["bytes"] = (double)BytesIndice(s->indice);
    st.counters["bytes_cara"] = (double)BytesIndice(s->indice) / m.NumCaras;
}

void Registrar()
{
    static Sala salas[3];
    const int tamanos[3] = {10000, 100000, 1000000};
    for (int i = 0; i < 3; i++) {
        HacerSala(tamanos[i], &salas[i].datos);
        Barajar(&salas[i].datos, 7u + (unsigned)i);
        salas[i].indice = IndexarModelo(ModeloDeSala(&salas[i].datos));
        salas[i].identico = Identica(&salas[i]);
        const std::string g = "colision " + std::to_string(tamanos[i]) + "/";
        benchmark::RegisterBenchmark((g + "indice").c_str(), BmConsulta, &salas[i], kIndice)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((g + "modelo").c_str(), BmConsulta, &salas[i], kModelo)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((g + "cara").c_str(), BmConsulta, &salas[i], kCara)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("indexar " + std::to_string(tamanos[i])).c_str(), BmIndexar, &salas[i])
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);
    }
}

}   // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    Registrar();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
