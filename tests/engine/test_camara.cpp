// Camera: reset, turns, pitch limits and movement vectors, bit for bit. The
// exact values are worked out from the stated rules (double evaluation, one
// rounding to float per stored value); the printed decimals beside some of
// them are what a reader can check with a calculator.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "camara.h"
#include "comun.h"

namespace {

using ::Mismo;   // the float and vector forms, beside the camera's
bool Mismo(const Camara &a, const Camara &b)
{
    return Mismo(a.Posicion, b.Posicion) && Mismo(a.Frente, b.Frente) && Mismo(a.Arriba, b.Arriba) &&
           Mismo(a.Lateral, b.Lateral);
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
    return ::testing::AssertionFailure() << "got (" << v.x << ", " << v.y << ", " << v.z << ") expected ("
                                         << e.x << ", " << e.y << ", " << e.z << ")";
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
    if (t.find_first_not_of("-0.") == std::string::npos && t[0] == '-') t.erase(0, 1);
    return t;
}

::testing::AssertionResult Muestra(Vector v, const char *x, const char *y, const char *z)
{
    std::string tx = Redondeado(v.x, x), ty = Redondeado(v.y, y), tz = Redondeado(v.z, z);
    if (tx == x && ty == y && tz == z) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shows (" << tx << ", " << ty << ", " << tz << ")";
}

Vector RRes(Vector a, Vector b) { return V(a.x - b.x, a.y - b.y, a.z - b.z); }

::testing::AssertionResult CamaraExacta(const Camara &c, Vector p, Vector f, Vector a, Vector l)
{
    ::testing::AssertionResult r = BitsIguales(c.Posicion, p);
    if (r) r = BitsIguales(c.Frente, f);
    if (r) r = BitsIguales(c.Arriba, a);
    if (r) r = BitsIguales(c.Lateral, l);
    return r;
}

// The angle of the view to world up, as the pitch limits measure it.
float Phi(const Camara &c) { return AnguloEntreVectores(RRes(c.Frente, c.Posicion), V(0, 1, 0)); }

Camara Reset()
{
    Camara c;
    IniciarCamara(&c);
    return c;
}

// The reset camera turned 0.7 about y, 0.3 about x, then moved.
Camara Inclinada()
{
    Camara c = Reset();
    GirarCamaraY(&c, 0.7f);
    GirarCamaraX(&c, 0.3f);
    CamaraAvance(&c, V(12.5f, -3, 40));
    return c;
}

}   // namespace

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
    // 7 times the unit view (0.01, 0, -99999) / |...|: x is 7e-7 to five digits.
    const Vector f = CamaraVecFrente(c, V(0, 0, 0), 7);
    EXPECT_TRUE(BitsIguales(f, V(0x1.77d03ap-21f, 0, -7)));
    EXPECT_EQ(Texto("%.5e", f.x), "7.00007e-07");
    EXPECT_TRUE(BitsIguales(CamaraVecFrente(c, V(0, 0, 0), -7), V(-0x1.77d03ap-21f, 0, 7)));
    EXPECT_TRUE(BitsIguales(CamaraVecLateral(c, V(0, 0, 0), 7), V(7, 0, 0)));
    EXPECT_TRUE(BitsIguales(CamaraVecLateral(c, V(1, 2, 3), -7), V(-6, 2, 3)));
    // The accumulator is added to the scaled direction.
    EXPECT_TRUE(BitsIguales(CamaraVecFrente(c, V(0.5f, -1, 2), 7), V(0.5f + 0x1.77d03ap-21f, -1, -5)));
    // A turned and moved camera, where every component counts.
    const Camara t = Inclinada();
    EXPECT_TRUE(BitsIguales(CamaraVecFrente(t, V(0.5f, -1, 2), 7),
                            V(-0x1.009c08p+2f, -0x1.4a8504p+1f, -0x1.8eb0d8p+1f)));
    EXPECT_TRUE(BitsIguales(CamaraVecLateral(t, V(0.5f, -1, 2), -7),
                            V(-0x1.36a638p+2f, 0x1.54a3ap-2f, 0x1.93b81ep+2f)));
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
    EXPECT_TRUE(CamaraExacta(c, V(1, 2, 3), V(1.01f, 2, -99996), V(1.01f, 100001, -99996), V(100000, 2, 3)));
}

