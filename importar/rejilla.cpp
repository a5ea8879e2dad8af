// rejilla.cpp - rays and distances against the room, through a grid of
// columns over the horizontal plane.
//
// Each triangle is listed in every column its horizontal bounding box
// touches; a ray walks the columns its horizontal shadow crosses, in order,
// and stops at the first column past its nearest hit. A vertical ray looks
// in one column only, which keeps the many rays cast up and down from floor
// samples cheap on scenes of a million triangles.
#include <algorithm>
#include <cmath>
#include <limits>

#include "importar_local.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

double MultiplicarEscalar(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
void Restar(const double a[3], const double b[3], double r[3])
{
    for (int i = 0; i < 3; i++) r[i] = a[i] - b[i];
}
void MultiplicarCruz(const double a[3], const double b[3], double r[3])
{
    r[0] = a[1] * b[2] - a[2] * b[1];
    r[1] = a[2] * b[0] - a[0] * b[2];
    r[2] = a[0] * b[1] - a[1] * b[0];
}

// Moller-Trumbore: the ray parameter of the hit, or infinity.
double CortarRayo(const TrianguloD &t, const double o[3], const double d[3])
{
    double e1[3], e2[3], p[3], s[3], q[3];
    Restar(t.v[1], t.v[0], e1);
    Restar(t.v[2], t.v[0], e2);
    MultiplicarCruz(d, e2, p);
    double det = MultiplicarEscalar(e1, p);
    if (det == 0) return kInf;
    double inv = 1 / det;
    Restar(o, t.v[0], s);
    double u = MultiplicarEscalar(s, p) * inv;
    if (u < 0 || u > 1) return kInf;
    MultiplicarCruz(s, e1, q);
    double v = MultiplicarEscalar(d, q) * inv;
    if (v < 0 || u + v > 1) return kInf;
    return MultiplicarEscalar(e2, q) * inv;
}

// The closest point of a triangle to p (Ericson, Real-Time Collision
// Detection, 5.1.5), as a squared distance.
double MedirDistancia2(const TrianguloD &t, const double p[3])
{
    const double *a = t.v[0], *b = t.v[1], *c = t.v[2];
    double ab[3], ac[3], ap[3], r[3];
    Restar(b, a, ab), Restar(c, a, ac), Restar(p, a, ap);
    auto en = [&](const double *base, double s, const double *dir, double k, const double *dir2) {
        for (int i = 0; i < 3; i++) r[i] = base[i] + s * dir[i] + (dir2 ? k * dir2[i] : 0);
        double w[3];
        Restar(p, r, w);
        return MultiplicarEscalar(w, w);
    };
    double d1 = MultiplicarEscalar(ab, ap), d2 = MultiplicarEscalar(ac, ap);
    if (d1 <= 0 && d2 <= 0) return en(a, 0, ab, 0, nullptr);
    double bp[3];
    Restar(p, b, bp);
    double d3 = MultiplicarEscalar(ab, bp), d4 = MultiplicarEscalar(ac, bp);
    if (d3 >= 0 && d4 <= d3) return en(b, 0, ab, 0, nullptr);
    double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return en(a, d1 / (d1 - d3), ab, 0, nullptr);
    double cp[3];
    Restar(p, c, cp);
    double d5 = MultiplicarEscalar(ab, cp), d6 = MultiplicarEscalar(ac, cp);
    if (d6 >= 0 && d5 <= d6) return en(c, 0, ab, 0, nullptr);
    double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return en(a, d2 / (d2 - d6), ac, 0, nullptr);
    double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        double bc[3];
        Restar(c, b, bc);
        return en(b, (d4 - d3) / ((d4 - d3) + (d5 - d6)), bc, 0, nullptr);
    }
    double den = 1 / (va + vb + vc);
    return en(a, vb * den, ab, vc * den, ac);
}

int CalcularColumna(const Rejilla &r, int ix, int iz) { return iz * r.nx + ix; }

}   // namespace

