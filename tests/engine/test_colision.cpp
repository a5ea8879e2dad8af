// Sphere collision against one triangle and against a hand-built model,
// checked bit for bit against a literal double-precision reference.
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

// ---- Literal reference, step by step. Vector helpers in double,
// ---- rounded once per stored value; the line-plane solve divides by its
// ---- determinant whatever it is, so a degenerate triangle yields NaNs here.

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

Vector RNormalPlano(Vector a, Vector b)
{
    return RNorm(V((float)((double)a.y * b.z - (double)a.z * b.y), (float)((double)a.z * b.x - (double)a.x * b.z),
                   (float)((double)a.x * b.y - (double)a.y * b.x)));
}

float RAngulo(Vector a, Vector b)
{
    float d = (float)((double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z);
    return (float)std::acos((double)(float)((double)d / ((double)RMod(a) * (double)RMod(b))));
}

// The inside test's angle: the same cosine, clamped to [-1, 1] (NaN stays NaN).
float RAnguloAcotado(Vector a, Vector b)
{
    float d = (float)((double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z);
    float q = (float)((double)d / ((double)RMod(a) * (double)RMod(b)));
    q = q < -1 ? -1 : (q > 1 ? 1 : q);
    return (float)std::acos((double)q);
}

// The corner reach: (longest edge + largest coordinate magnitude) * 2^-18.
float REsquina(Vector a, Vector b, Vector c)
{
    float l = std::max({RMod(RRes(b, a)), RMod(RRes(c, b)), RMod(RRes(a, c))});
    float m = std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(a.z), std::fabs(b.x), std::fabs(b.y),
                        std::fabs(b.z), std::fabs(c.x), std::fabs(c.y), std::fabs(c.z)});
    return (l + m) * 0x1p-18f;
}

Vector RInter(Vector p, Vector dd, Vector q, Vector u, Vector v)
{
    double a[4] = {0, u.x, u.y, u.z}, b[4] = {0, v.x, v.y, v.z}, c[4] = {0, -dd.x, -dd.y, -dd.z};
    Vector rv = RRes(p, q);
    double r[4] = {0, rv.x, rv.y, rv.z};
    float det = (float)(a[1] * b[2] * c[3] + b[1] * c[2] * a[3] + a[2] * b[3] * c[1]
                        - c[1] * b[2] * a[3] - b[1] * a[2] * c[3] - c[2] * b[3] * a[1]);
    float s = (float)((r[1] * b[2] * c[3] + b[1] * c[2] * r[3] + r[2] * b[3] * c[1]
                       - c[1] * b[2] * r[3] - b[1] * r[2] * c[3] - b[3] * c[2] * r[1]) / (double)det);
    float t = (float)((a[1] * r[2] * c[3] + r[1] * c[2] * a[3] + a[2] * r[3] * c[1]
                       - c[1] * r[2] * a[3] - r[1] * a[2] * c[3] - r[3] * c[2] * a[1]) / (double)det);
    return RSum(RSum(q, REsc(u, s)), REsc(v, t));
}

struct Traza {
    float d, suma;
    bool toca, desliza, empuja;
};

Vector RXoque(float r, Vector P, Vector M, Vector V1, Vector V2, Vector V3, Traza *tz = nullptr)
{
    Traza t = {0, 0, false, false, false};
    Vector E1 = RNorm(RRes(V2, V1));
    Vector E2 = RNorm(RRes(V3, V1));
    Vector N = RNormalPlano(E1, E2);
    Vector F = RInter(P, N, V1, E1, E2);
    float d = RMod(RRes(P, F));
    float S = (float)((double)RAnguloAcotado(RRes(V1, F), RRes(V2, F))
                      + (double)RAnguloAcotado(RRes(V2, F), RRes(V3, F))
                      + (double)RAnguloAcotado(RRes(V3, F), RRes(V1, F)));
    float e = REsquina(V1, V2, V3);
    bool esquina = RMod(RRes(V1, F)) <= e || RMod(RRes(V2, F)) <= e || RMod(RRes(V3, F)) <= e;
    t.d = d;
    t.suma = S;
    if (r >= d && (S > 6.0f || esquina)) {
        t.toca = true;
        Vector P2 = RSum(P, M);
        Vector F2 = RInter(P2, N, V1, E1, E2);
        float d2 = RMod(RRes(P2, F2));
        if (d > d2) {
            t.desliza = true;
            M = RRes(F2, F);
        }
        if ((double)r * 0.8 > (double)d) {
            t.empuja = true;
            M = RSum(M, REsc(RNorm(RRes(P, F)), (float)((double)r * 0.2)));
        }
    }
    if (tz)
        *tz = t;
    return M;
}

