// The tick and the input callbacks, driven without a window: the two GLUT
// calls the tick makes are recorded by glut_falso.cpp.
#include <gtest/gtest.h>

#include <time.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "colision.h"
#include "globales.h"
#include "glut_falso.h"

namespace {

void Reiniciar()
{
    WWW = SSS = AAA = DDD = QQQ = EEE = ZZZ = XXX = SPACE = CCC = VVV = 0;
    PosX = PosY = 0;
    RatonIniciado = 0;
    IniciarCamara(&camara);
    IniciarModelo(&Techo);
    IniciarModelo(&Suelo);
    IniciarModelo(&Paredes);
    IndexarSala();
    Mov = Vector{123.0f, 456.0f, 789.0f};
    Glut = LlamadasGlut{};
}

// Exact equality of every bit of two vectors.
bool Igual(Vector a, Vector b) { return memcmp(&a, &b, sizeof a) == 0; }

::testing::AssertionResult MismoVector(Vector a, Vector b)
{
    if (Igual(a, b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") != (" << b.x
                                         << ", " << b.y << ", " << b.z << ")";
}

::testing::AssertionResult MismaCamara(Camara a, Camara b)
{
    if (memcmp(&a, &b, sizeof a) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "Posicion (" << a.Posicion.x << ", " << a.Posicion.y << ", " << a.Posicion.z << ") vs ("
           << b.Posicion.x << ", " << b.Posicion.y << ", " << b.Posicion.z << "), Frente (" << a.Frente.x
           << ", " << a.Frente.y << ", " << a.Frente.z << ") vs (" << b.Frente.x << ", " << b.Frente.y << ", "
           << b.Frente.z << ")";
}

Camara CamaraInicial()
{
    Camara c;
    IniciarCamara(&c);
    return c;
}

// The floor triangle (-100, 0, -100), (100, 0, -100), (0, 0, 100) in y = 0.
Modelo TrianguloSuelo()
{
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, -100.0f, 0.0f, -100.0f);
    AddVertice(&m, 100.0f, 0.0f, -100.0f);
    AddVertice(&m, 0.0f, 0.0f, 100.0f);
    AddCara(&m, 1, 2, 3, 1, 2, 3);
    return m;
}

// Puts the eye at height y above the origin, the other points along with it.
void OjoA(float y) { CamaraAvance(&camara, Vector{0.0f, y, 0.0f}); }

class Tick : public ::testing::Test {
protected:
    void SetUp() override { Reiniciar(); }
};

TEST_F(Tick, SinTeclasLaCamaraQuedaYElTemporizadorSeRearma)
{
    Tiempo(7);
    EXPECT_TRUE(MismoVector(Mov, Vector{0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));
    EXPECT_EQ(Glut.temporizadores, 1);
    EXPECT_EQ(Glut.retardo, 1u);
    EXPECT_EQ(Glut.funcion, &Tiempo);
    EXPECT_EQ(Glut.valor, 1);
    EXPECT_EQ(Glut.redibujados, 1);
    Tiempo(1);
    EXPECT_EQ(Glut.temporizadores, 2);
    EXPECT_EQ(Glut.redibujados, 2);
}

TEST_F(Tick, AvanzarMueveSieteHaciaMenosZ)
{
    WWW = 1;
    Tiempo(1);
    EXPECT_EQ(Mov.z, -7.0f);
    EXPECT_EQ(Mov.y, 0.0f);
    EXPECT_GT(Mov.x, 0.0f);   // the reset front point is 0.01 to the right
    EXPECT_LT(Mov.x, 1e-6f);
    EXPECT_TRUE(MismoVector(camara.Posicion, Mov));
    EXPECT_EQ(camara.Frente.z, -100006.0f);
    EXPECT_EQ(camara.Lateral.z, -7.0f);
    Tiempo(1);
    EXPECT_EQ(camara.Posicion.z, -14.0f);
}

// Held keys and the movement of one tick: steps, opposite keys that cancel,
// the jump, gravity; with collision off the fall never ends.
TEST_F(Tick, TeclasYMovimientoDeUnTick)
{
    struct Caso {
        std::vector<int *> teclas;
        int ticks;
        Vector mov, posicion;
    };
    const Caso casos[] = {
        {{&DDD}, 1, {7, 0, 0}, {7, 0, 0}},       {{&AAA}, 1, {-7, 0, 0}, {-7, 0, 0}},
        {{&WWW, &SSS}, 1, {0, 0, 0}, {0, 0, 0}}, {{&AAA, &DDD}, 1, {0, 0, 0}, {0, 0, 0}},
        {{&SPACE}, 1, {0, 15, 0}, {0, 15, 0}},   {{&SPACE, &VVV}, 1, {0, 5, 0}, {0, 5, 0}},
        {{&VVV}, 3, {0, -10, 0}, {0, -30, 0}},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(testing::Message() << "case " << &k - casos);
        Reiniciar();
        for (int *t : k.teclas) *t = 1;
        for (int i = 0; i < k.ticks; i++) Tiempo(1);
        EXPECT_TRUE(MismoVector(Mov, k.mov));
        EXPECT_TRUE(MismoVector(camara.Posicion, k.posicion));
    }
    Reiniciar();
    WWW = SSS = 1;
    Tiempo(1);
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));
}

TEST_F(Tick, AvanceYDerechaHacenUnaDiagonalDe9_8995)
{
    WWW = 1;
    Tiempo(1);
    float adelanteX = Mov.x;

    Reiniciar();
    WWW = DDD = 1;
    Tiempo(1);
    EXPECT_EQ(Mov.x, 7.0f + adelanteX);
    EXPECT_EQ(Mov.y, 0.0f);
    EXPECT_EQ(Mov.z, -7.0f);
    EXPECT_EQ(std::round(ModuloVector(Mov) * 1e4) / 1e4, 9.8995);
    EXPECT_TRUE(MismoVector(camara.Posicion, Mov));
}

TEST_F(Tick, GirosConTeclasYSuMomento)
{
    QQQ = 1;
    for (int k = 0; k < 20; k++) Tiempo(1);
    EXPECT_TRUE(MismoVector(Mov, Vector{0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(MismoVector(camara.Posicion, Vector{0.0f, 0.0f, 0.0f}));
    double giro = std::atan2(-(double)camara.Frente.x, -(double)camara.Frente.z);
    EXPECT_NEAR(giro, 1.0, 1e-3);   // about 20 x 0.05 rad to the left

    Reiniciar();
    EEE = 1;
    Tiempo(1);
    EXPECT_GT(camara.Frente.x, 4000.0f);   // turned right

    // A tick's walk uses the orientation from before that tick's turn.
    Reiniciar();
    WWW = 1;
    Tiempo(1);
    Vector recto = Mov;
    Reiniciar();
    WWW = QQQ = 1;
    Tiempo(1);
    EXPECT_TRUE(MismoVector(Mov, recto));
    Tiempo(1);
    EXPECT_LT(Mov.x, -0.3f);   // the turn shows on the next tick

    // z pitches up, x down.
    Reiniciar();
    ZZZ = 1;
    Tiempo(1);
    EXPECT_GT(camara.Frente.y, 4000.0f);
    Reiniciar();
    XXX = 1;
    Tiempo(1);
    EXPECT_LT(camara.Frente.y, -4000.0f);
}

class TickSuelo : public Tick {
protected:
    void SetUp() override
    {
        Reiniciar();
        Suelo = TrianguloSuelo();
        IndexarSala();
        CCC = 1;
    }
    void TearDown() override { LiberarModelo(&Suelo); }
};

// The eye above the floor triangle, tick by tick: the height after each tick
// and the last movement. A fall is cancelled between 40 and 50 above the
// floor; closer than 40 the eye is pushed out by 10 and then stays.
TEST_F(TickSuelo, AlturasSobreElSuelo)
{
    struct Caso {
        const char *que;
        int colision, gravedad;
        float alto;
        std::vector<float> alturas;   // after each tick
        Vector mov;                   // the last tick's movement
    };
    const Caso casos[] = {
        {"a fall from 45 is cancelled", 1, 1, 45, {45}, {0, 0, 0}},
        {"35 is pushed out to 45, then stays", 1, 0, 35, {45, 45, 45}, {0, 0, 0}},
        {"from 60 the fall ends at 50", 1, 1, 60, {50, 50}, {0, 0, 0}},
        {"without collision the eye goes through the floor", 0, 1, 45, {35, 25}, {0, -10, 0}},
    };
    LiberarModelo(&Suelo);
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.que);
        Reiniciar();
        Suelo = TrianguloSuelo();
        IndexarSala();
        CCC = k.colision;
        VVV = k.gravedad;
        OjoA(k.alto);
        for (float alto : k.alturas) {
            Tiempo(1);
            EXPECT_EQ(camara.Posicion.y, alto);
        }
        EXPECT_TRUE(MismoVector(Mov, k.mov));
        LiberarModelo(&Suelo);
    }
    Suelo = TrianguloSuelo();   // for TearDown
}

TEST_F(TickSuelo, DesdeMuyAltoQuedaSobreElSuelo)
{
    VVV = 1;
    OjoA(203.0f);
    for (int k = 0; k < 40; k++) Tiempo(1);
    EXPECT_EQ(camara.Posicion.y, 43.0f);   // 203 - 16 x 10: 40 to 50 above the floor
    EXPECT_TRUE(MismoVector(Mov, Vector{0.0f, 0.0f, 0.0f}));

    // Space lifts by 15 - 10 per tick while held; released, the fall resumes.
    SPACE = 1;
    Tiempo(1);
    Tiempo(1);
    EXPECT_EQ(camara.Posicion.y, 53.0f);
    SPACE = 0;
    Tiempo(1);
    EXPECT_EQ(camara.Posicion.y, 43.0f);
    Tiempo(1);
    EXPECT_EQ(camara.Posicion.y, 43.0f);
}

// The room models are corrected in the order ceiling, floor, walls, all from
// the same eye; each of them takes part.
TEST_F(TickSuelo, TechoYParedesTambienCuentan)
{
    // The floor triangle used as a ceiling 45 above the eye stops a jump.
    LiberarModelo(&Suelo);
    Techo = TrianguloSuelo();
    IndexarSala();
    OjoA(-45.0f);
    SPACE = 1;
    Tiempo(1);
    EXPECT_TRUE(MismoVector(Mov, Vector{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(camara.Posicion.y, -45.0f);
    LiberarModelo(&Techo);

    // The same triangle as walls below the eye: a fall from 45 is cancelled.
    Reiniciar();
    CCC = VVV = 1;
    Paredes = TrianguloSuelo();
    IndexarSala();
    OjoA(45.0f);
    Tiempo(1);
    EXPECT_TRUE(MismoVector(Mov, Vector{0.0f, 0.0f, 0.0f}));
    LiberarModelo(&Paredes);
}

// A floor of 8 x 8 squares of side 50 around the origin, each cut along a
// diagonal, so the reset eye stands above a vertex that six faces share and
// that is the first corner of none of them. With gravity the eye must stay
// 45 above it, tick after tick, also walking along the cut x = z.
TEST_F(TickSuelo, ElInicioSobreUnVerticeDeUnaRejillaAguanta)
{
    LiberarModelo(&Suelo);
    for (int j = 0; j <= 8; j++)
        for (int i = 0; i <= 8; i++) AddVertice(&Suelo, -200.0f + 50.0f * i, 0.0f, -200.0f + 50.0f * j);
    for (int j = 0; j < 8; j++)
        for (int i = 0; i < 8; i++) {
            const int a = j * 9 + i + 1, b = a + 1, c = a + 9, d = c + 1;
            AddCara(&Suelo, b, d, a, 0, 0, 0);
            AddCara(&Suelo, c, a, d, 0, 0, 0);
        }
    IndexarSala();
    VVV = 1;
    OjoA(45.0f);
    for (int k = 0; k < 50; k++) Tiempo(1);
    EXPECT_EQ(camara.Posicion.y, 45.0f);
    EXPECT_TRUE(MismoVector(Mov, Vector{0.0f, 0.0f, 0.0f}));
    DDD = 1;
    GirarCamaraY(&camara, -0.7853982f);   // the side direction now runs along x = z
    for (int k = 0; k < 20; k++) Tiempo(1);
    EXPECT_EQ(camara.Posicion.y, 45.0f);
    EXPECT_GT(std::fabs(camara.Posicion.x), 90.0f);   // 20 x 7 cos 45
    EXPECT_NEAR(camara.Posicion.x, camara.Posicion.z, 1e-3);
}

// A wall 45 ahead across the z axis. Walking into it keeps only the part of
// the step along the wall, 7 sin(angle to its normal); a rest of 1 or less
// is dropped and the camera stays where it is.
Modelo ParedDelante()
{
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, -100.0f, -100.0f, -45.0f);
    AddVertice(&m, 100.0f, -100.0f, -45.0f);
    AddVertice(&m, 0.0f, 100.0f, -45.0f);
    AddCara(&m, 1, 2, 3, 0, 0, 0);
    return m;
}

// Turned so that the slide along the wall is exactly 1 long (the angle was
// found by stepping through floats near asin(1/7)): the threshold is strict,
// the camera stays. At the angle for 1.5 the camera slides along the wall.
TEST_F(TickSuelo, UnRestoDeUnoOMenosSeDescarta)
{
    LiberarModelo(&Suelo);
    Paredes = ParedDelante();
    IndexarSala();
    GirarCamaraY(&camara, 0x1.25932ep-3f);
    Camara antes = camara;
    WWW = 1;
    Tiempo(1);
    ASSERT_EQ(ModuloVector(Mov), 1.0f);
    EXPECT_EQ(Mov.z, 0.0f);
    EXPECT_TRUE(MismaCamara(camara, antes));

    IniciarCamara(&camara);
    GirarCamaraY(&camara, 0x1.ba4944p-3f);
    Tiempo(1);
    ASSERT_EQ(ModuloVector(Mov), 1.5f);
    EXPECT_EQ(Mov.z, 0.0f);
    EXPECT_TRUE(MismoVector(camara.Posicion, Mov));
    LiberarModelo(&Paredes);
}

// ---------------------------------------------------------------- input

struct TeclaBandera {
    unsigned char tecla;
    int *bandera;
};

const TeclaBandera kSostenidas[] = {
    {'w', &WWW}, {'s', &SSS}, {'a', &AAA}, {'d', &DDD},   {'q', &QQQ},
    {'e', &EEE}, {'z', &ZZZ}, {'x', &XXX}, {' ', &SPACE},
};

// Every flag, toggle and pointer global, for "nothing changed" checks.
struct Estado {
    int v[13];
};
Estado Leer() { return Estado{{WWW, SSS, AAA, DDD, QQQ, EEE, ZZZ, XXX, SPACE, CCC, VVV, PosX, PosY}}; }
bool operator==(const Estado &a, const Estado &b) { return memcmp(&a, &b, sizeof a) == 0; }

class Entrada : public ::testing::Test {
protected:
    void SetUp() override { Reiniciar(); }
};

TEST_F(Entrada, LasTeclasPonenYQuitanSuBandera)
{
    for (const TeclaBandera &t : kSostenidas) {
        Reiniciar();
        PulsarSI(t.tecla, 10, 20);
        EXPECT_EQ(*t.bandera, 1) << "key " << t.tecla;
        Estado e = Leer();
        *t.bandera = 0;
        EXPECT_TRUE(Leer() == Estado{}) << "key " << t.tecla << " set another flag";
        *t.bandera = 1;
        PulsarSI(t.tecla, 0, 0);   // a repeat changes nothing
        EXPECT_TRUE(Leer() == e);
        PulsarNO(t.tecla, 10, 20);
        EXPECT_TRUE(Leer() == Estado{}) << "key " << t.tecla;
    }
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));
}

TEST_F(Entrada, ColisionYGravedadCambianSoloAlPulsar)
{
    PulsarSI('c', 0, 0);
    EXPECT_EQ(CCC, 1);
    PulsarNO('c', 0, 0);
    EXPECT_EQ(CCC, 1);
    PulsarSI('c', 0, 0);
    EXPECT_EQ(CCC, 0);

    PulsarSI('v', 0, 0);
    PulsarSI('v', 0, 0);   // a key repeat flips it back
    EXPECT_EQ(VVV, 0);
    PulsarSI('v', 0, 0);
    EXPECT_EQ(VVV, 1);
    PulsarNO('v', 0, 0);
    EXPECT_EQ(VVV, 1);

    CCC = 5;   // any value other than 0 flips to 0
    PulsarSI('c', 0, 0);
    EXPECT_EQ(CCC, 0);
}

TEST_F(Entrada, OtrasTeclasNoHacenNada)
{
    const unsigned char otras[] = {'W', 'S', 'C', 'V', 'R', '1', '\t', 'f', 127, 200, 0};
    for (unsigned char t : otras) {
        PulsarSI(t, 0, 0);
        PulsarNO(t, 0, 0);
    }
    EXPECT_TRUE(Leer() == Estado{});
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));

    // An upper-case key-up does not release the lower-case key.
    PulsarSI('w', 0, 0);
    PulsarNO('W', 0, 0);
    EXPECT_EQ(WWW, 1);
    // Releasing Escape, r, c or v does nothing.
    CCC = VVV = 1;
    PulsarNO(27, 0, 0);
    PulsarNO('r', 0, 0);
    PulsarNO('c', 0, 0);
    PulsarNO('v', 0, 0);
    EXPECT_EQ(CCC, 1);
    EXPECT_EQ(VVV, 1);
    EXPECT_EQ(WWW, 1);
}

TEST_F(Entrada, ReiniciarSoloTocaLaCamara)
{
    CCC = 1;
    WWW = 1;
    Raton(400, 300);
    Raton(420, 310);
    CamaraAvance(&camara, Vector{5.0f, 6.0f, 7.0f});
    Estado antes = Leer();
    PulsarSI('r', 0, 0);
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));
    EXPECT_TRUE(Leer() == antes);
}

