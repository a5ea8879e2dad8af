// Vector operations and line-plane intersection: fixed cases and a bit-exact
// comparison against a literal double-precision reference on random inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "vector.h"
#include "comun.h"

namespace {

::testing::AssertionResult BitsIguales(Vector v, float x, float y, float z)
{
    if (Bits(v.x) == Bits(x) && Bits(v.y) == Bits(y) && Bits(v.z) == Bits(z))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << v.x << ", " << v.y << ", " << v.z << ") expected ("
           << x << ", " << y << ", " << z << ")";
}

Vector V(float x, float y, float z) { return Vector{x, y, z}; }

// ---- Literal reference: every formula written out term by term, in double,
// ---- rounded to float where a value is stored. Components numbered 1..3.

float RefModulo(Vector a)
{
    double c[4] = {0, a.x, a.y, a.z};
    float suma = (float)(c[1] * c[1] + c[2] * c[2] + c[3] * c[3]);
    return (float)std::sqrt((double)suma);
}

Vector RefNormalizar(Vector a)
{
    float m = RefModulo(a);
    if (m == 0)
        return a;
    return V(a.x / m, a.y / m, a.z / m);
}

Vector RefNormalPlano(Vector a, Vector b)
{
    double a1 = a.x, a2 = a.y, a3 = a.z, b1 = b.x, b2 = b.y, b3 = b.z;
    Vector c = V((float)(a2 * b3 - a3 * b2), (float)(a3 * b1 - a1 * b3), (float)(a1 * b2 - a2 * b1));
    return RefNormalizar(c);
}

float RefAngulo(Vector a, Vector b)
{
    float d = (float)((double)a.x * (double)b.x + (double)a.y * (double)b.y + (double)a.z * (double)b.z);
    float q = (float)((double)d / ((double)RefModulo(a) * (double)RefModulo(b)));
    return (float)std::acos((double)q);
}

Vector RefGirar(Vector v, float ang, char eje)
{
    double c = std::cos((double)ang), s = std::sin((double)ang);
    double x = v.x, y = v.y, z = v.z;
    if (eje == 'x')
        return V(v.x, (float)(y * c + z * s), (float)(z * c - y * s));
    if (eje == 'y')
        return V((float)(x * c + z * s), v.y, (float)(z * c - x * s));
    return V((float)(x * c - y * s), (float)(x * s + y * c), v.z);
}

// Returns false when the determinant is 0 (the system has no single solution).
bool RefInterRectaPlano(Vector p, Vector d, Vector q, Vector u, Vector v, Vector *res, float *det_out)
{
    double a[4] = {0, u.x, u.y, u.z};
    double b[4] = {0, v.x, v.y, v.z};
    double c[4] = {0, -d.x, -d.y, -d.z};
    float rf[3] = {p.x - q.x, p.y - q.y, p.z - q.z};
    double r[4] = {0, rf[0], rf[1], rf[2]};
    float det = (float)(a[1] * b[2] * c[3] + b[1] * c[2] * a[3] + a[2] * b[3] * c[1]
                        - c[1] * b[2] * a[3] - b[1] * a[2] * c[3] - c[2] * b[3] * a[1]);
    *det_out = det;
    if (det == 0)
        return false;
    float s = (float)((r[1] * b[2] * c[3] + b[1] * c[2] * r[3] + r[2] * b[3] * c[1]
                       - c[1] * b[2] * r[3] - b[1] * r[2] * c[3] - b[3] * c[2] * r[1]) / (double)det);
    float t = (float)((a[1] * r[2] * c[3] + r[1] * c[2] * a[3] + a[2] * r[3] * c[1]
                       - c[1] * r[2] * a[3] - r[1] * a[2] * c[3] - r[3] * c[2] * a[1]) / (double)det);
    Vector qs = V(q.x + u.x * s, q.y + u.y * s, q.z + u.z * s);
    *res = V(qs.x + v.x * t, qs.y + v.y * t, qs.z + v.z * t);
    return true;
}

// Random floats of very different kinds: small integers, ordinary ranges,
// wide exponents (so double and float evaluation part ways), and now and then
// zeros, tiny, huge, infinite and NaN values.
float Aleatorio(std::mt19937 &g)
{
    std::uniform_int_distribution<int> tipo(0, 99);
    std::uniform_real_distribution<float> uno(-1.0f, 1.0f);
    int t = tipo(g);
    if (t < 10)
        return (float)std::uniform_int_distribution<int>(-10, 10)(g);
    if (t < 40)
        return uno(g);
    if (t < 70)
        return uno(g) * 1000.0f;
    if (t < 97)
        return std::ldexp(uno(g), std::uniform_int_distribution<int>(-70, 70)(g));
    const float raros[] = {0.0f, -0.0f, 1e-30f, -1e-38f, 1e30f, -3e38f,
                           std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::denorm_min()};
    return raros[std::uniform_int_distribution<int>(0, 8)(g)];
}

Vector VAleatorio(std::mt19937 &g)
{
    float x = Aleatorio(g), y = Aleatorio(g);
    return V(x, y, Aleatorio(g));
}

const int N_ALEATORIOS = 100000;

} // namespace