// The floor triangle in the plane y = 0 used by most cases.
const Vector S1 = V(-100, 0, -100), S2 = V(100, 0, -100), S3 = V(0, 0, 100);

// The engine's answer must equal the expected one and, bit for bit, the reference's.
::testing::AssertionResult Suelo(Vector centro, Vector mov, Vector esperado)
{
    Vector e = XoqueEsferaPlano(50, centro, mov, S1, S2, S3);
    Vector r = RXoque(50, centro, mov, S1, S2, S3);
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
    k.Vert[0] = a; k.Vert[1] = b; k.Vert[2] = c;
    k.Aux[0] = k.Aux[1] = k.Aux[2] = -7;
    k.Res[0] = k.Res[1] = k.Res[2] = -9;
    return k;
}

} // namespace

TEST(XoqueTriangulo, CaidaYDeslizamiento)
{
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(0, -10, 0), V(0, 0, 0)));
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(7, -10, 0), V(7, 0, 0)));
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(0, 0, -7), V(0, 0, -7)));
    EXPECT_TRUE(Suelo(V(0, 45, 0), V(0, 15, 0), V(0, 15, 0)));
    EXPECT_TRUE(Suelo(V(0, 41, 0), V(0, -10, 0), V(0, 0, 0)));
}

TEST(XoqueTriangulo, EmpujeHaciaFuera)
{
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
}

TEST(XoqueTriangulo, DistanciaDeContacto)
{
    EXPECT_TRUE(Suelo(V(0, 50, 0), V(0, -10, 0), V(0, 0, 0)));     // d == r touches
    EXPECT_TRUE(Suelo(V(0, 50.5f, 0), V(0, -10, 0), V(0, -10, 0)));
    EXPECT_TRUE(Suelo(V(0, 60, 0), V(0, -30, 0), V(0, -30, 0)));   // only d before counts
}

