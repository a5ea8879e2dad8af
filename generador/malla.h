// malla.h - a triangle mesh as the generator builds it, before it is written
// as an OBJ file.
#ifndef TALO_GENERADOR_MALLA_H
#define TALO_GENERADOR_MALLA_H

#include <vector>

#include "geometria.h"

struct Triangulo {
    int a, b, c;   // zero-based vertex indices, counter-clockwise seen from outside
};

// normales and ctexturas are either empty or hold one element per vertex, so
// one index addresses all three.
struct Malla {
    std::vector<Punto3> vertices;
    std::vector<Punto3> normales;
    std::vector<Punto3> ctexturas;   // s, t in x, y; z is 0
    std::vector<Triangulo> caras;
};

// The cost of ending the mesh on vertex v (lower is better).
typedef double (*CosteEsquina)(const Malla *m, int v);

// Finds the corner of lowest cost over all faces (the first one on a tie)
// and moves its face to the end of the face list, rotated so that corner
// comes last; the winding is kept. The drawing leaves the last corner's
// normal and texture coordinate current, and the scene uses that on purpose
// (see sala.cpp and figura_mujer.cpp).
void TerminarEnMejorEsquina(Malla *m, CosteEsquina coste);

#endif
