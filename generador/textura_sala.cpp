// textura_sala.cpp - the hall's three procedural textures, 512 x 512.
//
// The room is drawn in mid grey modulated by its texture and lit by an
// ambient term plus one directional light, so the pictures are painted
// somewhat brighter than they should look. Floor, walls and ceiling repeat
// across their surfaces and tile without seams: every pattern here has a
// whole number of periods across the picture, and the noise wraps with it.
// Without mipmaps, fine high-contrast detail shimmers in the distance, so
// joints and grain are kept soft.
#include <algorithm>
#include <cmath>

#include "geometria.h"
#include "texturas.h"

namespace {

const int N = kLadoTextura;

// ------------------------------------------------------------------ floor

// Sixteen oak planks across; along each, boards of half the picture's length
// whose end joints are staggered from plank to plank.
Color PixelSuelo(int x, int y)
{
    const int anchoTabla = N / 16, largoTabla = N / 2;
    int tabla = x / anchoTabla;
    int desfase = (int)(Azar(tabla, 7, 11U) * N);
    int yt = (y + desfase) % N;
    int pieza = tabla * 2 + yt / largoTabla;
    double tono = 0.82 + 0.3 * Azar(pieza, 3, 12U);
    Color base = {0.64 * tono, 0.45 * tono, 0.28 * tono};
    base.r += 0.05 * (Azar(pieza, 5, 13U) - 0.5);
    double u = CentroTexel(x), v = CentroTexel(yt);
    double vetas = RuidoTextura(u, v, 64, 4, 3, 14U + pieza);
    double anillos = 0.5 + 0.5 * std::sin(2.0 * kPi * (u * 48.0 + 5.0 * vetas));
    Color c = EscalarColor(base, 0.86 + 0.16 * anillos);
    c = EscalarColor(c, 0.9 + 0.2 * RuidoTextura(u, v, 8, 8, 4, 15U));
    int xl = x % anchoTabla, yl = yt % largoTabla;
    if (xl == 0 || xl == anchoTabla - 1 || yl == 0)
        c = EscalarColor(c, 0.62);
    else if (xl == 1 || yl == 1)
        c = EscalarColor(c, 0.85);
    return c;
}

// ------------------------------------------------------------------ walls

// Rows of the walls picture: a plinth at the bottom, fourteen courses of
// stone, a darker band under the ceiling. One repeat is the wall's height.
const int kPlinto = 40, kHilada = 32, kHiladas = 14;
const int kCornisa = kPlinto + kHilada * kHiladas;   // 488

struct Piedra {
    int id;          // distinct per stone
    double dx, dy;   // distance in pixels to the nearest joint: left/right, bottom/top
    double arriba;   // 1 near the stone's top edge, -1 near its bottom edge
    double izquierda;
};

// Finds the stone under pixel (x, y) of a course [y0, y0 + alto) whose
// joints lie at `inicio` + k * N / piezas, each moved a little at random.
Piedra PiedraEn(int x, int y, int y0, int alto, int hilada, int piezas, double inicio)
{
    double largo = (double)N / piezas;
    double juntas[17];
    for (int k = 0; k <= piezas; k++) {
        int kk = k % piezas;
        double mueve = (hilada == 6 && (kk == 0 || kk == 1)) ? 0.0 : (Azar(hilada, kk, 21U) - 0.5) * 28.0;
        juntas[k] = inicio + k * largo + mueve;
    }
    double xr = x;
    while (xr < juntas[0]) xr += N;
    while (xr >= juntas[0] + N) xr -= N;
    int k = 0;
    while (k + 1 < piezas && xr >= juntas[k + 1]) k++;
    Piedra p;
    p.id = hilada * 32 + k;
    p.dx = std::min(xr - juntas[k], juntas[k + 1] - xr);
    p.dy = std::min((double)(y - y0), (double)(y0 + alto - 1 - y)) + 0.5;
    p.izquierda = (xr - juntas[k]) < (juntas[k + 1] - xr) ? 1.0 : -1.0;
    p.arriba = (y - y0) > alto / 2 ? 1.0 : -1.0;
    return p;
}

Color ColorPiedra(int id, bool castana)
{
    if (castana) return Color{0.70, 0.40, 0.22};
    // a few rust-brown stones here and there, so the chestnut one does not
    // stand out as a pattern
    if (Azar(id, 3, 26U) < 0.05) return EscalarColor(Color{0.62, 0.45, 0.33}, 0.85 + 0.2 * Azar(id, 4, 27U));
    double tono = 0.85 + 0.25 * Azar(id, 1, 22U);
    double calido = Azar(id, 2, 23U);
    Color gris = {0.66, 0.63, 0.58};
    Color arenisca = {0.74, 0.62, 0.46};
    return EscalarColor(MezclarColor(gris, arenisca, calido * calido), tono);
}

Color PixelParedes(int x, int y)
{
    double u = CentroTexel(x), v = CentroTexel(y);
    double grano = RuidoTextura(u, v, 32, 32, 4, 24U);
    if (y >= kCornisa) {   // the band under the ceiling
        double f = 0.55 + 0.1 * grano + (y == kCornisa || y == kCornisa + 1 ? -0.15 : 0.0) +
                   (y >= N - 6 ? -0.1 : 0.0);
        return Color{0.62 * f, 0.56 * f, 0.48 * f};
    }
    Piedra p;
    bool castana = false;
    if (y < kPlinto) {
        p = PiedraEn(x, y, 0, kPlinto, 99, 4, 40.0);
    } else {
        int h = (y - kPlinto) / kHilada;
        double inicio = h == 6 ? kPiedraCastanaS * N - N / 12.0 : Azar(h, 0, 25U) * N;
        p = PiedraEn(x, y, kPlinto + h * kHilada, kHilada, h, 6, inicio);
        castana = (h == 6 && p.id == 6 * 32 + 0);
    }
    Color c = ColorPiedra(p.id, castana);
    if (y < kPlinto) c = EscalarColor(c, 0.72);
    c = EscalarColor(c, 0.8 + 0.3 * grano);
    // Mortar, then a bevel lit from above along the stone's edges.
    double junta = std::min(p.dx, p.dy);
    if (junta < 1.6) return EscalarColor(Color{0.52, 0.49, 0.45}, 0.75 + 0.25 * grano);
    if (junta < 4.0) {
        double bisel = (p.dy < p.dx) ? 0.14 * p.arriba : 0.06 * p.izquierda;
        c = EscalarColor(c, 1.0 + bisel * (4.0 - junta) / 2.4);
    }
    // A little darker towards the top of the wall.
    return EscalarColor(c, 1.0 - 0.12 * SuaveEscalon(300.0, 488.0, y));
}

// ---------------------------------------------------------------- ceiling

// Two dark beams per repeat (across the hall, along x) with thin joists
// between them and warm plaster in the panels.
Color PixelTecho(int x, int y)
{
    double u = CentroTexel(x), v = CentroTexel(y);
    double manchas = RuidoTextura(u, v, 8, 8, 5, 31U);
    Color yeso = EscalarColor(Color{0.84, 0.78, 0.67}, 0.86 + 0.14 * manchas);
    int yv = y % (N / 2);
    int dViga = std::abs(yv - N / 4);   // the beam's centre line is at N/4
    const int mediaViga = 30;
    if (dViga < mediaViga) {
        double vetas = RuidoTextura(u, v, 4, 64, 3, 32U);
        double anillos = 0.5 + 0.5 * std::sin(2.0 * kPi * (v * 40.0 + 4.0 * vetas));
        Color madera = EscalarColor(Color{0.50, 0.34, 0.21}, 0.8 + 0.2 * anillos);
        if (dViga > mediaViga - 4) madera = EscalarColor(madera, 0.7);
        return madera;
    }
    int xv = x % (N / 4);
    int dVigueta = std::abs(xv - N / 8);
    if (dVigueta < 9) {
        double vetas = RuidoTextura(u, v, 64, 4, 3, 33U);
        Color madera = EscalarColor(Color{0.54, 0.38, 0.24}, 0.85 + 0.15 * vetas);
        return dVigueta > 6 ? EscalarColor(madera, 0.75) : madera;
    }
    // shadow in the plaster next to the woodwork
    double sombra = std::min(dViga - mediaViga, dVigueta - 9);
    if (sombra < 8) yeso = EscalarColor(yeso, 0.8 + 0.2 * sombra / 8.0);
    return yeso;
}

}   // namespace

Lienzo TexturaSuelo() { return PintarLienzo(N, PixelSuelo); }
Lienzo TexturaParedes() { return PintarLienzo(N, PixelParedes); }
Lienzo TexturaTecho() { return PintarLienzo(N, PixelTecho); }
