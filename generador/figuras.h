// figuras.h - the two figures standing in the hall.
#ifndef TALO_GENERADOR_FIGURAS_H
#define TALO_GENERADOR_FIGURAS_H

#include "malla.h"

// The woman, standing on the floor (y = -50) and facing +z, in world
// coordinates (she is drawn where she stands), with normals and texture
// coordinates into the Vampiro texture. She ends on the corner whose normal
// looks most nearly at the light (figura_mujer.cpp).
Malla GenerarMujer();
// The horse, side-on and facing -x, with normals only. Drawn moved by
// (0, 0, -50), so its file z is its world z + 50.
Malla GenerarCaballo();

#endif
