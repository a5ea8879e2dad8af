// entrada.cpp - keyboard and pointer callbacks.
//
// Keys only set, clear or flip flags that the tick reads; Escape, 'r' and the
// pointer act at once. Keys are compared by exact character code, so only the
// lower-case letters act.
#include <cstdlib>

#include "globales.h"

// 0 becomes 1, anything else becomes 0.
static int Alternar(int bandera) { return bandera == 0 ? 1 : 0; }

void PulsarSI(unsigned char tecla, int, int)
{
    if (tecla == 27) exit(0);
    if (tecla == 'r') IniciarCamara(&camara);
    if (tecla == 'w') WWW = 1;
    if (tecla == 's') SSS = 1;
    if (tecla == 'a') AAA = 1;
    if (tecla == 'd') DDD = 1;
    if (tecla == 'q') QQQ = 1;
    if (tecla == 'e') EEE = 1;
    if (tecla == 'z') ZZZ = 1;
    if (tecla == 'x') XXX = 1;
    if (tecla == 'c') CCC = Alternar(CCC);
    if (tecla == 'v') VVV = Alternar(VVV);
    if (tecla == ' ') SPACE = 1;
}

void PulsarNO(unsigned char tecla, int, int)
{
    if (tecla == 'w') WWW = 0;
    if (tecla == 's') SSS = 0;
    if (tecla == 'a') AAA = 0;
    if (tecla == 'd') DDD = 0;
    if (tecla == 'q') QQQ = 0;
    if (tecla == 'e') EEE = 0;
    if (tecla == 'z') ZZZ = 0;
    if (tecla == 'x') XXX = 0;
    if (tecla == ' ') SPACE = 0;
}

// 75 pixels of travel turn the view by one radian; left and up are positive.
// The first event has nothing to be measured from and only records where the
// pointer is.
void Raton(int x, int y)
{
    if (RatonIniciado && (x != PosX || y != PosY)) {
        float giro = (float)(PosX - x) / 75.0f;
        float mirar = (float)(PosY - y) / 75.0f;
        GirarCamaraY(&camara, giro);
        CamaraMirar(&camara, mirar);
    }
    RatonIniciado = 1;
    PosX = x;
    PosY = y;
}
