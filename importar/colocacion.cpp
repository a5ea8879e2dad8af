// colocacion.cpp - the room's axes and scale, and its triangles carried into
// the walkthrough's coordinates and sorted into ceiling, floor and walls.
//
// Scale: a storey (a floor to the ceiling straight above it) is made
// kAlturaPlanta high, as in the bundled hall; the storey is the median of
// the heights found by rays cast up from floor points spread by area. A
// scene with too few ceilings over its floors is scaled by its unit, about
// kUnidadesMetro a metre. The start and the turn about the vertical come
// from inicio.cpp.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "importar_local.h"

namespace {

const double kAlturaPlanta = 400;
const double kUnidadesMetro = 130;
const int kMuestrasPlanta = 400;

std::string FormatearNumero(double x)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.6g", x);
    return b;
}

void MultiplicarMatrices3(const double a[3][3], const double b[3][3], double r[3][3])
{
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

// Coordinates the walkthrough can work with: its collision squares
// distances in floats, and its view reaches 10000 units.
const double kLimite = 1e7;

bool CabeEnLimite(const double p[3])
{
    for (int i = 0; i < 3; i++)
        if (!(std::fabs(p[i]) <= kLimite)) return false;
    return true;
}

}   // namespace

void ElegirEjes(const EscenaFuente &e, int arriba, double ejes[3][3], std::vector<std::string> *avisos)
{
    static const double y_arriba[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    static const double z_arriba[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    const double(*m)[3] = y_arriba;
    if (arriba == 2) {
        m = z_arriba;
    } else if (arriba == 0 && e.ejes_conocidos) {
        m = e.ejes;
    } else if (arriba == 0 && (e.formato == "stl" || e.formato == "ply" || e.formato == "3ds")) {
        m = z_arriba;
        if (avisos)
            avisos->push_back(e.ruta + " states no up axis; +z was taken as up, as usual for " + e.formato +
                              " files (--arriba y says otherwise).");
    } else if (arriba == 0 && e.formato != "gltf" && e.formato != "glb" && e.formato != "dae") {
        if (avisos)
            avisos->push_back(e.ruta + " states no up axis; +y was taken as up (--arriba z says otherwise).");
    }
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) ejes[i][j] = m[i][j];
}

// Whether a room whose file states no up axis is z-up all the same, as
// several modelling programs write OBJ files. Faces named for a floor or a
// ceiling settle it: their normals point up or down. Without such names the
// room's shape does: a room is wider than it is high, so z is taken as up
// when the scene is clearly lowest along z, and y is left for the rest.
bool PareceZArriba(const EscenaFuente &e)
{
    double ny = 0, nz = 0;
    double mn[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, mx[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (size_t i = 0; i < e.caras.size(); i++) {
        const double signo = e.rol[i] == kSuelo ? 1 : e.rol[i] == kTecho ? -1 : 0;
        for (const EsquinaImportada &c : e.caras[i].e) {
            const double p[3] = {c.posicion.x, c.posicion.y, c.posicion.z};
            for (int k = 0; k < 3; k++) mn[k] = std::min(mn[k], p[k]), mx[k] = std::max(mx[k], p[k]);
            ny += signo * c.normal.y, nz += signo * c.normal.z;
        }
    }
    if (ny != 0 || nz != 0) return nz > std::fabs(ny);
    return mx[2] - mn[2] < 0.75 * std::min(mx[0] - mn[0], mx[1] - mn[1]);
}

// The room's triangles turned to +y up and scaled, for rays and distances.
std::vector<TrianguloD> TransformarSala(const EscenaFuente &e, const Transformacion &t,
                                        std::vector<int> *ranura)
{
    std::vector<TrianguloD> r(e.caras.size());
    ranura->resize(e.caras.size());
    const double cos45 = std::sqrt(0.5);
    for (size_t i = 0; i < e.caras.size(); i++) {
        const TrianguloImportado &g = e.caras[i];
        Vector suma{0, 0, 0};
        for (int c = 0; c < 3; c++) {
            AplicarPunto(t, g.e[c].posicion, r[i].v[c]);
            suma = Vector{suma.x + g.e[c].normal.x, suma.y + g.e[c].normal.y, suma.z + g.e[c].normal.z};
        }
        int rol = e.rol[i];
        if (rol < 0) {
            // As RepartirPorNormal, on the turned corners: the face normal,
            // turned to agree with the corners' normals.
            double u[3], v[3], n[3], s[3];
            for (int k = 0; k < 3; k++)
                u[k] = r[i].v[1][k] - r[i].v[0][k], v[k] = r[i].v[2][k] - r[i].v[0][k];
            n[0] = u[1] * v[2] - u[2] * v[1], n[1] = u[2] * v[0] - u[0] * v[2],
            n[2] = u[0] * v[1] - u[1] * v[0];
            AplicarNormal(t, suma, s);
            double signo = s[0] * n[0] + s[1] * n[1] + s[2] * n[2] < 0 ? -1 : 1;
            double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            rol = signo * n[1] > cos45 * l ? kSuelo : signo * n[1] < -cos45 * l ? kTecho : kParedes;
        }
        (*ranura)[i] = rol;
        r[i].ranura = rol;
    }
    return r;
}

// Points spread over the floor by area, the same on every run.
std::vector<std::array<double, 3>> MuestrearSuelo(const Rejilla &r, int n)
{
    std::vector<double> acumulada;
    std::vector<int> suelos;
    double total = 0;
    for (size_t i = 0; i < r.tri.size(); i++) {
        if (r.tri[i].ranura != kSuelo) continue;
        const TrianguloD &t = r.tri[i];
        double u[3], v[3];
        for (int k = 0; k < 3; k++) u[k] = t.v[1][k] - t.v[0][k], v[k] = t.v[2][k] - t.v[0][k];
        double cx = u[1] * v[2] - u[2] * v[1], cy = u[2] * v[0] - u[0] * v[2], cz = u[0] * v[1] - u[1] * v[0];
        total += std::sqrt(cx * cx + cy * cy + cz * cz);
        acumulada.push_back(total);
        suelos.push_back((int)i);
    }
    std::vector<std::array<double, 3>> m;
    if (suelos.empty() || !(total > 0)) return m;
    uint64_t estado = 15;
    auto azar = [&]() {
        uint64_t z = (estado += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return (double)((z ^ (z >> 31)) >> 11) / 9007199254740992.0;
    };
    for (int k = 0; k < n; k++) {
        size_t j = std::lower_bound(acumulada.begin(), acumulada.end(), azar() * total) - acumulada.begin();
        const TrianguloD &t = r.tri[suelos[std::min(j, suelos.size() - 1)]];
        double a = azar(), b = azar();
        if (a + b > 1) a = 1 - a, b = 1 - b;
        std::array<double, 3> p;
        for (int i = 0; i < 3; i++)
            p[i] = t.v[0][i] + a * (t.v[1][i] - t.v[0][i]) + b * (t.v[2][i] - t.v[0][i]);
        m.push_back(p);
    }
    return m;
}

// The storey height: the median of the rays up from floor points to the
// nearest ceiling, or 0 when fewer than a quarter of them meet one.
double MedirPlanta(const Rejilla &r)
{
    std::vector<std::array<double, 3>> m = MuestrearSuelo(r, kMuestrasPlanta);
    std::vector<double> alturas;
    const double arriba[3] = {0, 1, 0};
    for (const auto &p : m) {
        double h = LanzarRayo(r, p.data(), arriba, HUGE_VAL, 1u << kTecho, nullptr);
        if (std::isfinite(h) && h > 0) alturas.push_back(h);
    }
    if (m.empty() || alturas.size() * 4 < m.size()) return 0;
    std::nth_element(alturas.begin(), alturas.begin() + alturas.size() / 2, alturas.end());
    return alturas[alturas.size() / 2];
}

double EscalarPorUnidad(const EscenaFuente &e, const Rejilla &r, std::vector<std::string> *avisos)
{
    if (e.metros > 0) {
        avisos->push_back("No storey could be measured (too few ceilings over the floors); the scene was "
                          "scaled by its unit, " +
                          FormatearNumero(kUnidadesMetro) + " units a metre.");
        return kUnidadesMetro * e.metros;
    }
    double mn[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, mx[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const TrianguloD &t : r.tri)
        for (const auto &v : t.v)
            for (int i = 0; i < 3; i++) mn[i] = std::min(mn[i], v[i]), mx[i] = std::max(mx[i], v[i]);
    double extension = std::max({mx[0] - mn[0], mx[1] - mn[1], mx[2] - mn[2], 0.0});
    // Without a stated unit, guess it from the size: a scene over 2000 units
    // across is taken to be in millimetres, over 200 in centimetres.
    double metros = extension > 2000 ? 0.001 : extension > 200 ? 0.01 : 1;
    avisos->push_back("No storey could be measured and " + e.ruta +
                      " states no unit; it was taken to be in " +
                      (metros == 1      ? "metres"
                       : metros == 0.01 ? "centimetres"
                                        : "millimetres") +
                      " from its size (--escala gives the scale outright).");
    return kUnidadesMetro * metros;
}

bool ColocarSala(const EscenaFuente &e, const Opciones &o, RanuraLista ranuras[3], SalaColocada *sala,
                 std::vector<std::string> *avisos, std::string *error)
{
    if (e.caras.empty()) {
        *error = e.ruta + ": no faces to walk among (" + std::to_string(e.caras_entrada) +
                 " triangles read, none usable)";
        return false;
    }
    Transformacion t;
    int arriba = o.arriba;
    const bool sin_eje = !e.ejes_conocidos && e.formato != "gltf" && e.formato != "glb" &&
                         e.formato != "dae" && e.formato != "stl" && e.formato != "ply" && e.formato != "3ds";
    if (arriba == 0 && sin_eje && PareceZArriba(e)) {
        arriba = 2;
        if (avisos)
            avisos->push_back(e.ruta + " states no up axis; its floors (by name, or its shape) say +z is up "
                                       "(--arriba y says otherwise).");
    }
    ElegirEjes(e, arriba, t.rot, avisos);
    std::vector<int> ranura;
    Rejilla &rejilla = sala->rejilla;
    ConstruirRejilla(&rejilla, TransformarSala(e, t, &ranura));
    if (o.escala > 0) {
        t.escala = o.escala;
    } else {
        double h = MedirPlanta(rejilla);
        t.escala = h > 0 ? kAlturaPlanta / h : EscalarPorUnidad(e, rejilla, avisos);
    }
    if (!(t.escala > 0) || !std::isfinite(t.escala)) {
        *error = e.ruta + ": no usable scale (" + FormatearNumero(t.escala) + ")";
        return false;
    }
    // Scale the grid in place instead of building it again.
    for (TrianguloD &g : rejilla.tri)
        for (auto &v : g.v)
            for (double &x : v) x *= t.escala;
    rejilla.min[0] *= t.escala, rejilla.min[1] *= t.escala, rejilla.celda *= t.escala;

    double *ojo = sala->ojo, (*giro)[3] = sala->giro;
    double pedido[3];
    if (o.con_inicio) {
        Transformacion s = t;
        AplicarPunto(s, Vector{(float)o.inicio[0], (float)o.inicio[1], (float)o.inicio[2]}, pedido);
    }
    ElegirInicio(rejilla, o.con_inicio ? pedido : nullptr, ojo, giro, avisos);
    double rot[3][3];
    MultiplicarMatrices3(giro, t.rot, rot);
    for (int i = 0; i < 3; i++) {
        for (int j = 0; j < 3; j++) t.rot[i][j] = rot[i][j];
        t.tras[i] = -(giro[i][0] * ojo[0] + giro[i][1] * ojo[1] + giro[i][2] * ojo[2]);
    }
    for (int k = 0; k < 3; k++) {
        ranuras[k].origen = e.ruta;
        ranuras[k].t = t;
    }
    // Faces dropped on the way in have no slot of their own: the walls take
    // every face that is neither floor nor ceiling.
    ranuras[kParedes].descartes = e.descartes;
    ranuras[kParedes].caras_entrada = e.descartes.degeneradas + e.descartes.no_finitas;
    size_t cuantas[3] = {0, 0, 0};
    for (int k : ranura) cuantas[k]++;
    for (int k = 0; k < 3; k++) ranuras[k].caras.reserve(cuantas[k]);
    for (size_t i = 0; i < e.caras.size(); i++) {
        RanuraLista &r = ranuras[ranura[i]];
        r.caras_entrada++;
        if (!TransformarTriangulo(e.caras[i], e.marcas[i], t, &r)) {
            *error = e.ruta + ": coordinates overflow after scaling by " + FormatearNumero(t.escala) +
                     " (beyond " + FormatearNumero(kLimite) + " units)";
            return false;
        }
    }
    return true;
}

bool TransformarTriangulo(const TrianguloImportado &fuente, unsigned char marcas, const Transformacion &t,
                          RanuraLista *r)
{
    TrianguloImportado g = fuente;
    for (int c = 0; c < 3; c++) {
        double p[3], n[3];
        AplicarPunto(t, fuente.e[c].posicion, p);
        if (!CabeEnLimite(p)) return false;
        AplicarNormal(t, fuente.e[c].normal, n);
        g.e[c].posicion = Vector{(float)p[0], (float)p[1], (float)p[2]};
        g.e[c].normal = Vector{(float)n[0], (float)n[1], (float)n[2]};
    }
    double nc[3];
    CalcularNormalCara(g, nc);
    if (nc[0] == 0 && nc[1] == 0 && nc[2] == 0) {   // corners merged by rounding
        r->descartes.degeneradas++;
        return true;
    }
    double l = std::sqrt(nc[0] * nc[0] + nc[1] * nc[1] + nc[2] * nc[2]);
    for (EsquinaImportada &c : g.e)
        if (c.normal.x == 0 && c.normal.y == 0 && c.normal.z == 0)
            c.normal = Vector{(float)(nc[0] / l), (float)(nc[1] / l), (float)(nc[2] / l)};
    if (marcas & kSinTextura) {
        ProyectarTextura(&g);
        r->texturas_proyectadas++;
    }
    if (marcas & kSinNormal) r->normales_generadas++;
    r->caras.push_back(g);
    return true;
}
