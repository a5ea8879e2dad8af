// globales.cpp - the walkthrough's globals and their initial values.
#include "globales.h"

Vector Caida = {0.0f, -10.0f, 0.0f};
Vector Salto = {0.0f, 15.0f, 0.0f};
float  LuzAmb[4] = {0.7f, 0.7f, 0.7f, 1.0f};
float  LuzDif[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float  LuzEsp[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float  LuzPos[4] = {100.0f, 100.0f, 100.0f, 0.0f};
float  Niebla[4] = {0.0f, 0.0f, 0.0f, 0.0f};

Camara camara;
Modelo Techo, Suelo, Paredes, Mujer, Caballo;
Imagen TMujer, TParedes, TSuelo, TTecho;

char TextoCaballo[128];
char TextoMujer[128];

int WWW, SSS, AAA, DDD, QQQ, EEE, ZZZ, XXX, SPACE, CCC, VVV;
int PosX, PosY;
int RatonIniciado;

Vector Mov;
