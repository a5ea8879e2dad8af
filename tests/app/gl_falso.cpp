// gl_falso.cpp - records each call of the overlay into Registro. Characters
// from glutBitmapCharacter are appended to the text of the last raster
// position, so each text line is one entry.
#include "gl_falso.h"

#include <GL/glut.h>

std::vector<Llamada> Registro;
int RelojFalso = 0;
int LecturasReloj = 0;
double AspectoPerspectiva = 0.0;

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
    if (fuente != GLUT_BITMAP_HELVETICA_10 || Registro.empty() || Registro.back().nombre != "glRasterPos3f") {
        Anotar("glutBitmapCharacter fuera de lugar", {(float)c});
        return;
    }
    Registro.back().texto += (char)c;
}

// ---- render state, frame, reshape and model drawing

static GLuint SiguienteTextura = 1;

void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    Anotar("glClearColor", {r, g, b, a});
}
void GLAPIENTRY glClear(GLbitfield m) { Anotar("glClear", {(float)m}); }
void GLAPIENTRY glLightModelfv(GLenum p, const GLfloat *v)
{
    Anotar("glLightModelfv", {(float)p, v[0], v[1], v[2], v[3]});
}
void GLAPIENTRY glLightfv(GLenum l, GLenum p, const GLfloat *v)
{
    Anotar("glLightfv", {(float)l, (float)p, v[0], v[1], v[2], v[3]});
}
void GLAPIENTRY glColorMaterial(GLenum c, GLenum m) { Anotar("glColorMaterial", {(float)c, (float)m}); }
void GLAPIENTRY glMaterialfv(GLenum c, GLenum p, const GLfloat *v)
{
    Anotar("glMaterialfv", {(float)c, (float)p, v[0], v[1], v[2], v[3]});
}
void GLAPIENTRY glMateriali(GLenum c, GLenum p, GLint v)
{
    Anotar("glMateriali", {(float)c, (float)p, (float)v});
}
void GLAPIENTRY glPixelStorei(GLenum p, GLint v) { Anotar("glPixelStorei", {(float)p, (float)v}); }
void GLAPIENTRY glGenTextures(GLsizei n, GLuint *t)
{
    for (GLsizei k = 0; k < n; k++) t[k] = SiguienteTextura++;
    Anotar("glGenTextures", {(float)n, (float)t[0]});
}
void GLAPIENTRY glBindTexture(GLenum o, GLuint t) { Anotar("glBindTexture", {(float)o, (float)t}); }
void GLAPIENTRY glTexImage2D(GLenum o, GLint nivel, GLint interno, GLsizei ancho, GLsizei alto, GLint borde,
                             GLenum formato, GLenum tipo, const GLvoid *pixeles)
{
    Anotar("glTexImage2D", {(float)o, (float)nivel, (float)interno, (float)ancho, (float)alto, (float)borde,
                            (float)formato, (float)tipo});
    // Keep the bytes OpenGL would read, to compare after the buffer is freed.
    int bytes = ancho * alto * (formato == GL_RGBA ? 4 : 3);
    Registro.back().texto.assign((const char *)pixeles, (size_t)bytes);
}
void GLAPIENTRY glTexParameterf(GLenum o, GLenum p, GLfloat v)
{
    Anotar("glTexParameterf", {(float)o, (float)p, v});
}
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Anotar("glTranslatef", {x, y, z}); }
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h)
{
    Anotar("glViewport", {(float)x, (float)y, (float)w, (float)h});
}
void GLAPIENTRY glMatrixMode(GLenum m) { Anotar("glMatrixMode", {(float)m}); }
void GLAPIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    Anotar("glOrtho", {(float)l, (float)r, (float)b, (float)t, (float)n, (float)f});
}
void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Anotar("glColor4f", {r, g, b, a}); }
void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Anotar("glNormal3f", {x, y, z}); }
void GLAPIENTRY glTexCoord3f(GLfloat x, GLfloat y, GLfloat z) { Anotar("glTexCoord3f", {x, y, z}); }
void GLAPIENTRY gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                          GLdouble ux, GLdouble uy, GLdouble uz)
{
    Anotar("gluLookAt", {(float)ex, (float)ey, (float)ez, (float)cx, (float)cy, (float)cz, (float)ux,
                         (float)uy, (float)uz});
}
void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspecto, GLdouble cerca, GLdouble lejos)
{
    Anotar("gluPerspective", {(float)fovy, (float)aspecto, (float)cerca, (float)lejos});
    AspectoPerspectiva = aspecto;
}
void FGAPIENTRY glutSwapBuffers() { Anotar("glutSwapBuffers", {}); }
