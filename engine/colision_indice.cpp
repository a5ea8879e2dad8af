// colision_indice.cpp - the collision index: the same corrections as
// XoqueEsferaModelo, visiting only the faces near the sphere.
//
// Each face gets a sphere (the middle of its box, and a reach) such that a
// sphere of radius r centred at P can touch the face only when P lies within
// reach + r of the sphere's centre (docs/colision.md proves it). Faces are
// stored once each, by the cell of their sphere's centre, in a uniform grid
// whose side is at least the reach of all but the largest few faces (those
// few are kept apart and always tested). A query visits the cells within
// side + r of P along each axis, tests each face's sphere, sorts the few
// that pass into face order and runs XoqueEsferaPlano on them. The faces
// left out cannot be touched, and an untouched face returns the movement
// unchanged, so the result is the face-by-face loop's, bit for bit.
//
// A grid rather than a BVH or a sorted sweep: rooms are surfaces of faces of
// similar size, a grid cell is found by arithmetic, a query walks contiguous
// rows of records with no pointer chasing, and it is built in two counting
// passes without sorting the faces. Each face costs 20 bytes and each cell 4, and there
// are no more cells than faces, so the index takes at most 24 bytes a face,
// against the 36 of the face array.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "colision.h"
#include "colision_local.h"

thread_local long long CarasProbadasIndice = 0;