TEST(VectorBasico, SumaRestaEscalarYAnular)
{
    EXPECT_TRUE(BitsIguales(SumaVectores(V(1, 2, 3), V(4, 5, 6)), 5, 7, 9));
    EXPECT_TRUE(BitsIguales(RestaVectores(V(1, 2, 3), V(4, 5, 6)), -3, -3, -3));
    EXPECT_TRUE(BitsIguales(VectorPorEscalar(V(1, -2, 3), -0.5f), -0.5f, 1, -1.5f));
    Vector v = V(std::numeric_limits<float>::quiet_NaN(), -7, 1e30f);
    AnularVector(&v);
    EXPECT_TRUE(BitsIguales(v, 0, 0, 0));
}

TEST(VectorBasico, Modulo)
{
    EXPECT_EQ(Bits(ModuloVector(V(3, 4, 12))), Bits(13.0f));
    EXPECT_EQ(Bits(ModuloVector(V(1, 1, 1))), Bits(1.7320508f));
    // The float sum of squares decides: underflow gives 0, overflow infinity.
    EXPECT_EQ(Bits(ModuloVector(V(1e-30f, 0, 0))), Bits(0.0f));
    EXPECT_TRUE(std::isinf(ModuloVector(V(1e20f, 1e20f, 0))));
    // 1e19 squared fits in double and in float only after the sum is rounded:
    // (1e19)^2 * 3 = 3e38 < FLT_MAX, so the length is finite.
    EXPECT_TRUE(std::isfinite(ModuloVector(V(1e19f, 1e19f, 1e19f))));
}

TEST(VectorBasico, Normalizar)
{
    EXPECT_TRUE(BitsIguales(NormalizarVector(V(3, 4, 0)), 0.6f, 0.8f, 0));
    EXPECT_TRUE(BitsIguales(NormalizarVector(V(0, 0, -5)), 0, 0, -1));
    EXPECT_TRUE(BitsIguales(NormalizarVector(V(0, 0, 0)), 0, 0, 0));
    EXPECT_TRUE(BitsIguales(NormalizarVector(V(-0.0f, 0, -0.0f)), -0.0f, 0, -0.0f));
    EXPECT_TRUE(BitsIguales(NormalizarVector(V(1e-30f, 0, 0)), 1e-30f, 0, 0));
}

