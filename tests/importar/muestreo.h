// muestreo.h - what the walkthrough's texture unit reads from an image:
// bilinear filtering with repeat wrapping, texel centres at (i + 0.5) / n,
// t = 0 at the bottom row. Images are ImagenRGBA (rows top down).
#ifndef TALO_PRUEBAS_MUESTREO_H
#define TALO_PRUEBAS_MUESTREO_H

#include <cmath>

#include "malla_importada.h"

inline int Envolver(long long a, int n) { return (int)(((a % n) + n) % n); }

// Channel c of texel (i, j), j counted from the bottom row, wrapped.
inline double LeerTexel(const ImagenRGBA &img, long long i, long long j, int c)
{
    const int x = Envolver(i, img.ancho);
    const int y = img.alto - 1 - Envolver(j, img.alto);
    return img.rgba[((size_t)y * img.ancho + x) * 4 + c];
}

// The four channels at (s, t), in levels 0..255.
inline void MuestrearBilineal(const ImagenRGBA &img, double s, double t, double rgba[4])
{
    const double x = s * img.ancho - 0.5, y = t * img.alto - 0.5;
    const double x0 = std::floor(x), y0 = std::floor(y);
    const double fx = x - x0, fy = y - y0;
    const long long i = (long long)x0, j = (long long)y0;
    for (int c = 0; c < 4; ++c)
        rgba[c] = (1 - fx) * (1 - fy) * LeerTexel(img, i, j, c) +
                  fx * (1 - fy) * LeerTexel(img, i + 1, j, c) + (1 - fx) * fy * LeerTexel(img, i, j + 1, c) +
                  fx * fy * LeerTexel(img, i + 1, j + 1, c);
}

#endif
