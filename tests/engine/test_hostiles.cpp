// Hostile files against the three loaders, and what reads their results.
//
// The rows of docs/entradas-hostiles.md that are cheap to repeat, and the
// faults found while fuzzing, each kept here so they stay mended:
//   - missing and empty files, a directory, binary garbage (the paths that
//     only some platforms have, FIFOs and devices, and the open descriptors,
//     are in test_hostiles_posix.cpp and test_hostiles_windows.cpp);
//   - NaN, infinities and out-of-range numbers in vertex data (stored as
//     read: test_obj.cpp's number table), face indices 0, negative and
//     beyond every array: stored as read, and skipped by
//     collision exactly where they would make it read outside an array or
//     work on a triangle without a plane;
//   - Fugas.*: loads and releases on the success and failure paths of each
//     loader, run under valgrind (ctest fugas_cargadores) and, in the
//     sanitizer build, under LeakSanitizer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "casos_colision.h"
#include "colision.h"
#include "imagen.h"
#include "modelo.h"
#include "shader.h"
#include "comun.h"
#include "tga_referencia.h"

namespace {

// ---- temporary files

const std::string &Dir() { return DirTemporal(); }

std::string Escribir(const std::string &bytes, const char *nombre) { return EscribirTemporal(nombre, bytes); }

// ---- models

// A consistent record: no negative count, an array behind every non-zero
// count, and every element of every array readable.
void EsperarCoherente(const Modelo &m)
{
    ASSERT_GE(m.NumVertices, 0);
    ASSERT_GE(m.NumCaras, 0);
    ASSERT_GE(m.NumCTexturas, 0);
    ASSERT_GE(m.NumNormales, 0);
    ASSERT_TRUE(m.NumVertices == 0 || m.Vertices);
    ASSERT_TRUE(m.NumCaras == 0 || m.Caras);
    ASSERT_TRUE(m.NumCTexturas == 0 || m.CTexturas);
    ASSERT_TRUE(m.NumNormales == 0 || m.Normales);
    volatile float suma = 0;
    for (int i = 0; i < m.NumVertices; i++) suma = suma + m.Vertices[i].x + m.Vertices[i].z;
    for (int i = 0; i < m.NumCTexturas; i++) suma = suma + m.CTexturas[i].y;
    for (int i = 0; i < m.NumNormales; i++) suma = suma + m.Normales[i].z;
    volatile int indices = 0;
    for (int i = 0; i < m.NumCaras; i++) indices = indices + m.Caras[i].Vert[2];
}

// Loads `texto` as an OBJ file with the face format.
Modelo CargarObj(const std::string &texto, int formato)
{
    return CargarModeloOBJ(Escribir(texto, "m.obj").c_str(), formato);
}

}   // namespace

// ---------------------------------------------------------------------------
// Paths that are not files, and files with nothing in them

TEST(HostilesRutas, FicherosVaciosEInexistentesEnLosTresCargadores)
{
    const std::string vacio = Escribir("", "vacio");
    const std::string falta = Dir() + "/no_existe";
    for (int formato = 0; formato <= 4; formato++) {
        for (const std::string &ruta : {vacio, falta, Dir()}) {
            Modelo m = CargarModeloOBJ(ruta.c_str(), formato);
            EXPECT_EQ(m.NumVertices + m.NumCaras + m.NumCTexturas + m.NumNormales, 0);
            EXPECT_TRUE(!m.Vertices && !m.Caras && !m.CTexturas && !m.Normales);
        }
    }
    for (const std::string &ruta : {vacio, falta, Dir()}) {
        Imagen im = CargarImagenTGA(ruta.c_str());
        EXPECT_EQ(im.Pixeles, nullptr);
        EXPECT_EQ(im.Ancho | im.Alto | im.Bpp, 0);
    }
    char *texto = CargarTextoShader(vacio.c_str());
    ASSERT_NE(texto, nullptr);
    EXPECT_STREQ(texto, "");
    free(texto);
    EXPECT_EQ(CargarTextoShader(falta.c_str()), nullptr);
    EXPECT_EQ(CargarTextoShader(Dir().c_str()), nullptr);
}

