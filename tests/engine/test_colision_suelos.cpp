// Walking on floors with gravity: nobody falls through, whatever the
// triangulation, the corner order of the faces, or where the walker starts
// (above a vertex, on a shared edge as float arithmetic puts it there).
// Every tick goes through XoqueEsferaModelo, XoqueEsferaIndice and the
// face-by-face loop, which must agree bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "casos_colision.h"
#include "colision.h"

namespace {

const double kPi = 3.14159265358979323846;

const Vector kCaida = {0.0f, -10.0f, 0.0f};

typedef CasoColision Suelo;   // only its vertices and faces are used

// The face a b c in one of its six corner orders (three turns, two windings).
void Agregar(Suelo *s, int a, int b, int c, int orden)
{
    int v[3] = {a, b, c};
    if (orden >= 3) std::swap(v[1], v[2]);
    s->caras.push_back(CaraEsquinas(v[orden % 3], v[(1 + orden) % 3], v[(2 + orden) % 3]));
}

// n x n squares of side `lado` with the low corner at o (in the plane y = o.y),
// each cut along one of its diagonals: always the same one, or at random.
Suelo Rejilla(Vector o, int n, float lado, int orden, std::mt19937 *g)
{
    Suelo s;
    for (int j = 0; j <= n; j++)
        for (int i = 0; i <= n; i++) s.vertices.push_back(Vector{o.x + lado * i, o.y, o.z + lado * j});
    for (int j = 0; j < n; j++)
        for (int i = 0; i < n; i++) {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            const int ord = orden < 6 ? orden : (int)((*g)() % 6);
            if (g == nullptr || (*g)() % 2) {
                Agregar(&s, a, b, d, ord);
                Agregar(&s, a, d, c, ord);
            } else {
                Agregar(&s, a, b, c, ord);
                Agregar(&s, b, d, c, ord);
            }
        }
    return s;
}

// k triangles around the centre vertex (index 0), rim of radius 100.
Suelo Abanico(Vector centro, int k, int orden)
{
    Suelo s;
    s.vertices.push_back(centro);
    for (int i = 0; i < k; i++) {
        const double t = 2 * kPi * (i + 0.3) / k;
        s.vertices.push_back(
            Vector{centro.x + (float)(100 * std::cos(t)), centro.y, centro.z + (float)(100 * std::sin(t))});
    }
    for (int i = 0; i < k; i++) Agregar(&s, 0, 1 + i, 1 + (i + 1) % k, orden);
    return s;
}

// Walks `ticks` ticks from `ojo` with the step `paso` plus gravity. The eye
// must stay 40 to 50 above the floor plane y = alto (exactly at its height
// when it does not walk); returns false at the first tick that breaks this
// or where the three routines disagree.
::testing::AssertionResult Caminar(Suelo *s, Vector ojo, Vector paso, int ticks, float alto)
{
    const Modelo m = ModeloDeCaso(s);
    IndiceColision indice = IndexarModelo(m);
    const float inicio = ojo.y;
    for (int t = 0; t < ticks; t++) {
        const Vector mov = SumaVectores(paso, kCaida);
        const Vector a = XoqueEsferaModelo(50.0f, ojo, mov, m);
        const Vector b = XoqueEsferaIndice(50.0f, ojo, mov, indice);
        const Vector c = XoqueCaraACara(50.0f, ojo, mov, m);
        if (std::memcmp(&a, &b, sizeof a) != 0 || std::memcmp(&a, &c, sizeof a) != 0) {
            LiberarIndice(&indice);
            return ::testing::AssertionFailure() << "routines disagree at tick " << t;
        }
        ojo = SumaVectores(ojo, a);
        const float h = ojo.y - alto;
        const bool quieto = paso.x == 0 && paso.z == 0;
        if ((quieto && ojo.y != inicio) || h < 40.0f || h > 50.0f) {
            LiberarIndice(&indice);
            return ::testing::AssertionFailure() << "tick " << t << ": eye at (" << ojo.x << ", " << ojo.y
                                                 << ", " << ojo.z << "), " << h << " above the floor";
        }
    }
    LiberarIndice(&indice);
    return ::testing::AssertionSuccess();
}

}   // namespace

