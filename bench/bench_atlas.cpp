// bench_atlas - what the material atlas adds to an import: cutting faces
// along repeat lines, decoding, packing and drawing the images, on a hall
// of about a million triangles whose materials tile their images.
//
//   bench_atlas <data dir> [runs]
//
// Writes (once) <data dir>/sala_atlas.obj with its MTL and eight 512 x 512
// PNG images: a hall 50 x 3 x 50 metres whose floor and ceiling are 500 x
// 500 quads each, in quarters of four materials apiece (one of the
// ceiling's a colour only), tiling their images twice a metre, so that
// about a third of the quads cross a repeat line and are cut. Then, `runs`
// times (default 3), alternately:
//   - the whole importer program (build/importar/importar) on the file, in
//     a child process, figures given as a small file so that the room is
//     what is measured;
//   - the texturing stage alone (TexturizarRanura) on the same floor and
//     ceiling triangles and materials, in this process.
// Both in processor time (user and system), so that other work on a shared
// machine does not count. The importer without the atlas takes the first
// less the second; the target is that the atlas adds at most 1x that.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "malla_importada.h"

namespace {

const int kQuads = 500;    // per side of the floor and of the ceiling
const double kLado = 50;   // metres
const double kAlto = 3;
const double kRepeticiones = 2;   // per metre

bool Existe(const std::string &ruta) { return access(ruta.c_str(), R_OK) == 0; }

// Material of the quad (i, j) on layer `capa` (0 floor, 1 ceiling): one per
// quarter, numbered 0-3 on the floor and 4-7 on the ceiling.
int BuscarMaterial(int capa, int i, int j) { return capa * 4 + (i >= kQuads / 2) + 2 * (j >= kQuads / 2); }

// Material 7 has only a colour.
bool TieneImagen(int m) { return m != 7; }

void EscribirImagenes(const std::string &dir)
{
    std::mt19937 azar(3);
    std::vector<unsigned char> px(512 * 512 * 3);
    for (int m = 0; m < 8; ++m) {
        if (!TieneImagen(m)) continue;
        for (unsigned char &c : px) c = (unsigned char)(azar() & 255);
        const std::string ruta = dir + "/mat" + std::to_string(m) + ".png";
        if (!stbi_write_png(ruta.c_str(), 512, 512, 3, px.data(), 512 * 3)) std::exit(1);
    }
}

void EscribirSala(const std::string &dir)
{
    EscribirImagenes(dir);
    FILE *mtl = std::fopen((dir + "/sala_atlas.mtl").c_str(), "w");
    if (!mtl) std::exit(1);
    for (int m = 0; m < 8; ++m) {
        std::fprintf(mtl, "newmtl mat%d\nKd 0.9 0.8 0.7\n", m);
        if (TieneImagen(m)) std::fprintf(mtl, "map_Kd mat%d.png\n", m);
    }
    std::fclose(mtl);
    FILE *f = std::fopen((dir + "/sala_atlas.obj").c_str(), "w");
    if (!f) std::exit(1);
    std::fprintf(f, "mtllib sala_atlas.mtl\n");
    for (int capa = 0; capa < 2; ++capa)
        for (int j = 0; j <= kQuads; ++j)
            for (int i = 0; i <= kQuads; ++i) {
                const double x = kLado * i / kQuads, z = kLado * j / kQuads;
                std::fprintf(f, "v %.6f %.6f %.6f\nvt %.6f %.6f\n", x, capa ? kAlto : 0, z,
                             x * kRepeticiones - 7.25, z * kRepeticiones - 3.5);
            }
    std::fprintf(f, "vn 0 1 0\nvn 0 -1 0\n");
    const int fila = kQuads + 1;
    for (int capa = 0; capa < 2; ++capa) {
        const int base = capa * fila * fila;
        for (int m = capa * 4; m < capa * 4 + 4; ++m) {
            std::fprintf(f, "usemtl mat%d\n", m);
            for (int j = 0; j < kQuads; ++j)
                for (int i = 0; i < kQuads; ++i) {
                    if (BuscarMaterial(capa, i, j) != m) continue;
                    int a = base + j * fila + i + 1, b = a + 1, c = a + fila + 1, d = a + fila;
                    if (capa) std::swap(b, d);
                    const int n = capa + 1;
                    std::fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, n, d, d, n, c, c, n, b,
                                 b, n);
                }
        }
    }
    // Four walls, a colour of their own.
    std::fprintf(f, "usemtl mat7\n");
    const double p[4][2] = {{0, 0}, {kLado, 0}, {kLado, kLado}, {0, kLado}};
    for (int k = 0; k < 4; ++k) {
        const double *u = p[k], *v = p[(k + 1) % 4];
        std::fprintf(f, "v %g 0 %g\nv %g 0 %g\nv %g %g %g\nv %g %g %g\nf -4 -3 -2 -1\n", u[0], u[1], v[0],
                     v[1], v[0], kAlto, v[1], u[0], kAlto, u[1]);
    }
    std::fclose(f);
}

