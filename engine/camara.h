// camara.h - four-point camera: eye, front point, up point, side point.
#ifndef TALO_CAMARA_H
#define TALO_CAMARA_H

#include "vector.h"

struct Camara {
    Vector Posicion;  // the eye
    Vector Frente;    // a point straight ahead
    Vector Arriba;    // a point above the front point
    Vector Lateral;   // a point to the right of the eye
};

void   IniciarCamara(Camara *c);
void   GirarCamaraX(Camara *c, float angulo);
void   GirarCamaraY(Camara *c, float angulo);   // positive turns left
void   GirarCamaraZ(Camara *c, float angulo);
void   CamaraMirar(Camara *c, float angulo);    // pitch, positive up, within limits
Vector CamaraVecFrente(Camara c, Vector acumulado, float velocidad);
Vector CamaraVecLateral(Camara c, Vector acumulado, float velocidad);
void   CamaraAvance(Camara *c, Vector v);

#endif
