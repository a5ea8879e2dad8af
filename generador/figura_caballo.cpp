// figura_caballo.cpp - the horse: barrel, chest and quarters, a tapering neck
// with a mane, the head with ears, four jointed legs with hooves and a tail,
// blended into one smooth surface and polygonised.
//
// Built in its own frame (hooves on y = 0, facing -x, across z) and moved to
// kPosicionCaballo afterwards; about 50 to the withers. The horse has no
// texture coordinates: it is drawn with normals only.
#include <algorithm>
#include <cmath>

#include "figuras.h"
#include "superficie.h"

namespace {

const Punto3 kPosicionCaballo = {78.0, -50.0, -245.0};   // in the world, after the -50 shift

const double kPasoCaballo = 0.5;   // grid step of the polygoniser
const int kCarasCaballo = 7600;    // faces kept after simplifying

double DistTronco(Punto3 p)
{
    double d = DistElipsoide(p, P3(0.0, 35.5, 0.0), P3(17.0, 9.0, 8.0));                 // barrel
    d = UnionSuave(d, DistElipsoide(p, P3(0.0, 31.5, 0.0), P3(13.0, 5.5, 7.2)), 4.0);    // belly
    d = UnionSuave(d, DistElipsoide(p, P3(-13.5, 35.5, 0.0), P3(7.5, 8.5, 6.6)), 4.0);   // chest
    d = UnionSuave(d, DistElipsoide(p, P3(-10.0, 42.5, 0.0), P3(8.0, 6.0, 4.8)), 4.0);   // withers
    d = UnionSuave(d, DistElipsoide(p, P3(13.0, 38.0, 0.0), P3(9.5, 9.0, 7.8)), 4.0);    // croup
    // the quarters, one to each side
    d = UnionSuave(d, DistElipsoide(p, P3(14.0, 33.0, 3.4), P3(7.5, 9.5, 4.2)), 3.0);
    return UnionSuave(d, DistElipsoide(p, P3(14.0, 33.0, -3.4), P3(7.5, 9.5, 4.2)), 3.0);
}

double DistCuelloCabeza(Punto3 p)
{
    // the neck, arched: wide at the withers, narrowing to the throat
    double d = DistCono(p, P3(-11.0, 40.5, 0.0), P3(-18.0, 51.5, 0.0), 7.0, 4.9);
    d = UnionSuave(d, DistCono(p, P3(-18.0, 51.5, 0.0), P3(-23.5, 57.5, 0.0), 4.9, 3.4), 2.0);
    // the head, long and narrow across, tapering to the muzzle
    Punto3 q = P3(p.x, p.y, p.z * 1.3);
    d = UnionSuave(d, DistCono(q, P3(-25.0, 59.0, 0.0), P3(-33.5, 49.8, 0.0), 3.2, 1.9), 2.0);
    d = UnionSuave(d, DistElipsoide(p, P3(-26.3, 56.3, 0.0), P3(3.3, 3.2, 2.7)), 2.0);   // jaw
    d = UnionSuave(d, DistElipsoide(p, P3(-33.9, 49.3, 0.0), P3(2.2, 2.4, 2.0)), 1.2);   // muzzle
    for (double lado = -1.0; lado <= 1.0; lado += 2.0) {
        d = UnionSuave(d, DistEsfera(p, P3(-35.2, 50.4, 1.0 * lado), 0.7), 0.6);   // nostrils
        d = UnionSuave(d, DistCono(p, P3(-24.0, 61.0, 1.5 * lado), P3(-22.8, 66.2, 2.3 * lado), 1.15, 0.15),
                       0.7);   // ears
    }
    // The mane: a ridge standing along the crest of the neck, flattened
    // across, and a forelock between the ears.
    Punto3 m = P3(p.x, p.y, p.z * 2.4);
    d = UnionSuave(d, DistCono(m, P3(-22.0, 61.2, 0.0), P3(-16.0, 55.0, 0.0), 1.6, 2.2), 1.0);
    d = UnionSuave(d, DistCono(m, P3(-16.0, 55.0, 0.0), P3(-8.0, 47.8, 0.0), 2.2, 2.0), 1.0);
    return UnionSuave(d, DistCono(m, P3(-24.8, 61.6, 0.0), P3(-27.5, 58.8, 0.0), 1.3, 0.7), 0.8);
}

// A leg from the body down to the hoof; `rodilla` is the knee (fore) or
// hock (hind), `casco` the hoof's centre on the ground.
double DistPata(Punto3 p, Punto3 arriba, Punto3 rodilla, Punto3 casco, double grosor)
{
    Punto3 menudillo = P3(casco.x + 1.0, 5.0, casco.z);
    double d = DistCono(p, arriba, rodilla, grosor, 1.9);
    d = UnionSuave(d, DistEsfera(p, rodilla, 2.05), 1.0);
    d = UnionSuave(d, DistCono(p, rodilla, menudillo, 1.55, 1.4), 1.0);
    d = UnionSuave(d, DistEsfera(p, menudillo, 1.8), 0.8);
    d = UnionSuave(d, DistCono(p, menudillo, P3(casco.x, 2.0, casco.z), 1.45, 1.55), 0.6);
    return UnionSuave(d, DistCono(p, P3(casco.x, 2.3, casco.z), P3(casco.x - 0.3, 0.0, casco.z), 1.8, 2.25),
                      0.6);
}

double DistPatas(Punto3 p)
{
    double d = 1e9;
    for (double lado = -1.0; lado <= 1.0; lado += 2.0) {
        double z = 4.3 * lado;
        d = std::min(d, DistPata(p, P3(-13.0, 31.0, z), P3(-13.3, 16.0, z), P3(-14.8, 0.0, z), 3.4));
        double trasera = DistCono(p, P3(14.5, 30.0, z), P3(18.0, 17.5, z), 3.8, 2.1);   // gaskin
        d = std::min(d, UnionSuave(trasera,
                                   DistPata(p, P3(18.0, 17.5, z), P3(18.2, 16.5, z), P3(16.6, 0.0, z), 2.1),
                                   1.0));
    }
    return d;
}

double DistCola(Punto3 p)
{
    double d = DistCono(p, P3(21.0, 43.5, 0.0), P3(25.5, 38.5, 0.0), 2.0, 2.6);
    d = UnionSuave(d, DistCono(p, P3(25.5, 38.5, 0.0), P3(27.5, 27.0, 0.0), 2.6, 2.1), 1.0);
    return UnionSuave(d, DistCono(p, P3(27.5, 27.0, 0.0), P3(27.0, 15.0, 0.0), 2.1, 0.9), 1.0);
}

double CampoCaballo(Punto3 p)
{
    double d = UnionSuave(DistTronco(p), DistCuelloCabeza(p), 3.0);
    d = UnionSuave(d, DistPatas(p), 2.5);
    d = UnionSuave(d, DistCola(p), 1.5);
    return std::max(d, -p.y);
}

}   // namespace

Malla GenerarCaballo()
{
    double margen = 2.0 * kPasoCaballo;
    Malla m = MallaDeCampo(CampoCaballo, P3(-40.0 - margen, -margen, -12.0 - margen),
                           P3(32.0 + margen, 67.0 + margen, 12.0 + margen), kPasoCaballo, kCarasCaballo);
    Punto3 enArchivo = Sumar(kPosicionCaballo, P3(0.0, 0.0, 50.0));   // drawn moved by -50 in z
    for (size_t i = 0; i < m.vertices.size(); i++) {
        Punto3 *v = &m.vertices[i];
        if (v->y < 1e-3)   // hooves exactly on the floor
            v->y = 0.0;
        *v = Sumar(*v, enArchivo);
    }
    return m;
}