namespace {

// Faces kept apart from the grid: at most this many, and at most one in 256.
const int kMaxGrandes = 256;
// Faces whose sphere test passes, sorted on the stack; more than this and
// the query falls back to XoqueEsferaModelo (same result, every face visited).
const int kMaxCandidatas = 4096;

bool Finito(const Vector &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The distance from a to the point c, in double.
double Distancia(const Vector &a, const float c[3])
{
    const double x = (double)a.x - c[0], y = (double)a.y - c[1], z = (double)a.z - c[2];
    return std::sqrt(x * x + y * y + z * z);
}

// The sphere of face i, or false when the face can never be touched: a corner
// outside the vertex array (skipped) or an infinite or NaN coordinate.
bool EsferaDeCara(const Modelo &m, int nv, int i, EsferaCara *e)
{
    const Cara &k = m.Caras[i];
    if (!CaraDentro(k, nv)) return false;
    const Vector v[3] = {m.Vertices[k.Vert[0]], m.Vertices[k.Vert[1]], m.Vertices[k.Vert[2]]};
    if (!Finito(v[0]) || !Finito(v[1]) || !Finito(v[2])) return false;
    double s = 0, c = 0;
    for (int a = 0; a < 3; a++) {
        const float *p0 = &v[0].x, *p1 = &v[1].x, *p2 = &v[2].x;
        const double lo = std::min({p0[a], p1[a], p2[a]}), hi = std::max({p0[a], p1[a], p2[a]});
        s += hi - lo;
        c = std::max({c, -lo, hi});
        e->centro[a] = (float)(0.5 * lo + 0.5 * hi);
    }
    const double l = std::max({Distancia(v[0], &v[1].x), Distancia(v[1], &v[2].x), Distancia(v[2], &v[0].x)});
    const double rho = AlcanceCara(l, s, c);
    const double r =
        std::max({Distancia(v[0], e->centro), Distancia(v[1], e->centro), Distancia(v[2], e->centro)});
    const double q = (r + rho) * (1.0 + 0x1p-20) + 0x1p-60;
    float qf = (float)q;
    if ((double)qf < q) qf = std::nextafter(qf, INFINITY);
    e->cara = i;
    e->alcance = qf;
    return true;
}

// The cell along one axis of coordinate x: monotone in x, clamped to the grid.
int Celda(double x, double origen, double lado, int n)
{
    const double t = (x - origen) / lado;
    if (!(t >= 0)) return 0;
    if (t >= n) return n - 1;
    return (int)t;
}

int CeldaDe(const IndiceColision &ind, const float p[3])
{
    int k[3];
    for (int a = 0; a < 3; a++) k[a] = Celda(p[a], ind.origen[a], ind.lado, ind.celdas[a]);
    return (k[2] * ind.celdas[1] + k[1]) * ind.celdas[0] + k[0];
}

// Picks the cell side: the reach of all but the largest few faces, widened
// until there are no more cells than faces. alcances is scratch of n floats.
void ElegirRejilla(IndiceColision *ind, float *alcances, int n, const float lo[3], const float hi[3])
{
    const int grandes = std::min(kMaxGrandes, n / 256);
    std::nth_element(alcances, alcances + (n - 1 - grandes), alcances + n);
    double lado = alcances[n - 1 - grandes];
    const double mayor = std::max({(double)hi[0] - lo[0], (double)hi[1] - lo[1], (double)hi[2] - lo[2]});
    if (!(lado <= 3e38)) lado = 3e38;
    lado = std::max({lado, mayor / n, 1e-30});
    float lf;
    for (;;) {
        lf = (float)std::min(lado, 3e38);
        double celdas = 1;
        for (int a = 0; a < 3; a++) celdas *= std::floor(((double)hi[a] - lo[a]) / lf) + 1;
        if (celdas <= n || lado >= 3e38) break;
        lado *= 1.5;
    }
    ind->lado = lf;
    for (int a = 0; a < 3; a++) {
        ind->origen[a] = lo[a];
        ind->celdas[a] = (int)std::min((double)n, std::floor(((double)hi[a] - lo[a]) / lf) + 1);
    }
}

// An index that holds no faces: every query returns the movement unchanged.
IndiceColision IndiceSinCaras(Modelo m)
{
    IndiceColision ind;
    std::memset(&ind, 0, sizeof ind);
    ind.modelo = m;
    ind.lado = 1;
    ind.celdas[0] = ind.celdas[1] = ind.celdas[2] = 1;
    return ind;
}

// The index of a model whose building ran out of memory: it holds no arrays,
// and every query goes face by face through the model.
IndiceColision IndicePorModelo(Modelo m)
{
    IndiceColision ind = IndiceSinCaras(m);
    ind.porModelo = true;
    return ind;
}

// Counts the faces per cell (inicio[c + 1]), then places them (inicio[c]
// moving on), the large ones after every cell. The spheres are computed again
// in each pass rather than kept, so building needs no scratch beyond the
// reaches.
void Colocar(IndiceColision *ind, int nv, int total)
{
    const Modelo &m = ind->modelo;
    const int nc = ind->celdas[0] * ind->celdas[1] * ind->celdas[2];
    EsferaCara e;
    int grandes = 0;
    for (int i = 0; i < m.NumCaras; i++)
        if (EsferaDeCara(m, nv, i, &e)) {
            if (e.alcance > ind->lado)
                grandes++;
            else
                ind->inicio[CeldaDe(*ind, e.centro) + 1]++;
        }
    for (int c = 0; c < nc; c++) ind->inicio[c + 1] += ind->inicio[c];
    int siguiente_grande = total - grandes;
    for (int i = 0; i < m.NumCaras; i++)
        if (EsferaDeCara(m, nv, i, &e)) {
            if (e.alcance > ind->lado)
                ind->caras[siguiente_grande++] = e;
            else
                ind->caras[ind->inicio[CeldaDe(*ind, e.centro)]++] = e;
        }
    for (int c = nc; c > 0; c--) ind->inicio[c] = ind->inicio[c - 1];
    ind->inicio[0] = 0;
    ind->NumCaras = total;
    ind->NumGrandes = grandes;
}

}   // namespace

IndiceColision IndexarModelo(Modelo m)
{
    const int nv = (m.Vertices == nullptr || m.NumVertices < 0) ? 0 : m.NumVertices;
    const int n = (m.Caras == nullptr || m.NumCaras < 0) ? 0 : m.NumCaras;
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    float *alcances = n > 0 ? (float *)std::malloc((size_t)n * sizeof(float)) : nullptr;
    if (n > 0 && alcances == nullptr) return IndicePorModelo(m);
    int total = 0;
    EsferaCara e;
    for (int i = 0; i < n; i++)
        if (EsferaDeCara(m, nv, i, &e)) {
            alcances[total++] = e.alcance;
            for (int a = 0; a < 3; a++) {
                lo[a] = std::min(lo[a], e.centro[a]);
                hi[a] = std::max(hi[a], e.centro[a]);
            }
        }
    IndiceColision ind = IndiceSinCaras(m);
    if (total == 0) {
        std::free(alcances);
        return ind;
    }
    ElegirRejilla(&ind, alcances, total, lo, hi);
    std::free(alcances);
    const size_t nc = (size_t)ind.celdas[0] * ind.celdas[1] * ind.celdas[2];
    ind.inicio = (int *)std::calloc(nc + 1, sizeof(int));
    ind.caras = (EsferaCara *)std::malloc((size_t)total * sizeof(EsferaCara));
    if (ind.inicio == nullptr || ind.caras == nullptr) {
        LiberarIndice(&ind);
        return IndicePorModelo(m);
    }
    Colocar(&ind, nv, total);
    return ind;
}

void LiberarIndice(IndiceColision *indice)
{
    std::free(indice->inicio);
    std::free(indice->caras);
    Modelo vacio;
    IniciarModelo(&vacio);
    *indice = IndiceSinCaras(vacio);
}

namespace {

struct Candidatas {
    int n;
    int caras[kMaxCandidatas];
};

// Adds to *c the faces of caras[desde, hasta) whose sphere test passes: the
// centre p within (alcance + r)(1 + 2^-19) + 2^-58 of the face's centre, which
// is more than the bound above plus every rounding of this test in double.
// Returns false when *c is full.
bool Probar(const EsferaCara *caras, int desde, int hasta, const double p[3], double r, Candidatas *c)
{
    for (int k = desde; k < hasta; k++) {
        const EsferaCara &e = caras[k];
        const double x = p[0] - e.centro[0], y = p[1] - e.centro[1], z = p[2] - e.centro[2];
        const double limite = ((double)e.alcance + r) * kHolguraIndiceRelativa + kHolguraIndiceAbsoluta;
        if (x * x + y * y + z * z > limite * limite) continue;
        if (c->n == kMaxCandidatas) return false;
        c->caras[c->n++] = e.cara;
    }
    return true;
}

// The cells a query visits: those within the cell side plus the radius of
// p, from k0 to k1 along each axis. Returns how many there are.
double VentanaCeldas(const IndiceColision &ind, const double p[3], double r, int k0[3], int k1[3])
{
    const double w = ((double)ind.lado + r) * kHolguraIndiceRelativa + kHolguraIndiceAbsoluta;
    double total = 1;
    for (int a = 0; a < 3; a++) {
        k0[a] = Celda(p[a] - w, ind.origen[a], ind.lado, ind.celdas[a]);
        k1[a] = Celda(p[a] + w, ind.origen[a], ind.lado, ind.celdas[a]);
        total *= k1[a] >= k0[a] ? k1[a] - k0[a] + 1 : 0;
    }
    return total;
}

// Gathers the candidate faces of the cells k0 to k1, and the large faces.
// False when they do not fit.
bool Reunir(const IndiceColision &ind, const int k0[3], const int k1[3], const double p[3], double r,
            Candidatas *c)
{
    for (int z = k0[2]; z <= k1[2]; z++)
        for (int y = k0[1]; y <= k1[1]; y++) {
            const int fila = (z * ind.celdas[1] + y) * ind.celdas[0];
            if (!Probar(ind.caras, ind.inicio[fila + k0[0]], ind.inicio[fila + k1[0] + 1], p, r, c))
                return false;
        }
    return Probar(ind.caras, ind.NumCaras - ind.NumGrandes, ind.NumCaras, p, r, c);
}

// The fallback, counted as the whole model's work.
Vector PorElModelo(float radio, Vector centro, Vector mov, const Modelo &m)
{
    CarasProbadasIndice += m.NumCaras;
    return XoqueEsferaModelo(radio, centro, mov, m);
}

}   // namespace

// An infinite or NaN centre or radius, a query that would visit more cells
// than there are faces, or more candidates than fit on the stack, go through
// XoqueEsferaModelo on the indexed model: the same result by definition.
Vector XoqueEsferaIndice(float radio, Vector centro, Vector mov, IndiceColision indice)
{
    if (indice.porModelo) return PorElModelo(radio, centro, mov, indice.modelo);
    if (indice.NumCaras == 0) return mov;
    const double p[3] = {centro.x, centro.y, centro.z};
    if (!std::isfinite(radio) || !Finito(centro)) return PorElModelo(radio, centro, mov, indice.modelo);
    int k0[3], k1[3];
    if (VentanaCeldas(indice, p, radio, k0, k1) > indice.NumCaras)
        return PorElModelo(radio, centro, mov, indice.modelo);
    Candidatas c;
    c.n = 0;
    if (!Reunir(indice, k0, k1, p, radio, &c)) return PorElModelo(radio, centro, mov, indice.modelo);
    std::sort(c.caras, c.caras + c.n);
    CarasProbadasIndice += c.n;
    const Modelo &m = indice.modelo;
    for (int k = 0; k < c.n; k++) {
        const Cara &cara = m.Caras[c.caras[k]];
        mov = XoqueEsferaPlano(radio, centro, mov, m.Vertices[cara.Vert[0]], m.Vertices[cara.Vert[1]],
                               m.Vertices[cara.Vert[2]]);
    }
    return mov;
}
