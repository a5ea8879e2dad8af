// geometria.h - double-precision points and the signed-distance primitives
// the figures are modelled from.
//
// Everything the generator builds is deterministic: the same program writes
// the same bytes on every run (fixed noise seeds, no clock, no threads). All
// geometry is built in double precision and only rounded when it is printed.
//
// World frame (the walkthrough's): +y up, the viewer starts at the origin
// looking along -z with +x to the right, the eye 50 above the floor.
#ifndef TALO_GENERADOR_GEOMETRIA_H
#define TALO_GENERADOR_GEOMETRIA_H

const double kPi = 3.14159265358979323846;

struct Punto3 {
    double x, y, z;
};

Punto3 P3(double x, double y, double z);
Punto3 Sumar(Punto3 a, Punto3 b);
Punto3 Restar(Punto3 a, Punto3 b);
Punto3 Escalar(Punto3 a, double s);
double Escalar3(Punto3 a, Punto3 b);   // dot product
Punto3 Cruz(Punto3 a, Punto3 b);       // cross product a x b
double Longitud(Punto3 a);
Punto3 Unitario(Punto3 a);   // a / |a|, or (0, 0, 0) for a zero vector

double Saturar(double x);                       // clamped to [0, 1]
double Mezclar(double a, double b, double t);   // a + (b - a) t
double SuaveEscalon(double e0, double e1, double x);

// Signed distances (negative inside). The ellipsoid and the round cone are
// close bounds rather than exact distances, which is all a polygoniser needs.
double DistEsfera(Punto3 p, Punto3 centro, double radio);
double DistElipsoide(Punto3 p, Punto3 centro, Punto3 radios);
// A capsule whose radius goes linearly from ra at a to rb at b.
double DistCono(Punto3 p, Punto3 a, Punto3 b, double ra, double rb);
// Smooth minimum: the union of two solids with a fillet about k wide.
double UnionSuave(double a, double b, double k);

#endif
