// test_soak.cpp - the real tick and input callbacks on the bundled hall: set
// walks (PaseosFijosSobreLaSala, at the end), and a long random run.
//
// The three room models are loaded from the generated scene exactly as the
// program loads them, collision and gravity are switched on with their keys,
// and then, tick after tick, a seeded random stream presses and releases
// every key of the input table except Escape and moves the pointer; after
// each batch of events Tiempo runs once, as the GLUT timer would run it. The
// two GLUT calls the tick makes are stood in for below.
//
// `c` and `v` are pressed in pairs within one batch (flipped off and at once
// on again), so the toggles' code runs while collision and gravity are on at
// every tick: with either off the viewer flies through the room by design.
//
// Checked on every tick: all four camera points finite, the timer re-armed
// once and a redisplay asked for once, and the eye between the floor and the
// ceiling. Checked over the run: no heap allocation at all once start-up is
// over. Reported: how often and where the eye was outside the hall's box
// (beyond a wall, below the floor or above the ceiling).
//
// Ticks: TALO_TICKS in the environment (default 100000), seed: TALO_SEMILLA
// (default 6). The full run of a million ticks:
//   TALO_TICKS=1000000 build/tests/soak/test_soak
#include <gtest/gtest.h>

#include <GL/glut.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "conteo_memoria.h"
#include "globales.h"

// ---- the two GLUT calls of the tick

namespace {
long long Temporizadores = 0;
long long Redibujados = 0;
}   // namespace

void glutTimerFunc(unsigned int, void (*)(int), int) { Temporizadores++; }
void glutPostRedisplay() { Redibujados++; }

