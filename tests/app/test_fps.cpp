// The frame-rate overlay with a clock set by hand and the GL calls recorded
// (gl_falso.cpp). Built twice: as is, and with MODO_WIRE, where the overlay
// leaves lighting alone.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <climits>
#include <cstring>

#include "gl_falso.h"
#include "globales.h"
#include "llamadas.h"

namespace {

// One frame's overlay; returns the frame-rate text it drew.
std::string Cuadro()
{
    Registro.clear();
    FPS();
    for (const Llamada &l : Registro)
        if (l.nombre == "glRasterPos3f" && l.args[0] == 0.0f) return l.texto;
    ADD_FAILURE() << "no raster position at the centre";
    return "";
}

// Frames at a steady step; returns the text of the last one.
std::string Cuadros(int n, int paso)
{
    std::string t;
    for (int k = 0; k < n; k++) {
        RelojFalso += paso;
        t = Cuadro();
    }
    return t;
}

// Must run first in its process: the counter's state lives in statics.
TEST(FPS, FasesDelReloj)
{
    RelojFalso = 1000;
    EXPECT_EQ(Cuadro(), "");   // frame 1 only starts the clock
    EXPECT_EQ(LecturasReloj, 1);
    for (int k = 2; k <= 26; k++) {
        RelojFalso += 20;
        EXPECT_EQ(Cuadro(), "") << "frame " << k;
    }
    EXPECT_EQ(LecturasReloj, 26);
    EXPECT_EQ(Cuadros(1, 20), "FPS: 50\n");   // frame 27
    // The text stays until the next refresh, 26 frames later.
    EXPECT_EQ(Cuadros(25, 10), "FPS: 50\n");   // frames 28 to 52
    EXPECT_EQ(Cuadros(1, 10), "FPS: 100\n");   // frame 53: the last interval only
    EXPECT_EQ(Cuadros(25, 3), "FPS: 100\n");
    EXPECT_EQ(Cuadros(1, 3), "FPS: 333\n");   // frame 79: 1000 / 3 rounded
    EXPECT_EQ(Cuadros(25, 7), "FPS: 333\n");
    EXPECT_EQ(Cuadros(1, 0), "FPS: inf\n");   // frame 105: same millisecond
    // A clock reading that wraps past the 32-bit range still gives the
    // elapsed time.
    RelojFalso = INT_MAX - 5;
    Cuadros(25, 0);
    RelojFalso = INT_MIN + 14;          // 20 ms later
    EXPECT_EQ(Cuadro(), "FPS: 50\n");   // frame 131
    EXPECT_EQ(LecturasReloj, 131);
}

TEST(FPS, LineasDeEstadisticasDesdeLasCuentas)
{
    Caballo.NumVertices = 7196;
    Caballo.NumCaras = 14388;
    Mujer.NumVertices = 3;
    Mujer.NumCaras = -1;
    FormatearEstadisticas();
    EXPECT_STREQ(TextoCaballo, "El Caballo Tiene 7196 Vertices y 14388 Poligonos");
    EXPECT_STREQ(TextoMujer, "La Mujer   Tiene 3 Vertices y -1 Poligonos");
}

TEST(FPS, LlamadasDeLaSuperposicion)
{
    strcpy(TextoCaballo, "caballo");
    strcpy(TextoMujer, "mujer");
    Cuadro();
    Comparar(Esperadas("superposicion"));
    // Each statistics line drawn whole from its position.
    std::vector<std::string> textos;
    for (const Llamada &l : Registro)
        if (l.nombre == "glRasterPos3f") textos.push_back(l.texto);
    ASSERT_EQ(textos.size(), 3u);
    EXPECT_EQ(textos[1], "caballo");
    EXPECT_EQ(textos[2], "mujer");
}

}   // namespace
