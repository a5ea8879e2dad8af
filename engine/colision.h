// colision.h - a sphere about to move, against a triangle and against a model.
#ifndef TALO_COLISION_H
#define TALO_COLISION_H

#include "modelo.h"
#include "vector.h"

// Returns the movement `mov` of a sphere (radius, centre) corrected against
// the triangle v1 v2 v3, taken as a two-sided plane. The sphere touches when
// the centre is within `radio` of the plane (equality touches) and the three
// angles its foot point sees between the vertices add up to more than 6.0
// (inside the triangle, or in a thin band beyond an edge). Then:
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

#endif
