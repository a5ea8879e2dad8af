// superficie.h - from a signed-distance field to a closed triangle mesh: the
// field polygonised, simplified, and put back onto the surface with the
// field's gradient as vertex normals.
#ifndef TALO_GENERADOR_SUPERFICIE_H
#define TALO_GENERADOR_SUPERFICIE_H

#include "geometria.h"
#include "malla.h"

// A scalar field: negative inside the solid, positive outside, roughly a
// distance near the surface.
typedef double (*Campo)(Punto3 p);

// A figure from its field, which must be positive on the boundary of the box
// [minimo, maximo]: polygonised on a grid of step `paso` (closed, faces
// counter-clockwise seen from outside), simplified to `carasObjetivo` faces,
// each vertex put back onto the surface and given the normalised field
// gradient as its normal, pointing outward. No texture coordinates.
Malla MallaDeCampo(Campo campo, Punto3 minimo, Punto3 maximo, double paso, int carasObjetivo);

#endif
