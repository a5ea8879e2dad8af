// The collision index against XoqueEsferaModelo and the face-by-face loop,
// bit for bit: large shuffled halls walked at radii 1 to 500, the paths that
// fall back to the model, malformed models and a failed allocation. The
// random rooms go through the index in test_colision_diferencial.cpp;
// tests/referencia/diferencial_largo indice runs them for as long as wanted.
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
#include "comun.h"
#include "fallo_memoria.h"

namespace {

std::string Texto(Vector v)
{
    char b[128];
    std::snprintf(b, sizeof b, "(%a, %a, %a)", (double)v.x, (double)v.y, (double)v.z);
    return b;
}

// The three routines on one query; the index must equal both others.
::testing::AssertionResult Igual(float r, Vector c, Vector mov, Modelo m, const IndiceColision &ind)
{
    const Vector a = XoqueCaraACara(r, c, mov, m);
    const Vector b = XoqueEsferaModelo(r, c, mov, m);
    const Vector e = XoqueEsferaIndice(r, c, mov, ind);
    if (MismosBits(a, b) && MismosBits(a, e)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "radius " << r << " centre " << Texto(c) << ": face by face " << Texto(a)
                                         << ", model " << Texto(b) << ", index " << Texto(e);
}

// A hall of about `caras` faces like the walkthrough's, floor, ceiling and
// walls cut into jittered squares, faces shuffled; a few huge faces on top.
void Salon(std::mt19937_64 *g, int caras, CasoColision *c)
{
    c->vertices.clear();
    c->caras.clear();
    const int n = (int)std::sqrt(caras / 4.0) + 1;
    AnadirPared(g, c, Vector{-1500, -50, -2500}, Vector{3000, 0, 0}, Vector{0, 0, 3500}, n, n, 0.3);
    AnadirPared(g, c, Vector{-1500, 350, -2500}, Vector{3000, 0, 0}, Vector{0, 0, 3500}, n, n, 0.3);
    AnadirPared(g, c, Vector{-1500, -50, -2500}, Vector{0, 0, 3500}, Vector{0, 400, 0}, n, n, 0.3);
    AnadirPared(g, c, Vector{1500, -50, -2500}, Vector{0, 0, 3500}, Vector{0, 400, 0}, n, n, 0.3);
    for (int k = 0; k < 3; k++) {   // big faces, kept apart from the grid
        const int b = (int)c->vertices.size();
        c->vertices.push_back(Vector{-1500, (float)(100 * k), -2500});
        c->vertices.push_back(Vector{1500, (float)(100 * k), -2500});
        c->vertices.push_back(Vector{0, (float)(100 * k + 30), 1000});
        Cara f;
        std::memset(&f, 0, sizeof f);
        f.Vert[0] = b; f.Vert[1] = b + 1; f.Vert[2] = b + 2;
        c->caras.push_back(f);
    }
    std::shuffle(c->caras.begin(), c->caras.end(), *g);
}

}  // namespace

// One index, many queries: centres near the floor, the walls, the corners and
// far away, radii from 1 to 500 (500 gathers too many faces for the stack and
// takes the fallback), movements of a walking tick.
TEST(IndiceColision, SalonBarajadoRecorrido)
{
    std::mt19937_64 g(99);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    CasoColision sala;
    Salon(&g, 8000, &sala);
    const Modelo m = ModeloDeCaso(&sala);
    IndiceColision ind = IndexarModelo(m);
    ASSERT_FALSE(ind.porModelo);
    EXPECT_GT(ind.NumGrandes, 0);
    long tocados = 0;
    for (int i = 0; i < 1000; i++) {
        const float r = i % 10 == 0 ? 500.0f : (float)(1 + 499 * u(g) * u(g));
        Vector c;
        const double x = -1500 + 3000 * u(g), z = -2500 + 3500 * u(g);
        switch (i % 5) {
        case 0: c = Vector{(float)x, (float)(-50 + r * (1.3 * u(g) - 0.1)), (float)z}; break;   // floor
        case 1: c = Vector{(float)(1500 - r * u(g) * 1.2), (float)(-50 + 400 * u(g)), (float)z}; break;  // wall
        case 2: c = Vector{(float)(-1500 + r * u(g)), (float)(350 - r * u(g)), (float)(-2500 + r * u(g))}; break;
        case 3: c = Vector{(float)x, (float)(1e4 * u(g)), (float)(z * 40)}; break;   // far away
        default: c = sala.vertices[g() % sala.vertices.size()]; c.y += (float)(r * 0.9); break;   // above a vertex
        }
        const Vector mov = {(float)(7 * u(g) - 3.5), -10.0f, (float)(7 * u(g) - 3.5)};
        ASSERT_TRUE(Igual(r, c, mov, m, ind)) << "query " << i;
        tocados += !MismosBits(XoqueEsferaIndice(r, c, mov, ind), mov);
    }
    EXPECT_GT(tocados, 250);
    LiberarIndice(&ind);
}

// The same face at the front and at the back of a long face list, with
// other faces between: both act, in order (the pushes add up).
TEST(IndiceColision, CorreccionesEnOrdenDeCaras)
{
    std::mt19937_64 g(8);
    CasoColision sala;
    Salon(&g, 4000, &sala);
    Cara f = sala.caras[0];
    const Vector v[3] = {{-300, -50, -300}, {300, -50, -300}, {0, -50, 300}};
    const int b = (int)sala.vertices.size();
    for (int k = 0; k < 3; k++) sala.vertices.push_back(v[k]);
    f.Vert[0] = b; f.Vert[1] = b + 1; f.Vert[2] = b + 2;
    sala.caras.insert(sala.caras.begin(), f);
    f.Vert[0] = b + 2; f.Vert[1] = b; f.Vert[2] = b + 1;
    sala.caras.push_back(f);
    const Modelo m = ModeloDeCaso(&sala);
    IndiceColision ind = IndexarModelo(m);
    const Vector c = {0, -20, 0}, mov = {4, -10, 0};
    EXPECT_TRUE(Igual(50, c, mov, m, ind));
    // Each copy changes the result: without the first or without the last
    // one the model gives something else.
    Modelo sin_primera = m, sin_ultima = m;
    sin_primera.Caras++;
    sin_primera.NumCaras--;
    sin_ultima.NumCaras--;
    const Vector e = XoqueEsferaIndice(50, c, mov, ind);
    EXPECT_FALSE(MismosBits(e, XoqueEsferaModelo(50, c, mov, sin_primera))) << Texto(e);
    EXPECT_FALSE(MismosBits(e, XoqueEsferaModelo(50, c, mov, sin_ultima))) << Texto(e);
    LiberarIndice(&ind);
}

// A dense floor under a large sphere: more candidate faces than the query
// keeps on the stack, so it goes through the model; the same result.
TEST(IndiceColision, MuchasCandidatas)
{
    CasoColision suelo;
    AnadirPared(nullptr, &suelo, Vector{0, 0, 0}, Vector{90, 0, 0}, Vector{0, 0, 90}, 90, 90);
    const Modelo m = ModeloDeCaso(&suelo);
    IndiceColision ind = IndexarModelo(m);
    for (float r : {100.0f, 30.0f, 2.0f})
        EXPECT_TRUE(Igual(r, Vector{45.2f, r * 0.5f, 45.7f}, Vector{1, -10, 0}, m, ind)) << r;
    LiberarIndice(&ind);
}

// Models with nothing to index: the movement comes back bit for bit, NaNs
// included, as from XoqueEsferaModelo; releasing twice is harmless.
TEST(IndiceColision, ModelosVaciosYMalformados)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Vector mov = {nan, -10, 3};
    std::vector<Vector> v = {{-100, 0, -100}, {100, 0, -100}, {0, 0, 100}};
    Cara fuera;
    std::memset(&fuera, 0, sizeof fuera);
    fuera.Vert[0] = 0; fuera.Vert[1] = 1; fuera.Vert[2] = 3;
    std::vector<Cara> caras = {fuera, fuera};
    caras[1].Vert[2] = -1;

