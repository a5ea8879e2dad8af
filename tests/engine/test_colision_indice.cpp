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
    return ::testing::AssertionFailure() << "radius " << r << " centre " << Texto(c) << ": face by face "
                                         << Texto(a) << ", model " << Texto(b) << ", index " << Texto(e);
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
    for (int k = 0; k < 3; k++)   // big faces, kept apart from the grid
        AnadirTriangulo(c, Vector{-1500, (float)(100 * k), -2500}, Vector{1500, (float)(100 * k), -2500},
                        Vector{0, (float)(100 * k + 30), 1000});
    std::shuffle(c->caras.begin(), c->caras.end(), *g);
}

}   // namespace

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
        case 1:
            c = Vector{(float)(1500 - r * u(g) * 1.2), (float)(-50 + 400 * u(g)), (float)z};
            break;   // wall
        case 2:
            c = Vector{(float)(-1500 + r * u(g)), (float)(350 - r * u(g)), (float)(-2500 + r * u(g))};
            break;
        case 3: c = Vector{(float)x, (float)(1e4 * u(g)), (float)(z * 40)}; break;   // far away
        default:
            c = sala.vertices[g() % sala.vertices.size()];
            c.y += (float)(r * 0.9);
            break;   // above a vertex
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
    const int b = (int)sala.vertices.size();
    AnadirTriangulo(&sala, Vector{-300, -50, -300}, Vector{300, -50, -300}, Vector{0, -50, 300});
    sala.caras.insert(sala.caras.begin(), sala.caras.back());
    sala.caras.back() = CaraEsquinas(b + 2, b, b + 1);
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
    std::vector<Cara> caras = {CaraEsquinas(0, 1, 3), CaraEsquinas(0, 1, 3)};
    caras[1].Vert[2] = -1;

    Modelo modelos[5];
    for (Modelo &m : modelos) IniciarModelo(&m);
    modelos[1].NumCaras = 4;   // a count without an array
    modelos[2].NumVertices = 3;
    modelos[2].Vertices = v.data();
    modelos[2].NumCaras = 2;
    modelos[2].Caras = caras.data();   // corners out of range
    modelos[3] = modelos[2];
    modelos[3].NumCaras = -5;   // a negative count
    modelos[4] = modelos[2];
    modelos[4].Vertices = nullptr;   // no vertex array
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

// ---- What a query costs, and the grid's shape. The cost is counted in faces
// ---- handed to the triangle test (colision_local.h), never timed.

#include "colision_local.h"

namespace {

double Distancia(Vector a, Vector b)
{
    return std::sqrt(((double)a.x - b.x) * ((double)a.x - b.x) + ((double)a.y - b.y) * ((double)a.y - b.y) +
                     ((double)a.z - b.z) * ((double)a.z - b.z));
}

double LadoMayor(const Vector v[3])
{
    return std::max({Distancia(v[0], v[1]), Distancia(v[1], v[2]), Distancia(v[2], v[0])});
}

// The faces near a sphere, each measured by its own size: a corner within
// the radius plus three times the face's longest edge of the centre. A query
// may look at these and no others (the large faces kept apart included).
// *cambian counts the faces that, alone, change the movement: a query must
// look at every one of them.
int CarasCercanas(const CasoColision &s, float r, Vector c, Vector mov, int *cambian)
{
    int cerca = 0;
    *cambian = 0;
    for (const Cara &k : s.caras) {
        const Vector v[3] = {s.vertices[k.Vert[0]], s.vertices[k.Vert[1]], s.vertices[k.Vert[2]]};
        const double d = r + 3 * LadoMayor(v);
        cerca += Distancia(c, v[0]) <= d || Distancia(c, v[1]) <= d || Distancia(c, v[2]) <= d;
        *cambian += !MismosBits(XoqueEsferaPlano(r, c, mov, v[0], v[1], v[2]), mov);
    }
    return cerca;
}

long long Probadas(float r, Vector c, Vector mov, const IndiceColision &ind)
{
    const long long antes = CarasProbadasIndice;
    XoqueEsferaIndice(r, c, mov, ind);
    return CarasProbadasIndice - antes;
}

}   // namespace

