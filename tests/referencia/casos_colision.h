// casos_colision.h - random rooms, spheres and movements for checking
// XoqueEsferaModelo against the plain face-by-face loop.
//
//   void GenerarCasoColision(std::mt19937_64 *g, CasoColision *caso);
//   Vector XoqueCaraACara(float radio, Vector centro, Vector mov, Modelo m);
//   int CompararCasoColision(const CasoColision &caso, std::string *detalle);
//   int CompararCasoIndice(const CasoColision &caso, std::string *detalle);
//
// A case is a room (vertices and faces), a radius, a centre and a movement.
// Rooms are tessellated boxes, scattered triangle soups or small closed
// meshes, at scales from 1e-30 to 1e30, with a sprinkling of degenerate
// faces, corner indices outside the vertex array and infinite or NaN
// coordinates; the faces are often shuffled, as an exporter may leave them. Centres are placed over a chosen face: inside it, on an edge,
// at a vertex, in the thin band beyond an edge or a little past it, then
// lifted along the normal to around the radius (exactly r and 0.8 r too), so
// that many faces are touched and many more are near misses.
#ifndef TALO_CASOS_COLISION_H
#define TALO_CASOS_COLISION_H

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "modelo.h"
#include "vector.h"

struct CasoColision {
    std::vector<Vector> vertices;
    std::vector<Cara> caras;
    float radio;
    Vector centro;
    Vector mov;
};

void GenerarCasoColision(std::mt19937_64 *g, CasoColision *caso);

// A Modelo record over the arrays, or the case's (not owned: never released).
Modelo ModeloDeArrays(std::vector<Vector> *vertices, std::vector<Cara> *caras);
Modelo ModeloDeCaso(CasoColision *caso);

// Adds one side of a box to the case: an n x m grid from `origen` along u
// and v, its vertices shared, each cell split into two triangles. With a
// generator each cell picks its diagonal at random and every vertex moves by
// up to `ruido` on each axis; with null all cells take the same diagonal.
void AnadirPared(std::mt19937_64 *g, CasoColision *caso, Vector origen, Vector u, Vector v, int n, int m,
                 double ruido = 0);

// A face over the corners a, b, c, every other field zero; and the triangle
// a b c added to the case on three new vertices.
Cara CaraEsquinas(int a, int b, int c);
void AnadirTriangulo(CasoColision *caso, Vector a, Vector b, Vector c);

// What a touch test saw: the distance to the plane, the clamped angle sum,
// and which of touching, sliding and pushing happened.
struct TrazaXoque {
    float d, suma;
    bool toca, desliza, empuja;
};

// XoqueEsferaPlano written straight from the stated rule on the engine's
// vector operations, step by step and without the shortcuts the engine
// takes (the skipped arc cosines); *t, if not null, says what happened.
Vector XoqueReferencia(float r, Vector centro, Vector mov, Vector v1, Vector v2, Vector v3,
                       TrazaXoque *t = nullptr);

// The face-by-face algorithm: every face in order, faces with a corner index
// outside [0, NumVertices) skipped, missing arrays taken as empty.
Vector XoqueCaraACara(float radio, Vector centro, Vector mov, Modelo m);

// Runs XoqueEsferaModelo and XoqueCaraACara on the case. Returns 1 when the
// two results agree bit for bit; otherwise 0 with a description in *detalle.
// *tocado (if not null) is set to 1 when the reference result differs from
// the movement, that is when some face was touched.
int CompararCasoColision(CasoColision *caso, std::string *detalle, int *tocado);

// The same with the collision index as well: XoqueEsferaIndice on an index
// built from the case's model must agree bit for bit with both.
int CompararCasoIndice(CasoColision *caso, std::string *detalle, int *tocado);

#endif
