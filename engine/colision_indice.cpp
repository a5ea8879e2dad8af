// colision_indice.cpp - the collision index: the same corrections as
// XoqueEsferaModelo, visiting only the faces near the sphere.
//
// Why a uniform grid of face spheres. colision.cpp proves that a touched face
// has the sphere's centre P within rho + r (1 + 2^-21) + 2^-62 of one of its
// vertices, where r is the radius and rho depends on the face alone (about
// 0.71 of its longest edge; infinite when its extents add up to 2^63 or
// more, and such a face is always tested). So each face gets a centre c (the middle of its
// box) and a reach q >= (R + rho)(1 + 2^-20) + 2^-60, R the farthest vertex
// from c, and a face whose c lies farther than q + r (with allowances) from P
// cannot be touched. Faces are stored once each, by the cell of c, in a
// uniform grid whose side is at least the reach of all but the largest few
// faces (those few are kept apart and always tested). A query visits the
// cells within side + r of P along each axis, which contain every face
// whose sphere test can pass, tests each face's sphere, sorts the few that
// pass into face order and runs XoqueEsferaPlano on them. The faces that
// were left out are faces that cannot be touched, and an untouched face
// returns the movement unchanged whatever movement it is given, so the
// result is the one the face-by-face loop gives, bit for bit: the
// corrections of the faces that remain compose in the same order.
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
const double kHolgura = 1.0 + 0x1p-19;
const double kHolguraAbs = 0x1p-58;

bool Finito(const Vector &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The distance from a to the point c, in double.
double Distancia(const Vector &a, const float c[3])
{
    const double x = (double)a.x - c[0], y = (double)a.y - c[1], z = (double)a.z - c[2];
    return std::sqrt(x * x + y * y + z * z);
}

// The sphere of face i, or false when the face can never be touched: a corner
// outside the vertex array (skipped) or an infinite or NaN coordinate. The
// reach covers rho = max(0.7072 L, (s + C) 2^-17) + 2^-39, which bounds both
// L / sqrt(2) + 2^-40 and the corner reach as colision.cpp requires (s is
// the box's extent sum, C its largest coordinate magnitude).
bool EsferaDeCara(const Modelo &m, int nv, int i, EsferaCara *e)
{
    const Cara &k = m.Caras[i];
    for (int j = 0; j < 3; j++)
        if (!IndiceValido(k.Vert[j], nv))
            return false;
    const Vector v[3] = {m.Vertices[k.Vert[0]], m.Vertices[k.Vert[1]], m.Vertices[k.Vert[2]]};
    if (!Finito(v[0]) || !Finito(v[1]) || !Finito(v[2]))
        return false;
    double s = 0, c = 0;
    for (int a = 0; a < 3; a++) {
        const float *p0 = &v[0].x, *p1 = &v[1].x, *p2 = &v[2].x;
        const double lo = std::min({p0[a], p1[a], p2[a]}), hi = std::max({p0[a], p1[a], p2[a]});
        s += hi - lo;
        c = std::max({c, -lo, hi});
        e->centro[a] = (float)(0.5 * lo + 0.5 * hi);
    }
    const double l = std::max({Distancia(v[0], &v[1].x), Distancia(v[1], &v[2].x), Distancia(v[2], &v[0].x)});
    // From an extent sum of 2^63 up, the corner reach may be infinite.
    const double rho = s < 0x1p63 ? std::max(0.7072 * l, (s + c) * 0x1p-17) + 0x1p-39 : INFINITY;
    const double r = std::max({Distancia(v[0], e->centro), Distancia(v[1], e->centro), Distancia(v[2], e->centro)});
    const double q = (r + rho) * (1.0 + 0x1p-20) + 0x1p-60;
    float qf = (float)q;
    if ((double)qf < q)
        qf = std::nextafter(qf, INFINITY);
    e->cara = i;
    e->alcance = qf;
    return true;
}

// The cell along one axis of coordinate x: monotone in x, clamped to the grid.
int Celda(double x, double origen, double lado, int n)
{
    const double t = (x - origen) / lado;
    if (!(t >= 0))
        return 0;
    if (t >= n)
        return n - 1;
    return (int)t;
}

int CeldaDe(const IndiceColision &ind, const float p[3])
{
    int k[3];
    for (int a = 0; a < 3; a++)
        k[a] = Celda(p[a], ind.origen[a], ind.lado, ind.celdas[a]);
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
    if (!(lado <= 3e38))
        lado = 3e38;
    lado = std::max({lado, mayor / n, 1e-30});
    float lf;
    for (;;) {
        lf = (float)std::min(lado, 3e38);
        double celdas = 1;
        for (int a = 0; a < 3; a++)
            celdas *= std::floor(((double)hi[a] - lo[a]) / lf) + 1;
        if (celdas <= n || lado >= 3e38)
            break;
        lado *= 1.5;
    }
    ind->lado = lf;
    for (int a = 0; a < 3; a++) {
        ind->origen[a] = lo[a];
        ind->celdas[a] = (int)std::min((double)n, std::floor(((double)hi[a] - lo[a]) / lf) + 1);
    }
}

IndiceColision IndiceVacio(Modelo m, int completo)
{
    IndiceColision ind;
    std::memset(&ind, 0, sizeof ind);
    ind.modelo = m;
    ind.completo = completo;
    ind.lado = 1;
    ind.celdas[0] = ind.celdas[1] = ind.celdas[2] = 1;
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
    for (int c = 0; c < nc; c++)
        ind->inicio[c + 1] += ind->inicio[c];
    int siguiente_grande = total - grandes;
    for (int i = 0; i < m.NumCaras; i++)
        if (EsferaDeCara(m, nv, i, &e)) {
            if (e.alcance > ind->lado)
                ind->caras[siguiente_grande++] = e;
            else
                ind->caras[ind->inicio[CeldaDe(*ind, e.centro)]++] = e;
        }
    for (int c = nc; c > 0; c--)
        ind->inicio[c] = ind->inicio[c - 1];
    ind->inicio[0] = 0;
    ind->NumCaras = total;
    ind->NumGrandes = grandes;
}

}  // namespace

