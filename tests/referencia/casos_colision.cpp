// casos_colision.cpp - random collision cases (see casos_colision.h).
#include "casos_colision.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "colision.h"
#include "comun.h"

namespace {

const double kPi = 3.14159265358979323846;

typedef std::mt19937_64 Gen;

double U01(Gen *g) { return std::uniform_real_distribution<double>(0.0, 1.0)(*g); }
int Entero(Gen *g, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*g); }
bool Suerte(Gen *g, double p) { return U01(g) < p; }

Vector V(double x, double y, double z) { return Vector{(float)x, (float)y, (float)z}; }
Vector Mas(Vector a, Vector b) { return V((double)a.x + b.x, (double)a.y + b.y, (double)a.z + b.z); }
Vector Menos(Vector a, Vector b) { return V((double)a.x - b.x, (double)a.y - b.y, (double)a.z - b.z); }
Vector Por(Vector a, double s) { return V(a.x * s, a.y * s, a.z * s); }
double Largo(Vector a) { return std::sqrt((double)a.x * a.x + (double)a.y * a.y + (double)a.z * a.z); }
Vector Unidad(Vector a)
{
    double l = Largo(a);
    return l > 0 && std::isfinite(l) ? Por(a, 1.0 / l) : V(0, 0, 0);
}
Vector Cruz(Vector a, Vector b)
{
    return V((double)a.y * b.z - (double)a.z * b.y, (double)a.z * b.x - (double)a.x * b.z,
             (double)a.x * b.y - (double)a.y * b.x);
}
Vector Aleatorio(Gen *g, double escala)
{
    return V((U01(g) * 2 - 1) * escala, (U01(g) * 2 - 1) * escala, (U01(g) * 2 - 1) * escala);
}

int Agregar(CasoColision *c, Vector v)
{
    c->vertices.push_back(v);
    return (int)c->vertices.size() - 1;
}

void Cara3(CasoColision *c, int a, int b, int d) { c->caras.push_back(CaraEsquinas(a, b, d)); }

// One side of a box: an n x m grid of quads, each split into two triangles
// (sharing the vertices of the grid), corners slightly jittered.
void Pared(Gen *g, CasoColision *c, Vector origen, Vector u, Vector v, int n, int m, double ruido)
{
    const int base = (int)c->vertices.size();
    for (int j = 0; j <= m; j++)
        for (int i = 0; i <= n; i++) {
            Vector p = Mas(origen, Mas(Por(u, (double)i / n), Por(v, (double)j / m)));
            if (ruido > 0) p = Mas(p, Aleatorio(g, ruido));
            Agregar(c, p);
        }
    for (int j = 0; j < m; j++)
        for (int i = 0; i < n; i++) {
            int a = base + j * (n + 1) + i, b = a + 1, d = a + n + 1, e = d + 1;
            if (g == nullptr || Suerte(g, 0.5)) {
                Cara3(c, a, b, e);
                Cara3(c, a, e, d);
            } else {
                Cara3(c, a, b, d);
                Cara3(c, b, e, d);
            }
        }
}

void Sala(Gen *g, CasoColision *c, double escala)
{
    const double ax = escala * (0.5 + U01(g)), ay = escala * (0.3 + U01(g) * 0.5),
                 az = escala * (0.5 + U01(g));
    const int n = Entero(g, 1, 12), m = Entero(g, 1, 12);
    const double ruido = Suerte(g, 0.5) ? 0 : escala * 0.002;
    Vector o = V(-ax / 2, 0, -az / 2);
    Pared(g, c, o, V(ax, 0, 0), V(0, 0, az), n, m, ruido);                     // floor
    Pared(g, c, Mas(o, V(0, ay, 0)), V(ax, 0, 0), V(0, 0, az), n, m, ruido);   // ceiling
    Pared(g, c, o, V(ax, 0, 0), V(0, ay, 0), n, Entero(g, 1, 6), ruido);
    Pared(g, c, Mas(o, V(0, 0, az)), V(ax, 0, 0), V(0, ay, 0), n, Entero(g, 1, 6), ruido);
    Pared(g, c, o, V(0, 0, az), V(0, ay, 0), m, Entero(g, 1, 6), ruido);
    Pared(g, c, Mas(o, V(ax, 0, 0)), V(0, 0, az), V(0, ay, 0), m, Entero(g, 1, 6), ruido);
}

