// datos_bench.h - the inputs the benchmarks measure, made on the spot.
//
//   std::string FicheroOBJ(const std::string &dir, FormaOBJ forma);
//   std::string FicheroTGA(const std::string &dir);
//   SalaBench   HacerSala(int caras);
//
// FicheroOBJ writes (once; an existing file is reused) the sheet of
// EscribirMallaOBJ (tests/referencia/malla_obj.h) at about 100 MB. FicheroTGA
// writes a 4096 x 4096 uncompressed 24-bit TGA of noisy gradients.
// HacerSala builds a hall like the walkthrough's (3000 x 400 x 3500, floor,
// ceiling and four walls) tessellated into about `caras` triangles, and a
// walk of sphere centres 45 above the floor.
#ifndef TALO_DATOS_BENCH_H
#define TALO_DATOS_BENCH_H

#include <string>
#include <vector>

#include "malla_obj.h"
#include "modelo.h"

// The name used in benchmark names ("v/vt/vn" ...).
const char *NombreForma(FormaOBJ forma);

std::string FicheroOBJ(const std::string &dir, FormaOBJ forma);
std::string FicheroTGA(const std::string &dir);

long long TamFichero(const std::string &ruta);

struct SalaBench {
    std::vector<Vector> vertices;
    std::vector<Cara> caras;
    std::vector<Vector> centros;   // a walk through the hall, 45 above the floor
};

void HacerSala(int caras, SalaBench *sala);
Modelo ModeloDeSala(SalaBench *sala);

// The data folder, the first argument of every benchmark program: takes it
// off the argument list, so Google Benchmark sees only its own flags. Prints
// the usage and exits with 2 when it is missing.
std::string TomarDirectorioDatos(int *argc, char ***argv);

#endif
