// Sphere collision against one triangle and against a hand-built model: the
// results worked out by hand, and bit for bit the reference written from the
// stated rule (XoqueReferencia, tests/referencia/casos_colision.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "casos_colision.h"
#include "colision.h"
#include "comun.h"

namespace {

Vector V(float x, float y, float z) { return Vector{x, y, z}; }

std::string Texto(Vector v)
{
    char b[128];
    std::snprintf(b, sizeof b, "(%.9g, %.9g, %.9g)", (double)v.x, (double)v.y, (double)v.z);
    return b;
}

// The floor triangle in the plane y = 0 used by most cases.
const Vector S1 = V(-100, 0, -100), S2 = V(100, 0, -100), S3 = V(0, 0, 100);

// The engine's answer must equal the expected one and, bit for bit, the reference's.
::testing::AssertionResult Suelo(Vector centro, Vector mov, Vector esperado)
{
    Vector e = XoqueEsferaPlano(50, centro, mov, S1, S2, S3);
    Vector r = XoqueReferencia(50, centro, mov, S1, S2, S3);
    if (e.x == esperado.x && e.y == esperado.y && e.z == esperado.z && Mismo(e, r))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << Texto(e) << ", reference " << Texto(r);
}

Modelo ModeloDe(std::vector<Vector> &vertices, std::vector<Cara> &caras)
{
    Modelo m;
    m.NumVertices = (int)vertices.size();
    m.NumCaras = (int)caras.size();
    m.NumCTexturas = 0;
    m.NumNormales = 0;
    m.Vertices = vertices.empty() ? nullptr : vertices.data();
    m.Caras = caras.empty() ? nullptr : caras.data();
    m.CTexturas = nullptr;
    m.Normales = nullptr;
    return m;
}

Cara CaraDe(int a, int b, int c)
{
    Cara k;
    k.Vert[0] = a;
    k.Vert[1] = b;
    k.Vert[2] = c;
    k.Aux[0] = k.Aux[1] = k.Aux[2] = -7;
    k.Res[0] = k.Res[1] = k.Res[2] = -9;
    return k;
}

}   // namespace

// A sphere of radius 50 over the floor triangle: the fall cancelled within
// reach and the rest of the step kept, a push out to 0.8 r from closer.
TEST(XoqueTriangulo, CaidaEmpujeYContacto)
{
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(0, -10, 0), V(0, 0, 0)));
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(7, -10, 0), V(7, 0, 0)));
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(0, 0, -7), V(0, 0, -7)));
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(0, 15, 0), V(0, 15, 0)));
    EXPECT_TRUE(Suelo(V(0, 41, 0), V(0, -10, 0), V(0, 0, 0)));
    EXPECT_TRUE(Suelo(V(0, 30, 0), V(0, -10, 0), V(0, 10, 0)));
    EXPECT_TRUE(Suelo(V(0, 39, 0), V(0, 0, 0), V(0, 10, 0)));
    // Below the plane: slid and pushed further down; the plane has no front.
    EXPECT_TRUE(Suelo(V(0, -30, 0), V(0, 10, 0), V(0, -10, 0)));
    // Through the plane to farther than before: no slide, the push remains.
    EXPECT_TRUE(Suelo(V(0, 10, 0), V(0, -25, 0), V(0, -15, 0)));
    // Exactly 0.8 r away is not pushed (strict comparison).
    EXPECT_TRUE(Suelo(V(0, 40, 0), V(0, 0, 0), V(0, 0, 0)));
    // A centre in the plane: no slide and a zero push.
    EXPECT_TRUE(Suelo(V(0, 0, 0), V(3, -10, 1), V(3, -10, 1)));
    // The distance before the step decides contact; d == r touches.
    EXPECT_TRUE(Suelo(V(0, 50, 0), V(0, -10, 0), V(0, 0, 0)));
    EXPECT_TRUE(Suelo(V(0, 50.5f, 0), V(0, -10, 0), V(0, -10, 0)));
    EXPECT_TRUE(Suelo(V(0, 60, 0), V(0, -30, 0), V(0, -30, 0)));
}

TEST(XoqueTriangulo, SumaDeAngulosYBanda)
{
    TrazaXoque t;
    EXPECT_TRUE(Suelo(V(500, 30, 0), V(0, -10, 0), V(0, -10, 0)));
    XoqueReferencia(50, V(500, 30, 0), V(0, -10, 0), S1, S2, S3, &t);
    EXPECT_NEAR(t.suma, 0.885, 0.0005);

    EXPECT_TRUE(Suelo(V(0, 30, -107), V(0, -10, 0), V(0, 10, 0)));
    XoqueReferencia(50, V(0, 30, -107), V(0, -10, 0), S1, S2, S3, &t);
    EXPECT_NEAR(t.suma, 6.0036, 0.00005);
    EXPECT_TRUE(t.toca);

    EXPECT_TRUE(Suelo(V(0, 30, -108), V(0, -10, 0), V(0, -10, 0)));
    XoqueReferencia(50, V(0, 30, -108), V(0, -10, 0), S1, S2, S3, &t);
    EXPECT_NEAR(t.suma, 5.9639, 0.00005);
    EXPECT_FALSE(t.toca);
}

