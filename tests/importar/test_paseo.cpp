// A walker in an imported scene, with the walkthrough's own tick: gravity
// and collision on, started where the walkthrough starts, it comes to rest
// on a floor, then walks a seeded random path without leaving the rooms or
// getting stuck. Also the scale and start rules the walk relies on.
#include <gtest/gtest.h>

#include <GL/glut.h>

#include <cmath>
#include <filesystem>

#include "comun_importar.h"
#include "fixturas.h"
#include "globales.h"

// The two GLUT calls of the tick.
void glutTimerFunc(unsigned int, void (*)(int), int) {}
void glutPostRedisplay() {}

namespace {

namespace fs = std::filesystem;

struct Limites {
    float min[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF}, max[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
};

void Ampliar(Limites *c, const Modelo &m)
{
    for (int i = 0; i < m.NumVertices; i++) {
        const float p[3] = {m.Vertices[i].x, m.Vertices[i].y, m.Vertices[i].z};
        for (int k = 0; k < 3; k++)
            c->min[k] = std::fmin(c->min[k], p[k]), c->max[k] = std::fmax(c->max[k], p[k]);
    }
}

// Imports `fuente` and loads the room as the walkthrough does.
std::string CargarSala(const std::string &fuente, const std::string &nombre, const std::string &opciones = "")
{
    std::string escena = DirTemporal() + "/escena_" + nombre;
    std::string error;
    EXPECT_EQ(Importar(fuente + " " + escena + " " + opciones, &error), 0) << error;
    LiberarModelo(&Techo), LiberarModelo(&Suelo), LiberarModelo(&Paredes);   // the previous test's
    Techo = CargarRanura(escena, "Techo");
    Suelo = CargarRanura(escena, "Suelo");
    Paredes = CargarRanura(escena, "Paredes");
    IndexarSala();
    return escena;
}

void Soltar() { WWW = SSS = AAA = DDD = QQQ = EEE = ZZZ = XXX = SPACE = 0; }

// A seeded walk: keys held for a while, then others. Returns the distance
// walked and counts ticks outside the rooms' box.
double Pasear(int ticks, const Limites &caja, int *fuera)
{
    uint64_t estado = 15;
    auto azar = [&](int n) {
        estado = estado * 6364136223846793005ull + 1442695040888963407ull;
        return (int)((estado >> 33) % (uint64_t)n);
    };
    double recorrido = 0;
    *fuera = 0;
    for (int t = 0; t < ticks; t++) {
        if (t % 40 == 0) {
            Soltar();
            int k = azar(10);
            WWW = k < 5, SSS = k == 5, AAA = k == 6, DDD = k == 7;
            QQQ = azar(4) == 0, EEE = !QQQ && azar(4) == 0;
        }
        Vector antes = camara.Posicion;
        Tiempo(1);
        Vector p = camara.Posicion;
        recorrido += std::hypot(p.x - antes.x, p.z - antes.z);
        const float v[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; k++) *fuera += v[k] < caja.min[k] || v[k] > caja.max[k];
    }
    return recorrido;
}

// The same rooms as a z-up modelling program writes them, with no word of
// it in the file: (x, y, z) becomes (x, -z, y).
std::vector<PoligonoFix> ConZArriba(std::vector<PoligonoFix> p)
{
    for (PoligonoFix &g : p)
        for (EsquinaFix &c : g.e)
            for (double *v : {c.p, c.n}) {
                const double y = v[1];
                v[1] = -v[2], v[2] = y;
            }
    return p;
}

struct Sala {
    const char *nombre;
    std::string (*escribir)(const std::string &dir);
};

const Sala kSalas[] = {
    {"obj", [](const std::string &d) { return EscribirOBJFix(d, "dos_salas", DosSalas(), ""); }},
    {"obj_z",
     [](const std::string &d) { return EscribirOBJFix(d, "dos_salas_z", ConZArriba(DosSalas()), ""); }},
    {"glb", [](const std::string &d) { return EscribirGLTFFix(d, "caja", Caja(3, 1.5, 2, true), true); }},
    {"dae", [](const std::string &d) { return EscribirDAEFix(d, "caja", Caja(6, 3, 4, true)); }},
    {"stl", [](const std::string &d) { return EscribirSTLFix(d, "caja", Caja(6, 3, 4, true)); }},
};

class Paseo : public ::testing::TestWithParam<Sala> {};

TEST_P(Paseo, ElCaminanteReposaEnElSueloYNoSaleDeLaSala)
{
    const Sala &c = GetParam();
    std::string dir = DirTemporal() + "/paseo_" + c.nombre;
    fs::create_directories(dir);
    // The bundled figures once; small ones elsewhere (the bundled take a while).
    const bool incluidas = std::string(c.nombre) == "obj";
    std::string figura = EscribirSTLFix(dir, "figura", Caja(0.5, 1.7, 0.4, true));
    std::string escena = CargarSala(c.escribir(dir), std::string("paseo_") + c.nombre,
                                    incluidas ? "" : "--mujer " + figura + " --caballo " + figura);
    Limites caja;
    Ampliar(&caja, Techo), Ampliar(&caja, Suelo), Ampliar(&caja, Paredes);

    // A storey is 400 units: every floor at -45 (the eye 45 above it at the
    // start), every ceiling at 355.
    for (int i = 0; i < Suelo.NumVertices; i++) ASSERT_NEAR(Suelo.Vertices[i].y, -45, 1e-3);
    for (int i = 0; i < Techo.NumVertices; i++) ASSERT_NEAR(Techo.Vertices[i].y, 355, 1e-3);

    // The figures stand on the floor, ahead of the start, the horse where
    // the walkthrough draws it (50 further along -z than its file says),
    // sized like the bundled ones.
    for (const char *f : {"Mujer", "Caballo"}) {
        Limites b;
        Modelo m = CargarRanura(escena, f);
        Ampliar(&b, m);
        LiberarModelo(&m);
        const float dz = std::string(f) == "Caballo" ? -50 : 0;
        EXPECT_NEAR(b.min[1], -45, 1e-3) << f;
        EXPECT_LT(b.max[2] + dz, -100) << f;
        EXPECT_GT(b.max[1] - b.min[1], 50) << f;
        EXPECT_LT(b.max[1] - b.min[1], 80) << f;
    }

    IniciarCamara(&camara);
    Soltar();
    CCC = VVV = 1;
    for (int t = 0; t < 50; t++) Tiempo(1);
    EXPECT_NEAR(camara.Posicion.x, 0, 1e-3);
    EXPECT_GE(camara.Posicion.y, -5);
    EXPECT_LE(camara.Posicion.y, 5);

    int fuera = 0;
    double recorrido = Pasear(20000, caja, &fuera);
    EXPECT_EQ(fuera, 0);
    EXPECT_GE(camara.Posicion.y, -5);   // still on the floor
    EXPECT_LE(camara.Posicion.y, 5);
    // Not stuck: most of the walking ticks move the full step.
    EXPECT_GT(recorrido, 20000 * 7 * 0.3);
}

INSTANTIATE_TEST_SUITE_P(Formatos, Paseo, ::testing::ValuesIn(kSalas),
                         [](const auto &i) { return std::string(i.param.nombre); });

TEST(Inicio, SinTechosLaEscalaEsLaUnidadYElInicioEstaSobreElSuelo)
{
    std::string dir = DirTemporal() + "/sin_techo";
    fs::create_directories(dir);
    std::string escena = CargarSala(EscribirGLTFFix(dir, "patio", Caja(3, 1.5, 2, false), true), "patio");
    InformeRanura r = LeerInforme(escena, "Suelo");
    EXPECT_EQ(r.escala, 130);   // glTF is in metres: 130 units a metre
    EXPECT_EQ(Techo.NumCaras, 0);
    for (int i = 0; i < Suelo.NumVertices; i++) ASSERT_NEAR(Suelo.Vertices[i].y, -45, 1e-3);
    // The ball is clear of the walls at the start.
    Vector mov = {0, 0, 0};
    for (int i = 0; i < Paredes.NumCaras; i++) {
        Vector m = XoqueEsferaPlano(50, Vector{0, 0, 0}, mov, Paredes.Vertices[Paredes.Caras[i].Vert[0]],
                                    Paredes.Vertices[Paredes.Caras[i].Vert[1]],
                                    Paredes.Vertices[Paredes.Caras[i].Vert[2]]);
        EXPECT_TRUE(m.x == 0 && m.y == 0 && m.z == 0) << "wall " << i;
    }
}

TEST(Inicio, ElInicioEstaEnElSueloPrincipalNoSobreUnaMesa)
{
    std::string dir = DirTemporal() + "/mesa";
    fs::create_directories(dir);
    // A wide table in the middle of the room leaves a narrow floor around it:
    // its top is the most open floor there is, but not the room's level.
    std::vector<PoligonoFix> sala = Caja(6, 3, 4, true);
    sala.pop_back(), sala.pop_back(), sala.pop_back(), sala.pop_back();   // no pillar
    for (const PoligonoFix &p : Bloque(1, 5, 0.8, 3.2, 0.9)) sala.push_back(p);
    std::string escena = CargarSala(EscribirOBJFix(dir, "mesa", sala, ""), "mesa");
    float arriba = -HUGE_VALF;
    for (int i = 0; i < Suelo.NumVertices; i++) arriba = std::fmax(arriba, Suelo.Vertices[i].y);
    for (int i = 0; i < Suelo.NumVertices; i++)
        EXPECT_TRUE(std::fabs(Suelo.Vertices[i].y + 45) < 1e-3 ||
                    std::fabs(Suelo.Vertices[i].y - arriba) < 1e-3);
    EXPECT_NEAR(arriba, -45 + 0.9 * 400 / 3, 1e-2);   // the table, above the start's floor
}

TEST(Inicio, UnInicioDadoSeRespeta)
{
    std::string dir = DirTemporal() + "/inicio";
    fs::create_directories(dir);
    // The second room's middle, on its floor: (9, 0, 2.5) in the file.
    std::string escena =
        CargarSala(EscribirOBJFix(dir, "dos_salas", DosSalas(), ""), "inicio", "--inicio 9,0,2.5");
    InformeRanura r = LeerInforme(escena, "Suelo");
    double p[3];
    for (int k = 0; k < 3; k++) p[k] = r.rot[k][0] * r.escala * 9 + r.rot[k][2] * r.escala * 2.5 + r.tras[k];
    EXPECT_NEAR(p[0], 0, 1e-6);
    EXPECT_NEAR(p[1], -45, 1e-6);
    EXPECT_NEAR(p[2], 0, 1e-6);
}

}   // namespace