// Each turn moves the three points about the eye, which stays.
TEST(CamaraGiro, GirosSobreLosTresEjes)
{
    Camara c = Reset();
    GirarCamaraY(&c, 0.05f);
    EXPECT_TRUE(CamaraExacta(c, V(0, 0, 0), V(-0x1.385db6p+12f, 0, -0x1.862208p+16f),
                             V(-0x1.385db6p+12f, 0x1.869fp+16f, -0x1.862208p+16f),
                             V(0x1.862206p+16f, 0, -0x1.385dep+12f)));
    EXPECT_TRUE(Muestra(c.Frente, "-4997.857", "0", "-99874.03"));
    c = Reset();
    GirarCamaraY(&c, -0.05f);
    EXPECT_TRUE(CamaraExacta(c, V(0, 0, 0), V(0x1.385e08p+12f, 0, -0x1.862206p+16f),
                             V(0x1.385e08p+12f, 0x1.869fp+16f, -0x1.862206p+16f),
                             V(0x1.862206p+16f, 0, 0x1.385dep+12f)));
    c = Reset();
    GirarCamaraX(&c, 1.5707964f);
    EXPECT_TRUE(CamaraExacta(c, V(0, 0, 0), V(0.01f, -99999, 0x1.1e76dp-8f),
                             V(0.01f, -0x1.869f02p+16f, -0x1.869efep+16f), V(99999, 0, 0)));
    // About z through a moved eye: +x turns towards +y.
    c = Reset();
    CamaraAvance(&c, V(10, 20, 30));
    GirarCamaraZ(&c, 1.5707964f);
    EXPECT_TRUE(CamaraExacta(c, V(10, 20, 30), V(10, 0x1.4028f6p+4f, -99969),
                             V(-99989, 0x1.40170ep+4f, -99969), V(0x1.3fdc32p+3f, 100019, 30)));
}

TEST(CamaraMirar, ArribaAbajoYGiroGrande)
{
    Camara c = Reset();
    EXPECT_EQ(Bits(Phi(c)), Bits(1.5707964f));
    CamaraMirar(&c, 0.05f);
    EXPECT_TRUE(CamaraExacta(c, V(0, 0, 0), V(0x1.47453ep-7f, 0x1.385ddep+12f, -0x1.862208p+16f),
                             V(0x1.36e4bp-7f, 0x1.99a7e4p+16f, -0x1.729c2ap+16f), V(99999, 0, 0)));
    EXPECT_TRUE(Muestra(c.Frente, "0.0099875", "4997.867", "-99874.03"));
    c = Reset();
    CamaraMirar(&c, -0.05f);
    EXPECT_TRUE(CamaraExacta(c, V(0, 0, 0), V(0x1.47453ep-7f, -0x1.385ddep+12f, -0x1.862208p+16f),
                             V(0x1.57a5ccp-7f, 0x1.729c2ap+16f, -0x1.99a7e4p+16f), V(99999, 0, 0)));
    // 2 radians from level goes over the top: the view ends up behind.
    c = Reset();
    CamaraMirar(&c, 2.0f);
    EXPECT_TRUE(CamaraExacta(c, V(0, 0, 0), V(-0x1.10b9dap-8f, 0x1.6330d4p+16f, 0x1.451c8ap+15f),
                             V(-0x1.b25252p-7f, 0x1.814522p+15f, 0x1.02df8cp+17f), V(99999, 0, 0)));
    EXPECT_EQ(Texto("%.4f", Phi(c)), "0.4292");
    // A turned and moved camera: the pitch is about its own side axis.
    c = Inclinada();
    CamaraMirar(&c, 0.37f);
    EXPECT_TRUE(CamaraExacta(c, V(12.5f, -3, 40), V(-0x1.d52222p+15f, 0x1.a4f2p+13f, -0x1.33b12p+16f),
                             V(-0x1.1f22ccp+15f, 0x1.b0776p+16f, -0x1.381ab4p+16f),
                             V(0x1.2acff4p+16f, -0x1.2982fap+14f, -0x1.e07fb4p+15f)));
    c = Inclinada();
    CamaraMirar(&c, -1.1f);
    EXPECT_TRUE(CamaraExacta(c, V(12.5f, -3, 40), V(-0x1.c862aap+14f, -0x1.74a2cep+16f, -0x1.a6e638p+12f),
                             V(-0x1.525d3ep+16f, -0x1.1a0cfcp+16f, -0x1.4d292cp+16f),
                             V(0x1.2acff4p+16f, -0x1.2982fap+14f, -0x1.e07fb4p+15f)));
}

TEST(CamaraMirar, AnguloCeroNoMueveNada)
{
    Camara c = Reset();
    CamaraMirar(&c, 0.0f);
    EXPECT_TRUE(Mismo(c, Reset()));
}

