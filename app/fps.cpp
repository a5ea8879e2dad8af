// fps.cpp - frame-rate counter and the overlay over the finished scene.
//
// The overlay is drawn in eye coordinates on the plane z = -1 under the
// scene's perspective projection: a white box with a red outline at the centre
// of the view, the frame-rate text in red from the centre, and the two model
// statistics lines in the upper left. The rate is that of the single frame
// interval just measured; its text is refreshed once every 26 frames.
#include <GL/glut.h>

#include <cstdio>
#include <cstring>

#include "globales.h"

void FormatearEstadisticas()
{
    snprintf(TextoCaballo, sizeof TextoCaballo, "El Caballo Tiene %d Vertices y %d Poligonos",
             Caballo.NumVertices, Caballo.NumCaras);
    snprintf(TextoMujer, sizeof TextoMujer, "La Mujer   Tiene %d Vertices y %d Poligonos", Mujer.NumVertices,
             Mujer.NumCaras);
}

static void Esquina(float x, float y) { glVertex3f(x, y, -1.0f); }

void FPS()
{
    static int TAnterior = 0;
    static int TActual = 0;
    static int veces = 0;
    static int i = 0;
    static int pv = 1;
    static char Texto[16] = {0};
    static float FPS = 0.0f;

    if (pv) {
        TAnterior = RelojMilisegundos();   // the first frame only starts the clock
        pv = 0;
    } else {
        TActual = RelojMilisegundos();
        // Difference taken modulo 2^32 so a clock that wraps still counts forward.
        FPS = (float)(int)((unsigned)TActual - (unsigned)TAnterior);
        TAnterior = TActual;
        FPS = 1000.0f / FPS;
        if (veces == 25) {
            snprintf(Texto, sizeof Texto, "FPS: %0.f\n", (double)FPS);
            veces = 0;
        } else {
            veces++;
        }
    }

    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
#ifndef MODO_WIRE
    glDisable(GL_LIGHTING);
#endif
    glBegin(GL_QUADS);
    Esquina(0.0f, 0.02f);
    Esquina(0.06f, 0.02f);
    Esquina(0.06f, -0.01f);
    Esquina(0.0f, -0.01f);
    glEnd();

    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINES);
    Esquina(0.0f, 0.02f);
    Esquina(0.06f, 0.02f);
    Esquina(0.06f, 0.02f);
    Esquina(0.06f, -0.01f);
    Esquina(0.06f, -0.01f);
    Esquina(0.0f, -0.01f);
    Esquina(0.0f, -0.01f);
    Esquina(0.0f, 0.02f);
    glEnd();

    // The raster colour is taken from the current colour at each position.
    glColor3f(1.0f, 0.0f, 0.0f);
    glRasterPos3f(0.0f, 0.0f, -1.0f);
    for (i = 0; i < (int)strlen(Texto); i++) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, Texto[i]);
    glRasterPos3f(-0.7f, 0.5f, -1.0f);
    for (i = 0; i < (int)strlen(TextoCaballo); i++)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, TextoCaballo[i]);
    glRasterPos3f(-0.7f, 0.55f, -1.0f);
    for (i = 0; i < (int)strlen(TextoMujer); i++)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, TextoMujer[i]);

    glEnable(GL_DEPTH_TEST);
#ifndef MODO_WIRE
    glEnable(GL_LIGHTING);
#endif
    glPopMatrix();
}
