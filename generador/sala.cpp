// sala.cpp - the hall: floor, ceiling, outer walls, a free-standing
// wall and ten square pillars.
//
// The hall spans x -1500 to 1500 and z -2500 to 1000, floor at y = -50 and
// ceiling at y = 350. The viewer starts at the origin, 50 above the floor,
// looking along -z over the two figures towards the free-standing wall at
// z = -1400; the pillars stand in two rows at x = -700 and x = 700, clear of
// the line of sight to the figures.
//
// Every surface is cut into cells of at most 120 units, so no triangle is
// large (collision counts a band of about edge / 28 outside each edge as
// touching). Each cell has its own four vertices, one texture coordinate per
// vertex, so a corner's vertex number also addresses its texture coordinate.
//
// Texture coordinates follow the world position, so neighbouring cells and
// separate surfaces meet without a seam: s = (position along the surface) /
// period, less the whole number of periods at the cell's start, which keeps
// every coordinate in [0, 1] (a cell never spans a period boundary: cells are
// split there). The program multiplies the floor's coordinates by 10 and the
// walls' by 5, so the periods here are those multiples of the repeat wanted in
// the world: floor planks repeat every 300, wall stones every 400 (one repeat
// is exactly the wall's height), ceiling beams every 500.
#include <algorithm>
#include <cmath>

#include "sala.h"
#include "texturas.h"

namespace {

const double kAlturaSuelo = -50.0;
const double kAlturaTecho = 350.0;

const double kXMin = -1500.0, kXMax = 1500.0;
const double kZMin = -2500.0, kZMax = 1000.0;
// Largest cell edge on floor and ceiling. 120 leaves the viewer's start
// (x = 0, z = 0) off every vertex: a sphere whose centre lies straight above
// a vertex is not caught by any of the faces around it (the angles seen from
// the foot point are undefined there), and the viewer would fall through.
const double kCelda = 120.0;
const double kCeldaPared = 100.0;   // largest cell edge on walls

const double kPeriodoSuelo = 3000.0;   // 10 x 300
const double kPeriodoPared = 2000.0;   // 5 x 400
const double kPeriodoTecho = 500.0;

// A flat rectangle to be cut into cells: corner `origen`, unit directions
// `du` and `dv`, lengths `lu` and `lv`; texture position of the corner along
// each direction `su`, `sv` (world units); `normal` is where it must face.
struct Rectangulo {
    Punto3 origen, du, dv;
    double lu, lv;
    double su, sv;
    double periodo;
    double celda;
    Punto3 normal;
};

// Cut points along one side: the multiples of the period that fall inside
// it, then each stretch between them split evenly into pieces no longer than
// `celda`, so that no piece spans a period boundary and none is a sliver.
std::vector<double> Cortes(double inicio, double largo, double celda, double periodo)
{
    std::vector<double> limites = {0.0};
    for (double k = std::floor(inicio / periodo + 1.0) * periodo; k < inicio + largo - 1e-6; k += periodo)
        if (k - inicio > 1e-6) limites.push_back(k - inicio);
    limites.push_back(largo);
    std::vector<double> c = {0.0};
    for (size_t i = 0; i + 1 < limites.size(); i++) {
        double tramo = limites[i + 1] - limites[i];
        int n = (int)std::ceil(tramo / celda - 1e-9);
        for (int k = 1; k <= n; k++) c.push_back(k == n ? limites[i + 1] : limites[i] + k * tramo / n);
    }
    return c;
}

// The texture coordinates of a piece [a, b] (in world units along a side
// whose texture position starts at `inicio`).
void CoordenadasPieza(double inicio, double a, double b, double periodo, double *ta, double *tb)
{
    double k = std::floor((inicio + a) / periodo + 1e-9);
    *ta = (inicio + a) / periodo - k;
    *tb = (inicio + b) / periodo - k;
    *ta = Saturar(*ta);
    *tb = Saturar(*tb);
}

void AgregarCelda(Malla *m, Punto3 p[4], Punto3 t[4], Punto3 normal)
{
    int base = (int)m->vertices.size();
    for (int i = 0; i < 4; i++) {
        m->vertices.push_back(p[i]);
        m->ctexturas.push_back(t[i]);
    }
    Punto3 n = Cruz(Restar(p[1], p[0]), Restar(p[2], p[0]));
    if (Escalar3(n, normal) > 0.0) {
        m->caras.push_back(Triangulo{base, base + 1, base + 2});
        m->caras.push_back(Triangulo{base, base + 2, base + 3});
    } else {
        m->caras.push_back(Triangulo{base, base + 2, base + 1});
        m->caras.push_back(Triangulo{base, base + 3, base + 2});
    }
}

void AgregarRectangulo(Malla *m, Rectangulo r)
{
    std::vector<double> cu = Cortes(r.su, r.lu, r.celda, r.periodo);
    std::vector<double> cv = Cortes(r.sv, r.lv, r.celda, r.periodo);
    for (size_t j = 0; j + 1 < cv.size(); j++)
        for (size_t i = 0; i + 1 < cu.size(); i++) {
            double s0, s1, t0, t1;
            CoordenadasPieza(r.su, cu[i], cu[i + 1], r.periodo, &s0, &s1);
            CoordenadasPieza(r.sv, cv[j], cv[j + 1], r.periodo, &t0, &t1);
            Punto3 p[4], t[4];
            double us[4] = {cu[i], cu[i + 1], cu[i + 1], cu[i]};
            double vs[4] = {cv[j], cv[j], cv[j + 1], cv[j + 1]};
            double ss[4] = {s0, s1, s1, s0};
            double ts[4] = {t0, t0, t1, t1};
            for (int k = 0; k < 4; k++) {
                p[k] = Sumar(r.origen, Sumar(Escalar(r.du, us[k]), Escalar(r.dv, vs[k])));
                t[k] = P3(ss[k], ts[k], 0.0);
            }
            AgregarCelda(m, p, t, r.normal);
        }
}

// A vertical wall face from (x0, z0) to (x1, z1), floor to ceiling, facing
// `normal`. Its texture runs along the world coordinate that changes along
// it, so faces in line continue each other's stones.
void AgregarMuro(Malla *m, double x0, double z0, double x1, double z1, Punto3 normal)
{
    Rectangulo r;
    Punto3 a = P3(x0, kAlturaSuelo, z0);
    Punto3 b = P3(x1, kAlturaSuelo, z1);
    r.origen = a;
    r.du = Unitario(Restar(b, a));
    r.lu = Longitud(Restar(b, a));
    r.dv = P3(0.0, 1.0, 0.0);
    r.lv = kAlturaTecho - kAlturaSuelo;
    r.su = (x0 != x1 ? x0 : z0) + 2500.0;   // kept positive
    r.sv = 0.0;
    r.periodo = kPeriodoPared;
    r.celda = kCeldaPared;
    r.normal = normal;
    AgregarRectangulo(m, r);
}

// A square pillar (or any upright box) between (x0, z0) and (x1, z1), its
// faces turned outwards into the hall.
void AgregarBloque(Malla *m, double x0, double z0, double x1, double z1)
{
    AgregarMuro(m, x0, z1, x1, z1, P3(0.0, 0.0, 1.0));
    AgregarMuro(m, x0, z0, x1, z0, P3(0.0, 0.0, -1.0));
    AgregarMuro(m, x0, z0, x0, z1, P3(-1.0, 0.0, 0.0));
    AgregarMuro(m, x1, z0, x1, z1, P3(1.0, 0.0, 0.0));
}

Malla Plano(double y, double periodo, double desfase, Punto3 normal)
{
    Rectangulo r;
    r.origen = P3(kXMin, y, kZMin);
    r.du = P3(1.0, 0.0, 0.0);
    r.dv = P3(0.0, 0.0, 1.0);
    r.lu = kXMax - kXMin;
    r.lv = kZMax - kZMin;
    r.su = desfase;
    r.sv = desfase;
    r.periodo = periodo;
    r.celda = kCelda;
    r.normal = normal;
    Malla m;
    AgregarRectangulo(&m, r);
    return m;
}

// The horse has no texture coordinates and is drawn right after the walls,
// with the walls texture still bound, so the whole horse takes the colour of
// the walls texture at the walls' last corner (coordinates times 5). The
// walls end on a corner that lands on the chestnut stone.
double LejosDeLaPiedraCastana(const Malla *m, int v)
{
    Punto3 t = m->ctexturas[v];
    double s = t.x * 5.0 - std::floor(t.x * 5.0);
    double u = t.y * 5.0 - std::floor(t.y * 5.0);
    return std::fabs(s - kPiedraCastanaS) + std::fabs(u - kPiedraCastanaT);
}

}   // namespace