IndiceColision IndexarModelo(Modelo m)
{
    const int nv = (m.Vertices == nullptr || m.NumVertices < 0) ? 0 : m.NumVertices;
    const int n = (m.Caras == nullptr || m.NumCaras < 0) ? 0 : m.NumCaras;
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    float *alcances = n > 0 ? (float *)std::malloc((size_t)n * sizeof(float)) : nullptr;
    if (n > 0 && alcances == nullptr)
        return IndiceVacio(m, 0);
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
    IndiceColision ind = IndiceVacio(m, 1);
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
        return IndiceVacio(m, 0);
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
    *indice = IndiceVacio(vacio, 1);
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
        const double limite = ((double)e.alcance + r) * kHolgura + kHolguraAbs;
        if (x * x + y * y + z * z > limite * limite)
            continue;
        if (c->n == kMaxCandidatas)
            return false;
        c->caras[c->n++] = e.cara;
    }
    return true;
}

// Gathers the candidate faces of the cells within the cell side plus the
// radius of p, and the large faces. False when they do not fit.
bool Reunir(const IndiceColision &ind, const double p[3], double r, Candidatas *c)
{
    const double w = ((double)ind.lado + r) * kHolgura + kHolguraAbs;
    int k0[3], k1[3];
    for (int a = 0; a < 3; a++) {
        k0[a] = Celda(p[a] - w, ind.origen[a], ind.lado, ind.celdas[a]);
        k1[a] = Celda(p[a] + w, ind.origen[a], ind.lado, ind.celdas[a]);
    }
    for (int z = k0[2]; z <= k1[2]; z++)
        for (int y = k0[1]; y <= k1[1]; y++) {
            const int fila = (z * ind.celdas[1] + y) * ind.celdas[0];
            if (!Probar(ind.caras, ind.inicio[fila + k0[0]], ind.inicio[fila + k1[0] + 1], p, r, c))
                return false;
        }
    return Probar(ind.caras, ind.NumCaras - ind.NumGrandes, ind.NumCaras, p, r, c);
}

// The number of cells a query of reach w visits.
double CeldasVisitadas(const IndiceColision &ind, const double p[3], double r)
{
    const double w = ((double)ind.lado + r) * kHolgura + kHolguraAbs;
    double total = 1;
    for (int a = 0; a < 3; a++) {
        const int k0 = Celda(p[a] - w, ind.origen[a], ind.lado, ind.celdas[a]);
        const int k1 = Celda(p[a] + w, ind.origen[a], ind.lado, ind.celdas[a]);
        total *= k1 >= k0 ? k1 - k0 + 1 : 0;
    }
    return total;
}

// The fallback, counted as the whole model's work.
Vector PorElModelo(float radio, Vector centro, Vector mov, const Modelo &m)
{
    CarasProbadasIndice += m.NumCaras;
    return XoqueEsferaModelo(radio, centro, mov, m);
}

}  // namespace

// An infinite or NaN centre or radius, a query that would visit more cells
// than there are faces, or more candidates than fit on the stack, go through
// XoqueEsferaModelo on the indexed model: the same result by definition.
Vector XoqueEsferaIndice(float radio, Vector centro, Vector mov, IndiceColision indice)
{
    if (!indice.completo)
        return PorElModelo(radio, centro, mov, indice.modelo);
    if (indice.NumCaras == 0)
        return mov;
    const double p[3] = {centro.x, centro.y, centro.z};
    if (!std::isfinite(radio) || !Finito(centro) || CeldasVisitadas(indice, p, radio) > indice.NumCaras)
        return PorElModelo(radio, centro, mov, indice.modelo);
    Candidatas c;
    c.n = 0;
    if (!Reunir(indice, p, radio, &c))
        return PorElModelo(radio, centro, mov, indice.modelo);
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