TEST(VectorBasico, NormalPlano)
{
    EXPECT_TRUE(BitsIguales(NormalPlano(V(1, 0, 0), V(0, 1, 0)), 0, 0, 1));
    EXPECT_TRUE(BitsIguales(NormalPlano(V(0, 1, 0), V(1, 0, 0)), 0, 0, -1));
    EXPECT_TRUE(BitsIguales(NormalPlano(V(2, 0, 0), V(0, 0, 3)), 0, -1, 0));
    EXPECT_TRUE(BitsIguales(NormalPlano(V(1, 0, 0), V(2, 0, 0)), 0, 0, 0));
    EXPECT_TRUE(BitsIguales(NormalPlano(V(0, 0, 0), V(2, 5, 1)), 0, 0, 0));
}

TEST(VectorBasico, Angulo)
{
    EXPECT_EQ(Bits(AnguloEntreVectores(V(1, 0, 0), V(0, 1, 0))), Bits(1.5707964f));
    EXPECT_EQ(Bits(AnguloEntreVectores(V(1, 0, 0), V(-2, 0, 0))), Bits(3.1415927f));
    EXPECT_EQ(Bits(AnguloEntreVectores(V(1, 1, 0), V(1, 0, 0))), Bits(0.7853982f));
    EXPECT_TRUE(std::isnan(AnguloEntreVectores(V(0, 0, 0), V(0, 1, 0))));
}

TEST(VectorGiro, CuartoDeVuelta)
{
    const float ang = 1.5707964f;
    EXPECT_EQ(Bits((float)std::cos((double)ang)), Bits(-4.371139e-8f));
    EXPECT_TRUE(BitsIguales(GirarVerticeY(V(1, 0, 0), ang), -4.371139e-8f, 0, -1));
    EXPECT_TRUE(BitsIguales(GirarVerticeZ(V(1, 0, 0), ang), -4.371139e-8f, 1, 0));
    EXPECT_TRUE(BitsIguales(GirarVerticeX(V(0, 1, 0), ang), 0, -4.371139e-8f, -1));
    EXPECT_TRUE(BitsIguales(GirarVerticeX(V(0, 0, 1), ang), 0, 1, -4.371139e-8f));
}

TEST(VectorGiro, CeroNoCambiaYEjeIntacto)
{
    std::mt19937 g(7);
    for (int i = 0; i < 2000; i++) {
        Vector v = VAleatorio(g);
        if (std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z) || std::isinf(v.x)
            || std::isinf(v.y) || std::isinf(v.z))
            continue;
        // Equal values: a -0 component turned by 0 becomes -0 + 0 = +0.
        Vector gx = GirarVerticeX(v, 0), gy = GirarVerticeY(v, 0), gz = GirarVerticeZ(v, 0);
        ASSERT_TRUE(gx.x == v.x && gx.y == v.y && gx.z == v.z) << i;
        ASSERT_TRUE(gy.x == v.x && gy.y == v.y && gy.z == v.z) << i;
        ASSERT_TRUE(gz.x == v.x && gz.y == v.y && gz.z == v.z) << i;
        float ang = Aleatorio(g);
        ASSERT_EQ(Bits(GirarVerticeX(v, ang).x), Bits(v.x));
        ASSERT_EQ(Bits(GirarVerticeY(v, ang).y), Bits(v.y));
        ASSERT_EQ(Bits(GirarVerticeZ(v, ang).z), Bits(v.z));
    }
}

TEST(InterRectaPlano, EjemplosFijos)
{
    const Vector q = V(0, 1, 0), u = V(1, 0, 0), v = V(0, 0, 1);
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(2, 5, 3), V(0, -1, 0), q, u, v), 2, 1, 3));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(2, 5, 3), V(0, 1, 0), q, u, v), 2, 1, 3));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(2, 5, 3), V(0, -7, 0), q, u, v), 2, 1, 3));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(1, 2, 3), V(0, 0, 2), V(0, 0, -1), V(2, 0, 0), V(0, 3, 0)),
                            1, 2, -1));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(1, 1, 1), V(1, 1, 1), V(0, 0, 0), V(1, 0, 0), V(0, 1, 0)),
                            0, 0, 0));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(4, 1, -2), V(0, -1, 0), q, u, v), 4, 1, -2));
}