// ---------------------------------------------------------------------------
// OBJ data that no modeller would write

TEST(HostilesObj, BasuraBinariaDaUnModeloCoherente)
{
    std::mt19937 azar(6);
    const char piezas[] = "vtnf/ 0123456789.-+eEx#\n\t";
    for (int n = 0; n < 150; n++) {
        std::string bytes(1 + azar() % 2000, '\0');
        for (char &b : bytes) b = (azar() % 2) ? (char)(azar() % 256) : piezas[azar() % (sizeof piezas - 1)];
        for (int formato = 0; formato <= 4; formato++) {
            SCOPED_TRACE(n * 10 + formato);
            Modelo m = CargarObj(bytes, formato);
            EsperarCoherente(m);
            const Vector centro = m.NumVertices ? m.Vertices[0] : Vector{0, 0, 0};
            const Vector mov = {3, -10, 1};
            EXPECT_TRUE(
                MismosBits(XoqueEsferaModelo(50, centro, mov, m), XoqueCaraACara(50, centro, mov, m)));
            LiberarModelo(&m);
        }
    }
}

TEST(HostilesObj, UnaCaraConNanOInfinitoNoTocaANadie)
{
    // A floor triangle 30 below the centre would cancel the fall; with any
    // corner NaN or infinite, or so large that the edges overflow, there is
    // no plane and the movement passes unchanged.
    const char *malos[] = {"nan", "inf", "-inf", "1e39", "3e38"};
    for (const char *malo : malos) {
        for (int esquina = 0; esquina < 3; esquina++) {
            SCOPED_TRACE(std::string(malo) + " at corner " + std::to_string(esquina));
            std::string v[3] = {"v -100 0 -100\n", "v 100 0 -100\n", "v 0 0 100\n"};
            v[esquina] = std::string("v ") + malo + " 0 " + malo + "\n";
            Modelo m = CargarObj(v[0] + v[1] + v[2] + "f 1 2 3\n", 3);
            ASSERT_EQ(m.NumCaras, 1);
            const Vector mov = {0, -10, 0};
            EXPECT_TRUE(MismosBits(XoqueEsferaModelo(50, Vector{0, 30, 0}, mov, m), mov));
            LiberarModelo(&m);
        }
    }
}

TEST(HostilesObj, IndicesCeroNegativosOFueraDeTodoArray)
{
    const std::string v = "v -100 0 -100\nv 100 0 -100\nv 0 0 100\n";
    Modelo m = CargarObj(v + "f 0 1 2\nf -1 2 3\nf 1 2 4\nf 2147483648 2 3\n"
                             "f 99999999999 1 2\nf 1 2 3\n",
                         3);
    ASSERT_EQ(m.NumCaras, 6);
    EXPECT_EQ(m.Caras[0].Vert[0], -1);
    EXPECT_EQ(m.Caras[1].Vert[0], -2);
    EXPECT_EQ(m.Caras[2].Vert[2], 3);
    EXPECT_EQ(m.Caras[3].Vert[0], 2147483647);   // -2147483648 - 1, wrapped
    EXPECT_EQ(m.Caras[4].Vert[0], 1215752190);   // low 32 bits of 99999999999, minus 1
    // Only the last face has its corners in the vertex array; the result is
    // that face's alone (fall cancelled, push of 10 from 30 below 40).
    const Vector r = XoqueEsferaModelo(50, Vector{0, 30, 0}, Vector{0, -10, 0}, m);
    EXPECT_TRUE(MismosBits(r, Vector{0, 10, 0}));
    m.NumCaras = 5;   // without it nothing is touched
    EXPECT_TRUE(MismosBits(XoqueEsferaModelo(50, Vector{0, 30, 0}, Vector{0, -10, 0}, m), Vector{0, -10, 0}));
    m.NumCaras = 6;
    LiberarModelo(&m);
}