TEST(XoqueTriangulo, SumaDeAngulosYBanda)
{
    Traza t;
    EXPECT_TRUE(Suelo(V(500, 30, 0), V(0, -10, 0), V(0, -10, 0)));
    RXoque(50, V(500, 30, 0), V(0, -10, 0), S1, S2, S3, &t);
    EXPECT_NEAR(t.suma, 0.885, 0.0005);

    EXPECT_TRUE(Suelo(V(0, 30, -107), V(0, -10, 0), V(0, 10, 0)));
    RXoque(50, V(0, 30, -107), V(0, -10, 0), S1, S2, S3, &t);
    EXPECT_NEAR(t.suma, 6.0036, 0.00005);
    EXPECT_TRUE(t.toca);

    EXPECT_TRUE(Suelo(V(0, 30, -108), V(0, -10, 0), V(0, -10, 0)));
    RXoque(50, V(0, 30, -108), V(0, -10, 0), S1, S2, S3, &t);
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
    const Vector e1 = RNorm(RRes(S2, S1)), e2 = RNorm(RRes(S3, S1));
    const Vector f = RInter(centro, RNormalPlano(e1, e2), S1, e1, e2);
    const float g1 = RAngulo(RRes(S1, f), RRes(S2, f));
    const float g2 = RAngulo(RRes(S2, f), RRes(S3, f));
    const float g3 = RAngulo(RRes(S3, f), RRes(S1, f));
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
    EXPECT_TRUE(Mismo(e, RXoque(7, V(0, 5.6f, 0), V(0, 0, 0), S1, S2, S3)));
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

    struct Caso { Vector centro, esperado; };
    const Caso casos[] = {
        {V(5, 30, -5), V(0, 20, 0)},     // inside one, in the band of the other: both push
        {V(8, 30, -8), V(0, 10, 0)},     // outside the band of the second
        {V(-50, 30, 50), V(0, 10, 0)},   // the second face only
    };
    for (const Caso &k : casos) {
        Vector e = XoqueEsferaModelo(50, k.centro, caida, m);
        Vector r = RXoque(50, k.centro, RXoque(50, k.centro, caida, v[0], v[1], v[2]), v[0], v[2], v[3]);
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
    std::vector<Cara> c = {CaraDe(0, 1, 3), CaraDe(-1, 1, 2), CaraDe(0, 1, 2),
                           CaraDe(3, 0, 1), CaraDe(0, -2147483647 - 1, 2), CaraDe(2, 1, 2147483647)};
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
    Vector r = RXoque(50, V(0, 30, 0), RXoque(50, V(0, 30, 0), V(4, -10, 0), S1, S2, S3), S3, S1, S2);
    EXPECT_TRUE(Mismo(e, r)) << Texto(e) << " reference " << Texto(r);
    EXPECT_EQ(e.y, 20.0f);
}

// ---- Random triangles and spheres against the literal reference. Centres
// ---- are placed near each triangle so that touching, sliding and pushing
// ---- all occur often.

namespace {

float Aleatorio(std::mt19937 &g)
{
    std::uniform_real_distribution<float> uno(-1.0f, 1.0f);
    int t = std::uniform_int_distribution<int>(0, 9)(g);
    if (t < 2)
        return (float)std::uniform_int_distribution<int>(-200, 200)(g);
    if (t < 8)
        return uno(g) * 300.0f;
    return std::ldexp(uno(g), std::uniform_int_distribution<int>(-20, 20)(g));
}

Vector VAleatorio(std::mt19937 &g)
{
    float x = Aleatorio(g), y = Aleatorio(g);
    return V(x, y, Aleatorio(g));
}

} // namespace

TEST(XoqueDiferencial, TriangulosAleatorios)
{
    std::mt19937 g(1234567);
    std::uniform_real_distribution<float> u01(0.0f, 1.0f);
    int tocados = 0, deslizados = 0, empujados = 0, degenerados = 0;
    for (int i = 0; i < 100000; i++) {
        Vector v1 = VAleatorio(g), v2 = VAleatorio(g), v3 = VAleatorio(g);
        switch (i % 20) {
        case 0: v2 = v1; break;                                            // coincident
        case 1: v3 = RSum(v1, REsc(RRes(v2, v1), u01(g) * 3 - 1)); break;  // (nearly) collinear
        case 2: v3 = RSum(v1, RRes(v2, v1)); break;
        default: break;
        }
        float r = (i % 7 == 0) ? Aleatorio(g) : 50.0f * u01(g) + 1.0f;
        // A point of the triangle (or a little outside), lifted along the normal.
        float a = u01(g) * 1.2f - 0.1f, b = u01(g) * (1.1f - a);
        Vector pie = RSum(v1, RSum(REsc(RRes(v2, v1), a), REsc(RRes(v3, v1), b)));
        Vector n = RNormalPlano(RNorm(RRes(v2, v1)), RNorm(RRes(v3, v1)));
        Vector centro = (i % 5 == 4) ? VAleatorio(g) : RSum(pie, REsc(n, (u01(g) * 2.4f - 1.2f) * r));
        Vector mov = (i % 3 == 0) ? REsc(n, -u01(g) * r) : VAleatorio(g);
        if (i % 11 == 0)
            mov = RSum(mov, REsc(n, 3 * r));

        Traza t;
        Vector esperado = RXoque(r, centro, mov, v1, v2, v3, &t);
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