// At the edge of the band the three angles are 3.0000005, 1.4999999 and
// 1.4999999: added in double and rounded once they make exactly 6, which is
// not more than 6, so the face is not touched. Added in float one after the
// other they would make 6.0000005 and touch.
TEST(XoqueTriangulo, SumaDeAngulosRedondeadaUnaVez)
{
    const Vector centro = V(0, 30, -0x1.ac5db2p+6f);   // z = -107.091499
    const Vector f = V(0, 0, -0x1.ac5db2p+6f);         // its foot point
    const float g1 = AnguloEntreVectores(RestaVectores(S1, f), RestaVectores(S2, f));
    const float g2 = AnguloEntreVectores(RestaVectores(S2, f), RestaVectores(S3, f));
    const float g3 = AnguloEntreVectores(RestaVectores(S3, f), RestaVectores(S1, f));
    ASSERT_EQ((float)((double)g1 + (double)g2 + (double)g3), 6.0f);
    ASSERT_GT(g1 + g2 + g3, 6.0f);
    EXPECT_TRUE(Suelo(centro, V(0, -10, 0), V(0, -10, 0)));
}

// radius * 0.8 is taken in double: 7 * 0.8 = 5.6 is more than the float
// 5.6f = 5.5999999, so a centre at height 5.6f is pushed out (in float,
// 7 * 0.8f would round to 5.6f itself and the push would be lost).
TEST(XoqueTriangulo, FraccionInteriorEnDouble)
{
    ASSERT_EQ((float)(7.0f * 0.8f), 5.6f);
    Vector e = XoqueEsferaPlano(7, V(0, 5.6f, 0), V(0, 0, 0), S1, S2, S3);
    EXPECT_TRUE(Mismo(e, V(0, 1.4f, 0))) << Texto(e);
    EXPECT_TRUE(Mismo(e, XoqueReferencia(7, V(0, 5.6f, 0), V(0, 0, 0), S1, S2, S3)));
    // Just beyond 0.8 r: no push.
    EXPECT_TRUE(Mismo(XoqueEsferaPlano(7, V(0, 5.6000004f, 0), V(0, 0, 0), S1, S2, S3), V(0, 0, 0)));
}

// The winding of the vertices flips the normal; nothing depends on its sign.
TEST(XoqueTriangulo, OrdenDeVerticesIndiferente)
{
    Vector a = XoqueEsferaPlano(50, V(0, 30, 0), V(0, -10, 0), S1, S2, S3);
    Vector b = XoqueEsferaPlano(50, V(0, 30, 0), V(0, -10, 0), S1, S3, S2);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.y, 10.0f);
}

// A triangle without a plane never touches: the movement comes back as it was.
TEST(XoqueTriangulo, TriangulosDegenerados)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Vector mov = V(1.5f, -10, 0.25f);
    const Vector centros[] = {V(0, 30, 0), V(0, 0, 0), V(-100, 0, -100), V(1e30f, -1e30f, 0)};
    for (Vector c : centros) {
        // Coincident vertices, in each position.
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, S1, S1, S3), mov));
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, S1, S2, S1), mov));
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, S1, S2, S2), mov));
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, S1, S1, S1), mov));
        // Collinear vertices.
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, V(0, 0, 0), V(1, 1, 1), V(-3, -3, -3)), mov));
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, V(-100, 0, 0), V(0, 0, 0), V(100, 0, 0)), mov));
        // Undefined vertices.
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, V(nan, 0, 0), S2, S3), mov));
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(50, c, mov, S1, V(0, inf, 0), S3), mov));
        // Even an infinite radius finds nothing to touch.
        EXPECT_TRUE(Mismo(XoqueEsferaPlano(inf, c, mov, S1, S1, S3), mov));
    }
}