    Modelo modelos[5];
    for (Modelo &m : modelos) IniciarModelo(&m);
    modelos[1].NumCaras = 4;                     // a count without an array
    modelos[2].NumVertices = 3; modelos[2].Vertices = v.data();
    modelos[2].NumCaras = 2; modelos[2].Caras = caras.data();   // corners out of range
    modelos[3] = modelos[2]; modelos[3].NumCaras = -5;          // a negative count
    modelos[4] = modelos[2]; modelos[4].Vertices = nullptr;     // no vertex array
    for (const Modelo &m : modelos) {
        IndiceColision ind = IndexarModelo(m);
        EXPECT_EQ(ind.NumCaras, 0);
        EXPECT_TRUE(MismosBits(XoqueEsferaIndice(50, Vector{0, 30, 0}, mov, ind), mov));
        EXPECT_TRUE(Igual(50, Vector{0, 30, 0}, Vector{1, -10, 2}, m, ind));
        LiberarIndice(&ind);
        LiberarIndice(&ind);
        EXPECT_TRUE(MismosBits(XoqueEsferaIndice(50, Vector{0, 30, 0}, mov, ind), mov));
    }
    // A record never built (all zero, as a global starts) answers too.
    IndiceColision cero;
    std::memset(&cero, 0, sizeof cero);
    EXPECT_TRUE(MismosBits(XoqueEsferaIndice(50, Vector{0, 30, 0}, mov, cero), mov));
}

// The index keeps at most the 36 bytes a face that the face array takes.
TEST(IndiceColision, MemoriaNoMayorQueLasCaras)
{
    std::mt19937_64 g(17);
    for (int caras : {10, 1000, 50000}) {
        CasoColision sala;
        Salon(&g, caras, &sala);
        IndiceColision ind = IndexarModelo(ModeloDeCaso(&sala));
        const size_t celdas = (size_t)ind.celdas[0] * ind.celdas[1] * ind.celdas[2];
        const size_t bytes = (size_t)ind.NumCaras * sizeof(EsferaCara) + (celdas + 1) * sizeof(int);
        EXPECT_LE(bytes, sala.caras.size() * sizeof(Cara)) << caras << " faces";
        LiberarIndice(&ind);
    }
}

#ifdef TALO_FALLO_MEMORIA
// When memory runs out while building, the index holds no arrays and every
// query gives what XoqueEsferaModelo gives on the model.
TEST(IndiceColision, SinMemoriaRecurreAlModelo)
{
    std::mt19937_64 g(5);
    CasoColision sala;
    Salon(&g, 3000, &sala);
    const Modelo m = ModeloDeCaso(&sala);
    FallarMemoria(0);
    IndiceColision ind = IndexarModelo(m);
    RestaurarMemoria();
    EXPECT_TRUE(ind.porModelo);
    EXPECT_EQ(ind.caras, nullptr);
    EXPECT_EQ(ind.inicio, nullptr);
    long tocados = 0;
    for (int i = 0; i < 200; i++) {
        const Vector c = {(float)(i * 13 % 3000) - 1500.0f, -10.0f, (float)(i * 29 % 3500) - 2500.0f};
        EXPECT_TRUE(Igual(50, c, Vector{1, -10, 0}, m, ind));
        tocados += !MismosBits(XoqueEsferaIndice(50, c, Vector{1, -10, 0}, ind), Vector{1, -10, 0});
    }
    EXPECT_GT(tocados, 100);
    LiberarIndice(&ind);
}
#endif
