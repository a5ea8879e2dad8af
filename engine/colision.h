// colision.h - a sphere about to move, against a triangle and against a model.
#ifndef TALO_COLISION_H
#define TALO_COLISION_H

#include "modelo.h"
#include "vector.h"

// Returns the movement corrected against the triangle v1 v2 v3.
Vector XoqueEsferaPlano(float radio, Vector centro, Vector mov, Vector v1, Vector v2, Vector v3);
// Threads the movement through every face of the model, in face order.
// A face with a corner index outside the vertex array is skipped.
Vector XoqueEsferaModelo(float radio, Vector centro, Vector mov, Modelo m);

#endif