// Triangles of every size and shape, scattered: slivers, needles, big ones.
void Sopa(Gen *g, CasoColision *c, double escala)
{
    const int n = Entero(g, 1, 300);
    for (int k = 0; k < n; k++) {
        Vector p = Aleatorio(g, escala);
        double t = escala * std::pow(10.0, -3 * U01(g));
        Vector a = Mas(p, Aleatorio(g, t)), b = Mas(p, Aleatorio(g, t)), d = Mas(p, Aleatorio(g, t));
        if (Suerte(g, 0.1)) d = Mas(a, Por(Menos(b, a), U01(g) * 3 - 1));   // (nearly) collinear
        if (Suerte(g, 0.1)) d = Mas(d, Por(Cruz(Menos(b, a), Menos(d, a)), 1e-7));
        AnadirTriangulo(c, a, b, d);
    }
}

// A closed mesh of small faces: a latitude-longitude sphere.
void Bola(Gen *g, CasoColision *c, double escala)
{
    const int n = Entero(g, 3, 24), m = Entero(g, 2, 12);
    const double radio = escala * (0.05 + U01(g) * 0.3);
    Vector centro = Aleatorio(g, escala * 0.5);
    const int base = (int)c->vertices.size();
    for (int j = 0; j <= m; j++)
        for (int i = 0; i < n; i++) {
            double th = kPi * j / m, ph = 2 * kPi * i / n;
            Agregar(c, Mas(centro, V(radio * std::sin(th) * std::cos(ph), radio * std::cos(th),
                                     radio * std::sin(th) * std::sin(ph))));
        }
    for (int j = 0; j < m; j++)
        for (int i = 0; i < n; i++) {
            int a = base + j * n + i, b = base + j * n + (i + 1) % n;
            int d = a + n, e = b + n;
            Cara3(c, a, b, e);   // at the poles some of these are degenerate
            Cara3(c, a, e, d);
        }
}

// Spoils a few faces and vertices: coincident corners, indices out of range,
// infinite and NaN coordinates, repeated faces.
void Estropear(Gen *g, CasoColision *c)
{
    const int nv = (int)c->vertices.size();
    if (c->caras.empty() || nv == 0) return;
    const int veces = Entero(g, 0, 6);
    for (int k = 0; k < veces; k++) {
        Cara &f = c->caras[Entero(g, 0, (int)c->caras.size() - 1)];
        switch (Entero(g, 0, 7)) {
        case 0: f.Vert[1] = f.Vert[0]; break;
        case 1: f.Vert[Entero(g, 0, 2)] = -1 - Entero(g, 0, 3); break;
        case 2: f.Vert[Entero(g, 0, 2)] = nv + Entero(g, 0, 3); break;
        case 3: f.Vert[Entero(g, 0, 2)] = Suerte(g, 0.5) ? INT32_MIN : INT32_MAX; break;
        case 4: c->vertices[Entero(g, 0, nv - 1)].x = std::numeric_limits<float>::infinity(); break;
        case 5: c->vertices[Entero(g, 0, nv - 1)].y = -std::numeric_limits<float>::infinity(); break;
        case 6: c->vertices[Entero(g, 0, nv - 1)].z = std::numeric_limits<float>::quiet_NaN(); break;
        default: c->caras.push_back(f); break;
        }
    }
}

double Escala(Gen *g)
{
    switch (Entero(g, 0, 9)) {
    case 0: return std::pow(10.0, Entero(g, -30, 30));
    case 1: return std::pow(10.0, Entero(g, -3, 3));
    default: return 500 + U01(g) * 3000;   // the walkthrough's room sizes
    }
}