TEST(InterRectaPlano, Determinante)
{
    // Columns u, v, -d: (1,0,0), (0,0,1), (0,1,0) is an odd permutation.
    EXPECT_EQ(Bits(DeterminanteRectaPlano(V(0, -1, 0), V(1, 0, 0), V(0, 0, 1))), Bits(-1.0f));
    EXPECT_EQ(Bits(DeterminanteRectaPlano(V(0, 0, 2), V(2, 0, 0), V(0, 3, 0))), Bits(-12.0f));
    EXPECT_EQ(Bits(DeterminanteRectaPlano(V(1, 1, 0), V(1, 0, 0), V(0, 1, 0))), Bits(0.0f));
}

// With no single meeting point the line's point comes back, never a NaN.
TEST(InterRectaPlano, DeterminanteCeroDevuelveP)
{
    const Vector p = V(2.5f, -3, 7);
    // d in the plane's span.
    EXPECT_TRUE(BitsIguales(InterRectaPlano(p, V(1, 0, 1), V(0, 1, 0), V(1, 0, 0), V(0, 0, 1)), 2.5f, -3, 7));
    // u and v parallel.
    EXPECT_TRUE(BitsIguales(InterRectaPlano(p, V(0, 1, 0), V(0, 1, 0), V(1, 0, 0), V(-2, 0, 0)), 2.5f, -3, 7));
    // u zero, d zero.
    EXPECT_TRUE(BitsIguales(InterRectaPlano(p, V(0, 1, 0), V(0, 1, 0), V(0, 0, 0), V(0, 0, 1)), 2.5f, -3, 7));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(p, V(0, 0, 0), V(0, 1, 0), V(1, 0, 0), V(0, 0, 1)), 2.5f, -3, 7));
    // A NaN among the inputs is not a singular system: it passes through by
    // the ordinary floating-point rules, as in every other vector operation.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Vector r = InterRectaPlano(p, V(nan, 1, 0), V(0, 1, 0), V(1, 0, 0), V(0, 0, 1));
    EXPECT_TRUE(std::isnan(r.x) && std::isnan(r.z));
}

TEST(ScalarDeRecta, Signos)
{
    EXPECT_EQ(Bits(ScalarDeRecta(V(3, 4, 0), V(0, 0, 0), 1)), Bits(5.0f));
    EXPECT_EQ(Bits(ScalarDeRecta(V(3, 4, 0), V(0, 0, 0), -1)), Bits(-5.0f));
    EXPECT_EQ(Bits(ScalarDeRecta(V(3, 4, 0), V(0, 0, 0), 0)), Bits(-5.0f));
    EXPECT_EQ(Bits(ScalarDeRecta(V(0, 4, 3), V(0, 0, 0), 1)), Bits(-5.0f));
    EXPECT_EQ(Bits(ScalarDeRecta(V(0, 4, 3), V(0, 0, 0), -1)), Bits(5.0f));
    EXPECT_EQ(Bits(ScalarDeRecta(V(-3, 4, 0), V(0, 0, 0), -2)), Bits(5.0f));
}

// ---- Differential tests against the literal reference.

TEST(VectorDiferencial, OperacionesBasicas)
{
    std::mt19937 g(20240601);
    for (int i = 0; i < N_ALEATORIOS; i++) {
        Vector a = VAleatorio(g), b = VAleatorio(g);
        float s = Aleatorio(g);
        ASSERT_TRUE(Mismo(SumaVectores(a, b), V(a.x + b.x, a.y + b.y, a.z + b.z))) << i;
        ASSERT_TRUE(Mismo(RestaVectores(a, b), V(a.x - b.x, a.y - b.y, a.z - b.z))) << i;
        ASSERT_TRUE(Mismo(VectorPorEscalar(a, s), V(a.x * s, a.y * s, a.z * s))) << i;
        ASSERT_TRUE(Mismo(ModuloVector(a), RefModulo(a))) << i;
        ASSERT_TRUE(Mismo(NormalizarVector(a), RefNormalizar(a))) << i;
        ASSERT_TRUE(Mismo(NormalPlano(a, b), RefNormalPlano(a, b)))
            << i << " a=(" << a.x << "," << a.y << "," << a.z << ") b=(" << b.x << "," << b.y << "," << b.z << ")";
        ASSERT_TRUE(Mismo(AnguloEntreVectores(a, b), RefAngulo(a, b))) << i;
        float s2 = s > 0 ? 1.0f : -1.0f;
        float sx = a.x > b.x ? 1.0f : -1.0f;
        ASSERT_TRUE(Mismo(ScalarDeRecta(a, b, s), RefModulo(RestaVectores(a, b)) * (sx * s2))) << i;
    }
}