// Walking queries in a hall of 16000 faces look at the faces near the sphere
// only, at least at all that change the movement, and a small share of the
// hall all told. A query the index cannot answer (a NaN or infinite centre
// or radius) is done face by face: the whole model.
TEST(IndiceColisionTrabajo, ConsultaMiraSoloLasCarasCercanas)
{
    std::mt19937_64 g(21);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    CasoColision sala;
    Salon(&g, 8000, &sala);
    const Modelo m = ModeloDeCaso(&sala);
    IndiceColision ind = IndexarModelo(m);
    long long total = 0;
    int tocadas = 0;
    for (int i = 0; i < 300; i++) {
        const float r = (float)(5 + 95 * u(g));
        Vector c = sala.vertices[g() % sala.vertices.size()];
        c.x += (float)(r * (u(g) - 0.5));
        c.y += (float)(r * (1.6 * u(g) - 0.8));
        c.z += (float)(r * (u(g) - 0.5));
        const Vector mov = {(float)(7 * u(g) - 3.5), -10.0f, (float)(7 * u(g) - 3.5)};
        int cambian = 0;
        const int cerca = CarasCercanas(sala, r, c, mov, &cambian);
        const long long probadas = Probadas(r, c, mov, ind);
        ASSERT_LE(probadas, cerca) << "query " << i << " radius " << r;
        ASSERT_GE(probadas, cambian) << "query " << i;
        total += probadas;
        tocadas += cambian > 0;
    }
    EXPECT_GT(tocadas, 100);
    EXPECT_LT(total, 300LL * m.NumCaras / 100);   // under 1 % of the hall a query
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Probadas(50, Vector{0, nan, 0}, Vector{0, -10, 0}, ind), m.NumCaras);
    EXPECT_EQ(Probadas(inf, Vector{0, 0, 0}, Vector{0, -10, 0}, ind), m.NumCaras);
    EXPECT_EQ(Probadas(50, Vector{inf, 0, 0}, Vector{0, -10, 0}, ind), m.NumCaras);
    LiberarIndice(&ind);
}

#ifdef TALO_MALLOC_VIGILADO
// An index that ran out of memory answers face by face: every query costs the model.
TEST(IndiceColisionTrabajo, SinMemoriaCadaConsultaCuestaElModelo)
{
    std::mt19937_64 g(6);
    CasoColision sala;
    Salon(&g, 1000, &sala);
    const Modelo m = ModeloDeCaso(&sala);
    g_fallar = true;
    IndiceColision ind = IndexarModelo(m);
    g_fallar = false;
    EXPECT_EQ(Probadas(50, Vector{0, -20, 0}, Vector{0, -10, 0}, ind), m.NumCaras);
    LiberarIndice(&ind);
}
#endif

namespace {

// Rooms of every shape the grid must fit: a hall, thin strips along each
// axis, a flat plate, one face, many copies of one face, tiny faces strewn
// through a large box, a few huge faces among small ones, and faces that
// can never be touched (a corner out of range, an infinite coordinate);
// last, a room at the scale of 1e30, too wide for any finite reach.
std::vector<CasoColision> Formas()
{
    std::vector<CasoColision> f;
    std::mt19937_64 g(77);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    for (int caras : {1, 300, 5000}) {
        f.emplace_back();
        Salon(&g, caras, &f.back());
    }
    for (int eje = 0; eje < 3; eje++) {   // a strip 20000 long, 10 wide
        f.emplace_back();
        for (int i = 0; i < 600; i++) {
            float p[3] = {0, 0, 0}, q[3] = {0, 0, 0}, w[3] = {0, 0, 0};
            p[eje] = 33.0f * i;
            q[eje] = 33.0f * i + 30;
            w[eje] = 33.0f * i;
            q[(eje + 1) % 3] = 10;
            w[(eje + 2) % 3] = 10;
            AnadirTriangulo(&f.back(), Vector{p[0], p[1], p[2]}, Vector{q[0], q[1], q[2]},
                            Vector{w[0], w[1], w[2]});
        }
    }
    f.emplace_back();   // a plate 3000 by 3000, one face thick
    AnadirPared(&g, &f.back(), Vector{-1500, 0, -1500}, Vector{3000, 0, 0}, Vector{0, 0, 3000}, 40, 40);
    f.emplace_back();
    AnadirTriangulo(&f.back(), Vector{0, 0, 0}, Vector{1, 0, 0}, Vector{0, 1, 0});
    f.emplace_back();
    for (int i = 0; i < 700; i++)
        AnadirTriangulo(&f.back(), Vector{5, 5, 5}, Vector{6, 5, 5}, Vector{5, 5, 6});
    f.emplace_back();   // specks in a box of 1e6
    for (int i = 0; i < 3000; i++) {
        const Vector c = {u(g) * 1e6f, u(g) * 1e6f, u(g) * 1e6f};
        AnadirTriangulo(&f.back(), c, Vector{c.x + 0.5f, c.y, c.z}, Vector{c.x, c.y + 0.5f, c.z});
    }
    f.emplace_back();   // 1000 small faces and 300 huge ones
    for (int i = 0; i < 1300; i++) {
        const float t = i < 1000 ? 2.0f : 4000.0f;
        const Vector c = {u(g) * 500, u(g) * 500, u(g) * 500};
        AnadirTriangulo(&f.back(), c, Vector{c.x + t, c.y, c.z}, Vector{c.x, c.y, c.z + t});
    }
    f.emplace_back();   // faces that are never held
    Salon(&g, 200, &f.back());
    f.back().caras[3].Vert[1] = (int)f.back().vertices.size();
    f.back().caras[7].Vert[0] = -1;
    f.back().vertices[f.back().caras[11].Vert[2]].y = std::numeric_limits<float>::infinity();
    f.emplace_back();   // last: a room of 1e30, one face up to 3e38
    AnadirPared(&g, &f.back(), Vector{-1e30f, -1e30f, 0}, Vector{2e30f, 0, 0}, Vector{0, 2e30f, 0}, 12, 12);
    AnadirTriangulo(&f.back(), Vector{-1e30f, 0, 5e29f}, Vector{1e30f, 0, 5e29f}, Vector{0, 3e38f, 5e29f});
    return f;
}

// The faces of a room an index must hold: corners in range, coordinates finite.
std::vector<int> CarasTocables(const CasoColision &s)
{
    std::vector<int> r;
    for (int i = 0; i < (int)s.caras.size(); i++) {
        bool ok = true;
        for (int k = 0; k < 3; k++) {
            const int j = s.caras[i].Vert[k];
            ok = ok && j >= 0 && j < (int)s.vertices.size() && std::isfinite(s.vertices[j].x) &&
                 std::isfinite(s.vertices[j].y) && std::isfinite(s.vertices[j].z);
        }
        if (ok) r.push_back(i);
    }
    return r;
}

}   // namespace

