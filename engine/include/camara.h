// camara.h - four-point camera: eye, front point, up point, side point.
#ifndef TALO_CAMARA_H
#define TALO_CAMARA_H

#include "vector.h"

struct Camara {
    Vector Posicion;   // the eye
    Vector Frente;     // a point straight ahead
    Vector Arriba;     // a point above the front point
    Vector Lateral;    // a point to the right of the eye
};

// Eye at the origin looking along -z, +y up, +x right: Frente (0.01, 0, -99999),
// Arriba (0.01, 99999, -99999), Lateral (99999, 0, 0). The 0.01 keeps the
// view's x-y projection off the y axis (see CamaraMirar).
void IniciarCamara(Camara *c);

// Turn Frente, Arriba and Lateral about the line through Posicion parallel to
// the axis, with GirarVerticeX/Y/Z (so X turns the opposite way to Y and Z).
// Posicion does not move.
void GirarCamaraX(Camara *c, float angulo);
void GirarCamaraY(Camara *c, float angulo);   // positive turns left
void GirarCamaraZ(Camara *c, float angulo);

// Pitch: Frente and Arriba turn together about the side axis through the eye,
// up for a positive angle. With B = Frente - Posicion fixed on entry and phi
// its angle to +y, the turn happens only if phi > 0.2 (turning up) or
// phi < 3.1 (turning down, angle <= 0); it is not clipped, so one call may
// carry the view past a limit. Each point is written in the basis
// (B, A = Arriba - Frente) from its x and y components; if that solve is
// singular or not finite, the pair of components best suited to it is used
// instead, and if none is (B and A parallel) the camera is left unchanged.
// A finite camera therefore stays finite.
void CamaraMirar(Camara *c, float angulo);

// acumulado + unit(Frente - Posicion) * velocidad, and the same with Lateral.
// A zero direction stays zero, giving acumulado back.
Vector CamaraVecFrente(Camara c, Vector acumulado, float velocidad);
Vector CamaraVecLateral(Camara c, Vector acumulado, float velocidad);

// Adds v to all four points.
void CamaraAvance(Camara *c, Vector v);

#endif