TEST_F(Entrada, EscapeTerminaConEstadoCero)
{
    EXPECT_EXIT(PulsarSI(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

// The first event only records the pointer; later ones turn by the travel
// from the previous event, 75 pixels to the radian, yaw then pitch.
TEST_F(Entrada, ElPunteroGiraDesdeElEventoAnterior)
{
    Raton(400, 300);
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));
    EXPECT_EQ(PosX, 400);
    EXPECT_EQ(PosY, 300);

    Camara esperada = CamaraInicial();
    Raton(475, 300);
    GirarCamaraY(&esperada, -1.0f);
    CamaraMirar(&esperada, 0.0f);
    EXPECT_TRUE(MismaCamara(camara, esperada));
    EXPECT_EQ(PosX, 475);

    Raton(475, 300);   // no travel: no turn
    EXPECT_TRUE(MismaCamara(camara, esperada));

    Raton(474, 301);
    GirarCamaraY(&esperada, 1.0f / 75.0f);
    CamaraMirar(&esperada, -1.0f / 75.0f);
    EXPECT_TRUE(MismaCamara(camara, esperada));
    EXPECT_EQ(PosX, 474);
    EXPECT_EQ(PosY, 301);

    Raton(474, 226);   // up by 75: pitch +1 rad, with a zero yaw call first
    GirarCamaraY(&esperada, 0.0f);
    CamaraMirar(&esperada, 1.0f);
    EXPECT_TRUE(MismaCamara(camara, esperada));
}

TEST_F(Entrada, ElPrimerEventoEnElOrigenTambienSoloSeAnota)
{
    Raton(0, 0);
    EXPECT_EQ(RatonIniciado, 1);
    Raton(0, 0);
    EXPECT_TRUE(MismaCamara(camara, CamaraInicial()));
    Raton(75, 0);
    Camara esperada = CamaraInicial();
    GirarCamaraY(&esperada, -1.0f);
    CamaraMirar(&esperada, 0.0f);
    EXPECT_TRUE(MismaCamara(camara, esperada));
}

// ---------------------------------------------------------------- clock

// The frame-rate clock counts elapsed time: a sleeping process, which uses
// no processor time, still sees the milliseconds pass.
TEST(Reloj, CuentaMilisegundosTranscurridos)
{
    int antes = RelojMilisegundos();
    struct timespec espera = {0, 60 * 1000000L};
    nanosleep(&espera, nullptr);
    int despues = RelojMilisegundos();
    EXPECT_GE(despues - antes, 60);
    EXPECT_LT(despues - antes, 60000);
}

}   // namespace