// Cosines of angles near pi/2 are where a float evaluation of the turn
// differs from the double one; angles are drawn over several turns too.
TEST(VectorDiferencial, Giros)
{
    std::mt19937 g(99);
    std::uniform_real_distribution<float> vueltas(-20.0f, 20.0f);
    for (int i = 0; i < N_ALEATORIOS; i++) {
        Vector v = VAleatorio(g);
        float ang = (i % 2) ? vueltas(g) : Aleatorio(g);
        ASSERT_TRUE(Mismo(GirarVerticeX(v, ang), RefGirar(v, ang, 'x'))) << i;
        ASSERT_TRUE(Mismo(GirarVerticeY(v, ang), RefGirar(v, ang, 'y'))) << i;
        ASSERT_TRUE(Mismo(GirarVerticeZ(v, ang), RefGirar(v, ang, 'z'))) << i;
    }
}

// Random planes and lines: half with unit normals and unit edges, as the
// collision code calls it, a quarter arbitrary, a quarter nearly parallel.
TEST(VectorDiferencial, InterRectaPlano)
{
    std::mt19937 g(31337);
    std::uniform_real_distribution<float> mil(-1000.0f, 1000.0f);
    int resueltos = 0;
    for (int i = 0; i < N_ALEATORIOS; i++) {
        Vector p, d, q, u, v;
        if (i % 4 == 1) {
            p = VAleatorio(g); d = VAleatorio(g); q = VAleatorio(g);
            u = VAleatorio(g); v = VAleatorio(g);
        } else if (i % 4 == 3) {
            // A line nearly parallel to the plane: the determinant comes from
            // cancelling terms, where the order of the sum shows.
            u = V(mil(g), mil(g), mil(g));
            v = V(mil(g), mil(g), mil(g));
            float su = mil(g) / 1000, sv = mil(g) / 1000, e = std::ldexp(mil(g), -30);
            d = V(u.x * su + v.x * sv + e, u.y * su + v.y * sv, u.z * su + v.z * sv - e);
            q = V(mil(g), mil(g), mil(g));
            p = V(mil(g), mil(g), mil(g));
        } else {
            Vector v1 = V(mil(g), mil(g), mil(g)), v2 = V(mil(g), mil(g), mil(g));
            Vector v3 = V(mil(g), mil(g), mil(g));
            u = RefNormalizar(RestaVectores(v2, v1));
            v = RefNormalizar(RestaVectores(v3, v1));
            d = RefNormalPlano(u, v);
            q = v1;
            p = V(mil(g), mil(g), mil(g));
        }
        Vector esperado;
        float det;
        bool unico = RefInterRectaPlano(p, d, q, u, v, &esperado, &det);
        ASSERT_TRUE(Mismo(DeterminanteRectaPlano(d, u, v), det)) << i;
        Vector r = InterRectaPlano(p, d, q, u, v);
        if (unico) {
            resueltos++;
            ASSERT_TRUE(Mismo(r, esperado)) << i;
        } else {
            ASSERT_TRUE(Mismo(r, p)) << i;
        }
    }
    EXPECT_GT(resueltos, N_ALEATORIOS / 2);
}
