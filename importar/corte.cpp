// corte.cpp - cutting a face into one piece per repeat cell (see corte.h).
//
// The face is first split along the lines s = k into strips, then each strip
// along the lines t = j into cells, by clipping a convex polygon with one
// line at a time. Every polygon edge remembers what it lies on: one of the
// face's three edges, or a line s = k already cut. A new corner is made
// from that, never from the polygon's current corners: on a face edge from
// the edge's two ends, on a line s = k from the ends of the whole chord the
// line makes across the face. So the same point is always the same floats,
// whichever piece or neighbouring face asks for it.
#include "corte.h"

#include <cmath>
#include <utility>

namespace {

const int kMaxVertices = 16;                  // a cell's polygon has at most 7
const int kLinea = 3;                         // edge on a cut line, not a face edge
const double kLimiteCoordenada = 4194304.0;   // 2^22

struct Vertice {
    EsquinaImportada e;
    int soporte;   // what the edge to the next corner lies on: face edge 0-2 or kLinea
    float linea;   // the line's value, for kLinea
};

struct Poligono {
    Vertice v[kMaxVertices];
    int n = 0;
};

float LeerCoordenada(const EsquinaImportada &e, int eje) { return eje == 0 ? e.textura.x : e.textura.y; }

// The fixed order of an edge's two ends: position first, so that faces
// sharing an edge but not its normals still agree.
bool EsMenor(const EsquinaImportada &a, const EsquinaImportada &b)
{
    const float pa[9] = {a.posicion.x, a.posicion.y, a.posicion.z, a.textura.x, a.textura.y,
                         a.textura.z,  a.normal.x,   a.normal.y,   a.normal.z};
    const float pb[9] = {b.posicion.x, b.posicion.y, b.posicion.z, b.textura.x, b.textura.y,
                         b.textura.z,  b.normal.x,   b.normal.y,   b.normal.z};
    for (int i = 0; i < 9; ++i)
        if (pa[i] != pb[i]) return pa[i] < pb[i];
    return false;
}

float Mezclar(float a, float b, double l) { return (float)(a + l * ((double)b - a)); }

Vector MezclarVector(Vector a, Vector b, double l)
{
    return {Mezclar(a.x, b.x, l), Mezclar(a.y, b.y, l), Mezclar(a.z, b.z, l)};
}

// The normal between two corners: copied when they agree, else interpolated
// and made unit length (a blend of unit normals is shorter, and the
// walkthrough lights with normals as they stand).
Vector MezclarNormal(Vector a, Vector b, double l)
{
    if (a.x == b.x && a.y == b.y && a.z == b.z) return a;
    const double x = a.x + l * ((double)b.x - a.x);
    const double y = a.y + l * ((double)b.y - a.y);
    const double z = a.z + l * ((double)b.z - a.z);
    const double m = std::sqrt(x * x + y * y + z * z);
    if (!(m > 0)) return {(float)x, (float)y, (float)z};
    return {(float)(x / m), (float)(y / m), (float)(z / m)};
}

// The point of segment a-b where texture coordinate `eje` equals `valor`.
// Requires the coordinate to differ at the two ends.
EsquinaImportada Interpolar(EsquinaImportada a, EsquinaImportada b, int eje, float valor)
{
    if (EsMenor(b, a)) std::swap(a, b);
    const double ca = LeerCoordenada(a, eje);
    const double l = (valor - ca) / ((double)LeerCoordenada(b, eje) - ca);
    EsquinaImportada r;
    r.posicion = MezclarVector(a.posicion, b.posicion, l);
    r.normal = MezclarNormal(a.normal, b.normal, l);
    r.textura = MezclarVector(a.textura, b.textura, l);
    if (eje == 0)
        r.textura.x = valor;
    else
        r.textura.y = valor;
    return r;
}

EsquinaImportada CalcularPuntoArista(const TrianguloImportado &cara, int arista, int eje, float valor)
{
    return Interpolar(cara.e[arista], cara.e[(arista + 1) % 3], eje, valor);
}

// The point inside the face where s = k meets t = j, on the chord that the
// line s = k makes across the whole face.
EsquinaImportada CalcularPuntoCruce(const TrianguloImportado &cara, float k, float j)
{
    EsquinaImportada ext[3];
    int n = 0;
    for (int i = 0; i < 3; ++i) {
        const double da = cara.e[i].textura.x - (double)k;
        const double db = cara.e[(i + 1) % 3].textura.x - (double)k;
        if (da == 0)
            ext[n++] = cara.e[i];
        else if ((da < 0 && db > 0) || (da > 0 && db < 0))
            ext[n++] = CalcularPuntoArista(cara, i, 0, k);
    }
    int bajo = 0, alto = 0;
    for (int i = 1; i < n; ++i) {
        if (ext[i].textura.y < ext[bajo].textura.y) bajo = i;
        if (ext[i].textura.y > ext[alto].textura.y) alto = i;
    }
    return Interpolar(ext[bajo], ext[alto], 1, j);
}

bool Anadir(Poligono *p, const EsquinaImportada &e, int soporte, float linea)
{
    if (p->n == kMaxVertices) return false;
    p->v[p->n++] = {e, soporte, linea};
    return true;
}

// Keeps the part of `p` where sentido * (coordinate `eje` - valor) <= 0.
// The result is empty when no corner lies strictly on that side. False only
// if the polygon grows past kMaxVertices (it cannot while it stays convex).
bool Recortar(const TrianguloImportado &cara, const Poligono &p, int eje, float valor, int sentido,
              Poligono *r)
{
    r->n = 0;
    bool dentro = false;
    for (int i = 0; i < p.n; ++i) {
        const Vertice &u = p.v[i];
        const Vertice &w = p.v[(i + 1) % p.n];
        const double du = sentido * ((double)LeerCoordenada(u.e, eje) - valor);
        const double dw = sentido * ((double)LeerCoordenada(w.e, eje) - valor);
        dentro = dentro || du < 0;
        bool ok = true;
        if (du < 0 || (du == 0 && dw <= 0))
            ok = Anadir(r, u.e, u.soporte, u.linea);
        else if (du == 0)
            ok = Anadir(r, u.e, kLinea, valor);   // leaves along the line
        if ((du < 0 && dw > 0) || (du > 0 && dw < 0)) {
            const EsquinaImportada x = u.soporte == kLinea ? CalcularPuntoCruce(cara, u.linea, valor)
                                                           : CalcularPuntoArista(cara, u.soporte, eje, valor);
            if (du < 0)
                ok = ok && Anadir(r, x, kLinea, valor);
            else
                ok = ok && Anadir(r, x, u.soporte, u.linea);
        }
        if (!ok) return false;
    }
    if (!dentro) r->n = 0;
    return true;
}

void BuscarExtremos(const Poligono &p, int eje, float *menor, float *mayor)
{
    *menor = *mayor = LeerCoordenada(p.v[0].e, eje);
    for (int i = 1; i < p.n; ++i) {
        const float c = LeerCoordenada(p.v[i].e, eje);
        if (c < *menor) *menor = c;
        if (c > *mayor) *mayor = c;
    }
}

struct Salida {
    std::vector<PiezaCara> *piezas;
    int material;
    int hechas;
};

// Fans a cell's polygon into triangles. False once the face has too many.
bool Emitir(const Poligono &p, int cs, int ct, Salida *s)
{
    if (p.n < 3) return true;
    if (s->hechas + p.n - 2 > kMaxPiezasCara) return false;
    for (int i = 1; i + 1 < p.n; ++i) {
        PiezaCara pieza;
        pieza.t.e[0] = p.v[0].e;
        pieza.t.e[1] = p.v[i].e;
        pieza.t.e[2] = p.v[i + 1].e;
        pieza.t.material = s->material;
        pieza.celda_s = cs;
        pieza.celda_t = ct;
        s->piezas->push_back(pieza);
    }
    s->hechas += p.n - 2;
    return true;
}

// Cuts `p` along every line of axis `eje` strictly inside it, handing each
// part with its cell number to `parte`. False if `parte` or a cut fails.
template <class F> bool CortarFranjas(const TrianguloImportado &cara, const Poligono &p, int eje, F parte)
{
    float menor, mayor;
    BuscarExtremos(p, eje, &menor, &mayor);
    int celda = (int)std::floor(menor);
    Poligono resto = p, trozo;
    for (float k = (float)(celda + 1); k < mayor; k += 1, ++celda) {
        Poligono siguiente;
        if (!Recortar(cara, resto, eje, k, 1, &trozo) || !Recortar(cara, resto, eje, k, -1, &siguiente))
            return false;
        if (trozo.n >= 3 && !parte(trozo, celda)) return false;
        resto = siguiente;
        if (resto.n < 3) return true;
    }
    return parte(resto, celda);
}

bool EsManejable(const TrianguloImportado &cara)
{
    for (const EsquinaImportada &e : cara.e)
        if (!(std::fabs(e.textura.x) < kLimiteCoordenada && std::fabs(e.textura.y) < kLimiteCoordenada))
            return false;
    return true;
}

}   // namespace

