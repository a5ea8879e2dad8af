// modelo_gl.cpp - the OpenGL half of the model module: immediate-mode
// drawing of a Modelo, one triangle at a time.
//
// Compiled once per build setting: with MODO_WIRE every routine sets opaque
// white instead of mid grey. Each face is its own glBegin/glEnd pair; its first
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

// What a variant sends for each corner besides the vertex, and with which
// primitive. Per corner the normal comes first, then the texture coordinate,
// then the vertex, which takes the current attributes with it.
struct Variante {
    GLenum primitiva;
    bool normales;
    bool ctexturas;
};

// The one loop behind all five variants: the colour once, then one
// glBegin/glEnd pair per face whose corners index every array it reads.
static void DibujarCaras(Modelo m, Variante v)
{
    ColorModelo();
    for (int i = 0; i < m.NumCaras; i++) {
        const Cara f = m.Caras[i];
        if (!CaraDentro(f, m.NumVertices) || (v.normales && !CaraDentro(f, m.NumNormales)) ||
            (v.ctexturas && !CaraDentro(f, m.NumCTexturas)))
            continue;
        glBegin(v.primitiva);
        for (int k = 0; k < 3; k++) {
            const int n = f.Vert[k];
            if (v.normales) glNormal3f(m.Normales[n].x, m.Normales[n].y, m.Normales[n].z);
            if (v.ctexturas) glTexCoord3f(m.CTexturas[n].x, m.CTexturas[n].y, m.CTexturas[n].z);
            glVertex3f(m.Vertices[n].x, m.Vertices[n].y, m.Vertices[n].z);
        }
        glEnd();
    }
}

void DibujarModeloTODO(Modelo m) { DibujarCaras(m, Variante{GL_TRIANGLES, true, true}); }
void DibujarModeloSN(Modelo m) { DibujarCaras(m, Variante{GL_TRIANGLES, false, true}); }
void DibujarModeloST(Modelo m) { DibujarCaras(m, Variante{GL_TRIANGLES, true, false}); }
void DibujarModeloSNT(Modelo m) { DibujarCaras(m, Variante{GL_TRIANGLES, false, false}); }

// A line strip, not a loop: the edge c-a is left to the neighbouring face.
void DibujarModeloWire(Modelo m) { DibujarCaras(m, Variante{GL_LINE_STRIP, false, false}); }

void DibujarModelo(Modelo m)
{
    bool v = m.NumVertices != 0, f = m.NumCaras != 0;
    bool n = m.NumNormales != 0, t = m.NumCTexturas != 0;
    if (v && f && n && t) DibujarModeloTODO(m);
    if (v && f && !n && !t) DibujarModeloSNT(m);
    if (v && f && !n && t) DibujarModeloSN(m);
    if (v && f && n && !t) DibujarModeloST(m);
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
