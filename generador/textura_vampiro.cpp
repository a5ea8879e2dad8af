// textura_vampiro.cpp - the woman's texture atlas, 512 x 512: one band in t
// for each part of her (figura_mujer.cpp maps her vertices onto the bands),
// s the angle from the front.
#include <algorithm>
#include <cmath>

#include "geometria.h"
#include "texturas.h"

namespace {

const int N = kLadoTextura;

// Where on the head a texel of the skin or hair band lands: the angle from
// the front (radians) and the height above the floor.
void PosicionCabeza(double s, double t, double desde, double hasta, double *angulo, double *altura)
{
    double h = Saturar((t - desde - 0.005) / (hasta - desde - 0.01));
    *angulo = s * kPi;
    *altura = kCabezaDesde + h * (kCabezaHasta - kCabezaDesde);
}

// An ellipse test: < 1 inside.
double Elipse(double a, double a0, double ra, double h, double h0, double rh)
{
    double da = (a - a0) / ra, dh = (h - h0) / rh;
    return da * da + dh * dh;
}

Color PixelPiel(double s, double t)
{
    double a, h;
    PosicionCabeza(s, t, kBandaPeloFin, 1.0, &a, &h);
    Color piel = {1.0, 0.87, 0.80};
    piel = EscalarColor(piel, 0.95 + 0.05 * RuidoTextura(s, t, 16, 16, 2, 41U));
    // faint blush on the cheeks and shade under the jaw
    double rubor = Elipse(a, 0.62, 0.25, h, 51.4, 0.7);
    if (rubor < 1.0) piel = MezclarColor(piel, Color{0.93, 0.66, 0.66}, 0.35 * (1.0 - rubor));
    if (h < 48.6) piel = EscalarColor(piel, 0.9);
    // lips
    double labios = Elipse(a, 0.0, 0.24, h, 50.25, 0.32);
    if (labios < 1.0) {
        Color rojo = {0.62, 0.04, 0.10};
        if (std::fabs(h - 50.25) < 0.05) rojo = EscalarColor(rojo, 0.6);
        return MezclarColor(piel, rojo, Saturar((1.0 - labios) * 4.0));
    }
    // eyes: smoky lids, white, a red iris with a dark pupil, and brows
    double ojo = Elipse(a, 0.40, 0.16, h, 52.55, 0.26);
    double sombraOjo = Elipse(a, 0.40, 0.27, h, 52.75, 0.55);
    if (ojo < 1.0) {
        double iris = Elipse(a, 0.40, 0.065, h, 52.55, 0.22);
        if (iris < 0.35) return Color{0.08, 0.02, 0.02};
        if (iris < 1.0) return Color{0.75, 0.08, 0.06};
        if (ojo > 0.7 && h > 52.55) return Color{0.1, 0.06, 0.06};   // lashes along the upper lid
        return Color{0.95, 0.93, 0.9};
    }
    if (sombraOjo < 1.0) piel = MezclarColor(piel, Color{0.45, 0.3, 0.38}, 0.55 * (1.0 - sombraOjo));
    double ceja = Elipse(a, 0.42, 0.22, h, 53.45 - 0.5 * (a - 0.42) * (a - 0.42), 0.1);
    if (ceja < 1.0) return MezclarColor(piel, Color{0.12, 0.08, 0.07}, 0.9);
    return piel;
}

Color PixelPelo(double s, double t)
{
    double mechones = RuidoTextura(s, t, 96, 6, 3, 42U);
    double brillo = RuidoTextura(s, t, 8, 4, 2, 43U);
    Color c = {0.13, 0.085, 0.075};
    c = EscalarColor(c, 0.65 + 0.7 * mechones);
    if (brillo > 0.62) c = MezclarColor(c, Color{0.32, 0.24, 0.22}, (brillo - 0.62) * 1.5);
    return c;
}

Color PixelCorpino(double s, double t)
{
    double terciopelo = RuidoTextura(s, t, 32, 16, 3, 44U);
    Color negro = EscalarColor(Color{0.10, 0.075, 0.09}, 0.75 + 0.5 * terciopelo);
    double desde = kBandaFaldaFin, hasta = kBandaCorpinoFin;
    double h = (t - desde) / (hasta - desde);   // 0 at the waist, 1 at the neckline
    Color granate = {0.55, 0.05, 0.09};
    if (h < 0.08)   // the waist sash
        return EscalarColor(granate, 0.8 + 0.3 * terciopelo);
    if (h > 0.93) {   // lace along the neckline
        double festones = 0.5 + 0.5 * std::cos(s * kPi * 60.0);
        return MezclarColor(negro, granate, festones > 0.5 ? 0.8 : 0.3);
    }
    if (s < 0.045) {   // crossed lacing down the front
        double cruz = std::fabs(std::fmod(h * 14.0 + s * 22.0, 1.0) - 0.5) < 0.12 ||
                              std::fabs(std::fmod(h * 14.0 - s * 22.0 + 10.0, 1.0) - 0.5) < 0.12
                          ? 1.0
                          : 0.0;
        return MezclarColor(negro, granate, cruz * 0.9);
    }
    return negro;
}

Color PixelFalda(double s, double t)
{
    double h = t / kBandaFaldaFin;   // 0 at the hem, 1 at the waist
    double terciopelo = RuidoTextura(s, t, 48, 12, 3, 45U);
    double pliegue = 0.5 + 0.5 * std::cos(10.0 * kPi * s);   // 1 on a fold's crest
    Color rojo = EscalarColor(Color{0.66, 0.06, 0.10}, 0.7 + 0.2 * pliegue + 0.2 * terciopelo);
    Color negro = EscalarColor(Color{0.09, 0.06, 0.07}, 0.8 + 0.4 * terciopelo);
    if (h < 0.06)   // black hem
        return negro;
    if (h < 0.085)   // a thin dark-gold line above it
        return EscalarColor(Color{0.55, 0.4, 0.16}, 0.8 + 0.3 * terciopelo);
    double panel = 0.085 + 0.04 * (1.0 - h);
    if (s < panel) {   // black front panel with a lattice of thin red lines
        double a = s / panel * 2.0, b = h * 14.0;
        double l1 = std::fabs(std::fmod(a + b, 1.0) - 0.5),
               l2 = std::fabs(std::fmod(b - a + 20.0, 1.0) - 0.5);
        if (s > panel - 0.006)
            return EscalarColor(Color{0.55, 0.4, 0.16}, 0.8 + 0.3 * terciopelo);   // gold edge
        return std::min(l1, l2) < 0.06 ? EscalarColor(rojo, 0.75) : negro;
    }
    return rojo;
}

Color PixelVampiro(int x, int y)
{
    double s = CentroTexel(x), t = CentroTexel(y);
    if (t < kBandaFaldaFin) return PixelFalda(s, t);
    if (t < kBandaCorpinoFin) return PixelCorpino(s, t);
    if (t < kBandaPeloFin) return PixelPelo(s, t);
    return PixelPiel(s, t);
}

}   // namespace

Lienzo TexturaVampiro() { return PintarLienzo(N, PixelVampiro); }
