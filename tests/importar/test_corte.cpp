// Tests of cutting a face along the integer lines of its texture
// coordinates: a table of faces and the pieces they make, properties over
// seeded random faces (the pieces are exact sub-triangles that cover the
// face), the bit-for-bit agreement of two faces on their shared edge, and
// the faces that are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "corte.h"

namespace {

TrianguloImportado CrearCara(const float p[3][3], const float t[3][2])
{
    TrianguloImportado c;
    for (int i = 0; i < 3; ++i) {
        c.e[i].posicion = {p[i][0], p[i][1], p[i][2]};
        c.e[i].normal = {0, 0, 1};
        c.e[i].textura = {t[i][0], t[i][1], 0};
    }
    c.material = 7;
    return c;
}

// A flat face in z = 0 whose positions equal its texture coordinates times 10.
TrianguloImportado CrearCaraPlana(float s0, float t0, float s1, float t1, float s2, float t2)
{
    const float p[3][3] = {{s0 * 10, t0 * 10, 0}, {s1 * 10, t1 * 10, 0}, {s2 * 10, t2 * 10, 0}};
    const float t[3][2] = {{s0, t0}, {s1, t1}, {s2, t2}};
    return CrearCara(p, t);
}

double CalcularCruz2(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Signed area in texture space.
double CalcularAreaTextura(const TrianguloImportado &c)
{
    const Vector &a = c.e[0].textura, &b = c.e[1].textura, &d = c.e[2].textura;
    return 0.5 * CalcularCruz2((double)b.x - a.x, (double)b.y - a.y, (double)d.x - a.x, (double)d.y - a.y);
}

// Area vector (half the cross product of two edges) in space.
void CalcularAreaEspacio(const TrianguloImportado &c, double n[3])
{
    const Vector &a = c.e[0].posicion, &b = c.e[1].posicion, &d = c.e[2].posicion;
    const double u[3] = {(double)b.x - a.x, (double)b.y - a.y, (double)b.z - a.z};
    const double v[3] = {(double)d.x - a.x, (double)d.y - a.y, (double)d.z - a.z};
    n[0] = 0.5 * (u[1] * v[2] - u[2] * v[1]);
    n[1] = 0.5 * (u[2] * v[0] - u[0] * v[2]);
    n[2] = 0.5 * (u[0] * v[1] - u[1] * v[0]);
}

double CalcularNorma(const double n[3]) { return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]); }

struct CasoCorte {
    const char *nombre;
    TrianguloImportado cara;
    int piezas;   // triangles expected
    int celdas;   // distinct cells among them
};

TEST(Corte, TablaDeCaras)
{
    const CasoCorte casos[] = {
        {"inside one cell", CrearCaraPlana(0.1f, 0.1f, 0.9f, 0.2f, 0.5f, 0.8f), 1, 1},
        {"corners on the cell's border", CrearCaraPlana(1, 1, 2, 1, 1, 2), 1, 1},
        {"negative cell", CrearCaraPlana(-2.9f, -1.9f, -2.1f, -1.8f, -2.5f, -1.1f), 1, 1},
        // One line s = 1 through two edges: a triangle and a quadrilateral.
        {"one cut", CrearCaraPlana(0.5f, 0.1f, 1.5f, 0.2f, 0.5f, 0.9f), 3, 2},
        // The line passes through a corner: two triangles.
        {"cut through a corner", CrearCaraPlana(0.5f, 0.1f, 1.5f, 0.1f, 1, 0.9f), 2, 2},
        // Half a 2 x 2 square, its diagonal through the grid point (1, 1):
        // the whole cell (0, 0), two triangles, and a triangle in each of its
        // neighbours along the axes; the cell (1, 1) untouched.
        {"diagonal through a grid point", CrearCaraPlana(0, 0, 2, 0, 0, 2), 4, 3},
    };
    for (const CasoCorte &c : casos) {
        std::vector<PiezaCara> piezas;
        const int n = CortarCara(c.cara, &piezas);
        ASSERT_EQ(n, (int)piezas.size()) << c.nombre;
        std::set<std::pair<int, int>> celdas;
        for (const PiezaCara &p : piezas) {
            celdas.insert({p.celda_s, p.celda_t});
            EXPECT_EQ(p.t.material, 7) << c.nombre;
        }
        EXPECT_EQ(n, c.piezas) << c.nombre;
        EXPECT_EQ((int)celdas.size(), c.celdas) << c.nombre;
        if (n == 1) {
            EXPECT_EQ(0, memcmp(&piezas[0].t, &c.cara, sizeof c.cara)) << c.nombre << ": changed";
        }
    }
    std::vector<PiezaCara> piezas;
    CortarCara(CrearCaraPlana(-2.9f, -1.9f, -2.1f, -1.8f, -2.5f, -1.1f), &piezas);
    EXPECT_EQ(piezas[0].celda_s, -3);
    EXPECT_EQ(piezas[0].celda_t, -2);
}