TEST(XoqueModelo, SueloCuadradoDeDosTriangulos)
{
    std::vector<Vector> v = {V(-100, 0, -100), V(100, 0, -100), V(100, 0, 100), V(-100, 0, 100)};
    std::vector<Cara> c = {CaraDe(0, 1, 2), CaraDe(0, 2, 3)};
    const Modelo m = ModeloDe(v, c);
    const Vector caida = V(0, -10, 0);

    struct Caso {
        Vector centro, esperado;
    };
    const Caso casos[] = {
        {V(5, 30, -5), V(0, 20, 0)},     // inside one, in the band of the other: both push
        {V(8, 30, -8), V(0, 10, 0)},     // outside the band of the second
        {V(-50, 30, 50), V(0, 10, 0)},   // the second face only
    };
    for (const Caso &k : casos) {
        Vector e = XoqueEsferaModelo(50, k.centro, caida, m);
        Vector r = XoqueReferencia(50, k.centro, XoqueReferencia(50, k.centro, caida, v[0], v[1], v[2]), v[0],
                                   v[2], v[3]);
        EXPECT_EQ(e.x, k.esperado.x) << Texto(e);
        EXPECT_EQ(e.y, k.esperado.y) << Texto(e);
        EXPECT_EQ(e.z, k.esperado.z) << Texto(e);
        EXPECT_TRUE(Mismo(e, r)) << Texto(e) << " reference " << Texto(r);
    }
}

TEST(XoqueModelo, SinCaras)
{
    std::vector<Vector> v = {S1, S2, S3};
    std::vector<Cara> c;
    const Vector mov = V(1, -10, 2);
    EXPECT_TRUE(Mismo(XoqueEsferaModelo(50, V(0, 30, 0), mov, ModeloDe(v, c)), mov));

    Modelo vacio;
    std::memset(&vacio, 0, sizeof vacio);
    EXPECT_TRUE(Mismo(XoqueEsferaModelo(50, V(0, 30, 0), mov, vacio), mov));

    // A face count without a face array reads nothing.
    Modelo sin_caras = ModeloDe(v, c);
    sin_caras.NumCaras = 4;
    EXPECT_TRUE(Mismo(XoqueEsferaModelo(50, V(0, 30, 0), mov, sin_caras), mov));

    // A negative face count runs no face.
    c.push_back(CaraDe(0, 1, 2));
    Modelo m = ModeloDe(v, c);
    m.NumCaras = -3;
    EXPECT_TRUE(Mismo(XoqueEsferaModelo(50, V(0, 30, 0), mov, m), mov));
}

// Faces whose corners fall outside the vertex array are skipped; the good
// face among them still acts. The vertex array is exactly three long, so an
// out-of-range read would show up under the sanitizers.
TEST(XoqueModelo, IndicesFueraDeRangoSeSaltan)
{
    std::vector<Vector> v = {S1, S2, S3};
    std::vector<Cara> c = {CaraDe(0, 1, 3),
                           CaraDe(-1, 1, 2),
                           CaraDe(0, 1, 2),
                           CaraDe(3, 0, 1),
                           CaraDe(0, -2147483647 - 1, 2),
                           CaraDe(2, 1, 2147483647)};
    Vector e = XoqueEsferaModelo(50, V(0, 30, 0), V(0, -10, 0), ModeloDe(v, c));
    EXPECT_TRUE(Mismo(e, V(0, 10, 0))) << Texto(e);

    // A model whose vertex array is missing reads no vertex.
    Modelo sin_vertices = ModeloDe(v, c);
    sin_vertices.Vertices = nullptr;
    EXPECT_TRUE(Mismo(XoqueEsferaModelo(50, V(0, 30, 0), V(0, -10, 0), sin_vertices), V(0, -10, 0)));
}

// Corrections compose in face order: the second copy of the same face sees
// the movement the first one left, and pushes add up.
TEST(XoqueModelo, CorreccionesEncadenadas)
{
    std::vector<Vector> v = {S1, S2, S3};
    std::vector<Cara> c = {CaraDe(0, 1, 2), CaraDe(0, 1, 2)};
    Vector e = XoqueEsferaModelo(50, V(0, 30, 0), V(4, -10, 0), ModeloDe(v, c));
    EXPECT_TRUE(Mismo(e, V(4, 20, 0))) << Texto(e);

    // Starting from another corner, the same plane: same result up to rounding,
    // and bit for bit the reference threaded through both faces.
    c[1] = CaraDe(2, 0, 1);
    e = XoqueEsferaModelo(50, V(0, 30, 0), V(4, -10, 0), ModeloDe(v, c));
    Vector r = XoqueReferencia(50, V(0, 30, 0), XoqueReferencia(50, V(0, 30, 0), V(4, -10, 0), S1, S2, S3),
                               S3, S1, S2);
    EXPECT_TRUE(Mismo(e, r)) << Texto(e) << " reference " << Texto(r);
    EXPECT_EQ(e.y, 20.0f);
}

// ---- Random triangles and spheres against the reference. Centres
// ---- are placed near each triangle so that touching, sliding and pushing
// ---- all occur often.

