// XoqueEsferaModelo against the plain face-by-face loop over XoqueEsferaPlano:
// random rooms, centres near faces, edges, vertices and the band beyond the
// edges, movements of every kind, compared bit for bit. XoqueEsferaModelo
// skips faces it can prove untouched; these tests check that the skipping
// never changes a result, including at extreme scales and with spoilt data.
//
// TALO_CASOS in the environment sets the number of random cases (default
// 4000); tests/referencia/diferencial_largo runs the same generator for as long
// as wanted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "casos_colision.h"
#include "colision.h"

namespace {

long Casos(long omision)
{
    const char *s = std::getenv("TALO_CASOS");
    return s ? std::strtol(s, nullptr, 10) : omision;
}

Vector V(float x, float y, float z) { return Vector{x, y, z}; }

Vector Aleatorio(std::mt19937_64 *g, double escala)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const double x = u(*g), y = u(*g), z = u(*g);
    return V((float)(x * escala), (float)(y * escala), (float)(z * escala));
}

CasoColision UnaCara(Vector a, Vector b, Vector c, float r, Vector centro, Vector mov)
{
    CasoColision k;
    k.vertices = {a, b, c};
    k.caras = {CaraEsquinas(0, 1, 2)};
    k.radio = r;
    k.centro = centro;
    k.mov = mov;
    return k;
}

}   // namespace

// Each random room through XoqueEsferaModelo, the face-by-face loop and the
// room's collision index, all three bit for bit.
TEST(XoqueModeloDiferencial, SalasAleatorias)
{
    std::mt19937_64 g(20261208);
    CasoColision caso;
    const long n = Casos(4000);
    long tocados = 0;
    for (long i = 0; i < n; i++) {
        GenerarCasoColision(&g, &caso);
        std::string detalle;
        int tocado = 0;
        ASSERT_TRUE(CompararCasoIndice(&caso, &detalle, &tocado)) << "case " << i << ": " << detalle;
        tocados += tocado;
    }
    // The generator aims centres at faces: a good share of cases must have
    // some face actually touched, or the comparison proves little.
    EXPECT_GT(tocados, n / 5) << tocados << " of " << n;
}

// Sweeps a sphere across one floor triangle and the band beyond its edges
// at many scales, on a fine grid: every touched/untouched boundary crossed.
TEST(XoqueModeloDiferencial, BarridoSobreUnTriangulo)
{
    const double escalas[] = {1e-38, 1e-30, 1e-12, 1e-3, 1, 100, 1e6, 1e20, 1e36};
    long tocados = 0, total = 0;
    for (double e : escalas) {
        const Vector a = V((float)(-100 * e), 0, (float)(-100 * e));
        const Vector b = V((float)(100 * e), 0, (float)(-100 * e));
        const Vector c = V(0, 0, (float)(100 * e));
        const float r = (float)(50 * e);
        for (int iz = -60; iz <= 60; iz++)
            for (int ix = -60; ix <= 60; ix++)
                for (float alto : {0.0f, 30.0f, 40.0f, 49.99f, 50.0f, 50.01f}) {
                    const Vector centro = V((float)(ix * 2.0 * e), (float)(alto * e), (float)(iz * 2.0 * e));
                    CasoColision k = UnaCara(a, b, c, r, centro, V(0, (float)(-10 * e), 0));
                    std::string detalle;
                    int tocado = 0;
                    ASSERT_TRUE(CompararCasoColision(&k, &detalle, &tocado)) << detalle;
                    tocados += tocado;
                    total++;
                }
    }
    EXPECT_GT(tocados, total / 8) << tocados << " of " << total;
}