// Every piece of `cara` lies in its cell, on the face's plane, where the
// face's own interpolation puts its texture coordinate; the pieces turn the
// face's way and their areas add up to the face's, in space and in texture
// space.
void ComprobarPiezas(const TrianguloImportado &cara, const std::vector<PiezaCara> &piezas)
{
    const double at = CalcularAreaTextura(cara);
    double nc[3];
    CalcularAreaEspacio(cara, nc);
    double suma_t = 0, suma[3] = {0, 0, 0};
    const Vector &a = cara.e[0].textura, &b = cara.e[1].textura, &d = cara.e[2].textura;
    double mayor_t = 1, ext_t = 0, ext_p = 0;
    for (int i = 0; i < 3; ++i) {
        const EsquinaImportada &x = cara.e[i], &y = cara.e[(i + 1) % 3];
        mayor_t = std::max({mayor_t, (double)std::fabs(x.textura.x), (double)std::fabs(x.textura.y)});
        ext_t =
            std::max(ext_t, std::hypot((double)x.textura.x - y.textura.x, (double)x.textura.y - y.textura.y));
        const double dp[3] = {(double)x.posicion.x - y.posicion.x, (double)x.posicion.y - y.posicion.y,
                              (double)x.posicion.z - y.posicion.z};
        ext_p = std::max(ext_p, CalcularNorma(dp));
    }
    // A few float steps of a texture coordinate, as barycentric weights.
    const double tol_w = 8 * 1.2e-7 * mayor_t * ext_t / std::fabs(2 * at) + 1e-6;
    const double tol_p = (tol_w + 1e-6) * ext_p;
    for (const PiezaCara &p : piezas) {
        const double ap = CalcularAreaTextura(p.t);
        EXPECT_GE(ap * (at < 0 ? -1 : 1), -1e-9) << "a piece turns the other way";
        suma_t += ap;
        double np[3];
        CalcularAreaEspacio(p.t, np);
        for (int k = 0; k < 3; ++k) suma[k] += np[k];
        EXPECT_GE(np[0] * nc[0] + np[1] * nc[1] + np[2] * nc[2],
                  -1e-6 * CalcularNorma(nc) * CalcularNorma(nc));
        for (const EsquinaImportada &e : p.t.e) {
            const double s = e.textura.x, t = e.textura.y;
            EXPECT_GE(s, p.celda_s - 1e-5);
            EXPECT_LE(s, p.celda_s + 1 + 1e-5);
            EXPECT_GE(t, p.celda_t - 1e-5);
            EXPECT_LE(t, p.celda_t + 1 + 1e-5);
            // Barycentric weights from the texture coordinate give the
            // position, up to what float texture coordinates resolve.
            const double w1 =
                CalcularCruz2(s - a.x, t - a.y, (double)d.x - a.x, (double)d.y - a.y) / (2 * at);
            const double w2 =
                CalcularCruz2((double)b.x - a.x, (double)b.y - a.y, s - a.x, t - a.y) / (2 * at);
            const double w0 = 1 - w1 - w2;
            EXPECT_GE(std::min({w0, w1, w2}), -tol_w) << "corner outside the face";
            const Vector *q[3] = {&cara.e[0].posicion, &cara.e[1].posicion, &cara.e[2].posicion};
            const double esperado[3] = {w0 * q[0]->x + w1 * q[1]->x + w2 * q[2]->x,
                                        w0 * q[0]->y + w1 * q[1]->y + w2 * q[2]->y,
                                        w0 * q[0]->z + w1 * q[1]->z + w2 * q[2]->z};
            const double real[3] = {e.posicion.x, e.posicion.y, e.posicion.z};
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(real[k], esperado[k], tol_p) << "off the face";
        }
    }
    const double n = (double)piezas.size();
    EXPECT_NEAR(suma_t, at, n * tol_w * std::fabs(at));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(suma[k], nc[k], n * (tol_w + 1e-6) * CalcularNorma(nc));
}