TEST(HostilesObj, TexturasYNormalesMasCortasQueLosVertices)
{
    // Format 2 with one texture coordinate and one normal for three vertices:
    // the model keeps the counts it read; every reader must check each array
    // on its own (the drawing routines do, see the fuzz target fuzz_obj).
    Modelo m = CargarObj("v 0 0 0\nv 1 0 0\nv 0 0 1\nvt 0 0 0\nvn 0 1 0\n"
                         "f 1/1/1 2/2/2 3/3/3\n",
                         2);
    EXPECT_EQ(m.NumVertices, 3);
    EXPECT_EQ(m.NumCTexturas, 1);
    EXPECT_EQ(m.NumNormales, 1);
    ASSERT_EQ(m.NumCaras, 1);
    EXPECT_EQ(m.Caras[0].Vert[2], 2);
    EXPECT_FALSE(CaraDentro(m.Caras[0], m.NumCTexturas));
    EXPECT_TRUE(CaraDentro(m.Caras[0], m.NumVertices));
    LiberarModelo(&m);
}

// ---------------------------------------------------------------------------
// Loaded and released: nothing may stay allocated (valgrind and LeakSanitizer
// check what these leave behind)

TEST(Fugas, ModelosCargadosYLiberados)
{
    const std::string todo = "v 0 0 0\nv 1 0 0\nv 0 0 1\nvt 0 0 0\nvt 1 0 0\nvt 0 1 0\n"
                             "vn 0 1 0\nvn 0 1 0\nvn 0 1 0\n";
    const char *caras[5] = {"f 1/1 2/2 3/3\n", "f 1//1 2//2 3//3\n", "f 1/1/1 2/2/2 3/3/3\n", "f 1 2 3\n",
                            "f 1/1/1 2/2/2 3/3/3\n"};
    for (int formato = 0; formato <= 4; formato++) {
        Modelo m = CargarObj(todo + caras[formato] + "f 9 9 9 trailing junk \x01\xff", formato);
        EXPECT_EQ(m.NumVertices, 3);
        EXPECT_EQ(m.NumCaras, 2);   // the last statement still makes a face
        LiberarModelo(&m);
        EXPECT_EQ(m.Vertices, nullptr);
        LiberarModelo(&m);   // a released record releases nothing twice
    }
}

TEST(Fugas, ImagenesCargadasYLiberadas)
{
    const std::string crudo = Escribir(CabeceraTga(2, 2, 2, 32) + std::string(16, 'x'), "c.tga");
    const std::string rle = Escribir(CabeceraTga(10, 3, 1, 24) + "\x82"
                                                                 "abc",
                                     "r.tga");
    // Run-length data that ends early: the pixel buffer is already made when
    // the decoder finds out, and must be released by the loader.
    const std::string truncado = Escribir(CabeceraTga(10, 40, 40, 24) + std::string(60, '\x01'), "t.tga");
    Imagen a = CargarImagenTGA(crudo.c_str());
    Imagen b = CargarImagenTGA(rle.c_str());
    Imagen c = CargarImagenTGA(truncado.c_str());
    EXPECT_NE(a.Pixeles, nullptr);
    ASSERT_NE(b.Pixeles, nullptr);
    EXPECT_EQ(memcmp(b.Pixeles, "cbacbacba", 9), 0);
    EXPECT_EQ(c.Pixeles, nullptr);
    free(a.Pixeles);
    free(b.Pixeles);
}

TEST(Fugas, TextosDeShaderCargadosYLiberados)
{
    const std::string ruta = Escribir(std::string("void main() {}\n\0\xff", 17), "s.glsl");
    char *texto = CargarTextoShader(ruta.c_str());
    ASSERT_NE(texto, nullptr);
    EXPECT_EQ(memcmp(texto, "void main() {}\n\0\xff\0", 18), 0);
    free(texto);
    EXPECT_EQ(CargarTextoShader(Dir().c_str()), nullptr);
}