// The floor's or the ceiling's triangles as the importer hands them to the
// texturing stage (positions do not matter to it; coordinates do).
std::vector<TrianguloImportado> CrearCapa(int capa)
{
    std::vector<TrianguloImportado> r;
    r.reserve((size_t)kQuads * kQuads * 2);
    auto esquina = [&](int i, int j) {
        EsquinaImportada e;
        const double x = kLado * i / kQuads, z = kLado * j / kQuads;
        e.posicion = {(float)x, capa ? (float)kAlto : 0.0f, (float)z};
        e.normal = {0, capa ? -1.0f : 1.0f, 0};
        e.textura = {(float)(x * kRepeticiones - 7.25), (float)(z * kRepeticiones - 3.5), 0};
        return e;
    };
    for (int j = 0; j < kQuads; ++j)
        for (int i = 0; i < kQuads; ++i) {
            const int m = BuscarMaterial(capa, i, j);
            r.push_back({{esquina(i, j), esquina(i, j + 1), esquina(i + 1, j + 1)}, m});
            r.push_back({{esquina(i, j), esquina(i + 1, j + 1), esquina(i + 1, j)}, m});
        }
    return r;
}

std::vector<MaterialImportado> CrearMateriales(const std::string &dir)
{
    std::vector<MaterialImportado> r(8);
    for (int m = 0; m < 8; ++m) {
        r[m].nombre = "mat" + std::to_string(m);
        r[m].color[0] = 0.9f, r[m].color[1] = 0.8f, r[m].color[2] = 0.7f;
        if (TieneImagen(m)) r[m].imagen = dir + "/mat" + std::to_string(m) + ".png", r[m].por_color = true;
    }
    return r;
}

double MedirProcesador()
{
    struct timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The importer in a child process: its processor time.
double MedirImportador(const std::string &orden)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", orden.c_str(), (char *)nullptr);
        _exit(127);
    }
    int estado = 0;
    struct rusage uso;
    wait4(pid, &estado, 0, &uso);
    if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0) {
        std::fprintf(stderr, "bench_atlas: the importer failed\n");
        std::exit(1);
    }
    return uso.ru_utime.tv_sec + uso.ru_stime.tv_sec + (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

double CalcularMediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_atlas <data dir> [runs]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int veces = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (!Existe(dir + "/sala_atlas.obj")) EscribirSala(dir);
    const std::string figura = dir + "/figura_atlas.obj";
    if (!Existe(figura)) {
        FILE *f = std::fopen(figura.c_str(), "w");
        std::fprintf(f, "v 0 0 0\nv 1 0 0\nv 0 2 0\nv 0 0 1\nf 1 2 3\nf 1 3 4\nf 1 4 2\nf 2 4 3\n");
        std::fclose(f);
    }
    const std::string orden = std::string(TALO_IMPORTAR) + " --mujer " + figura + " --caballo " + figura +
                              " " + dir + "/sala_atlas.obj " + dir + "/escena_atlas >/dev/null";
    const std::vector<MaterialImportado> materiales = CrearMateriales(dir);
    std::vector<double> total, atlas;
    size_t entrada = 0, salida = 0;
    int cortadas = 0;
    for (int i = 0; i < veces; ++i) {
        total.push_back(MedirImportador(orden));
        double t = 0;
        entrada = salida = 0;
        cortadas = 0;
        for (int capa = 0; capa < 2; ++capa) {
            std::vector<TrianguloImportado> caras = CrearCapa(capa);
            entrada += caras.size();
            InformeTextura inf;
            std::vector<std::string> avisos;
            const double t0 = MedirProcesador();
            ImagenRGBA img = TexturizarRanura(&caras, materiales, &inf, &avisos);
            t += MedirProcesador() - t0;
            if (!avisos.empty() || img.rgba.empty()) {
                std::fprintf(stderr, "bench_atlas: %s\n", avisos.empty() ? "no image" : avisos[0].c_str());
                return 1;
            }
            salida += caras.size();
            cortadas += inf.caras_cortadas;
        }
        atlas.push_back(t);
        std::printf("run %d: importar %.3f s, of which the atlas stage %.3f s\n", i + 1, total.back(), t);
    }
    const double a = CalcularMediana(atlas), sin = CalcularMediana(total) - a;
    std::printf("floor and ceiling: %zu triangles in, %d cut, %zu out\n", entrada, cortadas, salida);
    std::printf("medians: importar %.3f s, atlas stage %.3f s, importar without it %.3f s\n",
                CalcularMediana(total), a, sin);
    std::printf("the atlas adds %.2fx the import without it (target <= 1)\n", a / sin);
    return 0;
}
