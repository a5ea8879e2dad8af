// inicio.cpp - where the walkthrough starts, which way it looks, and where
// the figures stand.
//
// The walkthrough starts with the eye at the origin looking along -z, and
// its walker is a ball of radius 50 around the eye that rests with the eye
// 40 to 50 above a floor. A good start is a floor point with the eye
// kAlturaOjo above it, the ball clear of every wall and of the ceiling by a
// margin, a ceiling overhead (inside, not on a roof), on the level that holds
// most of the floor, with room around it and a long free view along one
// horizontal direction, which becomes -z.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

#include "importar_local.h"

namespace {

const double kAlturaOjo = 45;
const double kRadio = 50;
const double kMargen = 5;
const int kCandidatos = 600;
const int kEvaluados = 100;   // candidates that pass and are scored
const int kDirecciones = 24;
const double kVistaMaxima = 5000;
const double kNivel = 10;   // floor heights this close count as one level
const double kPi = 3.14159265358979323846;

const double kAbajo[3] = {0, -1, 0};
const double kArriba[3] = {0, 1, 0};

// True when a ball at `ojo` rests on a floor kAlturaOjo below, clear of the
// walls and the ceiling, with no other floor nearer than the one it stands on.
bool EstaLibre(const Rejilla &r, const double ojo[3])
{
    int tri = -1;
    double suelo = LanzarRayo(r, ojo, kAbajo, kAlturaOjo * 2, kTodas, &tri);
    if (tri < 0 || r.tri[tri].ranura != kSuelo || std::fabs(suelo - kAlturaOjo) > 1) return false;
    const unsigned resto = (1u << kTecho) | (1u << kParedes);
    return MedirDistancia(r, ojo, kRadio + kMargen, resto) >= kRadio + kMargen &&
           MedirDistancia(r, ojo, kAlturaOjo, 1u << kSuelo) >= kAlturaOjo - 1;
}

// The longest free horizontal view from `ojo`: its length and direction.
double BuscarVista(const Rejilla &r, const double ojo[3], double dir[2])
{
    double mejor = -1;
    for (int k = 0; k < kDirecciones; k++) {
        double a = 2 * kPi * k / kDirecciones;
        double d[3] = {std::sin(a), 0, -std::cos(a)};
        // Floors and ceilings are level or nearly: the walls bound a level view.
        double l = LanzarRayo(r, ojo, d, kVistaMaxima, 1u << kParedes, nullptr);
        if (l > mejor) mejor = l, dir[0] = d[0], dir[1] = d[2];
    }
    return mejor;
}

// The turn about +y that takes the horizontal direction (dx, dz) to -z.
void GirarHacia(const double dir[2], double giro[3][3])
{
    double l = std::hypot(dir[0], dir[1]);
    double dx = l > 0 ? dir[0] / l : 0, dz = l > 0 ? dir[1] / l : -1;
    const double g[3][3] = {{-dz, 0, dx}, {0, 1, 0}, {-dx, 0, -dz}};
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) giro[i][j] = g[i][j];
}

}   // namespace

void ElegirInicio(const Rejilla &r, const double *pedido, double ojo[3], double giro[3][3],
                  std::vector<std::string> *avisos)
{
    double dir[2] = {0, -1};
    if (pedido != nullptr) {
        // The point given, or the eye above the floor just under it.
        double alto[3] = {pedido[0], pedido[1] + kAlturaOjo, pedido[2]};
        int tri = -1;
        double s = LanzarRayo(r, alto, kAbajo, kAlturaOjo * 2, 1u << kSuelo, &tri);
        for (int i = 0; i < 3; i++) ojo[i] = pedido[i];
        if (tri >= 0) ojo[1] = alto[1] - s + kAlturaOjo;
        BuscarVista(r, ojo, dir);
        GirarHacia(dir, giro);
        return;
    }
    // The level that holds most of the floor (the samples spread by area):
    // a start there is on the storey's floor, not on a table or a bed.
    std::vector<std::array<double, 3>> muestras = MuestrearSuelo(r, kCandidatos);
    std::map<long long, int> niveles;
    for (const auto &p : muestras) niveles[std::llround(p[1] / kNivel)]++;
    long long nivel = 0;
    int mas = 0;
    for (const auto &[n, cuantas] : niveles)
        if (cuantas > mas) mas = cuantas, nivel = n;
    double mejor = -1;
    bool hallado = false;
    int evaluados = 0;
    for (const auto &p : muestras) {
        double o[3] = {p[0], p[1] + kAlturaOjo, p[2]};
        if (evaluados == kEvaluados || !EstaLibre(r, o)) continue;
        evaluados++;
        double d[2] = {0, -1};
        double vista = BuscarVista(r, o, d);
        bool dentro = LanzarRayo(r, o, kArriba, kVistaMaxima, 1u << kTecho, nullptr) < kVistaMaxima;
        double holgura = MedirDistancia(r, o, 300, (1u << kTecho) | (1u << kParedes));
        bool principal = std::llabs(std::llround(p[1] / kNivel) - nivel) <= 1;
        double nota = (dentro ? 1e4 : 0) + (principal ? 5e3 : 0) + holgura + 0.3 * std::min(vista, 3000.0);
        if (nota > mejor) {
            mejor = nota, hallado = true;
            for (int i = 0; i < 3; i++) ojo[i] = o[i];
            dir[0] = d[0], dir[1] = d[1];
        }
    }
    if (!hallado) {
        // No floor point leaves the ball clear: the middle of the floor, or
        // of the whole scene.
        std::vector<std::array<double, 3>> m = MuestrearSuelo(r, 1);
        double c[3] = {0, 0, 0};
        if (!m.empty()) {
            c[0] = m[0][0], c[1] = m[0][1] + kAlturaOjo, c[2] = m[0][2];
        } else if (!r.tri.empty()) {
            for (int i = 0; i < 3; i++) c[i] = r.tri[0].v[0][i];
        }
        for (int i = 0; i < 3; i++) ojo[i] = c[i];
        avisos->push_back(
            m.empty()
                ? "The room has no floor; the start is on its first vertex and gravity will not stop there."
                : "No floor point leaves the walker's ball clear of the walls and ceiling; the start touches "
                  "them.");
        BuscarVista(r, ojo, dir);
    }
    GirarHacia(dir, giro);
}

