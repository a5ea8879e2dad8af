// figura_mujer.cpp - the woman: a standing figure in a long gown, modelled
// as a smooth union of simple solids and polygonised.
//
// She is built in her own frame (feet at the origin, height along +y, facing
// +z, about 57 tall) and moved to kPosicionMujer afterwards. The solids fall
// into five parts (skirt, bodice with sleeves, hair, skin of head and neck,
// hands); the part nearest to a vertex picks where in the Vampiro atlas its
// texture coordinate lies:
//
//   t in [0, 0.42)     skirt: s = angle from the front / pi, t = height
//   t in [0.42, 0.60)  bodice and sleeves, the same way
//   t in [0.60, 0.72)  hair: angle about the head, height
//   t in [0.72, 1]     skin: the face by angle about the head and height,
//                      which puts eyes and lips where the face is; the hands
//                      take one plain skin texel
//
// The angle is measured from the front on either side (|atan2| / pi), so s
// runs from 0 at the front to 1 at the back without a seam, and whatever the
// texture paints at one s appears on both sides of the figure: two eyes from
// one painted eye. Parts that touch on the figure sit next to each other in
// the atlas (skirt-bodice, bodice-hair, hair-skin), so a triangle that
// straddles two parts only blends colours that belong there; bodice to skin
// crosses the dark hair band, which reads as a choker and dark cuffs.
#include <algorithm>
#include <cmath>

#include "figuras.h"
#include "superficie.h"
#include "texturas.h"