float Radio(Gen *g, double escala)
{
    switch (Entero(g, 0, 39)) {
    case 0: return 0.0f;
    case 1: return -0.0f;
    case 2: return (float)(-escala * U01(g));
    case 3: return std::numeric_limits<float>::infinity();
    case 4: return std::numeric_limits<float>::quiet_NaN();
    case 5: return (float)(escala * 10 * U01(g));
    case 6: return std::numeric_limits<float>::denorm_min();
    case 7:
    case 8:
    case 9:
    case 10: return (float)(1 + 499 * U01(g));
    default: return Suerte(g, 0.4) ? 50.0f : (float)(escala * std::pow(10.0, -3 * U01(g)));
    }
}

// A point in the plane of face f chosen by kind: inside, on an edge, at a
// vertex, in the band beyond an edge, or somewhat beyond the band.
Vector PieSobreCara(Gen *g, const CasoColision &c, const Cara &f)
{
    const Vector a = c.vertices[f.Vert[0]], b = c.vertices[f.Vert[1]], d = c.vertices[f.Vert[2]];
    const Vector esq[3] = {a, b, d};
    const int k = Entero(g, 0, 2);
    const Vector p = esq[k], q = esq[(k + 1) % 3], o = esq[(k + 2) % 3];
    switch (Entero(g, 0, 5)) {
    case 0: {
        double s = U01(g), t = U01(g) * (1 - s);
        return Mas(a, Mas(Por(Menos(b, a), s), Por(Menos(d, a), t)));
    }
    case 1: return Mas(p, Por(Menos(q, p), U01(g)));
    case 2: return p;
    default: {
        // Beyond edge p-q, away from o, by a fraction of the band's reach.
        Vector e = Menos(q, p);
        Vector n = Cruz(e, Menos(o, p));
        Vector fuera = Unidad(Cruz(e, n));
        if ((double)fuera.x * (o.x - p.x) + (double)fuera.y * (o.y - p.y) + (double)fuera.z * (o.z - p.z) > 0)
            fuera = Por(fuera, -1);
        double alcance = Largo(e) / (2 * std::tan(1.5));
        double t = U01(g);
        double lejos = alcance * (Suerte(g, 0.7) ? 0.8 + 0.4 * U01(g) : 3 * U01(g));
        return Mas(Mas(p, Por(e, t)), Por(fuera, lejos * 4 * t * (1 - t)));
    }
    }
}

Vector Centro(Gen *g, const CasoColision &c, float r, double escala)
{
    if (c.caras.empty() || Suerte(g, 0.08)) return Aleatorio(g, escala);
    const Cara &f = c.caras[Entero(g, 0, (int)c.caras.size() - 1)];
    const int nv = (int)c.vertices.size();
    if (!CaraDentro(f, nv)) return Aleatorio(g, escala);
    Vector pie = PieSobreCara(g, c, f);
    Vector n = Unidad(Cruz(Menos(c.vertices[f.Vert[1]], c.vertices[f.Vert[0]]),
                           Menos(c.vertices[f.Vert[2]], c.vertices[f.Vert[0]])));
    double h = std::isfinite(r) ? std::fabs((double)r) : escala;
    double alto;
    switch (Entero(g, 0, 7)) {
    case 0: alto = h; break;
    case 1: alto = -h; break;
    case 2: alto = 0.8 * h; break;
    case 3: alto = 0; break;
    default: alto = (U01(g) * 2.6 - 1.3) * h; break;
    }
    return Mas(pie, Por(n, alto));
}

Vector Movimiento(Gen *g, double r)
{
    switch (Entero(g, 0, 5)) {
    case 0: return V(0, 0, 0);
    case 1: return V(0, -10, 0);
    case 2: return V(0, 15, 0);
    default: return Aleatorio(g, std::isfinite(r) && r != 0 ? std::fabs(r) : 10.0);
    }
}

}   // namespace

