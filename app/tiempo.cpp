// tiempo.cpp - the simulation tick.
//
// Every speed is an amount per tick: the movement is rebuilt from the held
// keys on every run, corrected against the room when collision is on (through
// the indices built once at start-up, so the cost of a tick does not grow with
// the room), and applied only when it is longer than 1. The tick re-arms itself, since a
// GLUT timer fires once per registration.
#include <GL/glut.h>

#include "colision.h"
#include "globales.h"

static const float VELOCIDAD = 7.0f;   // walking, per tick
static const float GIRO = 0.05f;       // key turn, radians per tick
static const float RADIO = 50.0f;      // collision sphere around the eye

void Tiempo(int)
{
    AnularVector(&Mov);
    if (WWW) Mov = CamaraVecFrente(camara, Mov, VELOCIDAD);
    if (SSS) Mov = CamaraVecFrente(camara, Mov, -VELOCIDAD);
    if (DDD) Mov = CamaraVecLateral(camara, Mov, VELOCIDAD);
    if (AAA) Mov = CamaraVecLateral(camara, Mov, -VELOCIDAD);
    if (EEE) GirarCamaraY(&camara, -GIRO);
    if (QQQ) GirarCamaraY(&camara, GIRO);
    if (ZZZ) CamaraMirar(&camara, GIRO);
    if (XXX) CamaraMirar(&camara, -GIRO);
    if (SPACE) Mov = SumaVectores(Mov, Salto);
    if (VVV) Mov = SumaVectores(Mov, Caida);
    if (CCC) {
        Vector ojo = camara.Posicion;   // the eye has not moved yet this tick
        Mov = XoqueEsferaIndice(RADIO, ojo, Mov, IndiceTecho);
        Mov = XoqueEsferaIndice(RADIO, ojo, Mov, IndiceSuelo);
        Mov = XoqueEsferaIndice(RADIO, ojo, Mov, IndiceParedes);
    }
    if (ModuloVector(Mov) > 1.0f) CamaraAvance(&camara, Mov);
    glutTimerFunc(1, Tiempo, 1);
    glutPostRedisplay();
}

void IndexarSala()
{
    LiberarIndice(&IndiceTecho);
    LiberarIndice(&IndiceSuelo);
    LiberarIndice(&IndiceParedes);
    IndiceTecho = IndexarModelo(Techo);
    IndiceSuelo = IndexarModelo(Suelo);
    IndiceParedes = IndexarModelo(Paredes);
}