bool ColocarFigura(const EscenaFuente &e, double altura, double lado, double desplazamiento_z,
                   const SalaColocada &sala, RanuraLista *r, std::vector<std::string> *avisos,
                   std::string *error)
{
    if (e.caras.empty()) {
        *error = e.ruta + ": no faces (" + std::to_string(e.caras_entrada) + " triangles read, none usable)";
        return false;
    }
    Transformacion t;
    ElegirEjes(e, 0, t.rot, avisos);
    double mn[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, mx[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const TrianguloImportado &g : e.caras)
        for (const EsquinaImportada &c : g.e) {
            double p[3];
            AplicarPunto(t, c.posicion, p);
            for (int i = 0; i < 3; i++) mn[i] = std::min(mn[i], p[i]), mx[i] = std::max(mx[i], p[i]);
        }
    double alto = mx[1] - mn[1];
    t.escala = altura > 0 && alto > 0 ? altura / alto : 1;
    double radio = t.escala * std::max(mx[0] - mn[0], mx[2] - mn[2]) / 2;

    // Probes are made in the walkthrough's frame and cast in the grid's.
    const Rejilla &rejilla = sala.rejilla;
    auto punto = [&](const double w[3], double g[3]) {
        for (int i = 0; i < 3; i++)
            g[i] = sala.giro[0][i] * w[0] + sala.giro[1][i] * w[1] + sala.giro[2][i] * w[2] + sala.ojo[i];
    };
    auto direccion = [&](const double w[3], double g[3]) {
        for (int i = 0; i < 3; i++)
            g[i] = sala.giro[0][i] * w[0] + sala.giro[1][i] * w[1] + sala.giro[2][i] * w[2];
    };
    // In front of the start, to one side, on a floor that the eye sees.
    double donde[3] = {lado, -kAlturaOjo, -250};
    bool hallado = false;
    for (double fondo : {250.0, 200.0, 300.0, 350.0, 150.0, 400.0, 500.0, 120.0, 600.0, 800.0}) {
        double x = lado * fondo / 250;
        double l = std::hypot(x, fondo);
        double cero[3] = {0, 0, 0}, ojo[3], dw[3] = {x / l, 0, -fondo / l}, d[3];
        punto(cero, ojo), direccion(dw, d);
        if (LanzarRayo(rejilla, ojo, d, l + radio, kTodas, nullptr) < l + radio) continue;
        double sobre_w[3] = {x, 0, -fondo}, sobre[3];
        punto(sobre_w, sobre);
        int cara = -1;
        double s = LanzarRayo(rejilla, sobre, kAbajo, 400, 1u << kSuelo, &cara);
        if (cara < 0) continue;
        double centro_w[3] = {x, -s + t.escala * alto / 2, -fondo}, centro[3];
        punto(centro_w, centro);
        if (MedirDistancia(rejilla, centro, radio * 0.8, 1u << kParedes) < radio * 0.8) continue;
        donde[0] = x, donde[1] = -s, donde[2] = -fondo;
        hallado = true;
        break;
    }
    if (!hallado && !rejilla.tri.empty())
        avisos->push_back("No clear floor was found in view of the start for " + e.ruta +
                          "; it stands 250 ahead, 45 below the eye.");
    const double base[3] = {(mn[0] + mx[0]) / 2, mn[1], (mn[2] + mx[2]) / 2};
    for (int i = 0; i < 3; i++) t.tras[i] = donde[i] - t.escala * base[i];
    t.tras[2] += desplazamiento_z;
    r->origen = e.ruta;
    r->t = t;
    r->caras_entrada = e.caras_entrada;
    r->descartes = e.descartes;
    for (size_t i = 0; i < e.caras.size(); i++)
        if (!TransformarTriangulo(e.caras[i], e.marcas[i], t, r)) {
            *error = e.ruta + ": coordinates overflow after scaling";
            return false;
        }
    return true;
}
