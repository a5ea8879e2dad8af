// colision.h - a sphere about to move, against a triangle, a model and a
// model's collision index.
#ifndef TALO_COLISION_H
#define TALO_COLISION_H

#include "modelo.h"
#include "vector.h"

// Returns the movement `mov` of a sphere (radius, centre) corrected against
// the triangle v1 v2 v3, taken as a two-sided plane. The sphere touches when
// the centre is within `radio` of the plane (equality touches) and its foot
// point is inside: the three angles it sees between the vertices (each
// cosine clamped to [-1, 1]) add up to more than 6.0 (inside the triangle, or
// in a thin band beyond an edge), or it lies within (L + C) * 2^-18 of a
// vertex (L the longest edge, C the largest coordinate magnitude). Then:
//   - if the movement brings the centre closer to the plane, only its part
//     along the plane is kept;
//   - if the centre is already closer than radio*0.8, radio*0.2 is added
//     pointing from the plane to the centre.
// A triangle without a plane (coincident or collinear vertices, or infinite
// or NaN coordinates) never touches: `mov` comes back unchanged.
Vector XoqueEsferaPlano(float radio, Vector centro, Vector mov, Vector v1, Vector v2, Vector v3);

// Threads the movement through every face of the model in face order (the
// centre stays the same; corrections compose and pushes add up). A face with
// a corner index outside [0, NumVertices) is skipped; a missing face or
// vertex array counts as empty. Only the counts, Vertices and Caras are read.
Vector XoqueEsferaModelo(float radio, Vector centro, Vector mov, Modelo m);

// One face as the collision index holds it: its number in the model, and a
// centre and reach such that a sphere can touch the face only when its centre
// lies within `alcance` + its radius of `centro`.
struct EsferaCara {
    int cara;
    float centro[3];
    float alcance;
};

// A collision index: the faces of a model that can ever be touched, sorted
// into a uniform grid of cells. A plain record: copies share the arrays and
// only one copy may release them.
struct IndiceColision {
    Modelo modelo;     // the model as indexed (arrays shared, not owned)
    bool porModelo;    // building ran out of memory: queries go face by face through `modelo`
    int NumCaras;      // faces held: in cells, then the large ones
    int NumGrandes;    // faces too large for a cell, at the end of `caras`
    int celdas[3];     // cells along x, y, z
    float origen[3];   // low corner of the grid
    float lado;        // cell side
    int *inicio;       // first face of each cell (one entry per cell, plus one)
    EsferaCara *caras;
};

// Builds the index of the model's faces. It is a snapshot: it reads the
// vertex and face arrays now and again at every query, so the arrays must
// outlive it unchanged; after editing them, build the index again. An empty
// or malformed model gives an index of no faces; if memory runs out the
// index holds no arrays and every query falls back to XoqueEsferaModelo.
IndiceColision IndexarModelo(Modelo m);

// Exactly, bit for bit, XoqueEsferaModelo(radio, centro, mov, m) for the
// model m as it was indexed, at a cost that depends on the faces near the
// sphere instead of on all of them. Allocates nothing.
Vector XoqueEsferaIndice(float radio, Vector centro, Vector mov, IndiceColision indice);

// Releases the index's arrays (not the model's) and leaves an index of no
// faces; releasing twice is harmless.
void LiberarIndice(IndiceColision *indice);

#endif