void GenerarCasoColision(std::mt19937_64 *g, CasoColision *caso)
{
    caso->vertices.clear();
    caso->caras.clear();
    const double escala = Escala(g);
    const int piezas = Entero(g, 1, 3);
    for (int k = 0; k < piezas; k++) {
        switch (Entero(g, 0, 2)) {
        case 0: Sala(g, caso, escala); break;
        case 1: Sopa(g, caso, escala); break;
        default: Bola(g, caso, escala); break;
        }
    }
    caso->radio = Radio(g, escala);
    caso->centro = Centro(g, *caso, caso->radio, escala);
    caso->mov = Movimiento(g, caso->radio);
    if (Suerte(g, 0.3)) Estropear(g, caso);
    if (Suerte(g, 0.5)) std::shuffle(caso->caras.begin(), caso->caras.end(), *g);
}

Cara CaraEsquinas(int a, int b, int c)
{
    Cara k;
    std::memset(&k, 0, sizeof k);
    k.Vert[0] = a;
    k.Vert[1] = b;
    k.Vert[2] = c;
    return k;
}

void AnadirTriangulo(CasoColision *caso, Vector a, Vector b, Vector c)
{
    Cara3(caso, Agregar(caso, a), Agregar(caso, b), Agregar(caso, c));
}

void AnadirPared(std::mt19937_64 *g, CasoColision *caso, Vector origen, Vector u, Vector v, int n, int m,
                 double ruido)
{
    Pared(g, caso, origen, u, v, n, m, ruido);
}

Modelo ModeloDeArrays(std::vector<Vector> *vertices, std::vector<Cara> *caras)
{
    Modelo m;
    IniciarModelo(&m);
    m.NumVertices = (int)vertices->size();
    m.NumCaras = (int)caras->size();
    m.Vertices = vertices->empty() ? nullptr : vertices->data();
    m.Caras = caras->empty() ? nullptr : caras->data();
    return m;
}

Modelo ModeloDeCaso(CasoColision *caso) { return ModeloDeArrays(&caso->vertices, &caso->caras); }

