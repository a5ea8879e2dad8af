// simplificacion.h - reducing a closed triangle mesh by edge collapses.
#ifndef TALO_GENERADOR_SIMPLIFICACION_H
#define TALO_GENERADOR_SIMPLIFICACION_H

#include "malla.h"

// Collapses edges of a closed mesh, least visible first, until it has at most
// `carasObjetivo` faces, keeping it closed and its winding; vertex normals
// and texture coordinates are dropped (the caller recomputes them).
void SimplificarMalla(Malla *m, int carasObjetivo);

#endif
