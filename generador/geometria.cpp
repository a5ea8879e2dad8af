// geometria.cpp - double-precision points and the signed-distance
// primitives the figures are modelled from.
#include <algorithm>
#include <cmath>

#include "geometria.h"

Punto3 P3(double x, double y, double z) { return Punto3{x, y, z}; }
Punto3 Sumar(Punto3 a, Punto3 b) { return P3(a.x + b.x, a.y + b.y, a.z + b.z); }
Punto3 Restar(Punto3 a, Punto3 b) { return P3(a.x - b.x, a.y - b.y, a.z - b.z); }
Punto3 Escalar(Punto3 a, double s) { return P3(a.x * s, a.y * s, a.z * s); }
double Escalar3(Punto3 a, Punto3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Punto3 Cruz(Punto3 a, Punto3 b)
{
    return P3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

double Longitud(Punto3 a) { return std::sqrt(Escalar3(a, a)); }

Punto3 Unitario(Punto3 a)
{
    double l = Longitud(a);
    return l > 0.0 ? Escalar(a, 1.0 / l) : P3(0.0, 0.0, 0.0);
}

double Saturar(double x) { return std::min(1.0, std::max(0.0, x)); }
double Mezclar(double a, double b, double t) { return a + (b - a) * t; }

double SuaveEscalon(double e0, double e1, double x)
{
    double t = Saturar((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

double DistEsfera(Punto3 p, Punto3 centro, double radio) { return Longitud(Restar(p, centro)) - radio; }

// Scaling space by the radii turns the ellipsoid into a unit sphere; dividing
// by the gradient of that scaled length turns the result back into a
// distance that is exact on the surface and close near it.
double DistElipsoide(Punto3 p, Punto3 centro, Punto3 radios)
{
    Punto3 q = Restar(p, centro);
    Punto3 q1 = P3(q.x / radios.x, q.y / radios.y, q.z / radios.z);
    Punto3 q2 = P3(q1.x / radios.x, q1.y / radios.y, q1.z / radios.z);
    double k0 = Longitud(q1);
    double k1 = Longitud(q2);
    if (k1 == 0.0) return -std::min(radios.x, std::min(radios.y, radios.z));
    return k0 * (k0 - 1.0) / k1;
}

double DistCono(Punto3 p, Punto3 a, Punto3 b, double ra, double rb)
{
    Punto3 ab = Restar(b, a);
    double l2 = Escalar3(ab, ab);
    double t = l2 > 0.0 ? Saturar(Escalar3(Restar(p, a), ab) / l2) : 0.0;
    Punto3 cercano = Sumar(a, Escalar(ab, t));
    return Longitud(Restar(p, cercano)) - Mezclar(ra, rb, t);
}

// Polynomial smooth minimum: equal to min(a, b) once the two differ by more
// than k, rounded off below that.
double UnionSuave(double a, double b, double k)
{
    if (k <= 0.0) return std::min(a, b);
    double h = std::max(k - std::fabs(a - b), 0.0) / k;
    return std::min(a, b) - h * h * k * 0.25;
}
