// Camera: reset, turns, pitch limits and movement vectors, checked bit for bit
// against a literal double-precision reference of each operation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "camara.h"
#include "comun.h"

namespace {

using ::Mismo;   // the float and vector forms, beside the camera's
bool Mismo(const Camara &a, const Camara &b)
{
    return Mismo(a.Posicion, b.Posicion) && Mismo(a.Frente, b.Frente) && Mismo(a.Arriba, b.Arriba)
           && Mismo(a.Lateral, b.Lateral);
}

bool Finito(Vector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

Vector V(float x, float y, float z) { return Vector{x, y, z}; }

std::string Texto(const char *formato, float x)
{
    char b[64];
    std::snprintf(b, sizeof b, formato, (double)x);
    return b;
}

::testing::AssertionResult BitsIguales(Vector v, Vector e)
{
    if (Bits(v.x) == Bits(e.x) && Bits(v.y) == Bits(e.y) && Bits(v.z) == Bits(e.z))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << v.x << ", " << v.y << ", " << v.z
                                         << ") expected (" << e.x << ", " << e.y << ", " << e.z << ")";
}

// A value known to a given number of decimals: the exact float must show
// exactly those digits when printed with as many decimals ("0" matches -0 too).
std::string Redondeado(float x, const char *impreso)
{
    const char *punto = std::strchr(impreso, '.');
    int decimales = punto ? (int)std::strlen(punto + 1) : 0;
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", decimales, (double)x);
    std::string t = b;
    if (t.find_first_not_of("-0.") == std::string::npos && t[0] == '-')
        t.erase(0, 1);
    return t;
}

::testing::AssertionResult Muestra(Vector v, const char *x, const char *y, const char *z)
{
    std::string tx = Redondeado(v.x, x), ty = Redondeado(v.y, y), tz = Redondeado(v.z, z);
    if (tx == x && ty == y && tz == z)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shows (" << tx << ", " << ty << ", " << tz << ")";
}

// ---- Literal reference of the camera operations, written term by term from the
// ---- formulas: double evaluation, one rounding to float per stored value.

Vector RRes(Vector a, Vector b) { return V(a.x - b.x, a.y - b.y, a.z - b.z); }
Vector RSum(Vector a, Vector b) { return V(a.x + b.x, a.y + b.y, a.z + b.z); }
Vector REsc(Vector a, float s) { return V(a.x * s, a.y * s, a.z * s); }

float RMod(Vector a)
{
    return (float)std::sqrt((double)(float)((double)a.x * a.x + (double)a.y * a.y + (double)a.z * a.z));
}

Vector RNorm(Vector a)
{
    float m = RMod(a);
    return m == 0 ? a : V(a.x / m, a.y / m, a.z / m);
}

float RAngulo(Vector a, Vector b)
{
    float d = (float)((double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z);
    float q = (float)((double)d / ((double)RMod(a) * (double)RMod(b)));
    return (float)std::acos((double)q);
}

Vector RGirarY(Vector v, float ang)
{
    double c = std::cos((double)ang), s = std::sin((double)ang);
    return V((float)((double)v.x * c + (double)v.z * s), v.y, (float)((double)v.z * c - (double)v.x * s));
}

Vector RGirarX(Vector v, float ang)
{
    double c = std::cos((double)ang), s = std::sin((double)ang);
    return V(v.x, (float)((double)v.y * c + (double)v.z * s), (float)((double)v.z * c - (double)v.y * s));
}

void RGirarCamaraY(Camara *c, float ang)
{
    c->Frente = RSum(RGirarY(RRes(c->Frente, c->Posicion), ang), c->Posicion);
    c->Arriba = RSum(RGirarY(RRes(c->Arriba, c->Posicion), ang), c->Posicion);
    c->Lateral = RSum(RGirarY(RRes(c->Lateral, c->Posicion), ang), c->Posicion);
}

void RCamaraMirar(Camara *c, float th)
{
    Vector B = RRes(c->Frente, c->Posicion);
    Vector A = RRes(c->Arriba, c->Frente);
    float phi = RAngulo(B, V(0, 1, 0));
    if (!(((double)phi > 0.2 && th > 0) || ((double)phi < 3.1 && th <= 0)))
        return;
    Vector *puntos[2] = {&c->Arriba, &c->Frente};
    for (Vector *X : puntos) {
        Vector R = RRes(*X, c->Posicion);
        float den = (float)((double)B.x * A.y - (double)B.y * A.x);
        float beta = (float)(((double)R.x * A.y - (double)R.y * A.x) / (double)den);
        float alfa = (float)(((double)B.x * R.y - (double)B.y * R.x) / (double)den);
        double ct = std::cos((double)th), st = std::sin((double)th);
        float beta2 = (float)(beta * ct - alfa * st);
        float alfa2 = (float)(alfa * ct + beta * st);
        *X = RSum(RSum(c->Posicion, REsc(B, beta2)), REsc(A, alfa2));
    }
}

Camara Reset()
{
    Camara c;
    IniciarCamara(&c);
    return c;
}

float Phi(const Camara &c) { return RAngulo(RRes(c.Frente, c.Posicion), V(0, 1, 0)); }

} // namespace

TEST(CamaraReset, ValoresFijosSobreCualquierContenido)
{
    Camara c;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    c.Posicion = V(nan, 5, 6);
    c.Frente = V(1, nan, 3);
    c.Arriba = V(-1, -2, -3);
    c.Lateral = V(1e30f, 0, nan);
    IniciarCamara(&c);
    EXPECT_TRUE(BitsIguales(c.Posicion, V(0, 0, 0)));
    EXPECT_TRUE(BitsIguales(c.Frente, V(0.01f, 0, -99999)));
    EXPECT_TRUE(BitsIguales(c.Arriba, V(0.01f, 99999, -99999)));
    EXPECT_TRUE(BitsIguales(c.Lateral, V(99999, 0, 0)));
}

TEST(CamaraMovimiento, VectoresFrenteYLateral)
{
    const Camara c = Reset();
    Vector f = CamaraVecFrente(c, V(0, 0, 0), 7);
    Vector esperado = RSum(REsc(RNorm(RRes(c.Frente, c.Posicion)), 7), V(0, 0, 0));
    EXPECT_TRUE(BitsIguales(f, esperado));
    EXPECT_EQ(Texto("%.5e", f.x), "7.00007e-07");
    EXPECT_EQ(Bits(f.y), Bits(0.0f));
    EXPECT_EQ(Bits(f.z), Bits(-7.0f));
    Vector b = CamaraVecFrente(c, V(0, 0, 0), -7);
    EXPECT_TRUE(BitsIguales(b, RSum(REsc(RNorm(RRes(c.Frente, c.Posicion)), -7), V(0, 0, 0))));
    EXPECT_EQ(Bits(b.x), Bits(-f.x));
    EXPECT_EQ(Texto("%.5e", b.x), "-7.00007e-07");
    EXPECT_EQ(Bits(b.z), Bits(7.0f));
    EXPECT_TRUE(BitsIguales(CamaraVecLateral(c, V(0, 0, 0), 7), V(7, 0, 0)));
    EXPECT_TRUE(BitsIguales(CamaraVecLateral(c, V(1, 2, 3), -7), V(-6, 2, 3)));
    // The accumulator is added to the scaled direction.
    Vector acumulado = V(0.5f, -1, 2);
    EXPECT_TRUE(BitsIguales(CamaraVecFrente(c, acumulado, 7), RSum(esperado, acumulado)));
}

TEST(CamaraMovimiento, VectorNuloDevuelveAcumulador)
{
    Camara c = Reset();
    c.Frente = c.Posicion;
    c.Lateral = c.Posicion;
    EXPECT_TRUE(BitsIguales(CamaraVecFrente(c, V(1, 2, 3), 7), V(1, 2, 3)));
    EXPECT_TRUE(BitsIguales(CamaraVecLateral(c, V(1, 2, 3), -7), V(1, 2, 3)));
}

TEST(CamaraMovimiento, Avance)
{
    Camara c = Reset();
    CamaraAvance(&c, V(1, 2, 3));
    EXPECT_TRUE(BitsIguales(c.Posicion, V(1, 2, 3)));
    EXPECT_TRUE(BitsIguales(c.Frente, V(1.01f, 2, -99996)));
    EXPECT_TRUE(BitsIguales(c.Arriba, V(1.01f, 100001, -99996)));
    EXPECT_TRUE(BitsIguales(c.Lateral, V(100000, 2, 3)));
}

TEST(CamaraGiro, GirarYIzquierdaYDerecha)
{
    Camara c = Reset();
    GirarCamaraY(&c, 0.05f);
    Camara r = Reset();
    RGirarCamaraY(&r, 0.05f);
    EXPECT_TRUE(Mismo(c, r));
    EXPECT_TRUE(BitsIguales(c.Posicion, V(0, 0, 0)));
    EXPECT_TRUE(Muestra(c.Frente, "-4997.857", "0", "-99874.03"));
    EXPECT_TRUE(Muestra(c.Arriba, "-4997.857", "99999", "-99874.03"));
    EXPECT_TRUE(Muestra(c.Lateral, "99874.02", "0", "-4997.867"));

    Camara d = Reset();
    GirarCamaraY(&d, -0.05f);
    Camara rd = Reset();
    RGirarCamaraY(&rd, -0.05f);
    EXPECT_TRUE(Mismo(d, rd));
    EXPECT_TRUE(Muestra(d.Frente, "4997.877", "0", "-99874.02"));
}

TEST(CamaraGiro, GirarXCuartoDeVuelta)
{
    Camara c = Reset();
    GirarCamaraX(&c, 1.5707964f);
    EXPECT_TRUE(BitsIguales(c.Frente, RGirarX(V(0.01f, 0, -99999), 1.5707964f)));
    EXPECT_TRUE(Muestra(c.Frente, "0.01", "-99999", "0.0043711"));
    EXPECT_EQ(Bits(c.Frente.x), Bits(0.01f));
    EXPECT_EQ(Bits(c.Frente.y), Bits(-99999.0f));
}

TEST(CamaraGiro, GirarZMueveLateralYArriba)
{
    // About z through a moved eye: the eye stays, the points turn about it.
    Camara c = Reset();
    CamaraAvance(&c, V(10, 20, 30));
    GirarCamaraZ(&c, 1.5707964f);
    EXPECT_TRUE(BitsIguales(c.Posicion, V(10, 20, 30)));
    Vector lado = RRes(c.Lateral, c.Posicion);
    EXPECT_GT(lado.y, 99998.0f);          // +x turned towards +y
    EXPECT_LT(std::fabs(lado.x), 0.01f);
    EXPECT_EQ(Bits(c.Lateral.z), Bits(30.0f));
}

TEST(CamaraMirar, ArribaYAbajoPorCincoCentesimas)
{
    Camara c = Reset();
    EXPECT_EQ(Bits(Phi(c)), Bits(1.5707964f));
    EXPECT_TRUE(Texto("%.2f", (float)(0.01f * (double)99999.0f)) == "999.99");
    CamaraMirar(&c, 0.05f);
    Camara r = Reset();
    RCamaraMirar(&r, 0.05f);
    EXPECT_TRUE(Mismo(c, r));
    EXPECT_TRUE(BitsIguales(c.Posicion, V(0, 0, 0)));
    EXPECT_TRUE(BitsIguales(c.Lateral, V(99999, 0, 0)));
    EXPECT_TRUE(Muestra(c.Frente, "0.0099875", "4997.867", "-99874.03"));
    EXPECT_TRUE(Muestra(c.Arriba, "0.0094877", "104871.9", "-94876.16"));

    Camara d = Reset();
    CamaraMirar(&d, -0.05f);
    Camara rd = Reset();
    RCamaraMirar(&rd, -0.05f);
    EXPECT_TRUE(Mismo(d, rd));
    EXPECT_TRUE(Muestra(d.Frente, "0.0099875", "-4997.867", "-99874.03"));
    EXPECT_TRUE(Muestra(d.Arriba, "0.0104873", "94876.16", "-104871.9"));
}

TEST(CamaraMirar, AnguloCeroNoMueveNada)
{
    Camara c = Reset();
    CamaraMirar(&c, 0.0f);
    EXPECT_TRUE(Mismo(c, Reset()));
}

TEST(CamaraMirar, LimitesDeInclinacion)
{
    Camara c = Reset();
    int giros = 0;
    for (int i = 0; i < 100; i++) {
        Camara antes = c;
        CamaraMirar(&c, 0.05f);
        Camara r = antes;
        RCamaraMirar(&r, 0.05f);
        ASSERT_TRUE(Mismo(c, r)) << "turn " << i;
        if (Mismo(c, antes))
            break;
        giros++;
    }
    EXPECT_EQ(giros, 28);
    EXPECT_EQ(Texto("%.4f", Phi(c)), "0.1708");
    EXPECT_LT((double)Phi(c), 0.2);
    Camara arriba = c;
    CamaraMirar(&c, -0.05f);
    EXPECT_FALSE(Mismo(c, arriba));   // still turns down
    EXPECT_GT(Phi(c), Phi(arriba));

    c = Reset();
    giros = 0;
    for (int i = 0; i < 100; i++) {
        Camara antes = c;
        CamaraMirar(&c, -0.05f);
        Camara r = antes;
        RCamaraMirar(&r, -0.05f);
        ASSERT_TRUE(Mismo(c, r)) << "turn " << i;
        if (Mismo(c, antes))
            break;
        giros++;
    }
    EXPECT_EQ(giros, 31);
    EXPECT_EQ(Texto("%.4f", Phi(c)), "3.1208");
    EXPECT_GT((double)Phi(c), 3.1);
    Camara abajo = c;
    CamaraMirar(&c, 0.05f);
    EXPECT_FALSE(Mismo(c, abajo));    // still turns up
    EXPECT_LT(Phi(c), Phi(abajo));
}

// A camera at the origin looking along (x, y, 0), with a perpendicular up offset.
Camara CamaraVista(float x, float y)
{
    Camara c;
    IniciarCamara(&c);
    c.Frente = V(x * 1000, y * 1000, 0);
    c.Arriba = RSum(c.Frente, V(-y * 1000, x * 1000, 0));
    return c;
}

// Finds two neighbouring floats x1 < x2 such that the cameras CamaraVista(x1, y)
// and CamaraVista(x2, y) look on either side of the angle `limite` to world up.
void Frontera(double limite, float y, float *x1, float *x2)
{
    float x = (float)std::fabs(std::tan(limite));
    for (int i = 0; i < 100000; i++) {
        float sig = std::nextafter(x, 1.0f);
        double a = Phi(CamaraVista(x, y)), b = Phi(CamaraVista(sig, y));
        if ((a - limite) * (b - limite) < 0) {
            *x1 = x;
            *x2 = sig;
            return;
        }
        bool subir = (y > 0) ? (b < limite) : (b > limite);
        x = subir ? sig : std::nextafter(x, 0.0f);
    }
    *x1 = *x2 = 0;
}

// Views one rounding step on either side of each limit: the turn towards the
// limit happens only on the near side. (The float 0.2f and 3.1f themselves
// are not angles AnguloEntreVectores can return, so whether the limits are
// double or float constants makes no observable difference.)
TEST(CamaraMirar, FronteraDeLosLimites)
{
    float x1, x2;
    Frontera(0.2, 1.0f, &x1, &x2);
    ASSERT_NE(x1, x2);
    Camara dentro = CamaraVista(x2, 1.0f), fuera = CamaraVista(x1, 1.0f);
    ASSERT_GT((double)Phi(dentro), 0.2);
    ASSERT_LT((double)Phi(fuera), 0.2);
    Camara antes = dentro;
    CamaraMirar(&dentro, 0.05f);
    EXPECT_FALSE(Mismo(dentro, antes));
    antes = fuera;
    CamaraMirar(&fuera, 0.05f);
    EXPECT_TRUE(Mismo(fuera, antes));

    Frontera(3.1, -1.0f, &x1, &x2);
    ASSERT_NE(x1, x2);
    dentro = CamaraVista(x2, -1.0f);
    fuera = CamaraVista(x1, -1.0f);
    ASSERT_LT((double)Phi(dentro), 3.1);
    ASSERT_GT((double)Phi(fuera), 3.1);
    antes = dentro;
    CamaraMirar(&dentro, -0.05f);
    EXPECT_FALSE(Mismo(dentro, antes));
    antes = fuera;
    CamaraMirar(&fuera, -0.05f);
    EXPECT_TRUE(Mismo(fuera, antes));
}

TEST(CamaraMirar, GiroGrandeSePasaPorEncima)
{
    Camara c = Reset();
    CamaraMirar(&c, 2.0f);
    Camara r = Reset();
    RCamaraMirar(&r, 2.0f);
    EXPECT_TRUE(Mismo(c, r));
    EXPECT_TRUE(Muestra(c.Frente, "-0.0041615", "90928.83", "41614.27"));
    EXPECT_EQ(Texto("%.4f", Phi(c)), "0.4292");
    Vector a = RRes(c.Arriba, c.Frente);
    EXPECT_TRUE(Muestra(a, "-0.009093", "-41614.26", "90928.83"));
}

// A level view exactly along z has parallel x-y projections of view and up
// offset: the x-y solve is singular. The camera must stay finite and still
// pitch the right way, and a zero angle must leave it (nearly) where it was.
TEST(CamaraMirar, DeterminanteCeroSigueFinita)
{
    Camara c = Reset();
    c.Frente.x = 0.0f;
    c.Arriba.x = 0.0f;
    const Camara inicial = c;

    Camara literal = c;
    RCamaraMirar(&literal, 0.05f);
    EXPECT_FALSE(Finito(literal.Frente));   // what the plain x-y solve would give

    CamaraMirar(&c, 0.05f);
    ASSERT_TRUE(Finito(c.Frente) && Finito(c.Arriba));
    EXPECT_TRUE(Mismo(c.Posicion, inicial.Posicion));
    EXPECT_TRUE(Mismo(c.Lateral, inicial.Lateral));
    // The same turn as the reset camera's, up to the 0.01 offset it lacks.
    Camara ref = Reset();
    CamaraMirar(&ref, 0.05f);
    EXPECT_NEAR(c.Frente.y, ref.Frente.y, 0.01);
    EXPECT_NEAR(c.Frente.z, ref.Frente.z, 0.01);
    EXPECT_NEAR(c.Arriba.y, ref.Arriba.y, 0.01);
    EXPECT_NEAR(c.Arriba.z, ref.Arriba.z, 0.01);
    EXPECT_EQ(c.Frente.x, 0.0f);

    Camara quieta = inicial;
    CamaraMirar(&quieta, 0.0f);
    EXPECT_TRUE(Finito(quieta.Frente) && Finito(quieta.Arriba));
    EXPECT_NEAR(quieta.Frente.z, -99999.0f, 0.01);
    EXPECT_NEAR(quieta.Arriba.y, 99999.0f, 0.01);

    // A camera whose up offset is parallel to the view cannot be pitched:
    // it is left exactly as it was.
    Camara plana = Reset();
    plana.Arriba = V(0.02f, 0, -199998);
    const Camara antes = plana;
    CamaraMirar(&plana, 0.05f);
    EXPECT_TRUE(Mismo(plana, antes));

    // An infinite angle has no sine: nothing moves.
    Camara inf = Reset();
    CamaraMirar(&inf, std::numeric_limits<float>::infinity());
    EXPECT_TRUE(Mismo(inf, Reset()));
}

// ---- Random cameras against the literal reference.

namespace {

float Aleatorio(std::mt19937 &g)
{
    std::uniform_real_distribution<float> uno(-1.0f, 1.0f);
    int t = std::uniform_int_distribution<int>(0, 9)(g);
    if (t < 2)
        return (float)std::uniform_int_distribution<int>(-3, 3)(g);
    if (t < 5)
        return uno(g) * 100000.0f;
    if (t < 8)
        return uno(g) * 100.0f;
    return std::ldexp(uno(g), std::uniform_int_distribution<int>(-30, 30)(g));
}

Vector VAleatorio(std::mt19937 &g)
{
    float x = Aleatorio(g), y = Aleatorio(g);
    return V(x, y, Aleatorio(g));
}

// Half rigid cameras (reset, turned and moved at random), half arbitrary points.
Camara CamaraAleatoria(std::mt19937 &g, int i)
{
    Camara c;
    if (i % 2) {
        c.Posicion = VAleatorio(g);
        c.Frente = VAleatorio(g);
        c.Arriba = VAleatorio(g);
        c.Lateral = VAleatorio(g);
        if (i % 10 == 1) {               // singular x-y projections
            c.Frente.x = c.Posicion.x;
            c.Arriba.x = c.Frente.x;
        }
        return c;
    }
    std::uniform_real_distribution<float> ang(-3.2f, 3.2f);
    IniciarCamara(&c);
    GirarCamaraX(&c, ang(g));
    GirarCamaraY(&c, ang(g));
    GirarCamaraZ(&c, ang(g));
    CamaraAvance(&c, VAleatorio(g));
    return c;
}

} // namespace

TEST(CamaraDiferencial, MirarYGirar)
{
    std::mt19937 g(4242);
    std::uniform_real_distribution<float> ang(-2.5f, 2.5f);
    int comparados = 0, singulares = 0;
    for (int i = 0; i < 100000; i++) {
        const Camara c = CamaraAleatoria(g, i);
        float th = (i % 3 == 0) ? ((i % 6 == 0) ? 0.05f : -0.05f) : ang(g);
        if (i % 17 == 0)
            th = 0.0f;

        Camara e = c, r = c;
        CamaraMirar(&e, th);
        RCamaraMirar(&r, th);
        if (Finito(r.Frente) && Finito(r.Arriba)) {
            comparados++;
            ASSERT_TRUE(Mismo(e, r)) << i;
        } else {
            singulares++;
            ASSERT_TRUE(Finito(e.Frente) && Finito(e.Arriba)) << i;
            ASSERT_TRUE(Mismo(e.Posicion, c.Posicion) && Mismo(e.Lateral, c.Lateral)) << i;
        }

        Camara ey = c, ry = c;
        GirarCamaraY(&ey, th);
        RGirarCamaraY(&ry, th);
        ASSERT_TRUE(Mismo(ey, ry)) << i;

        Vector acc = VAleatorio(g);
        ASSERT_TRUE(Mismo(CamaraVecFrente(c, acc, th),
                          RSum(REsc(RNorm(RRes(c.Frente, c.Posicion)), th), acc))) << i;
        ASSERT_TRUE(Mismo(CamaraVecLateral(c, acc, th),
                          RSum(REsc(RNorm(RRes(c.Lateral, c.Posicion)), th), acc))) << i;
    }
    EXPECT_GT(comparados, 80000);
    EXPECT_GT(singulares, 1000);
}

// ---- Pitch whose x-y solve is singular: every orientation whose side axis
// ---- lies in the x-y plane, where the other component pairs must take over.

namespace {

// The camera at `ojo` looking along cos(u) e + sin(u) z, e the unit
// horizontal direction at `w` degrees from +y towards -x: its side axis is
// horizontal, so the x-y projections of view and up offset are parallel.
// They are so exactly in floats when w is a multiple of 45 degrees, or when
// the view is along z (u = 90 or 270), whatever w.
double SenoExacto(double grados, double (*f)(double))
{
    const double v = f(grados * M_PI / 180);
    if (std::fmod(grados, 90) == 0) return std::round(v);
    if (std::fmod(grados, 45) == 0) return v < 0 ? -M_SQRT1_2 : M_SQRT1_2;
    return v;
}

Camara CamaraDeCostado(Vector ojo, double w, double u, float largo)
{
    const double ex = -SenoExacto(w, std::sin), ey = SenoExacto(w, std::cos);
    const double cu = SenoExacto(u, std::cos), su = SenoExacto(u, std::sin);
    const Vector b = V((float)(largo * cu * ex), (float)(largo * cu * ey), (float)(largo * su));
    const Vector a = V((float)(-largo * su * ex), (float)(-largo * su * ey), (float)(largo * cu));
    Camara c;
    c.Posicion = ojo;
    c.Frente = RSum(ojo, b);
    c.Arriba = RSum(c.Frente, a);
    c.Lateral = RSum(ojo, V((float)(largo * ey), (float)(-largo * ex), 0.0f));
    return c;
}

double Coseno(Vector a, Vector b)
{
    const double d = (double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z;
    const double na = std::sqrt((double)a.x * a.x + (double)a.y * a.y + (double)a.z * a.z);
    const double nb = std::sqrt((double)b.x * b.x + (double)b.y * b.y + (double)b.z * b.z);
    return d / (na * nb);
}

::testing::AssertionResult Cerca(Vector v, double x, double y, double z, double tolerancia)
{
    if (std::fabs(v.x - x) <= tolerancia && std::fabs(v.y - y) <= tolerancia && std::fabs(v.z - z) <= tolerancia)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << v.x << ", " << v.y << ", " << v.z << ") expected (" << x
                                         << ", " << y << ", " << z << ")";
}

}  // namespace

// From every such orientation (side axis along x, along y or diagonal, view
// at every 30 degrees about it; a level view along z with its side axis at
// any angle; eyes here and there, scales 1 to 1e5), a
// pitch by +-0.05 turns view and up offset together about the side axis,
// exactly as a well-posed camera turns: B' = B cos t + A sin t and
// A' = A cos t - B sin t; eye and side point stay put. Views within 0.2 of
// straight up do not turn further up, nor views within 0.04 of straight
// down further down.
TEST(CamaraMirarSingular, GiraDesdeCadaOrientacion)
{
    std::vector<std::pair<double, double>> orientaciones;
    for (int w = 0; w < 360; w += 45)
        for (int u = 0; u < 360; u += 30) orientaciones.push_back({w, u});
    // A level view along z with the up offset anywhere in the x-y plane,
    // nearly along x or y too: the better conditioned pair must be chosen.
    for (double w : {1e-5, 3.0, 30.0, 44.9, 45.1, 60.0, 89.99999, 135.5, 200.0, 300.7, 359.99999})
        for (double u : {90.0, 270.0}) orientaciones.push_back({w, u});
    int giradas = 0, quietas = 0;
    for (auto [w, u] : orientaciones)
            for (float t : {0.05f, -0.05f})
                for (float largo : {1.0f, 99999.0f}) {
                    const Vector ojo = largo > 1 ? V(250, -40, 1e4f) : V(0, 0, 0);
                    Camara c = CamaraDeCostado(ojo, w, u, largo);
                    const Camara antes = c;
                    const Vector b = RRes(c.Frente, c.Posicion), a = RRes(c.Arriba, c.Frente);
                    ASSERT_EQ((double)b.x * a.y - (double)b.y * a.x, 0.0) << w << " " << u;
                    const double phi = std::acos(Coseno(b, V(0, 1, 0)));
                    CamaraMirar(&c, t);
                    const std::string caso = "w " + std::to_string(w) + " u " + std::to_string(u) + " t "
                                             + std::to_string(t) + " scale " + std::to_string(largo);
                    EXPECT_TRUE(Mismo(c.Posicion, antes.Posicion)) << caso;
                    EXPECT_TRUE(Mismo(c.Lateral, antes.Lateral)) << caso;
                    if ((t > 0 && phi < 0.15) || (t < 0 && phi > 3.13)) {
                        EXPECT_TRUE(Mismo(c, antes)) << caso;
                        quietas++;
                        continue;
                    }
                    const double ct = std::cos((double)t), st = std::sin((double)t), tol = 2e-6 * largo;
                    const Vector nb = RRes(c.Frente, c.Posicion), na = RRes(c.Arriba, c.Frente);
                    EXPECT_TRUE(Cerca(nb, b.x * ct + a.x * st, b.y * ct + a.y * st, b.z * ct + a.z * st, tol)) << caso;
                    EXPECT_TRUE(Cerca(na, a.x * ct - b.x * st, a.y * ct - b.y * st, a.z * ct - b.z * st, tol)) << caso;
                    giradas++;
                }
    EXPECT_EQ(quietas, 4 * 2);   // up and down, each reached from w = 0 and w = 180, at two scales
    EXPECT_EQ(giradas, (int)orientaciones.size() * 2 * 2 - quietas);
}
