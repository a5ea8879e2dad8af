// superficie.cpp - turning a signed-distance field into a triangle mesh
// (surface nets), simplifying it and putting it back onto the surface with
// gradient normals.
//
// The box is sampled on a regular grid of nodes. Every cube whose eight
// corners do not all lie on the same side of the surface gets one vertex:
// the mean of the points where the surface crosses the cube's edges, then
// pulled onto the surface along the gradient. Every grid edge that the
// surface crosses is shared by four cubes; their four vertices make one quad,
// split into two triangles along its shorter diagonal. A quad turns its front
// to the edge's outside end, which gives counter-clockwise winding seen from
// outside. Compared with marching cubes this needs no case table and gives
// evenly shaped triangles.
#include <algorithm>
#include <cmath>

#include "simplificacion.h"
#include "superficie.h"

namespace {

// Central differences of the field at p, half-width h, not yet divided by 2h.
Punto3 Diferencias(Campo campo, Punto3 p, double h)
{
    return P3(campo(P3(p.x + h, p.y, p.z)) - campo(P3(p.x - h, p.y, p.z)),
              campo(P3(p.x, p.y + h, p.z)) - campo(P3(p.x, p.y - h, p.z)),
              campo(P3(p.x, p.y, p.z + h)) - campo(P3(p.x, p.y, p.z - h)));
}

// Normalised gradient of the field at p: the vertex normal, pointing out of
// the solid; straight up where the gradient vanishes.
Punto3 GradienteCampo(Campo campo, Punto3 p, double h)
{
    Punto3 u = Unitario(Diferencias(campo, p, h));
    return Longitud(u) > 0.0 ? u : P3(0.0, 1.0, 0.0);
}

// One Newton step towards the field's zero level from p, the gradient taken
// with half-width h. False, and no step, where the gradient all but vanishes.
bool PasoNewton(Campo campo, Punto3 p, double h, Punto3 *paso)
{
    double f = campo(p);
    Punto3 d = Diferencias(campo, p, h);
    Punto3 g = P3(d.x / (2 * h), d.y / (2 * h), d.z / (2 * h));
    double g2 = Escalar3(g, g);
    if (g2 < 1e-12) return false;
    *paso = Escalar(g, -f / g2);
    return true;
}

struct Rejilla {
    Punto3 origen;
    double paso;
    int nx, ny, nz;              // nodes along each axis
    std::vector<double> valor;   // field at every node
};

int IndiceNodo(const Rejilla *r, int i, int j, int k) { return (k * r->ny + j) * r->nx + i; }
int IndiceCubo(const Rejilla *r, int i, int j, int k) { return (k * (r->ny - 1) + j) * (r->nx - 1) + i; }

Punto3 PosicionNodo(const Rejilla *r, int i, int j, int k)
{
    return P3(r->origen.x + i * r->paso, r->origen.y + j * r->paso, r->origen.z + k * r->paso);
}

void MuestrearCampo(Rejilla *r, Campo campo)
{
    r->valor.resize((size_t)r->nx * r->ny * r->nz);
    for (int k = 0; k < r->nz; k++)
        for (int j = 0; j < r->ny; j++)
            for (int i = 0; i < r->nx; i++)
                r->valor[IndiceNodo(r, i, j, k)] = campo(PosicionNodo(r, i, j, k));
}

// Corner c of cube (i, j, k): bit 0 steps in x, bit 1 in y, bit 2 in z.
double ValorEsquina(const Rejilla *r, int i, int j, int k, int c)
{
    return r->valor[IndiceNodo(r, i + (c & 1), j + ((c >> 1) & 1), k + ((c >> 2) & 1))];
}

// Mean of the edge crossings of a cube known to straddle the surface.
Punto3 CentroCruces(const Rejilla *r, int i, int j, int k)
{
    Punto3 suma = P3(0.0, 0.0, 0.0);
    int n = 0;
    for (int c = 0; c < 8; c++) {
        for (int eje = 1; eje < 8; eje <<= 1) {
            if (c & eje) continue;
            double v0 = ValorEsquina(r, i, j, k, c);
            double v1 = ValorEsquina(r, i, j, k, c | eje);
            if ((v0 < 0.0) == (v1 < 0.0)) continue;
            double t = v0 / (v0 - v1);
            Punto3 p0 = PosicionNodo(r, i + (c & 1), j + ((c >> 1) & 1), k + ((c >> 2) & 1));
            int d = c | eje;
            Punto3 p1 = PosicionNodo(r, i + (d & 1), j + ((d >> 1) & 1), k + ((d >> 2) & 1));
            suma = Sumar(suma, Sumar(p0, Escalar(Restar(p1, p0), t)));
            n++;
        }
    }
    return Escalar(suma, 1.0 / n);
}

// A few Newton steps along the gradient bring the vertex onto the surface;
// the result stays inside its own cube (with a small margin) so that
// neighbouring quads cannot fold over each other.
Punto3 AjustarASuperficie(Campo campo, Punto3 p, Punto3 bajo, double paso)
{
    for (int iter = 0; iter < 4; iter++) {
        Punto3 d;
        if (!PasoNewton(campo, p, paso * 0.05, &d)) break;
        p = Sumar(p, d);
        double m = paso * 0.1;
        p.x = std::min(bajo.x + paso + m, std::max(bajo.x - m, p.x));
        p.y = std::min(bajo.y + paso + m, std::max(bajo.y - m, p.y));
        p.z = std::min(bajo.z + paso + m, std::max(bajo.z - m, p.z));
    }
    return p;
}

bool CuboCruzado(const Rejilla *r, int i, int j, int k)
{
    bool dentro0 = ValorEsquina(r, i, j, k, 0) < 0.0;
    for (int c = 1; c < 8; c++)
        if ((ValorEsquina(r, i, j, k, c) < 0.0) != dentro0) return true;
    return false;
}

// One vertex per crossed cube; indiceCubo maps every cube to its vertex or -1.
void CrearVertices(const Rejilla *r, Campo campo, Malla *m, std::vector<int> *indiceCubo)
{
    indiceCubo->assign((size_t)(r->nx - 1) * (r->ny - 1) * (r->nz - 1), -1);
    for (int k = 0; k + 1 < r->nz; k++)
        for (int j = 0; j + 1 < r->ny; j++)
            for (int i = 0; i + 1 < r->nx; i++) {
                if (!CuboCruzado(r, i, j, k)) continue;
                Punto3 p =
                    AjustarASuperficie(campo, CentroCruces(r, i, j, k), PosicionNodo(r, i, j, k), r->paso);
                (*indiceCubo)[IndiceCubo(r, i, j, k)] = (int)m->vertices.size();
                m->vertices.push_back(p);
                m->normales.push_back(GradienteCampo(campo, p, r->paso * 0.25));
            }
}

void AgregarCuadrilatero(Malla *m, int q0, int q1, int q2, int q3)
{
    const std::vector<Punto3> &v = m->vertices;
    double d02 = Longitud(Restar(v[q0], v[q2]));
    double d13 = Longitud(Restar(v[q1], v[q3]));
    if (d02 <= d13) {
        m->caras.push_back(Triangulo{q0, q1, q2});
        m->caras.push_back(Triangulo{q0, q2, q3});
    } else {
        m->caras.push_back(Triangulo{q0, q1, q3});
        m->caras.push_back(Triangulo{q1, q2, q3});
    }
}

// Quads for the crossed edges along axis `eje` (0 x, 1 y, 2 z). With (a, b, c)
// a cyclic order of the axes (b x c = a), the four cubes around an edge taken
// in the order (b-1, c-1), (b, c-1), (b, c), (b-1, c) run counter-clockwise
// seen from the edge's +a end.
void CrearCaras(const Rejilla *r, const std::vector<int> &indiceCubo, int eje, Malla *m)
{
    int n[3] = {r->nx, r->ny, r->nz};
    int b = (eje + 1) % 3, c = (eje + 2) % 3;
    int pos[3];
    for (pos[2] = 0; pos[2] < n[2]; pos[2]++)
        for (pos[1] = 0; pos[1] < n[1]; pos[1]++)
            for (pos[0] = 0; pos[0] < n[0]; pos[0]++) {
                if (pos[eje] + 1 >= n[eje] || pos[b] < 1 || pos[b] + 1 >= n[b] || pos[c] < 1 ||
                    pos[c] + 1 >= n[c])
                    continue;
                int fin[3] = {pos[0], pos[1], pos[2]};
                fin[eje]++;
                bool dentro0 = r->valor[IndiceNodo(r, pos[0], pos[1], pos[2])] < 0.0;
                bool dentro1 = r->valor[IndiceNodo(r, fin[0], fin[1], fin[2])] < 0.0;
                if (dentro0 == dentro1) continue;
                int q[4];
                const int db[4] = {-1, 0, 0, -1};
                const int dc[4] = {-1, -1, 0, 0};
                for (int s = 0; s < 4; s++) {
                    int cubo[3] = {pos[0], pos[1], pos[2]};
                    cubo[b] += db[s];
                    cubo[c] += dc[s];
                    q[s] = indiceCubo[IndiceCubo(r, cubo[0], cubo[1], cubo[2])];
                }
                if (dentro0)   // solid at the low end: the surface faces +a
                    AgregarCuadrilatero(m, q[0], q[1], q[2], q[3]);
                else
                    AgregarCuadrilatero(m, q[3], q[2], q[1], q[0]);
            }
}

// Polygonises the zero level of the field inside the box [minimo, maximo]
// with cubes of edge `paso`; the field must be positive on the box's
// boundary, which makes the mesh closed.
Malla PoligonizarCampo(Campo campo, Punto3 minimo, Punto3 maximo, double paso)
{
    Rejilla r;
    r.origen = minimo;
    r.paso = paso;
    r.nx = (int)std::ceil((maximo.x - minimo.x) / paso) + 1;
    r.ny = (int)std::ceil((maximo.y - minimo.y) / paso) + 1;
    r.nz = (int)std::ceil((maximo.z - minimo.z) / paso) + 1;
    MuestrearCampo(&r, campo);

    Malla m;
    std::vector<int> indiceCubo;
    CrearVertices(&r, campo, &m, &indiceCubo);
    for (int eje = 0; eje < 3; eje++) CrearCaras(&r, indiceCubo, eje, &m);
    return m;
}

// Moves p onto the field's zero level with a few Newton steps, none longer
// than `pasoMax`.
Punto3 ProyectarASuperficie(Campo campo, Punto3 p, double pasoMax)
{
    for (int iter = 0; iter < 6; iter++) {
        Punto3 paso;
        if (!PasoNewton(campo, p, pasoMax * 0.05, &paso)) break;
        double l = Longitud(paso);
        if (l > pasoMax) paso = Escalar(paso, pasoMax / l);
        p = Sumar(p, paso);
        if (l < 1e-7) break;
    }
    return p;
}

}   // namespace

Malla MallaDeCampo(Campo campo, Punto3 minimo, Punto3 maximo, double paso, int carasObjetivo)
{
    Malla m = PoligonizarCampo(campo, minimo, maximo, paso);
    SimplificarMalla(&m, carasObjetivo);
    for (size_t i = 0; i < m.vertices.size(); i++) {
        m.vertices[i] = ProyectarASuperficie(campo, m.vertices[i], paso * 0.5);
        m.normales.push_back(GradienteCampo(campo, m.vertices[i], paso * 0.25));
    }
    return m;
}