// For every shape: no more cells than faces held; every face that can be
// touched held exactly once, the large ones at the end; the cells' runs in
// order and covering the rest; and queries around the room still give the
// model's result bit for bit, while a small sphere far from all faces looks
// at none. Under the sanitizer build this is also where
// building any shape reads and writes only inside its arrays.
TEST(IndiceColisionRejilla, CadaFormaCabeEnSuRejilla)
{
    std::mt19937_64 g(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<CasoColision> formas = Formas();
    for (size_t f = 0; f < formas.size(); f++) {
        CasoColision &s = formas[f];
        const Modelo m = ModeloDeCaso(&s);
        IndiceColision ind = IndexarModelo(m);
        ASSERT_FALSE(ind.porModelo) << "shape " << f;
        const std::vector<int> tocables = CarasTocables(s);
        ASSERT_EQ(ind.NumCaras, (int)tocables.size()) << "shape " << f;
        const long long celdas = (long long)ind.celdas[0] * ind.celdas[1] * ind.celdas[2];
        EXPECT_GE(ind.celdas[0], 1);
        EXPECT_GE(ind.celdas[1], 1);
        EXPECT_GE(ind.celdas[2], 1);
        EXPECT_LE(celdas, ind.NumCaras) << "shape " << f << ": " << ind.celdas[0] << " x " << ind.celdas[1]
                                        << " x " << ind.celdas[2] << " cells";
        // Faces too wide for any finite reach (all of the last room's) are
        // always kept apart; of the others, at most one in 256.
        const bool enorme = f + 1 == formas.size();
        if (!enorme) {
            EXPECT_LE(ind.NumGrandes, std::max(1, ind.NumCaras / 256)) << "shape " << f;
        }
        // The strips (shapes 3 to 5) are cut along their length, the plate (6) along x and z.
        const std::vector<int> largos = f == 6             ? std::vector<int>{0, 2}
                                        : f >= 3 && f <= 5 ? std::vector<int>{(int)f - 3}
                                                           : std::vector<int>{};
        for (int eje : largos) EXPECT_GE(ind.celdas[eje], 8) << "shape " << f << " axis " << eje;

        std::vector<int> vistas;
        for (int k = 0; k < ind.NumCaras; k++) vistas.push_back(ind.caras[k].cara);
        std::sort(vistas.begin(), vistas.end());
        EXPECT_EQ(vistas, tocables) << "shape " << f;
        EXPECT_EQ(ind.inicio[0], 0) << "shape " << f;
        for (long long c = 0; c < celdas; c++)
            ASSERT_LE(ind.inicio[c], ind.inicio[c + 1]) << "shape " << f << " cell " << c;
        EXPECT_EQ(ind.inicio[celdas], ind.NumCaras - ind.NumGrandes) << "shape " << f;

        // A small sphere far beyond every face looks at none of them (but
        // those kept apart with no finite reach).
        float lejos = 0;
        for (int i : tocables)
            for (int k = 0; k < 3; k++) {
                const Vector v = s.vertices[s.caras[i].Vert[k]];
                lejos = std::max({lejos, std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
            }
        lejos = std::min(lejos * 4 + 100, 3e38f);
        EXPECT_EQ(Probadas(1, Vector{lejos, -lejos, lejos}, Vector{1, -10, 2}, ind),
                  enorme ? ind.NumGrandes : 0)
            << "shape " << f;
        for (int i = 0; i < 60; i++) {
            Vector c = s.vertices[s.caras[tocables[g() % tocables.size()]].Vert[0]];
            const float r = (float)(0.5 + 60 * u(g));
            c.y += (float)(r * (1.8 * u(g) - 0.9));
            ASSERT_TRUE(Igual(r, c, Vector{1, -10, 2}, m, ind)) << "shape " << f << " query " << i;
        }
        LiberarIndice(&ind);
    }
}
