// Bad input to the importer: one line on stderr naming the file and the
// problem, a non-zero exit for the fatal ones, and the scene folder written
// whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "comun_importar.h"
#include "fixturas.h"
#include "importar_local.h"

namespace {

namespace fs = std::filesystem;

TEST(DividirExacto, ElFactorDevuelveLaCoordenadaCuandoAlgunFloatLoPermite)
{
    uint32_t estado = 7;
    int exactas = 0;
    for (int i = 0; i < 200000; i++) {
        estado = estado * 1664525u + 1013904223u;
        float u = (float)((double)estado / 4294967296.0 * 40 - 20);
        for (float d : {10.0f, 5.0f}) {
            float w = DividirExacto(u, d);
            float mejor = (float)((double)u / d);
            bool hay = false;
            for (int k = 0; k < 17 && !hay; k++) {
                float c = mejor;
                for (int j = 0; j < std::abs(k - 8); j++)
                    c = std::nextafter(c, k < 8 ? -HUGE_VALF : HUGE_VALF);
                hay = c * d == u;
            }
            if (hay) {
                ASSERT_EQ(w * d, u) << u << " / " << d;
                exactas++;
            } else {
                ASSERT_EQ(w, mejor);
            }
        }
    }
    EXPECT_GT(exactas, 300000);   // most coordinates have one
}

struct Mala {
    const char *nombre;
    std::string (*preparar)(const std::string &dir);   // returns the arguments
    int estado;                                        // expected exit status
    const char *mensaje;                               // a piece of the line on stderr
};

void Escribir(const std::string &ruta, const std::string &s)
{
    FILE *f = std::fopen(ruta.c_str(), "wb");
    std::fwrite(s.data(), 1, s.size(), f);
    std::fclose(f);
}

std::string ConImagen(const std::string &d, const std::string &bytes)
{
    if (!bytes.empty()) Escribir(d + "/madera.png", bytes);
    return EscribirOBJFix(d, "sala", DosSalas(), "madera.png");
}

// A PNG header that claims 20000 x 20000 pixels and holds nothing more.
std::string PNGEnorme()
{
    std::string png = PNGDosColores(4, 4);
    const unsigned char lado[4] = {0, 0, 0x4E, 0x20};
    png.replace(16, 4, (const char *)lado, 4);
    png.replace(20, 4, (const char *)lado, 4);
    return png;
}

const Mala kMalas[] = {
    {"falta", [](const std::string &d) { return d + "/no_existe.obj"; }, 1, "no_existe.obj: no such file"},
    {"vacio",
     [](const std::string &d) {
         Escribir(d + "/vacio.obj", "");
         return d + "/vacio.obj";
     },
     1, "vacio.obj"},
    {"basura",
     [](const std::string &d) {
         Escribir(d + "/basura.xyz", std::string(300, '\x07'));
         return d + "/basura.xyz";
     },
     1, "basura.xyz"},
    {"solo_lineas",
     [](const std::string &d) {
         Escribir(d + "/lineas.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n");
         return d + "/lineas.obj";
     },
     1, "lineas.obj"},
    {"sin_caras_utiles",
     [](const std::string &d) {
         Escribir(d + "/plana.obj", "v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n");
         return d + "/plana.obj";
     },
     1, "no faces"},
    {"desbordamiento", [](const std::string &d) { return ConImagen(d, "") + " --escala 1e38"; }, 1,
     "overflow"},
    {"opcion_mala", [](const std::string &d) { return ConImagen(d, "") + " --arriba x"; }, 2, "--arriba"},
    {"textura_ausente", [](const std::string &d) { return ConImagen(d, ""); }, 0, "madera.png: missing"},
    {"textura_corrupta", [](const std::string &d) { return ConImagen(d, "\x89PNG\r\n\x1a\nbasura"); }, 0,
     "madera.png: corrupt"},
    {"textura_enorme", [](const std::string &d) { return ConImagen(d, PNGEnorme()); }, 0,
     "beyond the decoder's bound"},
};

class EntradaMala : public ::testing::TestWithParam<Mala> {};

TEST_P(EntradaMala, UnaLineaYNadaPerdido)
{
    const Mala &m = GetParam();
    std::string d = DirTemporal() + "/mala_" + m.nombre;
    fs::create_directories(d);
    // A scene already there, which only a complete import may replace.
    std::string escena = d + "/escena";
    fs::create_directories(escena + "/Modelos");
    Escribir(escena + "/Modelos/marca", "antes");
    // Small figures: the bundled ones take a while to make.
    std::string figura = EscribirSTLFix(d, "figura", Caja(0.5, 1.7, 0.4, true));
    std::string error;
    int estado =
        Importar(m.preparar(d) + " " + escena + " --mujer " + figura + " --caballo " + figura, &error);
    EXPECT_EQ(estado, m.estado) << error;
    EXPECT_NE(error.find(m.mensaje), std::string::npos) << error;
    if (m.estado != 0) {
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
        EXPECT_TRUE(fs::exists(escena + "/Modelos/marca"));
    } else {
        EXPECT_FALSE(fs::exists(escena + "/Modelos/marca"));
        EXPECT_TRUE(fs::exists(escena + "/Modelos/Suelo.OBJ"));
        EXPECT_EQ(LeerInforme(escena, "Suelo").textura, "colour");
    }
    // Nothing left beside the target.
    int entradas = 0;
    for (const auto &e : fs::directory_iterator(d))
        entradas += e.path().filename().string().rfind(".escena", 0) == 0;
    EXPECT_EQ(entradas, 0);
}

// Faces that cannot be drawn are dropped and counted, points and lines are
// counted apart, and the rest of the scene comes through.
TEST(Descartes, CadaCaraPerdidaSeCuentaPorSuMotivo)
{
    std::string d = DirTemporal() + "/descartes";
    fs::create_directories(d);
    std::string obj = EscribirOBJFix(d, "sala", DosSalas(), "");
    FILE *f = std::fopen(obj.c_str(), "a");
    std::fputs("v nan 0 0\nv 1 0 0\nv 0 0 1\nf -3 -2 -1\n"             // not finite
               "v 1 1 1\nv 2 2 2\nv 3 3 3\nf -3 -2 -1\nf -1 -1 -2\n"   // aligned, repeated
               "v 5 0 0\np -1\nl -1 -2\n",
               f);
    std::fclose(f);
    std::string figura = EscribirSTLFix(d, "figura", Caja(0.5, 1.7, 0.4, true));
    std::string error;
    ASSERT_EQ(Importar(obj + " " + d + "/escena --mujer " + figura + " --caballo " + figura, &error), 0)
        << error;
    InformeRanura r = LeerInforme(d + "/escena", "Paredes");
    EXPECT_EQ(r.no_finitas, 1);
    EXPECT_EQ(r.degeneradas, 2);
    EXPECT_EQ(r.puntos, 1);
    EXPECT_EQ(r.lineas, 1);
    EXPECT_EQ(r.entrada - r.degeneradas - r.no_finitas, r.salida);
    EXPECT_EQ(r.salida, 20);
}

INSTANTIATE_TEST_SUITE_P(Casos, EntradaMala, ::testing::ValuesIn(kMalas),
                         [](const auto &i) { return std::string(i.param.nombre); });

}   // namespace
