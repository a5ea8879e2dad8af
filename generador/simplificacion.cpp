// simplificacion.cpp - reducing a closed triangle mesh to a given number
// of faces by collapsing edges, cheapest first (quadric error metric).
//
// Every vertex carries the sum of the squared-distance quadrics of the planes
// of its faces; collapsing an edge merges its two ends into one point, and
// the cost is how far that point lies from all the planes the two ends stood
// for. Flat parts (the skirt, the barrel) lose many triangles, curved ones
// (face, hands, ears, hooves) keep theirs. A collapse is refused when it
// would pinch the surface (the ends share more neighbours than the two
// faces on the edge), turn a face over, or leave a needle-thin triangle, so
// the mesh stays closed, consistently wound and evenly shaped.
#include <algorithm>
#include <cmath>
#include <queue>

#include "simplificacion.h"

namespace {

// A symmetric 4 x 4 matrix: the quadric of a set of planes.
struct Cuadrica {
    double a[10];   // xx xy xz xw yy yz yw zz zw ww
};

Cuadrica CuadricaPlano(Punto3 n, double d, double peso)
{
    double p[4] = {n.x, n.y, n.z, d};
    Cuadrica q;
    int k = 0;
    for (int i = 0; i < 4; i++)
        for (int j = i; j < 4; j++) q.a[k++] = p[i] * p[j] * peso;
    return q;
}

void SumarCuadrica(Cuadrica *q, const Cuadrica &r)
{
    for (int i = 0; i < 10; i++) q->a[i] += r.a[i];
}

double ErrorCuadrica(const Cuadrica &q, Punto3 p)
{
    const double *a = q.a;
    double x = p.x, y = p.y, z = p.z;
    return a[0] * x * x + 2 * a[1] * x * y + 2 * a[2] * x * z + 2 * a[3] * x + a[4] * y * y +
           2 * a[5] * y * z + 2 * a[6] * y + a[7] * z * z + 2 * a[8] * z + a[9];
}

struct Arista {
    double coste;
    int a, b;
    int sello;   // sum of the two ends' stamps when the cost was computed
    Punto3 destino;
};

bool operator<(const Arista &x, const Arista &y)   // min-heap on the cost
{
    if (x.coste != y.coste) return x.coste > y.coste;
    if (x.a != y.a) return x.a > y.a;
    return x.b > y.b;
}

struct Simplificacion {
    std::vector<Punto3> *v;
    std::vector<Triangulo> *caras;
    std::vector<char> viva;                  // per face
    std::vector<char> muerto;                // per vertex
    std::vector<std::vector<int>> carasDe;   // faces around each vertex
    std::vector<Cuadrica> q;
    std::vector<int> sello;
    std::priority_queue<Arista> cola;
};

int &EsquinaDe(Triangulo *t, int k) { return k == 0 ? t->a : k == 1 ? t->b : t->c; }

bool Contiene(const Triangulo &t, int v) { return t.a == v || t.b == v || t.c == v; }

Punto3 NormalTriangulo(Punto3 a, Punto3 b, Punto3 c) { return Cruz(Restar(b, a), Restar(c, a)); }

void Vecinos(const Simplificacion *s, int v, std::vector<int> *vecinos)
{
    vecinos->clear();
    for (int f : s->carasDe[v]) {
        const Triangulo &t = (*s->caras)[f];
        const int e[3] = {t.a, t.b, t.c};
        for (int w : e)
            if (w != v) vecinos->push_back(w);
    }
    std::sort(vecinos->begin(), vecinos->end());
    vecinos->erase(std::unique(vecinos->begin(), vecinos->end()), vecinos->end());
}

// Merging a and b must keep the surface a closed two-manifold: the only
// vertices next to both are the far corners of the two faces on the edge.
bool EnlaceValido(const Simplificacion *s, int a, int b)
{
    std::vector<int> na, nb, comunes;
    Vecinos(s, a, &na);
    Vecinos(s, b, &nb);
    std::set_intersection(na.begin(), na.end(), nb.begin(), nb.end(), std::back_inserter(comunes));
    int enArista = 0;
    for (int f : s->carasDe[a]) enArista += Contiene((*s->caras)[f], b);
    return enArista == 2 && comunes.size() == 2 && na.size() > 3 && nb.size() > 3;
}

// The faces that stay (those around a or b but not on the edge) must not
// turn over or become needles once their corner moves to p.
bool FormasValidas(const Simplificacion *s, int a, int b, Punto3 p)
{
    const int extremos[2] = {a, b};
    for (int v : extremos)
        for (int f : s->carasDe[v]) {
            Triangulo t = (*s->caras)[f];
            if (Contiene(t, a) && Contiene(t, b)) continue;
            Punto3 antes = NormalTriangulo((*s->v)[t.a], (*s->v)[t.b], (*s->v)[t.c]);
            Punto3 pos[3] = {(*s->v)[t.a], (*s->v)[t.b], (*s->v)[t.c]};
            for (int k = 0; k < 3; k++)
                if (EsquinaDe(&t, k) == v) pos[k] = p;
            Punto3 despues = NormalTriangulo(pos[0], pos[1], pos[2]);
            double area2 = Longitud(despues);
            if (Escalar3(Unitario(antes), Unitario(despues)) < 0.5) return false;
            double lados = Escalar3(Restar(pos[1], pos[0]), Restar(pos[1], pos[0])) +
                           Escalar3(Restar(pos[2], pos[1]), Restar(pos[2], pos[1])) +
                           Escalar3(Restar(pos[0], pos[2]), Restar(pos[0], pos[2]));
            if (lados <= 0.0 || 2.0 * std::sqrt(3.0) * area2 / lados < 0.25)   // 1 for equilateral
                return false;
        }
    return true;
}

void ProponerArista(Simplificacion *s, int a, int b)
{
    Cuadrica q = s->q[a];
    SumarCuadrica(&q, s->q[b]);
    Punto3 pa = (*s->v)[a], pb = (*s->v)[b];
    Punto3 candidatos[3] = {Escalar(Sumar(pa, pb), 0.5), pa, pb};
    Arista e;
    e.coste = 1e300;
    for (Punto3 c : candidatos) {
        double err = ErrorCuadrica(q, c);
        if (err < e.coste) {
            e.coste = err;
            e.destino = c;
        }
    }
    // a little weight on length keeps triangles even where the error is nil
    e.coste += 1e-4 * Escalar3(Restar(pa, pb), Restar(pa, pb));
    e.a = a;
    e.b = b;
    e.sello = s->sello[a] + s->sello[b];
    s->cola.push(e);
}

void Iniciar(Simplificacion *s)
{
    size_t nv = s->v->size();
    s->viva.assign(s->caras->size(), 1);
    s->muerto.assign(nv, 0);
    s->carasDe.assign(nv, std::vector<int>());
    s->q.assign(nv, Cuadrica{{0}});
    s->sello.assign(nv, 0);
    for (size_t f = 0; f < s->caras->size(); f++) {
        Triangulo t = (*s->caras)[f];
        Punto3 n = NormalTriangulo((*s->v)[t.a], (*s->v)[t.b], (*s->v)[t.c]);
        double area = Longitud(n) * 0.5;
        Punto3 u = Unitario(n);
        Cuadrica q = CuadricaPlano(u, -Escalar3(u, (*s->v)[t.a]), area);
        const int e[3] = {t.a, t.b, t.c};
        for (int v : e) {
            s->carasDe[v].push_back((int)f);
            SumarCuadrica(&s->q[v], q);
        }
    }
    for (const Triangulo &t : *s->caras) {
        const int e[3] = {t.a, t.b, t.c};
        for (int k = 0; k < 3; k++)
            if (e[k] < e[(k + 1) % 3]) ProponerArista(s, e[k], e[(k + 1) % 3]);
    }
}

// b goes into a, which moves to p; returns the number of faces removed.
int Colapsar(Simplificacion *s, int a, int b, Punto3 p)
{
    int quitadas = 0;
    for (int f : s->carasDe[b]) {
        Triangulo *t = &(*s->caras)[f];
        if (Contiene(*t, a)) {
            s->viva[f] = 0;
            quitadas++;
            const int e[3] = {t->a, t->b, t->c};
            for (int v : e) {
                std::vector<int> &l = s->carasDe[v];
                if (v != b) l.erase(std::remove(l.begin(), l.end(), f), l.end());
            }
        } else {
            for (int k = 0; k < 3; k++)
                if (EsquinaDe(t, k) == b) EsquinaDe(t, k) = a;
            s->carasDe[a].push_back(f);
        }
    }
    s->carasDe[b].clear();
    s->muerto[b] = 1;
    (*s->v)[a] = p;
    SumarCuadrica(&s->q[a], s->q[b]);
    s->sello[a]++;
    std::vector<int> vecinos;
    Vecinos(s, a, &vecinos);
    for (int w : vecinos) ProponerArista(s, std::min(a, w), std::max(a, w));
    return quitadas;
}

// Drops the dead vertices and faces, renumbering what is left.
void Compactar(Simplificacion *s)
{
    std::vector<int> nuevo(s->v->size(), -1);
    std::vector<Punto3> vertices;
    for (size_t i = 0; i < s->v->size(); i++)
        if (!s->muerto[i]) {
            nuevo[i] = (int)vertices.size();
            vertices.push_back((*s->v)[i]);
        }
    std::vector<Triangulo> caras;
    for (size_t f = 0; f < s->caras->size(); f++)
        if (s->viva[f]) {
            Triangulo t = (*s->caras)[f];
            caras.push_back(Triangulo{nuevo[t.a], nuevo[t.b], nuevo[t.c]});
        }
    *s->v = vertices;
    *s->caras = caras;
}

}   // namespace

void SimplificarMalla(Malla *m, int carasObjetivo)
{
    Simplificacion s;
    s.v = &m->vertices;
    s.caras = &m->caras;
    Iniciar(&s);
    int vivas = (int)m->caras.size();
    while (vivas > carasObjetivo && !s.cola.empty()) {
        Arista e = s.cola.top();
        s.cola.pop();
        if (s.muerto[e.a] || s.muerto[e.b] || e.sello != s.sello[e.a] + s.sello[e.b]) continue;
        if (!EnlaceValido(&s, e.a, e.b) || !FormasValidas(&s, e.a, e.b, e.destino)) continue;
        vivas -= Colapsar(&s, e.a, e.b, e.destino);
    }
    Compactar(&s);
    m->normales.clear();
    m->ctexturas.clear();
}
