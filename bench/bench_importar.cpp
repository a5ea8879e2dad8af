// bench_importar - the importer against the import library's own load of
// the same file: time and peak memory, each in a fresh process.
//
//   bench_importar <data dir> [runs]
//
// Writes (once) <data dir>/sala_1m.obj, a hall of about a million
// triangles: a floor and a ceiling of 500 x 500 quads with texture
// coordinates and normals, and four walls. Then, `runs` times (default 3),
// alternately: the library's ReadFile of the file with triangulation (what
// the importer asks of it), and the whole importer (build/importar/importar,
// beside this program's build) into a new folder, as a user runs it: no
// figures given, so the bundled ones are read from the bundled scene the
// build makes beside it. Prints each run's processor
// time (user and system, so that other work on a shared machine does not
// count) and peak resident memory and the medians' ratios. Targets: at most 2x the
// time and 3x the memory.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

long long Tam(const std::string &ruta)
{
    FILE *f = std::fopen(ruta.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, 0, SEEK_END);
    long long n = std::ftell(f);
    std::fclose(f);
    return n;
}

// A hall 50 x 3 x 50 metres; floor and ceiling of n x n quads.
void EscribirSala(const std::string &ruta, int n)
{
    FILE *f = std::fopen(ruta.c_str(), "w");
    if (!f) std::exit(1);
    const double lado = 50, alto = 3;
    for (int capa = 0; capa < 2; capa++) {
        double y = capa ? alto : 0;
        for (int j = 0; j <= n; j++)
            for (int i = 0; i <= n; i++) {
                double x = lado * i / n, z = lado * j / n;
                std::fprintf(f, "v %.6f %.6f %.6f\nvt %.6f %.6f\nvn 0 %d 0\n", x, y, z, x * 0.5, z * 0.5,
                             capa ? -1 : 1);
            }
    }
    int fila = n + 1, base = 0;
    for (int capa = 0; capa < 2; capa++, base += fila * fila)
        for (int j = 0; j < n; j++)
            for (int i = 0; i < n; i++) {
                int a = base + j * fila + i + 1, b = a + 1, c = a + fila + 1, d = a + fila;
                if (capa) std::swap(b, d);
                std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d, c, c, c, b, b,
                             b);
            }
    const double p[4][2] = {{0, 0}, {lado, 0}, {lado, lado}, {0, lado}};
    for (int k = 0; k < 4; k++) {
        const double *u = p[k], *v = p[(k + 1) % 4];
        std::fprintf(f, "v %g 0 %g\nv %g 0 %g\nv %g %g %g\nv %g %g %g\nf -4 -3 -2 -1\n", u[0], u[1], v[0],
                     v[1], v[0], alto, v[1], u[0], alto, u[1]);
    }
    std::fclose(f);
}

struct Medida {
    double segundos;   // processor time, user and system: the machine may be shared
    long kib;          // peak resident memory
};

// Runs `hacer` in a child process; its processor time and peak memory.
template <class F> Medida EnHijo(F hacer)
{
    pid_t pid = fork();
    if (pid == 0) _exit(hacer() ? 0 : 1);
    int estado = 0;
    struct rusage uso;
    wait4(pid, &estado, 0, &uso);
    double s =
        uso.ru_utime.tv_sec + uso.ru_stime.tv_sec + (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0) {
        std::fprintf(stderr, "bench_importar: a run failed\n");
        std::exit(1);
    }
    return Medida{s, uso.ru_maxrss};
}

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_importar <data dir> [runs]\n");
        return 2;
    }
    std::string dir = argv[1];
    int veces = argc > 2 ? std::atoi(argv[2]) : 3;
    std::string sala = dir + "/sala_1m.obj";
    if (Tam(sala) <= 0) EscribirSala(sala, 500);
    std::string programa = std::string(TALO_IMPORTAR);
    std::vector<double> ts[2], ms[2];
    for (int i = 0; i < veces; i++) {
        Medida a = EnHijo([&] {
            Assimp::Importer imp;
            return imp.ReadFile(sala, aiProcess_Triangulate) != nullptr;
        });
        // As a user runs it: the bundled figures, read from the bundled scene.
        std::string orden = programa + " " + sala + " " + dir + "/escena_bench >/dev/null";
        Medida b = EnHijo([&] {
            execl("/bin/sh", "sh", "-c", orden.c_str(), (char *)nullptr);
            return false;
        });
        std::printf("run %d: ReadFile %.3f s %ld KiB, importar %.3f s %ld KiB\n", i + 1, a.segundos, a.kib,
                    b.segundos, b.kib);
        ts[0].push_back(a.segundos), ms[0].push_back(a.kib), ts[1].push_back(b.segundos),
            ms[1].push_back(b.kib);
    }
    double rt = Mediana(ts[1]) / Mediana(ts[0]), rm = Mediana(ms[1]) / Mediana(ms[0]);
    std::printf("medians: ReadFile %.3f s %.0f KiB, importar %.3f s %.0f KiB\n", Mediana(ts[0]),
                Mediana(ms[0]), Mediana(ts[1]), Mediana(ms[1]));
    std::printf("ratios: time %.2fx (target <= 2), peak memory %.2fx (target <= 3)\n", rt, rm);
    return 0;
}