int CortarCara(const TrianguloImportado &cara, std::vector<PiezaCara> *piezas)
{
    if (!EsManejable(cara)) return -1;
    Poligono p;
    for (int i = 0; i < 3; ++i) Anadir(&p, cara.e[i], i, 0);
    float smin, smax, tmin, tmax;
    BuscarExtremos(p, 0, &smin, &smax);
    BuscarExtremos(p, 1, &tmin, &tmax);
    const double fs = std::floor(smin), ft = std::floor(tmin);
    if (smax <= fs + 1 && tmax <= ft + 1) {
        piezas->push_back({cara, (int)fs, (int)ft});
        return 1;
    }
    // Every strip and every cell gives at least one piece.
    if (std::ceil(smax) - fs > kMaxPiezasCara || std::ceil(tmax) - ft > kMaxPiezasCara) return -1;
    const size_t antes = piezas->size();
    Salida s{piezas, cara.material, 0};
    const bool ok = CortarFranjas(cara, p, 0, [&](const Poligono &franja, int cs) {
        return CortarFranjas(cara, franja, 1,
                             [&](const Poligono &celda, int ct) { return Emitir(celda, cs, ct, &s); });
    });
    if (!ok) {
        piezas->resize(antes);
        return -1;
    }
    return s.hechas;
}