void ConstruirRejilla(Rejilla *r, std::vector<TrianguloD> tri)
{
    r->tri = std::move(tri);
    for (TrianguloD &t : r->tri) {
        double a = std::min({t.v[0][1], t.v[1][1], t.v[2][1]}),
               b = std::max({t.v[0][1], t.v[1][1], t.v[2][1]});
        t.y0 = std::nextafter((float)a, -HUGE_VALF), t.y1 = std::nextafter((float)b, HUGE_VALF);
    }
    double mn[2] = {kInf, kInf}, mx[2] = {-kInf, -kInf};
    for (const TrianguloD &t : r->tri)
        for (const auto &v : t.v) {
            mn[0] = std::min(mn[0], v[0]), mx[0] = std::max(mx[0], v[0]);
            mn[1] = std::min(mn[1], v[2]), mx[1] = std::max(mx[1], v[2]);
        }
    if (r->tri.empty()) mn[0] = mn[1] = 0, mx[0] = mx[1] = 1;
    double ancho = std::max(mx[0] - mn[0], 1e-9), fondo = std::max(mx[1] - mn[1], 1e-9);
    // About eight triangles a column, at most 1024 columns a side.
    double n = std::max(1.0, (double)r->tri.size() / 8);
    r->celda = std::sqrt(ancho * fondo / n);
    r->celda = std::max({r->celda, ancho / 1024, fondo / 1024});
    r->nx = std::max(1, (int)std::ceil(ancho / r->celda));
    r->nz = std::max(1, (int)std::ceil(fondo / r->celda));
    r->min[0] = mn[0], r->min[1] = mn[1];
    std::vector<int> cuenta[3];
    for (auto &c : cuenta) c.assign((size_t)r->nx * r->nz + 1, 0);
    auto recorrer = [&](const TrianguloD &t, auto &&hacer) {
        double a[2] = {kInf, kInf}, b[2] = {-kInf, -kInf};
        for (const auto &v : t.v) {
            a[0] = std::min(a[0], v[0]), b[0] = std::max(b[0], v[0]);
            a[1] = std::min(a[1], v[2]), b[1] = std::max(b[1], v[2]);
        }
        int x0 = CalcularCeldaX(*r, a[0]), x1 = CalcularCeldaX(*r, b[0]), z0 = CalcularCeldaZ(*r, a[1]),
            z1 = CalcularCeldaZ(*r, b[1]);
        for (int iz = z0; iz <= z1; iz++)
            for (int ix = x0; ix <= x1; ix++) hacer(CalcularColumna(*r, ix, iz));
    };
    for (const TrianguloD &t : r->tri) recorrer(t, [&](int c) { cuenta[t.ranura][c + 1]++; });
    for (int k = 0; k < 3; k++) {
        for (size_t i = 1; i < cuenta[k].size(); i++) cuenta[k][i] += cuenta[k][i - 1];
        r->inicio[k] = cuenta[k];
        r->indices[k].assign(cuenta[k].back(), 0);
    }
    for (size_t i = 0; i < r->tri.size(); i++) {
        int k = r->tri[i].ranura;
        recorrer(r->tri[i], [&](int c) { r->indices[k][cuenta[k][c]++] = (int)i; });
    }
}

int CalcularCeldaX(const Rejilla &r, double x)
{
    // Clamped before the conversion: a point far outside (or not a number)
    // must not overflow an int.
    double c = std::floor((x - r.min[0]) / r.celda);
    return c >= 0 ? (int)std::min(c, r.nx - 1.0) : 0;
}
int CalcularCeldaZ(const Rejilla &r, double z)
{
    double c = std::floor((z - r.min[1]) / r.celda);
    return c >= 0 ? (int)std::min(c, r.nz - 1.0) : 0;
}

double LanzarRayo(const Rejilla &r, const double o[3], const double d[3], double tmax, unsigned mascara,
                  int *tri)
{
    double mejor = tmax;
    if (tri) *tri = -1;
    // A level ray meets only triangles whose height range holds its own.
    const bool nivel = d[1] == 0;
    auto probar = [&](int ix, int iz) {
        int c = CalcularColumna(r, ix, iz);
        for (int q = 0; q < 3; q++) {
            if (!((mascara >> q) & 1)) continue;
            for (int k = r.inicio[q][c]; k < r.inicio[q][c + 1]; k++) {
                const TrianguloD &t = r.tri[r.indices[q][k]];
                if (nivel && (o[1] < t.y0 || o[1] > t.y1)) continue;
                double s = CortarRayo(t, o, d);
                if (s > 1e-9 && s < mejor) {
                    mejor = s;
                    if (tri) *tri = r.indices[q][k];
                }
            }
        }
    };
    int ix = CalcularCeldaX(r, o[0]), iz = CalcularCeldaZ(r, o[2]);
    double h = std::hypot(d[0], d[2]);
    if (h < 1e-12) {
        probar(ix, iz);
        return mejor;
    }
    // Walk the columns in the order the ray's shadow enters them.
    int paso_x = d[0] > 0 ? 1 : -1, paso_z = d[2] > 0 ? 1 : -1;
    auto borde = [&](double o_, double d_, double mn, int i, int paso) {
        if (d_ == 0) return kInf;
        double b = mn + (i + (paso > 0 ? 1 : 0)) * r.celda;
        return (b - o_) / d_;
    };
    double tx = borde(o[0], d[0], r.min[0], ix, paso_x), tz = borde(o[2], d[2], r.min[1], iz, paso_z);
    double dx = d[0] == 0 ? kInf : r.celda / std::fabs(d[0]),
           dz = d[2] == 0 ? kInf : r.celda / std::fabs(d[2]);
    double t = 0;
    while (true) {
        probar(ix, iz);
        if (mejor <= std::min(tx, tz)) break;   // no later column holds a nearer hit
        if (tx < tz)
            t = tx, tx += dx, ix += paso_x;
        else
            t = tz, tz += dz, iz += paso_z;
        if (t > mejor || ix < 0 || iz < 0 || ix >= r.nx || iz >= r.nz) break;
    }
    return mejor;
}

double MedirDistancia(const Rejilla &r, const double p[3], double radio, unsigned mascara)
{
    double mejor2 = radio * radio;
    int x0 = CalcularCeldaX(r, p[0] - radio), x1 = CalcularCeldaX(r, p[0] + radio);
    int z0 = CalcularCeldaZ(r, p[2] - radio), z1 = CalcularCeldaZ(r, p[2] + radio);
    for (int iz = z0; iz <= z1; iz++)
        for (int ix = x0; ix <= x1; ix++) {
            int c = CalcularColumna(r, ix, iz);
            for (int q = 0; q < 3; q++)
                if ((mascara >> q) & 1)
                    for (int k = r.inicio[q][c]; k < r.inicio[q][c + 1]; k++)
                        mejor2 = std::min(mejor2, MedirDistancia2(r.tri[r.indices[q][k]], p));
        }
    return std::sqrt(mejor2);
}
