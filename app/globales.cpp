// globales.cpp - the walkthrough's globals and their initial values.
#include "globales.h"

const Vector Caida = {0.0f, -10.0f, 0.0f};
const Vector Salto = {0.0f, 15.0f, 0.0f};
const float LuzAmb[4] = {0.7f, 0.7f, 0.7f, 1.0f};
const float LuzDif[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float LuzEsp[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float LuzPos[4] = {100.0f, 100.0f, 100.0f, 0.0f};
const float Niebla[4] = {0.0f, 0.0f, 0.0f, 0.0f};

Camara camara;
Modelo Techo, Suelo, Paredes, Mujer, Caballo;
IndiceColision IndiceTecho, IndiceSuelo, IndiceParedes;
Imagen TMujer, TParedes, TSuelo, TTecho;

char TextoCaballo[128];
char TextoMujer[128];

int WWW, SSS, AAA, DDD, QQQ, EEE, ZZZ, XXX, SPACE, CCC, VVV;
int PosX, PosY;
int RatonIniciado;

Vector Mov;
