// Render state, frame, reshape and model drawing against recorded GL calls
// (gl_falso.cpp). Built twice: as is, and with MODO_WIRE. The calls that do
// not depend on the test's own models and images come from
// llamadas_esperadas.txt, which the real-program tests read too.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gl_falso.h"
#include "globales.h"
#include "llamadas.h"

namespace {

#ifdef MODO_WIRE
const E kColor = {"glColor3f", {1, 1, 1}};
#else
const E kColor = {"glColor4f", {0.5f, 0.5f, 0.5f, 1}};
#endif

// A model with n vertices (x = index), t texture coordinates (y = index),
// m normals (z = index) and the given faces (one-based, as AddCara takes them).
Modelo Hacer(int n, int t, int m, std::vector<std::vector<int>> caras)
{
    Modelo r;
    IniciarModelo(&r);
    for (int k = 0; k < n; k++) AddVertice(&r, (float)k, 0.5f, 0.25f);
    for (int k = 0; k < t; k++) AddCTextura(&r, 0.125f, (float)k, 0.0f);
    for (int k = 0; k < m; k++) AddNormal(&r, 0.0f, 1.0f, (float)k);
    for (auto &c : caras) AddCara(&r, c[0], c[1], c[2], 0, 0, 0);
    return r;
}

E V(int k) { return {"glVertex3f", {(float)k, 0.5f, 0.25f}}; }
E T(int k) { return {"glTexCoord3f", {0.125f, (float)k, 0.0f}}; }
E N(int k) { return {"glNormal3f", {0.0f, 1.0f, (float)k}}; }

const float kTri = (float)GL_TRIANGLES, kTira = (float)GL_LINE_STRIP;

// A model's calls: its colour, then each face's corners between
// glBegin(tipo) and glEnd.
std::vector<E> Caras(float tipo, const std::vector<std::vector<E>> &caras)
{
    std::vector<E> e = {kColor};
    for (const std::vector<E> &c : caras) {
        e.push_back({"glBegin", {tipo}});
        e.insert(e.end(), c.begin(), c.end());
        e.push_back({"glEnd", {}});
    }
    return e;
}

// ---------------------------------------------------------------- drawing

TEST(Dibujo, LaVarianteSigueALasCuentas)
{
    struct Caso {
        int v, t, n;
        std::vector<E> esquinas;   // per corner 0, 1, 2 in calling order
    } casos[] = {
        {3, 3, 3, {N(0), T(0), V(0), N(1), T(1), V(1), N(2), T(2), V(2)}},   // TODO
        {3, 0, 0, {V(0), V(1), V(2)}},                                       // SNT
        {3, 3, 0, {T(0), V(0), T(1), V(1), T(2), V(2)}},                     // SN
        {3, 0, 3, {N(0), V(0), N(1), V(1), N(2), V(2)}},                     // ST
    };
    for (const Caso &c : casos) {
        Modelo m = Hacer(c.v, c.t, c.n, {{1, 2, 3}, {1, 2, 3}});
        Registro.clear();
        DibujarModelo(m);
        SCOPED_TRACE("counts v t n = " + std::to_string(c.v) + " " + std::to_string(c.t) + " " +
                     std::to_string(c.n));
        Comparar(Caras(kTri, {c.esquinas, c.esquinas}));
        LiberarModelo(&m);
    }
}

TEST(Dibujo, NadaSinVerticesOCaras)
{
    Modelo sinCaras = Hacer(3, 3, 3, {});
    Modelo sinVertices = Hacer(0, 3, 3, {{1, 2, 3}});
    Modelo vacio;
    IniciarModelo(&vacio);
    Registro.clear();
    DibujarModelo(sinCaras);
    DibujarModelo(sinVertices);
    DibujarModelo(vacio);
    EXPECT_TRUE(Registro.empty());
    LiberarModelo(&sinCaras);
    LiberarModelo(&sinVertices);
}

// A face is drawn only when its three corners index every array the routine
// reads; the others are skipped whole.
TEST(Dibujo, LasCarasFueraDeLosArraysSeSaltan)
{
    // 4 vertices, 3 texture coordinates, 2 normals.
    Modelo m = Hacer(4, 3, 2, {{1, 2, 1}, {1, 2, 3}, {2, 3, 4}, {0, 1, 2}, {1, 2, 5}});

    Registro.clear();
    DibujarModeloTODO(m);   // only face 1 lies inside the normal array
    Comparar(Caras(kTri, {{N(0), T(0), V(0), N(1), T(1), V(1), N(0), T(0), V(0)}}));

    Registro.clear();
    DibujarModeloSN(m);   // faces 1 and 2 lie inside the texture coordinates
    Comparar(Caras(kTri, {{T(0), V(0), T(1), V(1), T(0), V(0)}, {T(0), V(0), T(1), V(1), T(2), V(2)}}));

    Registro.clear();
    DibujarModeloST(m);
    Comparar(Caras(kTri, {{N(0), V(0), N(1), V(1), N(0), V(0)}}));

    // Faces 1 to 3 lie inside the vertex array.
    const std::vector<std::vector<E>> tres = {{V(0), V(1), V(0)}, {V(0), V(1), V(2)}, {V(1), V(2), V(3)}};
    Registro.clear();
    DibujarModeloSNT(m);
    Comparar(Caras(kTri, tres));

    Registro.clear();
    DibujarModeloWire(m);
    Comparar(Caras(kTira, tres));
    LiberarModelo(&m);
}

TEST(Dibujo, Ejes)
{
    Registro.clear();
    EjesCordenadas(10.0f);
    Comparar(Esperadas("ejes"));
}

// ---------------------------------------------------------------- reshape

TEST(Redimensionar, PerspectivaYSuGuardaDeAlturaCero)
{
    const float p = (float)GL_PROJECTION, mv = (float)GL_MODELVIEW;
    Registro.clear();
    RedimensionarPerspectiva(800, 0);
    Comparar({{"glViewport", {0, 0, 800, 1}},
              {"glMatrixMode", {p}},
              {"glLoadIdentity", {}},
              {"gluPerspective", {60, 800, 1, 10000}},
              {"glMatrixMode", {mv}},
              {"glLoadIdentity", {}}});
    RedimensionarPerspectiva(1280, 720);
    EXPECT_EQ(AspectoPerspectiva, (double)(1280.0f / 720.0f));   // rounded to a 32-bit float
    EXPECT_NE(AspectoPerspectiva, 1280.0 / 720.0);
}

TEST(Redimensionar, Ortografica)
{
    const float p = (float)GL_PROJECTION, mv = (float)GL_MODELVIEW;
    Registro.clear();
    RedimensionarOrtho(200, 100);
    Comparar({{"glViewport", {0, 0, 200, 100}},
              {"glMatrixMode", {p}},
              {"glLoadIdentity", {}},
              {"glOrtho", {-200, 200, -100, 100, 1, -1}},
              {"glMatrixMode", {mv}},
              {"glLoadIdentity", {}}});
    Registro.clear();
    RedimensionarOrtho(100, 200);
    ASSERT_EQ(Registro.size(), 6u);
    EXPECT_EQ(Registro[3].args, (std::vector<float>{-100, 100, -200, 200, 1, -1}));
    Registro.clear();
    RedimensionarOrtho(100, 0);   // taken as 100 x 1: wider than high
    ASSERT_EQ(Registro.size(), 6u);
    EXPECT_EQ(Registro[0].args, (std::vector<float>{0, 0, 100, 1}));
    EXPECT_EQ(Registro[3].args, (std::vector<float>{-10000, 10000, -100, 100, 1, -1}));
}

// ---------------------------------------------------------------- render state

Imagen ImagenDe(int bpp, int ancho, int alto)
{
    Imagen img;
    img.Bpp = bpp;
    img.Ancho = ancho;
    img.Alto = alto;
    img.Textura = 0;
    size_t n = (size_t)ancho * alto * (bpp / 8);
    img.Pixeles = (unsigned char *)malloc(n);
    for (size_t k = 0; k < n; k++) img.Pixeles[k] = (unsigned char)(k * 7 + bpp);
    return img;
}

std::string Bytes(const Imagen &img)
{
    return std::string((const char *)img.Pixeles, (size_t)img.Ancho * img.Alto * (img.Bpp / 8));
}

TEST(Ajustes, EstadoDeDibujoLlamadaALlamada)
{
    TMujer = ImagenDe(32, 2, 3);
    TParedes = ImagenDe(24, 3, 1);
    TSuelo = ImagenDe(24, 4, 4);
    TTecho = ImagenDe(24, 1, 2);
    Imagen antes[4] = {TMujer, TParedes, TSuelo, TTecho};
    std::string bytes[4] = {Bytes(TMujer), Bytes(TParedes), Bytes(TSuelo), Bytes(TTecho)};
    Registro.clear();
    Ajustes();
    std::vector<E> e = Esperadas("ajustes");
#ifdef MODO_WIRE
    Comparar(e);
    // Loaded, never uploaded nor released.
    EXPECT_EQ(TMujer.Pixeles, antes[0].Pixeles);
    EXPECT_EQ(Bytes(TTecho), bytes[3]);
    for (Imagen *i : {&TMujer, &TParedes, &TSuelo, &TTecho}) free(i->Pixeles);
#else
    const float t2 = (float)GL_TEXTURE_2D;
    const size_t base = e.size();   // the first upload's glGenTextures
    ASSERT_GT(Registro.size(), base);
    for (int k = 0; k < 4; k++) {
        float formato = antes[k].Bpp == 32 ? (float)GL_RGBA : (float)GL_RGB;
        float nombre = (float)(Registro[base].args[1] + k);
        e.push_back({"glGenTextures", {1, nombre}});
        e.push_back({"glBindTexture", {t2, nombre}});
        e.push_back({"glTexImage2D",
                     {t2, 0, (float)GL_RGB, (float)antes[k].Ancho, (float)antes[k].Alto, 0, formato,
                      (float)GL_UNSIGNED_BYTE}});
        Anadir(&e, Esperadas("textura"));
    }
    Comparar(e);
    // Each upload hands OpenGL the image's own bytes, four per pixel for the
    // 32-bit one; the names are kept and the buffers released.
    for (int k = 0; k < 4; k++) EXPECT_EQ(Registro[base + 7 * k + 2].texto, bytes[k]) << "image " << k;
    EXPECT_EQ(TMujer.Textura, (unsigned)Registro[base].args[1]);
    EXPECT_EQ(TTecho.Textura, TMujer.Textura + 3);
    for (Imagen *i : {&TMujer, &TParedes, &TSuelo, &TTecho}) EXPECT_EQ(i->Pixeles, nullptr);
#endif
}

#ifndef MODO_WIRE
// An image with no pixels, or of a depth with no pixel layout to upload,
// gets its texture object and parameters but no image.
TEST(Ajustes, LasImagenesQueNoSePuedenSubirQuedanVacias)
{
    TMujer = ImagenDe(16, 2, 2);
    TParedes = ImagenDe(8, 2, 2);
    TSuelo = ImagenDe(24, 2, 2);
    free(TSuelo.Pixeles);
    TSuelo.Pixeles = nullptr;
    TTecho = ImagenDe(24, 0, 0);
    Registro.clear();
    Ajustes();
    int subidas = 0, texturas = 0;
    for (const Llamada &l : Registro) {
        subidas += l.nombre == "glTexImage2D";
        texturas += l.nombre == "glGenTextures";
    }
    EXPECT_EQ(subidas, 0);
    EXPECT_EQ(texturas, 4);
}
#endif

// ---------------------------------------------------------------- frame

TEST(Cuadro, LlamadaALlamada)
{
    IniciarCamara(&camara);
    Mujer = Hacer(3, 0, 3, {{1, 2, 3}});     // normals only
    Techo = Hacer(3, 3, 0, {{1, 2, 3}});     // texture coordinates only
    Suelo = Hacer(3, 3, 3, {{1, 2, 3}});     // both
    Paredes = Hacer(3, 0, 0, {{1, 2, 3}});   // neither
    Caballo = Hacer(3, 3, 3, {{3, 2, 1}});
    TMujer.Textura = 11;
    TTecho.Textura = 12;
    TSuelo.Textura = 13;
    TParedes.Textura = 14;
    Registro.clear();
    Dibujar();

    std::vector<E> e = Esperadas("cuadro");
    e.push_back({"gluLookAt", {0, 0, 0, 0.01f, 0, -99999, 0.01f, 99999, -99999}});
    Anadir(&e, Esperadas("luz"));
    Anadir(&e, Esperadas("ejes"));
    Anadir(&e, Esperadas("color"));
    std::vector<std::vector<E>> modelos;
#ifdef MODO_WIRE
    for (int k = 0; k < 4; k++) modelos.push_back(Caras(kTira, {{V(0), V(1), V(2)}}));
    modelos.push_back(Caras(kTira, {{V(2), V(1), V(0)}}));
    const float binds[4] = {0, 0, 0, 0};
#else
    modelos.push_back(Caras(kTri, {{N(0), V(0), N(1), V(1), N(2), V(2)}}));
    modelos.push_back(Caras(kTri, {{T(0), V(0), T(1), V(1), T(2), V(2)}}));
    modelos.push_back(Caras(kTri, {{N(0), T(0), V(0), N(1), T(1), V(1), N(2), T(2), V(2)}}));
    modelos.push_back(Caras(kTri, {{V(0), V(1), V(2)}}));
    modelos.push_back(Caras(kTri, {{N(2), T(2), V(2), N(1), T(1), V(1), N(0), T(0), V(0)}}));
    const float binds[4] = {11, 12, 13, 14};
#endif
    for (int k = 0; k < 4; k++) {
        if (binds[k] != 0) e.push_back({"glBindTexture", {(float)GL_TEXTURE_2D, binds[k]}});
        e.insert(e.end(), modelos[k].begin(), modelos[k].end());
    }
    e.push_back({"glPushMatrix", {}});
    e.push_back({"glTranslatef", {0, 0, -50}});
    e.insert(e.end(), modelos[4].begin(), modelos[4].end());
    e.push_back({"glPopMatrix", {}});

    // The overlay comes next, then the swap.
    Anadir(&e, Esperadas("superposicion"));
    e.push_back({"glutSwapBuffers", {}});
    Comparar(e);
    for (Modelo *m : {&Mujer, &Techo, &Suelo, &Paredes, &Caballo}) LiberarModelo(m);
}

}   // namespace
