// gl_falso.cpp - records each call of the overlay into Registro. Characters
// from glutBitmapCharacter are appended to the text of the last raster
// position, so each text line is one entry.
#include "gl_falso.h"

#include <GL/glut.h>

std::vector<Llamada> Registro;
int RelojFalso = 0;
int LecturasReloj = 0;

void *glutBitmapHelvetica10 = nullptr;

static void Anotar(const char *nombre, std::vector<float> args)
{
    Registro.push_back(Llamada{nombre, args, ""});
}

int RelojMilisegundos()
{
    LecturasReloj++;
    return RelojFalso;
}

void GLAPIENTRY glPushMatrix() { Anotar("glPushMatrix", {}); }
void GLAPIENTRY glPopMatrix() { Anotar("glPopMatrix", {}); }
void GLAPIENTRY glLoadIdentity() { Anotar("glLoadIdentity", {}); }
void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { Anotar("glColor3f", {r, g, b}); }
void GLAPIENTRY glDisable(GLenum c) { Anotar("glDisable", {(float)c}); }
void GLAPIENTRY glEnable(GLenum c) { Anotar("glEnable", {(float)c}); }
void GLAPIENTRY glBegin(GLenum m) { Anotar("glBegin", {(float)m}); }
void GLAPIENTRY glEnd() { Anotar("glEnd", {}); }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Anotar("glVertex3f", {x, y, z}); }
void GLAPIENTRY glRasterPos3f(GLfloat x, GLfloat y, GLfloat z) { Anotar("glRasterPos3f", {x, y, z}); }

void FGAPIENTRY glutBitmapCharacter(void *fuente, int c)
{
    if (fuente != GLUT_BITMAP_HELVETICA_10 || Registro.empty() ||
        Registro.back().nombre != "glRasterPos3f") {
        Anotar("glutBitmapCharacter fuera de lugar", {(float)c});
        return;
    }
    Registro.back().texto += (char)c;
}