namespace {

float Aleatorio(std::mt19937 &g)
{
    std::uniform_real_distribution<float> uno(-1.0f, 1.0f);
    int t = std::uniform_int_distribution<int>(0, 9)(g);
    if (t < 2) return (float)std::uniform_int_distribution<int>(-200, 200)(g);
    if (t < 8) return uno(g) * 300.0f;
    return std::ldexp(uno(g), std::uniform_int_distribution<int>(-20, 20)(g));
}

Vector VAleatorio(std::mt19937 &g)
{
    float x = Aleatorio(g), y = Aleatorio(g);
    return V(x, y, Aleatorio(g));
}

}   // namespace

TEST(XoqueDiferencial, TriangulosAleatorios)
{
    std::mt19937 g(1234567);
    std::uniform_real_distribution<float> u01(0.0f, 1.0f);
    int tocados = 0, deslizados = 0, empujados = 0, degenerados = 0;
    for (int i = 0; i < 100000; i++) {
        Vector v1 = VAleatorio(g), v2 = VAleatorio(g), v3 = VAleatorio(g);
        switch (i % 20) {
        case 0: v2 = v1; break;   // coincident
        case 1:
            v3 = SumaVectores(v1, VectorPorEscalar(RestaVectores(v2, v1), u01(g) * 3 - 1));
            break;   // (nearly) collinear
        case 2: v3 = SumaVectores(v1, RestaVectores(v2, v1)); break;
        default: break;
        }
        float r = (i % 7 == 0) ? Aleatorio(g) : 50.0f * u01(g) + 1.0f;
        // A point of the triangle (or a little outside), lifted along the normal.
        float a = u01(g) * 1.2f - 0.1f, b = u01(g) * (1.1f - a);
        Vector pie = SumaVectores(v1, SumaVectores(VectorPorEscalar(RestaVectores(v2, v1), a),
                                                   VectorPorEscalar(RestaVectores(v3, v1), b)));
        Vector n =
            NormalPlano(NormalizarVector(RestaVectores(v2, v1)), NormalizarVector(RestaVectores(v3, v1)));
        Vector centro =
            (i % 5 == 4) ? VAleatorio(g) : SumaVectores(pie, VectorPorEscalar(n, (u01(g) * 2.4f - 1.2f) * r));
        Vector mov = (i % 3 == 0) ? VectorPorEscalar(n, -u01(g) * r) : VAleatorio(g);
        if (i % 11 == 0) mov = SumaVectores(mov, VectorPorEscalar(n, 3 * r));

        TrazaXoque t;
        Vector esperado = XoqueReferencia(r, centro, mov, v1, v2, v3, &t);
        Vector e = XoqueEsferaPlano(r, centro, mov, v1, v2, v3);
        ASSERT_TRUE(Mismo(e, esperado)) << i << " got " << Texto(e) << " reference " << Texto(esperado);
        tocados += t.toca;
        deslizados += t.desliza;
        empujados += t.empuja;
        degenerados += (n.x == 0 && n.y == 0 && n.z == 0);
    }
    EXPECT_GT(tocados, 20000);
    EXPECT_GT(deslizados, 5000);
    EXPECT_GT(empujados, 5000);
    EXPECT_GT(degenerados, 5000);
}

// ---- The corner rule: a foot point within (L + C) 2^-18 of a vertex touches,
// ---- even where the angle sum does not reach 6.0.

// Foot points just off the first vertex, outside the triangle, where the
// angles add up to about pi: at 0.5 and 0.9 of the corner reach the face
// is touched (the fall slid away, the push added), at 1.1, 1.5 and 2.5 it
// is not. The same
// triangle near the origin and moved out to where C, not L, sets the reach.
TEST(XoqueEsquina, AlcanceDeLaEsquina)
{
    for (float desplazado : {0.0f, 3000.0f}) {
        const Vector v1 = V(desplazado, 0, desplazado), v2 = V(desplazado + 100, 0, desplazado),
                     v3 = V(desplazado, 0, desplazado + 100);
        const double l = std::sqrt(2.0) * 100, c = desplazado + 100.0;
        const double alcance = (l + c) * 0x1p-18;
        for (double veces : {0.5, 0.9, 1.1, 1.5, 2.5}) {
            const double paso = veces * alcance / std::sqrt(2.0);   // along (-1, 0, -1)
            const Vector centro = V((float)(desplazado - paso), 30, (float)(desplazado - paso));
            const Vector r = XoqueEsferaPlano(50, centro, V(0, -10, 0), v1, v2, v3);
            const Vector esperado = veces < 1 ? V(0, 10, 0) : V(0, -10, 0);   // slid and pushed, or untouched
            EXPECT_TRUE(MismosBits(r, esperado)) << desplazado << " x" << veces << ": " << Texto(r);
        }
    }
}