namespace {

const Punto3 kPosicionMujer = {-50.0, -50.0, -195.0};

enum ParteMujer { kFalda, kCorpino, kPelo, kPiel, kManos, kNumPartes };

const double kCinturaAlto = 34.0;   // top of the skirt above the floor
const double kPasoMujer = 0.4;      // grid step of the polygoniser
const int kCarasMujer = 6400;       // faces kept after simplifying

// The skirt: a bell from the waist to the floor with soft vertical folds that
// deepen towards the hem.
double DistFalda(Punto3 p)
{
    double rho = std::sqrt(p.x * p.x + p.z * p.z);
    double theta = std::atan2(p.x, p.z);
    double t = Saturar((kCinturaAlto - 0.5 - p.y) / (kCinturaAlto - 0.5));
    double radio = 4.3 + 9.4 * std::pow(t, 1.5) + 0.35 * t;
    radio += 0.75 * std::pow(t, 1.3) * std::cos(10.0 * theta);
    double d = (rho - radio) * 0.8;
    d = std::max(d, p.y - kCinturaAlto);
    double caderas = DistElipsoide(p, P3(0.0, 31.5, -0.3), P3(4.9, 4.2, 3.8));
    return UnionSuave(d, caderas, 1.5);
}

double DistManga(Punto3 p, double lado)
{
    Punto3 hombro = P3(5.3 * lado, 45.0, -0.2);
    Punto3 codo = P3(6.5 * lado, 36.6, 0.2);
    Punto3 muneca = P3(7.55 * lado, 28.4, 1.3);
    double d = DistEsfera(p, P3(5.5 * lado, 45.1, -0.2), 1.75);   // puffed shoulder
    d = UnionSuave(d, DistCono(p, hombro, codo, 1.3, 1.05), 1.0);
    d = UnionSuave(d, DistCono(p, codo, muneca, 1.05, 0.85), 0.6);
    // a flared cuff at the wrist
    return UnionSuave(d, DistCono(p, P3(7.45 * lado, 29.6, 1.2), muneca, 0.95, 1.2), 0.3);
}

double DistCorpino(Punto3 p)
{
    double d = DistElipsoide(p, P3(0.0, 41.3, 0.0), P3(4.2, 4.8, 2.6));
    d = UnionSuave(d, DistEsfera(p, P3(1.65, 41.6, 1.35), 1.75), 1.0);
    d = UnionSuave(d, DistEsfera(p, P3(-1.65, 41.6, 1.35), 1.75), 1.0);
    d = UnionSuave(d, DistElipsoide(p, P3(0.0, 35.8, 0.0), P3(3.2, 4.2, 2.3)), 2.0);
    d = UnionSuave(d, DistCono(p, P3(-5.0, 45.0, -0.3), P3(5.0, 45.0, -0.3), 1.45, 1.45), 2.2);
    d = UnionSuave(d, DistManga(p, 1.0), 0.8);
    return UnionSuave(d, DistManga(p, -1.0), 0.8);
}

double DistPiel(Punto3 p)
{
    double d = DistElipsoide(p, P3(0.0, 52.7, 0.2), P3(2.75, 3.55, 3.05));
    d = UnionSuave(d, DistElipsoide(p, P3(0.0, 50.7, 0.75), P3(2.15, 2.3, 2.35)), 1.6);
    d = UnionSuave(d, DistCono(p, P3(0.0, 52.6, 3.05), P3(0.0, 51.4, 3.55), 0.35, 0.45), 0.5);
    return UnionSuave(d, DistCono(p, P3(0.0, 45.5, -0.2), P3(0.0, 50.2, 0.1), 1.3, 1.1), 1.2);
}

double DistPelo(Punto3 p)
{
    double d = DistElipsoide(p, P3(0.0, 53.5, -0.35), P3(3.1, 3.6, 3.3));
    // full at the sides down to the jaw, leaving the face clear in front
    d = UnionSuave(d, DistElipsoide(p, P3(0.0, 51.8, -0.9), P3(3.45, 3.9, 3.2)), 1.0);
    d = UnionSuave(d, DistEsfera(p, P3(0.0, 55.7, -2.7), 1.75), 1.2);   // the bun
    // long hair down the back
    return UnionSuave(d, DistCono(p, P3(0.0, 52.0, -2.0), P3(0.0, 45.0, -2.5), 2.5, 1.7), 1.5);
}

double DistManos(Punto3 p)
{
    double d = DistElipsoide(p, P3(7.75, 26.8, 1.55), P3(0.7, 1.45, 1.05));
    return std::min(d, DistElipsoide(p, P3(-7.75, 26.8, 1.55), P3(0.7, 1.45, 1.05)));
}

void PartesMujer(Punto3 p, double d[kNumPartes])
{
    d[kFalda] = DistFalda(p);
    d[kCorpino] = DistCorpino(p);
    d[kPelo] = DistPelo(p);
    d[kPiel] = DistPiel(p);
    d[kManos] = DistManos(p);
}

// In her own frame. The floor cuts the skirt flat at y = 0.
double CampoMujer(Punto3 p)
{
    double d[kNumPartes];
    PartesMujer(p, d);
    double c = UnionSuave(d[kFalda], d[kCorpino], 1.2);
    c = UnionSuave(c, d[kPiel], 0.9);
    c = UnionSuave(c, d[kPelo], 0.7);
    c = UnionSuave(c, d[kManos], 0.6);
    return std::max(c, -p.y);
}

int ParteDominante(Punto3 p)
{
    double d[kNumPartes];
    PartesMujer(p, d);
    int mejor = 0;
    for (int i = 1; i < kNumPartes; i++)
        if (d[i] < d[mejor]) mejor = i;
    return mejor;
}

double AnguloFrente(double x, double z) { return std::fabs(std::atan2(x, z)) / kPi; }

Punto3 CTexturaMujer(Punto3 p)
{
    double sCuerpo = AnguloFrente(p.x, p.z);
    double sCabeza = AnguloFrente(p.x, p.z - 0.2);
    double hCabeza = Saturar((p.y - kCabezaDesde) / (kCabezaHasta - kCabezaDesde));
    switch (ParteDominante(p)) {
    case kFalda: return P3(sCuerpo, kBandaFaldaFin * Saturar(p.y / kCinturaAlto), 0.0);
    case kCorpino: {
        double t = Saturar((p.y - 29.0) / (47.0 - 29.0));
        return P3(sCuerpo, Mezclar(kBandaFaldaFin + 0.005, kBandaCorpinoFin - 0.005, t), 0.0);
    }
    case kPelo: return P3(sCabeza, Mezclar(kBandaCorpinoFin + 0.005, kBandaPeloFin - 0.005, hCabeza), 0.0);
    case kPiel: return P3(sCabeza, Mezclar(kBandaPeloFin + 0.005, 0.995, hCabeza), 0.0);
    default: return P3(0.92, 0.78, 0.0);   // the hands: plain skin behind the face
    }
}

// The room has no normals of its own and is drawn right after the woman, so
// it is lit with the normal of her last corner. Ending on the corner whose
// normal looks most nearly at the light makes the hall evenly well lit.
double ApartadoDeLaLuz(const Malla *m, int v)
{
    return -Escalar3(m->normales[v], Unitario(P3(1.0, 1.0, 1.0)));
}

}   // namespace

Malla GenerarMujer()
{
    double margen = 2.0 * kPasoMujer;
    Malla m = MallaDeCampo(CampoMujer, P3(-16.0 - margen, -margen, -16.0 - margen),
                           P3(16.0 + margen, 58.5 + margen, 16.0 + margen), kPasoMujer, kCarasMujer);
    for (size_t i = 0; i < m.vertices.size(); i++) {
        Punto3 *v = &m.vertices[i];
        if (v->y < 1e-3)   // the hem stands exactly on the floor
            v->y = 0.0;
        m.ctexturas.push_back(CTexturaMujer(*v));
        *v = Sumar(*v, kPosicionMujer);
    }
    TerminarEnMejorEsquina(&m, ApartadoDeLaLuz);
    return m;
}
