// lienzo.h - pictures in memory and the tileable noise the textures are
// painted with.
#ifndef TALO_GENERADOR_LIENZO_H
#define TALO_GENERADOR_LIENZO_H

#include <vector>

// An RGB picture with components in [0, 1]; row 0 is the bottom row.
struct Lienzo {
    int ancho, alto;
    std::vector<float> rgb;   // ancho * alto * 3
};

struct Color {
    double r, g, b;
};

// The colour of pixel (x, y) of a picture being painted.
typedef Color (*ColorPixel)(int x, int y);

// A lado x lado picture with every pixel painted from `pixel`, each
// component clamped to [0, 1].
Lienzo PintarLienzo(int lado, ColorPixel pixel);

Color MezclarColor(Color a, Color b, double t);
Color EscalarColor(Color a, double s);

// Fractal value noise in [0, 1] over a whole square texture: (u, v) in
// [0, 1) maps to `celdasX` by `celdasY` lattice cells, and the lattice wraps
// there, so the noise tiles with the texture. Each octave has twice the
// frequency and half the weight of the one before. Different seeds give
// unrelated noise.
double RuidoTextura(double u, double v, int celdasX, int celdasY, int octavas, unsigned semilla);
// A hash of integers to [0, 1), for per-board and per-stone variation.
double Azar(int a, int b, unsigned semilla);

#endif