namespace {

// The angle between a and b from their dot product over their lengths, the
// cosine clamped to [-1, 1] (a NaN stays NaN).
float AnguloAcotado(Vector a, Vector b)
{
    const float d = (float)((double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z);
    float q = (float)((double)d / ((double)ModuloVector(a) * (double)ModuloVector(b)));
    q = q < -1 ? -1 : (q > 1 ? 1 : q);
    return (float)std::acos((double)q);
}

}   // namespace

Vector XoqueReferencia(float r, Vector P, Vector M, Vector V1, Vector V2, Vector V3, TrazaXoque *tz)
{
    TrazaXoque t = {0, 0, false, false, false};
    const Vector E1 = NormalizarVector(RestaVectores(V2, V1));
    const Vector E2 = NormalizarVector(RestaVectores(V3, V1));
    const Vector N = NormalPlano(E1, E2);
    const float det = DeterminanteRectaPlano(N, E1, E2);
    if (det != 0 && std::isfinite(det)) {   // a triangle without a plane never touches
        const Vector F = InterRectaPlano(P, N, V1, E1, E2);
        const Vector a = RestaVectores(V1, F), b = RestaVectores(V2, F), c = RestaVectores(V3, F);
        t.d = ModuloVector(RestaVectores(P, F));
        t.suma =
            (float)((double)AnguloAcotado(a, b) + (double)AnguloAcotado(b, c) + (double)AnguloAcotado(c, a));
        const float l = std::max({ModuloVector(RestaVectores(V2, V1)), ModuloVector(RestaVectores(V3, V2)),
                                  ModuloVector(RestaVectores(V1, V3))});
        const float m =
            std::max({std::fabs(V1.x), std::fabs(V1.y), std::fabs(V1.z), std::fabs(V2.x), std::fabs(V2.y),
                      std::fabs(V2.z), std::fabs(V3.x), std::fabs(V3.y), std::fabs(V3.z)});
        const float e = (l + m) * 0x1p-18f;
        const bool esquina = ModuloVector(a) <= e || ModuloVector(b) <= e || ModuloVector(c) <= e;
        t.toca = r >= t.d && (t.suma > 6.0f || esquina);
    }
    if (t.toca) {
        const Vector F = InterRectaPlano(P, N, V1, E1, E2);
        const Vector P2 = SumaVectores(P, M);
        const Vector F2 = InterRectaPlano(P2, N, V1, E1, E2);
        if (t.d > ModuloVector(RestaVectores(P2, F2))) {
            t.desliza = true;
            M = RestaVectores(F2, F);
        }
        if ((double)r * 0.8 > (double)t.d) {
            t.empuja = true;
            M = SumaVectores(
                M, VectorPorEscalar(NormalizarVector(RestaVectores(P, F)), (float)((double)r * 0.2)));
        }
    }
    if (tz) *tz = t;
    return M;
}

Vector XoqueCaraACara(float radio, Vector centro, Vector mov, Modelo m)
{
    if (m.Caras == nullptr) return mov;
    const int nv = (m.Vertices == nullptr) ? 0 : m.NumVertices;
    for (int i = 0; i < m.NumCaras; i++) {
        const Cara &c = m.Caras[i];
        if (!CaraDentro(c, nv)) continue;
        mov = XoqueEsferaPlano(radio, centro, mov, m.Vertices[c.Vert[0]], m.Vertices[c.Vert[1]],
                               m.Vertices[c.Vert[2]]);
    }
    return mov;
}

namespace {

// Describes a disagreement between the face-by-face loop and `quien`.
void Describir(const CasoColision &caso, Vector esperado, const char *quien, Vector obtenido,
               std::string *detalle)
{
    char b[512];
    std::snprintf(b, sizeof b,
                  "radius %a centre (%a, %a, %a) movement (%a, %a, %a), %d faces: "
                  "face by face (%a, %a, %a), %s (%a, %a, %a)",
                  (double)caso.radio, (double)caso.centro.x, (double)caso.centro.y, (double)caso.centro.z,
                  (double)caso.mov.x, (double)caso.mov.y, (double)caso.mov.z, (int)caso.caras.size(),
                  (double)esperado.x, (double)esperado.y, (double)esperado.z, quien, (double)obtenido.x,
                  (double)obtenido.y, (double)obtenido.z);
    *detalle = b;
}

}   // namespace

int CompararCasoColision(CasoColision *caso, std::string *detalle, int *tocado)
{
    const Modelo m = ModeloDeCaso(caso);
    const Vector esperado = XoqueCaraACara(caso->radio, caso->centro, caso->mov, m);
    const Vector obtenido = XoqueEsferaModelo(caso->radio, caso->centro, caso->mov, m);
    if (tocado) *tocado = !MismosBits(esperado, caso->mov);
    if (MismosBits(esperado, obtenido)) return 1;
    Describir(*caso, esperado, "XoqueEsferaModelo", obtenido, detalle);
    return 0;
}

int CompararCasoIndice(CasoColision *caso, std::string *detalle, int *tocado)
{
    if (!CompararCasoColision(caso, detalle, tocado)) return 0;
    const Modelo m = ModeloDeCaso(caso);
    const Vector esperado = XoqueCaraACara(caso->radio, caso->centro, caso->mov, m);
    IndiceColision indice = IndexarModelo(m);
    const Vector obtenido = XoqueEsferaIndice(caso->radio, caso->centro, caso->mov, indice);
    LiberarIndice(&indice);
    if (MismosBits(esperado, obtenido)) return 1;
    Describir(*caso, esperado, "XoqueEsferaIndice", obtenido, detalle);
    return 0;
}