// Turning one way stops short of straight up (above 0.2 rad to world up) and
// straight down (below 3.1); from the limit the other way still turns.
TEST(CamaraMirar, LimitesDeInclinacion)
{
    struct Caso {
        float paso;
        int giros;
        const char *phi;
    };
    for (const Caso &k : {Caso{0.05f, 28, "0.1708"}, Caso{-0.05f, 31, "3.1208"}}) {
        SCOPED_TRACE(k.paso);
        Camara c = Reset();
        int giros = 0;
        for (Camara antes = c; giros < 100; giros++, antes = c) {
            CamaraMirar(&c, k.paso);
            if (Mismo(c, antes)) break;
        }
        EXPECT_EQ(giros, k.giros);
        EXPECT_EQ(Texto("%.4f", Phi(c)), k.phi);
        EXPECT_TRUE(k.paso > 0 ? (double)Phi(c) < 0.2 : (double)Phi(c) > 3.1);
        const Camara limite = c;
        CamaraMirar(&c, -k.paso);
        EXPECT_FALSE(Mismo(c, limite));
        EXPECT_TRUE(k.paso > 0 ? Phi(c) > Phi(limite) : Phi(c) < Phi(limite));
    }
}

// A camera at the origin looking along (x, y, 0), with a perpendicular up offset.
Camara CamaraVista(float x, float y)
{
    Camara c;
    IniciarCamara(&c);
    c.Frente = V(x * 1000, y * 1000, 0);
    c.Arriba = V(x * 1000 - y * 1000, y * 1000 + x * 1000, 0);
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

// A level view exactly along z has parallel x-y projections of view and up
// offset: the x-y solve is singular. The camera must stay finite and still
// pitch the right way, and a zero angle must leave it (nearly) where it was.
TEST(CamaraMirar, DeterminanteCeroSigueFinita)
{
    Camara c = Reset();
    c.Frente.x = 0.0f;
    c.Arriba.x = 0.0f;
    const Camara inicial = c;

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

// ---- Pitch whose x-y solve is singular: every orientation whose side axis
// ---- lies in the x-y plane, where the other component pairs must take over.

namespace {

const double kPi = 3.14159265358979323846;

Vector RSum(Vector a, Vector b) { return V(a.x + b.x, a.y + b.y, a.z + b.z); }

// The camera at `ojo` looking along cos(u) e + sin(u) z, e the unit
// horizontal direction at `w` degrees from +y towards -x: its side axis is
// horizontal, so the x-y projections of view and up offset are parallel.
// They are so exactly in floats when w is a multiple of 45 degrees, or when
// the view is along z (u = 90 or 270), whatever w.
double SenoExacto(double grados, double (*f)(double))
{
    const double v = f(grados * kPi / 180);
    if (std::fmod(grados, 90) == 0) return std::round(v);
    if (std::fmod(grados, 45) == 0) return v < 0 ? -std::sqrt(0.5) : std::sqrt(0.5);
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
    if (std::fabs(v.x - x) <= tolerancia && std::fabs(v.y - y) <= tolerancia &&
        std::fabs(v.z - z) <= tolerancia)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << v.x << ", " << v.y << ", " << v.z << ") expected ("
                                         << x << ", " << y << ", " << z << ")";
}

}   // namespace

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
                const std::string caso = "w " + std::to_string(w) + " u " + std::to_string(u) + " t " +
                                         std::to_string(t) + " scale " + std::to_string(largo);
                EXPECT_TRUE(Mismo(c.Posicion, antes.Posicion)) << caso;
                EXPECT_TRUE(Mismo(c.Lateral, antes.Lateral)) << caso;
                if ((t > 0 && phi < 0.15) || (t < 0 && phi > 3.13)) {
                    EXPECT_TRUE(Mismo(c, antes)) << caso;
                    quietas++;
                    continue;
                }
                const double ct = std::cos((double)t), st = std::sin((double)t), tol = 2e-6 * largo;
                const Vector nb = RRes(c.Frente, c.Posicion), na = RRes(c.Arriba, c.Frente);
                EXPECT_TRUE(Cerca(nb, b.x * ct + a.x * st, b.y * ct + a.y * st, b.z * ct + a.z * st, tol))
                    << caso;
                EXPECT_TRUE(Cerca(na, a.x * ct - b.x * st, a.y * ct - b.y * st, a.z * ct - b.z * st, tol))
                    << caso;
                giradas++;
            }
    EXPECT_EQ(quietas, 4 * 2);   // up and down, each reached from w = 0 and w = 180, at two scales
    EXPECT_EQ(giradas, (int)orientaciones.size() * 2 * 2 - quietas);
}