namespace {

// ---- a seeded stream (splitmix64): no allocation, same run on every machine

uint64_t Estado = 6;

uint64_t Siguiente()
{
    uint64_t z = (Estado += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Azar(int n) { return (int)(Siguiente() % (uint64_t)n); }

long long Entorno(const char *nombre, long long defecto)
{
    const char *v = getenv(nombre);
    return v ? atoll(v) : defecto;
}

// ---- the hall

struct Caja {
    float min[3], max[3];
};

void Ampliar(Caja *c, const Modelo &m)
{
    for (int i = 0; i < m.NumVertices; i++) {
        const float p[3] = {m.Vertices[i].x, m.Vertices[i].y, m.Vertices[i].z};
        for (int k = 0; k < 3; k++) {
            if (p[k] < c->min[k]) c->min[k] = p[k];
            if (p[k] > c->max[k]) c->max[k] = p[k];
        }
    }
}

Modelo Cargar(const char *nombre)
{
    char ruta[512];
    snprintf(ruta, sizeof ruta, "%s/Modelos/%s", TALO_ESCENA_DIR, nombre);
    return CargarModeloOBJ(ruta, 0);   // the three room models are read with format 0
}

bool Finito(Vector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool CamaraFinita(const Camara &c)
{
    return Finito(c.Posicion) && Finito(c.Frente) && Finito(c.Arriba) && Finito(c.Lateral);
}

// ---- the event stream

// Every key of the input table but Escape.
const unsigned char Teclas[] = {'r', 'w', 's', 'a', 'd', 'q', 'e', 'z', 'x', 'c', 'v', ' '};
const int NumTeclas = sizeof Teclas;
bool Pulsada[256];

void EventoTecla()
{
    const unsigned char t = Teclas[Azar(NumTeclas)];
    if (t == 'c' || t == 'v') {   // off and on again before the next tick
        PulsarSI(t, 0, 0);
        PulsarSI(t, 0, 0);
        PulsarNO(t, 0, 0);
    } else if (t == 'r') {
        PulsarSI(t, 0, 0);
        PulsarNO(t, 0, 0);
    } else if (Pulsada[t]) {
        PulsarNO(t, 0, 0);
        Pulsada[t] = false;
    } else {
        PulsarSI(t, 0, 0);
        Pulsada[t] = true;
    }
}

int RatonX = 960, RatonY = 540;

void EventoRaton()
{
    RatonX += Azar(81) - 40;
    RatonY += Azar(81) - 40;
    if (RatonX < 0) RatonX = 0;
    if (RatonX > 1919) RatonX = 1919;
    if (RatonY < 0) RatonY = 0;
    if (RatonY > 1079) RatonY = 1079;
    Raton(RatonX, RatonY);
}

// A batch of input events between two ticks: most ticks see none, some one
// key, some pointer motion.
void Eventos()
{
    const int r = Azar(100);
    if (r < 6)
        EventoTecla();
    else if (r < 16)
        EventoRaton();
    else if (r == 16) {
        EventoTecla();
        EventoRaton();
    }
}

// ---- what the run saw

struct Salida {
    long long tick;
    Vector pos;
};

struct Resultado {
    long long no_finitos, primer_no_finito;
    long long timers_mal;
    long long fuera_altura, fuera_caja, episodios;
    Salida primeras[8];
    int num_primeras;
    float min[3], max[3];   // extent of the eye's travel
};

bool EnCaja(const Caja &c, Vector p, int k)
{
    const float v[3] = {p.x, p.y, p.z};
    return v[k] >= c.min[k] && v[k] <= c.max[k];
}

void Recorrer(long long ticks, const Caja &sala, Resultado *r)
{
    bool fuera_antes = false;
    for (long long t = 0; t < ticks; t++) {
        Eventos();
        const long long timers = Temporizadores, redibujos = Redibujados;
        Tiempo(1);
        if (Temporizadores != timers + 1 || Redibujados != redibujos + 1) r->timers_mal++;
        if (CCC != 1 || VVV != 1) r->timers_mal++;

        if (!CamaraFinita(camara)) {
            if (r->no_finitos++ == 0) r->primer_no_finito = t;
            IniciarCamara(&camara);   // keep the run going to see how often
            continue;
        }
        const Vector p = camara.Posicion;
        const float v[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; k++) {
            if (v[k] < r->min[k]) r->min[k] = v[k];
            if (v[k] > r->max[k]) r->max[k] = v[k];
        }
        const bool altura = EnCaja(sala, p, 1);
        const bool fuera = !altura || !EnCaja(sala, p, 0) || !EnCaja(sala, p, 2);
        if (!altura) r->fuera_altura++;
        if (fuera) {
            r->fuera_caja++;
            if (!fuera_antes) {
                r->episodios++;
                if (r->num_primeras < 8) r->primeras[r->num_primeras++] = Salida{t, p};
            }
        }
        fuera_antes = fuera;
    }
}

// The three room models loaded and indexed as the program does.
class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        Techo = Cargar("Techo.OBJ");
        Suelo = Cargar("Suelo.OBJ");
        Paredes = Cargar("Paredes.OBJ");
        ASSERT_GT(Suelo.NumCaras, 0) << "scene not generated in " << TALO_ESCENA_DIR;
        ASSERT_GT(Techo.NumCaras, 0);
        ASSERT_GT(Paredes.NumCaras, 0);
        IndexarSala();
    }
    void TearDown() override
    {
        LiberarModelo(&Techo);
        LiberarModelo(&Suelo);
        LiberarModelo(&Paredes);
    }
};

TEST_F(Soak, TickYEntradaSobreLaSala)
{
    Caja sala = {{INFINITY, INFINITY, INFINITY}, {-INFINITY, -INFINITY, -INFINITY}};
    Ampliar(&sala, Suelo);
    Ampliar(&sala, Techo);
    Ampliar(&sala, Paredes);

    const long long ticks = Entorno("TALO_TICKS", 100000);
    Estado = (uint64_t)Entorno("TALO_SEMILLA", 6);
    IniciarCamara(&camara);
    PulsarSI('c', 0, 0);
    PulsarSI('v', 0, 0);
    ASSERT_EQ(CCC, 1);
    ASSERT_EQ(VVV, 1);

    Resultado r = {};
    for (int k = 0; k < 3; k++) {
        r.min[k] = INFINITY;
        r.max[k] = -INFINITY;
    }

    // The counter must see an allocation, or its zero below would prove nothing.
    void *(*volatile asignar)(size_t) = malloc;
    EmpezarConteoMemoria();
    free(asignar(16));
    ASSERT_EQ(TerminarConteoMemoria(), 1);
    const clock_t inicio = clock();
    EmpezarConteoMemoria();
    Recorrer(ticks, sala, &r);
    const long long asignaciones = TerminarConteoMemoria();
    const double segundos = (double)(clock() - inicio) / CLOCKS_PER_SEC;

    printf("soak: %lld ticks, seed %lld, %.1f s; hall x %g..%g y %g..%g z %g..%g\n", ticks,
           Entorno("TALO_SEMILLA", 6), segundos, sala.min[0], sala.max[0], sala.min[1], sala.max[1],
           sala.min[2], sala.max[2]);
    printf("soak: eye x %g..%g y %g..%g z %g..%g\n", r.min[0], r.max[0], r.min[1], r.max[1], r.min[2],
           r.max[2]);
    printf("soak: ticks outside the hall %lld (height %lld) in %lld episodes\n", r.fuera_caja, r.fuera_altura,
           r.episodios);
    for (int i = 0; i < r.num_primeras; i++)
        printf("soak:   left the hall at tick %lld at (%g, %g, %g)\n", r.primeras[i].tick,
               r.primeras[i].pos.x, r.primeras[i].pos.y, r.primeras[i].pos.z);

    EXPECT_EQ(asignaciones, 0) << "heap allocations during the ticks";
    EXPECT_EQ(r.no_finitos, 0) << "first non-finite camera at tick " << r.primer_no_finito;
    EXPECT_EQ(r.timers_mal, 0) << "ticks that did not re-arm once, or toggles off";
    EXPECT_EQ(r.fuera_altura, 0) << "ticks with the eye below the floor or above the ceiling";
}

// Set walks with the real tick, gravity and collision on: the eye rests
// 40 to 50 above the floor from the start; walking long enough to cross the
// hall several times over, in several directions, it stays on the floor and
// inside the hall, and straight ahead from the start it meets the
// free-standing wall; a held jump is stopped by the ceiling.
TEST_F(Soak, PaseosFijosSobreLaSala)
{
    Caja hall = {{INFINITY, INFINITY, INFINITY}, {-INFINITY, -INFINITY, -INFINITY}};
    Ampliar(&hall, Suelo);
    for (float giro : {0.0f, 0.6f, -2.0f, 2.9f}) {
        SCOPED_TRACE(giro);
        IniciarCamara(&camara);
        WWW = SSS = AAA = DDD = QQQ = EEE = ZZZ = XXX = SPACE = 0;
        CCC = VVV = 1;
        for (int i = 0; i < 20; i++) {
            Tiempo(1);
            ASSERT_TRUE(camara.Posicion.y >= -10.01f && camara.Posicion.y <= 0.01f) << "tick " << i;
        }
        EXPECT_EQ(camara.Posicion.x, 0.0f);
        EXPECT_EQ(camara.Posicion.z, 0.0f);
        GirarCamaraY(&camara, giro);
        WWW = 1;
        for (int i = 0; i < 700; i++) {
            Tiempo(1);
            const Vector p = camara.Posicion;
            ASSERT_TRUE(p.y >= -10.01f && p.y <= 0.01f) << "tick " << i << " y " << p.y;
            ASSERT_TRUE(p.x > hall.min[0] + 39.0f && p.x < hall.max[0] - 39.0f && p.z > hall.min[2] + 39.0f &&
                        p.z < hall.max[2] - 39.0f)
                << "tick " << i << " at " << p.x << ", " << p.z;
        }
        if (giro == 0.0f) {   // stopped in front of the free-standing wall
            EXPECT_GT(camara.Posicion.z, -1380.0f + 39.0f);
            EXPECT_LT(camara.Posicion.z, -1380.0f + 51.0f);
        }
    }
    IniciarCamara(&camara);
    WWW = 0;
    SPACE = 1;
    float mayor = -1e9f;
    for (int i = 0; i < 150; i++) {
        Tiempo(1);
        mayor = std::max(mayor, camara.Posicion.y);
    }
    EXPECT_GT(mayor, 250.0f);   // room to rise well above the figures
    EXPECT_LE(mayor, 350.0f - 39.0f);
    SPACE = 0;
}

}   // namespace
