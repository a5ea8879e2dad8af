// Vector operations and line-plane intersection, bit for bit: values worked
// out by hand from the stated rules, on simple and on general inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "vector.h"
#include "comun.h"

namespace {

::testing::AssertionResult BitsIguales(Vector v, float x, float y, float z)
{
    if (Bits(v.x) == Bits(x) && Bits(v.y) == Bits(y) && Bits(v.z) == Bits(z))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << v.x << ", " << v.y << ", " << v.z << ") expected ("
                                         << x << ", " << y << ", " << z << ")";
}

Vector V(float x, float y, float z) { return Vector{x, y, z}; }

}   // namespace

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

// A turn by 0 changes no value, and a turn about an axis leaves that axis's
// component alone, bit for bit.
TEST(VectorGiro, CeroNoCambiaYEjeIntacto)
{
    for (Vector v : {V(1, 2, 3), V(-0.0f, 1e-30f, -7e30f), V(123.456f, -0.001f, 5)}) {
        // Equal values: a -0 component turned by 0 becomes -0 + 0 = +0.
        const Vector gx = GirarVerticeX(v, 0), gy = GirarVerticeY(v, 0), gz = GirarVerticeZ(v, 0);
        EXPECT_TRUE(gx.x == v.x && gx.y == v.y && gx.z == v.z);
        EXPECT_TRUE(gy.x == v.x && gy.y == v.y && gy.z == v.z);
        EXPECT_TRUE(gz.x == v.x && gz.y == v.y && gz.z == v.z);
        for (float ang : {0.5f, -20.0f, 1e30f}) {
            EXPECT_EQ(Bits(GirarVerticeX(v, ang).x), Bits(v.x));
            EXPECT_EQ(Bits(GirarVerticeY(v, ang).y), Bits(v.y));
            EXPECT_EQ(Bits(GirarVerticeZ(v, ang).z), Bits(v.z));
        }
    }
}

// General inputs, where every term counts and a float evaluation would part
// ways with the double one. Worked out from the stated rules: each product
// and sum in double from the float inputs, one rounding to float per stored
// value, sine, cosine, arc cosine and square root in double.
TEST(VectorGeneral, ValoresExactos)
{
    const Vector a = V(1, 2, 3), b = V(4, 5, 6);
    EXPECT_EQ(Bits(ModuloVector(a)), Bits(0x1.deeea2p+1f));
    EXPECT_TRUE(BitsIguales(NormalizarVector(a), 0x1.11aceep-2f, 0x1.11aceep-1f, 0x1.9a8364p-1f));
    EXPECT_TRUE(BitsIguales(NormalPlano(a, b), -0x1.a20bd6p-2f, 0x1.a20bd6p-1f, -0x1.a20bd6p-2f));
    // The z of the cross product cancels: 1e8 * 9.000001f - 3 * 3e8 is 95.367...
    // in double, 64 in float.
    EXPECT_TRUE(
        BitsIguales(NormalPlano(V(1e8f, 3, 0), V(3e8f, 9.000001f, 1)), 0x1.01b2b2p-25f, -1, 0x1p-20f));
    EXPECT_EQ(Bits(AnguloEntreVectores(a, b)), Bits(0x1.ce498p-3f));
    EXPECT_TRUE(BitsIguales(GirarVerticeX(a, 0.5f), 1, 0x1.98c2b2p+1f, 0x1.ac847cp+0f));
    EXPECT_TRUE(BitsIguales(GirarVerticeY(a, 0.5f), 0x1.286e12p+1f, 2, 0x1.13a01p+1f));
    EXPECT_TRUE(BitsIguales(GirarVerticeZ(a, 0.5f), -0x1.4ce036p-4f, 0x1.1e0712p+1f, 3));
    EXPECT_TRUE(BitsIguales(GirarVerticeZ(a, -20.0f), 0x1.1df2dp+1f, -0x1.8c6a5ep-4f, 3));
    EXPECT_EQ(Bits(ScalarDeRecta(a, b, 2)), Bits(-0x1.4c8dc2p+2f));
    EXPECT_EQ(Bits(ScalarDeRecta(b, a, 2)), Bits(0x1.4c8dc2p+2f));

    const Vector d = V(0.3f, -1, 0.2f), q = V(1, -2, 0.5f), u = V(0.6f, 0.8f, 0), v = V(0, 0.6f, 0.8f);
    const Vector p = V(5, 7, -3);
    EXPECT_EQ(Bits(DeterminanteRectaPlano(d, u, v)), Bits(-0x1.7ced92p-1f));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(p, d, q, u, v), 0x1.8def7cp+2f, 0x1.786e1ap+1f, -0x1.181606p+1f));
    // A line nearly parallel to the plane: the determinant comes from
    // cancelling terms, where the order of the sum shows.
    const Vector casi = V(0.3f + 1e-6f, 0.4f + 0.15f, 0.2f - 1e-6f);
    EXPECT_EQ(Bits(DeterminanteRectaPlano(casi, u, v)), Bits(-0x1.366666p-22f));
    EXPECT_TRUE(
        BitsIguales(InterRectaPlano(p, casi, q, u, v), 0x1.7e93aap+21f, 0x1.5eb1bp+22f, 0x1.fe18b8p+20f));
}

TEST(InterRectaPlano, EjemplosFijos)
{
    const Vector q = V(0, 1, 0), u = V(1, 0, 0), v = V(0, 0, 1);
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(2, 5, 3), V(0, -1, 0), q, u, v), 2, 1, 3));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(2, 5, 3), V(0, 1, 0), q, u, v), 2, 1, 3));
    EXPECT_TRUE(BitsIguales(InterRectaPlano(V(2, 5, 3), V(0, -7, 0), q, u, v), 2, 1, 3));
    EXPECT_TRUE(
        BitsIguales(InterRectaPlano(V(1, 2, 3), V(0, 0, 2), V(0, 0, -1), V(2, 0, 0), V(0, 3, 0)), 1, 2, -1));
    EXPECT_TRUE(
        BitsIguales(InterRectaPlano(V(1, 1, 1), V(1, 1, 1), V(0, 0, 0), V(1, 0, 0), V(0, 1, 0)), 0, 0, 0));
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
    EXPECT_TRUE(
        BitsIguales(InterRectaPlano(p, V(0, 1, 0), V(0, 1, 0), V(1, 0, 0), V(-2, 0, 0)), 2.5f, -3, 7));
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