TEST(Corte, PiezasExactasDeCarasAlAzar)
{
    std::mt19937 azar(20261209);
    std::uniform_real_distribution<float> pos(-100, 100), centro(-20, 20), ext(0, 6);
    int cortadas = 0;
    for (int caso = 0; caso < 3000; ++caso) {
        float p[3][3], t[3][2];
        const float cs = centro(azar), ct = centro(azar);
        const float es = ext(azar) * (caso % 5 == 0 ? 0.1f : 1), et = ext(azar);
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 3; ++k) p[i][k] = pos(azar);
            t[i][0] = cs + es * (pos(azar) / 100);
            t[i][1] = ct + et * (pos(azar) / 100);
        }
        // Some corners exactly on grid lines.
        if (caso % 7 == 0) t[0][0] = std::round(t[0][0]);
        if (caso % 11 == 0) t[1][1] = std::round(t[1][1]);
        const TrianguloImportado cara = CrearCara(p, t);
        if (std::fabs(CalcularAreaTextura(cara)) < 1e-3) continue;
        std::vector<PiezaCara> piezas;
        const int n = CortarCara(cara, &piezas);
        ASSERT_GT(n, 0);
        cortadas += n > 1;
        ComprobarPiezas(cara, piezas);
        if (HasFailure()) FAIL() << "case " << caso;
    }
    EXPECT_GT(cortadas, 1000);
}

// Two faces of a quad share the diagonal, with the same ends but different
// normals. Every point either makes on the diagonal the other makes too,
// the same floats.
TEST(Corte, AristaCompartidaMismosPuntos)
{
    std::mt19937 azar(7);
    std::uniform_real_distribution<float> u(-9, 9);
    for (int caso = 0; caso < 200; ++caso) {
        EsquinaImportada q[4];
        for (int i = 0; i < 4; ++i) {
            q[i].posicion = {u(azar) * 10, u(azar), u(azar) * 3};
            q[i].textura = {u(azar), u(azar), 0};
            q[i].normal = {0, 1, 0};
        }
        TrianguloImportado a{{q[0], q[1], q[2]}, 0}, b{{q[2], q[3], q[0]}, 0};
        b.e[0].normal = b.e[2].normal = {0.6f, 0.8f, 0};
        std::vector<PiezaCara> pa, pb;
        if (CortarCara(a, &pa) < 0 || CortarCara(b, &pb) < 0) continue;
        // Points on the diagonal q0-q2: where its texture line passes.
        auto en_diagonal = [&](const EsquinaImportada &e) {
            const double dx = (double)q[2].textura.x - q[0].textura.x,
                         dy = (double)q[2].textura.y - q[0].textura.y;
            const double c = CalcularCruz2(dx, dy, e.textura.x - (double)q[0].textura.x,
                                           e.textura.y - (double)q[0].textura.y);
            return std::fabs(c) < 1e-6 * (dx * dx + dy * dy);
        };
        auto puntos = [&](const std::vector<PiezaCara> &ps) {
            std::set<std::tuple<float, float, float, float, float>> r;
            for (const PiezaCara &p : ps)
                for (const EsquinaImportada &e : p.t.e)
                    if (en_diagonal(e))
                        r.insert({e.posicion.x, e.posicion.y, e.posicion.z, e.textura.x, e.textura.y});
            return r;
        };
        EXPECT_EQ(puntos(pa), puntos(pb)) << "case " << caso;
    }
}

TEST(Corte, CarasRechazadas)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const TrianguloImportado casos[] = {
        CrearCaraPlana(0, 0, 200, 0, 0, 200),      // some 20 000 cells
        CrearCaraPlana(0, 0, 20000, 0, 0, 0.5f),   // a strip of 20 000 cells
        CrearCaraPlana(0, 0, 1, 0, nan, 1),
        CrearCaraPlana(0, 0, inf, 0, 0, 1),
        CrearCaraPlana(5e6f, 0, 5e6f + 1, 0, 5e6f, 1),   // floats no longer resolve a repeat
    };
    for (const TrianguloImportado &c : casos) {
        std::vector<PiezaCara> piezas(2);
        EXPECT_EQ(CortarCara(c, &piezas), -1);
        EXPECT_EQ(piezas.size(), 2u) << "pieces appended by a refused face";
    }
    // Half a quad tiled 100 x 100 is still cut.
    std::vector<PiezaCara> piezas;
    EXPECT_GT(CortarCara(CrearCaraPlana(0, 0, 100, 0, 0, 100), &piezas), 0);
}

}   // namespace