// The texture's period boundaries also cut cells; the ceiling's are moved by a
// quarter period so that none of them runs through the start either.
Malla GenerarSuelo() { return Plano(kAlturaSuelo, kPeriodoSuelo, 0.0, P3(0.0, 1.0, 0.0)); }
Malla GenerarTecho() { return Plano(kAlturaTecho, kPeriodoTecho, 125.0, P3(0.0, -1.0, 0.0)); }

Malla GenerarParedes()
{
    Malla m;
    AgregarMuro(&m, kXMin, kZMin, kXMax, kZMin, P3(0.0, 0.0, 1.0));    // far wall
    AgregarMuro(&m, kXMin, kZMax, kXMax, kZMax, P3(0.0, 0.0, -1.0));   // wall behind the start
    AgregarMuro(&m, kXMin, kZMin, kXMin, kZMax, P3(1.0, 0.0, 0.0));    // left wall
    AgregarMuro(&m, kXMax, kZMin, kXMax, kZMax, P3(-1.0, 0.0, 0.0));   // right wall
    AgregarBloque(&m, -400.0, -1420.0, 400.0, -1380.0);                // free-standing wall
    const double filas[5] = {-2300.0, -1700.0, -1100.0, -500.0, 500.0};
    for (double z : filas) {
        AgregarBloque(&m, -740.0, z - 40.0, -660.0, z + 40.0);
        AgregarBloque(&m, 660.0, z - 40.0, 740.0, z + 40.0);
    }
    TerminarEnMejorEsquina(&m, LejosDeLaPiedraCastana);
    return m;
}
