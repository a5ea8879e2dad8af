// texturas.h - the four procedural textures, and the places in them that the
// meshes are made to meet.
#ifndef TALO_GENERADOR_TEXTURAS_H
#define TALO_GENERADOR_TEXTURAS_H

#include "lienzo.h"

const int kLadoTextura = 512;

// The centre of texel x of a texture, in [0, 1).
inline double CentroTexel(int x) { return (x + 0.5) / kLadoTextura; }

// textura_sala.cpp
Lienzo TexturaSuelo();     // oak planks, tiles both ways
Lienzo TexturaParedes();   // stone blocks, tiles across; one repeat is the wall's height
Lienzo TexturaTecho();     // plaster between dark beams, tiles both ways
// textura_vampiro.cpp
Lienzo TexturaVampiro();   // the woman's atlas (see figura_mujer.cpp for the bands)

// The walls texture holds one chestnut stone; its centre, in texture
// coordinates. The walls' last corner samples it, which colours the horse.
const double kPiedraCastanaS = 0.25;
const double kPiedraCastanaT = 0.5;

// Bands of the woman's texture atlas, in t.
const double kBandaFaldaFin = 0.42;     // [0, 0.42)   red skirt
const double kBandaCorpinoFin = 0.60;   // [0.42, 0.60) black bodice and sleeves
const double kBandaPeloFin = 0.72;      // [0.60, 0.72) hair, then skin up to 1
// Heights above the floor mapped onto the head's bands.
const double kCabezaDesde = 44.0;
const double kCabezaHasta = 57.0;

#endif
