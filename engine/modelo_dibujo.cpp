// modelo_dibujo.cpp - immediate-mode drawing of a Modelo, one triangle at a time.
//
// Compiled once per program: with MODO_WIRE every routine sets opaque white
// instead of mid grey. Each face is its own glBegin/glEnd pair; its first
// triple is the one index of each corner into every array the routine reads.
// A face whose corner index falls outside any of those arrays is skipped, so
// a model whose counts disagree with its faces never reads past an array.
#include <GL/gl.h>

#include "modelo.h"

static void ColorModelo()
{
#ifdef MODO_WIRE
    glColor3f(1.0f, 1.0f, 1.0f);
#else
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
#endif
}

// True when all three corners of f index an array of n elements.
static bool CaraDentro(const Cara &f, int n)
{
    return IndiceValido(f.Vert[0], n) && IndiceValido(f.Vert[1], n) && IndiceValido(f.Vert[2], n);
}

static void Vertice(const Vector *a, int k)  { glVertex3f(a[k].x, a[k].y, a[k].z); }
static void Normal(const Vector *a, int k)   { glNormal3f(a[k].x, a[k].y, a[k].z); }
static void CTextura(const Vector *a, int k) { glTexCoord3f(a[k].x, a[k].y, a[k].z); }

void DibujarModeloTODO(Modelo m)
{
    ColorModelo();
    for (int i = 0; i < m.NumCaras; i++) {
        Cara f = m.Caras[i];
        if (!CaraDentro(f, m.NumVertices) || !CaraDentro(f, m.NumNormales) ||
            !CaraDentro(f, m.NumCTexturas))
            continue;
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; k++) {
            Normal(m.Normales, f.Vert[k]);
            CTextura(m.CTexturas, f.Vert[k]);
            Vertice(m.Vertices, f.Vert[k]);
        }
        glEnd();
    }
}

void DibujarModeloSN(Modelo m)
{
    ColorModelo();
    for (int i = 0; i < m.NumCaras; i++) {
        Cara f = m.Caras[i];
        if (!CaraDentro(f, m.NumVertices) || !CaraDentro(f, m.NumCTexturas))
            continue;
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; k++) {
            CTextura(m.CTexturas, f.Vert[k]);
            Vertice(m.Vertices, f.Vert[k]);
        }
        glEnd();
    }
}

void DibujarModeloST(Modelo m)
{
    ColorModelo();
    for (int i = 0; i < m.NumCaras; i++) {
        Cara f = m.Caras[i];
        if (!CaraDentro(f, m.NumVertices) || !CaraDentro(f, m.NumNormales))
            continue;
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; k++) {
            Normal(m.Normales, f.Vert[k]);
            Vertice(m.Vertices, f.Vert[k]);
        }
        glEnd();
    }
}

// Draws the vertices only, with the given primitive (triangles or the a-b-c
// line strip of the wireframe).
static void DibujarSoloVertices(Modelo m, GLenum primitiva)
{
    ColorModelo();
    for (int i = 0; i < m.NumCaras; i++) {
        Cara f = m.Caras[i];
        if (!CaraDentro(f, m.NumVertices))
            continue;
        glBegin(primitiva);
        for (int k = 0; k < 3; k++)
            Vertice(m.Vertices, f.Vert[k]);
        glEnd();
    }
}

void DibujarModeloSNT(Modelo m)  { DibujarSoloVertices(m, GL_TRIANGLES); }

// A line strip, not a loop: the edge c-a is left to the neighbouring face.
void DibujarModeloWire(Modelo m) { DibujarSoloVertices(m, GL_LINE_STRIP); }

void DibujarModelo(Modelo m)
{
    bool v = m.NumVertices != 0, f = m.NumCaras != 0;
    bool n = m.NumNormales != 0, t = m.NumCTexturas != 0;
    if (v && f && n && t)   DibujarModeloTODO(m);
    if (v && f && !n && !t) DibujarModeloSNT(m);
    if (v && f && !n && t)  DibujarModeloSN(m);
    if (v && f && n && !t)  DibujarModeloST(m);
}

static void Eje(float r, float g, float b, float x0, float y0, float z0, float x1, float y1, float z1)
{
    glBegin(GL_LINES);
    glColor3f(r, g, b);
    glVertex3f(x0, y0, z0);
    glVertex3f(x1, y1, z1);
    glEnd();
}

void EjesCordenadas(float largo)
{
    Eje(1.0f, 0.0f, 0.0f, 0.0f, 0.1f, 0.0f, largo, 0.1f, 0.0f);   // x, raised by 0.1
    Eje(0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, largo, 0.0f);
    Eje(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, largo);
}
