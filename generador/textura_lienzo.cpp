// textura_lienzo.cpp - pictures in memory, tileable value noise and hashing.
//
// The noise comes from an integer hash of the lattice point and a seed, so it
// is the same on every run and every machine; wrapping the lattice indices
// makes it repeat, which lets a texture built from it tile without seams.
#include <algorithm>
#include <cmath>

#include "geometria.h"
#include "lienzo.h"

Lienzo PintarLienzo(int lado, ColorPixel pixel)
{
    Lienzo l;
    l.ancho = lado;
    l.alto = lado;
    l.rgb.assign((size_t)lado * lado * 3, 0.0f);
    for (int y = 0; y < lado; y++)
        for (int x = 0; x < lado; x++) {
            Color c = pixel(x, y);
            size_t i = ((size_t)y * lado + x) * 3;
            l.rgb[i] = (float)Saturar(c.r);
            l.rgb[i + 1] = (float)Saturar(c.g);
            l.rgb[i + 2] = (float)Saturar(c.b);
        }
    return l;
}

Color MezclarColor(Color a, Color b, double t)
{
    return Color{Mezclar(a.r, b.r, t), Mezclar(a.g, b.g, t), Mezclar(a.b, b.b, t)};
}

Color EscalarColor(Color a, double s) { return Color{a.r * s, a.g * s, a.b * s}; }

namespace {

// A 32-bit integer mixer: every input bit affects every output bit.
unsigned Mezclador(unsigned x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

int Envolver(int i, int periodo) { return ((i % periodo) + periodo) % periodo; }

double Quintica(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

// Value noise in [0, 1] over a lattice of unit cells that repeats every `px`
// cells in x and `py` cells in y.
double RuidoPeriodico(double x, double y, int px, int py, unsigned semilla)
{
    double fx = std::floor(x), fy = std::floor(y);
    int x0 = Envolver((int)fx, px), y0 = Envolver((int)fy, py);
    int x1 = Envolver(x0 + 1, px), y1 = Envolver(y0 + 1, py);
    double tx = Quintica(x - fx), ty = Quintica(y - fy);
    double abajo = Mezclar(Azar(x0, y0, semilla), Azar(x1, y0, semilla), tx);
    double arriba = Mezclar(Azar(x0, y1, semilla), Azar(x1, y1, semilla), tx);
    return Mezclar(abajo, arriba, ty);
}

// Sum of octaves of RuidoPeriodico, normalised to [0, 1]; still periodic with
// the first octave's periods.
double RuidoFractal(double x, double y, int px, int py, int octavas, unsigned semilla)
{
    double suma = 0.0, peso = 1.0, total = 0.0;
    for (int o = 0; o < octavas; o++) {
        suma += peso * RuidoPeriodico(x, y, px, py, semilla + 101U * o);
        total += peso;
        x *= 2.0;
        y *= 2.0;
        px *= 2;
        py *= 2;
        peso *= 0.5;
    }
    return suma / total;
}

}   // namespace

double RuidoTextura(double u, double v, int celdasX, int celdasY, int octavas, unsigned semilla)
{
    return RuidoFractal(u * celdasX, v * celdasY, celdasX, celdasY, octavas, semilla);
}

double Azar(int a, int b, unsigned semilla)
{
    unsigned h = Mezclador((unsigned)a * 0x9E3779B1U ^ Mezclador((unsigned)b ^ (semilla * 0x85EBCA77U)));
    return h / 4294967296.0;
}