// A grid floor with the walker starting above a vertex, in every corner
// order and at several places (far from the origin rounding is coarser),
// standing still and walking along the grid lines and the cuts.
TEST(CaminarSobreSuelos, RejillaDesdeUnVertice)
{
    const Vector origenes[] = {{-200, 0, -200}, {2800, 0, -1650}, {-1e5f, 37.5f, 3.3e4f}};
    const Vector pasos[] = {{0, 0, 0}, {7, 0, 0}, {0, 0, -7}, {4.9497476f, 0, 4.9497476f}, {-3, 0, 6.3f}};
    for (int orden = 0; orden < 6; orden++)
        for (const Vector &o : origenes) {
            Suelo s = Rejilla(o, 16, 50.0f, orden, nullptr);
            for (int v : {144, 126, 145, 162}) {   // vertices 7 to 9 squares in (144 is the middle)
                const Vector ojo = {s.vertices[v].x, o.y + 45.0f, s.vertices[v].z};
                for (const Vector &paso : pasos)
                    EXPECT_TRUE(Caminar(&s, ojo, paso, 40, o.y)) << "order " << orden << " vertex " << v;
            }
        }
}

// Triangles fanned around the start point, which is the centre vertex in
// first, second or third corner position.
TEST(CaminarSobreSuelos, AbanicoAlrededorDelInicio)
{
    for (int k : {3, 5, 6, 8, 13})
        for (int orden = 0; orden < 6; orden++)
            for (const Vector &c : {Vector{0, 0, 0}, Vector{1234.5f, -20, -987.25f}}) {
                Suelo s = Abanico(c, k, orden);
                const Vector ojo = {c.x, c.y + 45.0f, c.z};
                EXPECT_TRUE(Caminar(&s, ojo, Vector{0, 0, 0}, 40, c.y)) << k << " faces, order " << orden;
                EXPECT_TRUE(Caminar(&s, ojo, Vector{1.5f, 0, -0.5f}, 20, c.y))
                    << k << " faces, order " << orden;
            }
}

// Centres on shared edges as float arithmetic computes them: a + t (b - a)
// with the engine's own vector operations, on the two-triangle square and on
// grids cut at random, in random corner orders.
TEST(CaminarSobreSuelos, CentrosSobreAristasCompartidas)
{
    std::mt19937 g(912);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    int casos = 0;
    for (int k = 0; k < 40; k++) {
        const Vector o = {(float)(g() % 4000) - 2000.0f, (float)(g() % 100), (float)(g() % 4000) - 2000.0f};
        const int n = k % 4 == 0 ? 1 : 6;
        const float lado = n == 1 ? 200.0f : 10.0f + 90.0f * u(g);
        Suelo s = Rejilla(o, n, lado, 6, &g);
        for (int i = 0; i < 30; i++) {
            // A random face, and a random point of one of its edges.
            const Cara &f = s.caras[g() % s.caras.size()];
            const int e = (int)(g() % 3);
            const Vector a = s.vertices[f.Vert[e]], b = s.vertices[f.Vert[(e + 1) % 3]];
            Vector p = SumaVectores(a, VectorPorEscalar(RestaVectores(b, a), u(g)));
            p.y = o.y + 45.0f;
            EXPECT_TRUE(Caminar(&s, p, Vector{0, 0, 0}, 30, o.y)) << "edge point " << p.x << ", " << p.z;
            casos++;
        }
    }
    EXPECT_EQ(casos, 1200);
}

// The issue's own walk: the diagonal x = z of the two-triangle square, from
// the origin, in float steps.
TEST(CaminarSobreSuelos, DiagonalDelCuadrado)
{
    for (int orden = 0; orden < 6; orden++) {
        Suelo s;
        s.vertices = {{-100, 0, -100}, {100, 0, -100}, {100, 0, 100}, {-100, 0, 100}};
        Agregar(&s, 0, 1, 2, orden);
        Agregar(&s, 0, 2, 3, orden);
        for (int i = -180; i <= 180; i++) {
            const float t = (float)i * 0.5f + 0.013f * (float)(i % 7);
            EXPECT_TRUE(Caminar(&s, Vector{t, 45.0f, t}, Vector{0, 0, 0}, 5, 0.0f)) << "at " << t;
        }
    }
}
