// sala.h - the hall: floor, ceiling and walls.
#ifndef TALO_GENERADOR_SALA_H
#define TALO_GENERADOR_SALA_H

#include "malla.h"

// One texture coordinate per vertex in [0, 1] and no normals. Walls face
// into the hall; they end on a corner that lands on the chestnut stone of
// the walls texture (sala.cpp).
Malla GenerarSuelo();
Malla GenerarTecho();
Malla GenerarParedes();

#endif