// Coordinates near the top of the float range, where edge vectors, squared
// lengths and dot products overflow; and tiny ones, where they underflow.
TEST(XoqueModeloDiferencial, CoordenadasExtremas)
{
    std::mt19937_64 g(77);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const double escalas[] = {3e38, 1e38, 1e19, 1e-19, 1e-38, 1e-44};
    for (double e : escalas)
        for (int i = 0; i < 3000; i++) {
            Vector a = Aleatorio(&g, e), b = Aleatorio(&g, e), c = Aleatorio(&g, e);
            float r = (float)(std::fabs(u(g)) * e);
            Vector centro = (i % 2) ? Aleatorio(&g, e)
                                    : V(a.x / 3 + b.x / 3 + c.x / 3, a.y / 3 + b.y / 3 + c.y / 3,
                                        a.z / 3 + b.z / 3 + c.z / 3);
            CasoColision k = UnaCara(a, b, c, r, centro, Aleatorio(&g, e));
            std::string detalle;
            ASSERT_TRUE(CompararCasoColision(&k, &detalle, nullptr)) << detalle;
        }
}

// Radii and centres that are not ordinary numbers: nothing may be skipped
// wrongly, whatever the comparisons do with them, by the model routine or
// by the index (most of these go through its fallback).
TEST(XoqueModeloDiferencial, RadiosYCentrosNoFinitos)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float radios[] = {inf,    -inf,  nan,   0.0f,   -0.0f,
                            -50.0f, 50.0f, 3e38f, 1e-30f, std::numeric_limits<float>::max()};
    const Vector centros[] = {V(0, 30, 0),         V(inf, 30, 0),   V(0, nan, 0),
                              V(-inf, -inf, -inf), V(1e30f, 30, 0), V(0, 0, 0)};
    const Vector a = V(-100, 0, -100), b = V(100, 0, -100), c = V(0, 0, 100);
    for (float r : radios)
        for (Vector centro : centros)
            for (Vector mov : {V(0, -10, 0), V(0, 0, 0), V(nan, 1, inf)}) {
                CasoColision k = UnaCara(a, b, c, r, centro, mov);
                std::string detalle;
                ASSERT_TRUE(CompararCasoIndice(&k, &detalle, nullptr)) << detalle;
            }
    // An infinite radius touches the triangle from any finite distance: the
    // fall is cancelled and an infinite push (0 * inf = NaN across) is added.
    CasoColision lejos = UnaCara(a, b, c, inf, V(0, 1e15f, 0), V(0, -10, 0));
    const Vector e = XoqueEsferaModelo(inf, lejos.centro, lejos.mov, ModeloDeCaso(&lejos));
    EXPECT_TRUE(std::isnan(e.x) && e.y == inf && std::isnan(e.z)) << e.x << " " << e.y << " " << e.z;
}

// Slivers with an edge along an axis and a sphere much smaller than the
// face, centred in the band beyond that edge: the band's reach (about edge
// length / 28) is then nearly all of the distance from the face's box.
TEST(XoqueModeloDiferencial, BandaDeAstillas)
{
    std::mt19937_64 g(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    long tocados = 0;
    const int n = 20000;
    for (int i = 0; i < n; i++) {
        const float largo = (float)(200 * (0.5 + u(g)));
        const float ancho = (float)(largo * 0.002 * u(g));
        const Vector a = V(0, 0, 0), b = V(largo, 0, 0), c = V(largo * (float)u(g), 0, ancho);
        const float r = (float)(0.001 * largo * u(g));
        const double t = u(g), alcance = largo / (2 * std::tan(1.5));
        const float fuera = (float)(alcance * 4 * t * (1 - t) * (0.9 + 0.2 * u(g)));
        const Vector centro = V((float)(t * largo), (float)(r * (2 * u(g) - 1)), -fuera);
        CasoColision k = UnaCara(a, b, c, r, centro, V(0, (float)(-r * u(g)), 0));
        std::string detalle;
        int tocado = 0;
        ASSERT_TRUE(CompararCasoColision(&k, &detalle, &tocado)) << detalle;
        tocados += tocado;
    }
    EXPECT_GT(tocados, n / 10) << tocados << " of " << n;
}
