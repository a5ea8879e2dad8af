// diferencial_largo - the long differential run, by hand:
//
//   diferencial_largo obj <cases> [seed]
//   diferencial_largo colision <cases> [seed]
//   diferencial_largo indice <cases> [seed]
//
// obj: generated and mutated OBJ files loaded by CargarModeloOBJ and by the
// fscanf loader, compared bit for bit. colision: random rooms, centres and
// movements through XoqueEsferaModelo and the face-by-face loop, compared bit
// for bit. indice: the same cases, each room also indexed and queried with
// XoqueEsferaIndice, compared bit for bit with both. Prints the first few differences and a closing line
// "N passed, N failed"; exits 1 if any case failed.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "casos_colision.h"
#include "casos_obj.h"

namespace {

int Uso()
{
    fprintf(stderr, "usage: diferencial_largo obj|colision|indice <cases> [seed]\n");
    return 2;
}

void Informar(long i, long n, long fallos, time_t inicio)
{
    fprintf(stderr, "%ld/%ld cases, %ld failed, %lds\n", i, n, fallos, (long)(time(nullptr) - inicio));
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc < 3) return Uso();
    const bool obj = strcmp(argv[1], "obj") == 0;
    const bool indice = strcmp(argv[1], "indice") == 0;
    if (!obj && !indice && strcmp(argv[1], "colision") != 0) return Uso();
    const long n = strtol(argv[2], nullptr, 10);
    const unsigned long long semilla = argc > 3 ? strtoull(argv[3], nullptr, 10) : 1;
    std::mt19937_64 g(semilla);

    const time_t inicio = time(nullptr);
    long fallos = 0, tocados = 0;
    std::string texto, detalle;
    CasoColision caso;
    for (long i = 0; i < n; i++) {
        int bien;
        if (obj) {
            int formato;
            GenerarOBJ(&g, &texto, &formato);
            bien = CompararOBJ(texto, formato, &detalle);
        } else {
            GenerarCasoColision(&g, &caso);
            int tocado = 0;
            bien = indice ? CompararCasoIndice(&caso, &detalle, &tocado)
                          : CompararCasoColision(&caso, &detalle, &tocado);
            tocados += tocado;
        }
        if (!bien && ++fallos <= 5) printf("case %ld: %s\n", i, detalle.c_str());
        if ((i + 1) % 100000 == 0) Informar(i + 1, n, fallos, inicio);
    }
    if (!obj) printf("%ld cases with some face touched\n", tocados);
    printf("seed %llu, %lds\n", semilla, (long)(time(nullptr) - inicio));
    printf("%ld passed, %ld failed\n", n - fallos, fallos);
    return fallos ? 1 : 0;
}
