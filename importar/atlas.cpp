// atlas.cpp - sizing, packing and drawing the atlas (see atlas.h).
//
// Packing is stb_rect_pack's skyline packer; scaling is stb_image_resize.
#include "atlas.h"

#include <stb_image_resize.h>
#include <stb_rect_pack.h>

#include <algorithm>
#include <cmath>

namespace {

bool EsPotenciaDeDos(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The rectangle sides for the factor k (atlas.h): area k x need, capped by
// the image's own size; k <= 0 stands for "no cap from k".
void CalcularLados(const RecuadroAtlas &r, double k, int *ancho, int *alto)
{
    if (!r.imagen) {
        *ancho = *alto = kLadoTesela;
        return;
    }
    double f = 1;
    if (k > 0) f = std::min(1.0, std::sqrt(k * std::max(r.repeticiones, 1e-12)));
    *ancho = std::max(1, (int)std::lround(r.imagen->ancho * f));
    *alto = std::max(1, (int)std::lround(r.imagen->alto * f));
}

// Packs rectangles of the given sides, each with its border, into an atlas
// of ancho x alto; their places go to `sitio`. False if they do not fit.
bool Empaquetar(const std::vector<int> &anchos, const std::vector<int> &altos, int ancho, int alto,
                std::vector<stbrp_rect> *sitio)
{
    const int n = (int)anchos.size();
    sitio->assign(n, stbrp_rect{});
    for (int i = 0; i < n; ++i) {
        if (anchos[i] + 2 * kBordeAtlas > ancho || altos[i] + 2 * kBordeAtlas > alto) return false;
        (*sitio)[i].id = i;
        (*sitio)[i].w = anchos[i] + 2 * kBordeAtlas;
        (*sitio)[i].h = altos[i] + 2 * kBordeAtlas;
    }
    std::vector<stbrp_node> nodos(ancho);
    stbrp_context ctx;
    stbrp_init_target(&ctx, ancho, alto, nodos.data(), ancho);
    return stbrp_pack_rects(&ctx, sitio->data(), n) == 1;
}

// The sides of every rectangle for the factor k.
void CalcularTodosLosLados(const std::vector<RecuadroAtlas> &r, double k, std::vector<int> *anchos,
                           std::vector<int> *altos)
{
    anchos->resize(r.size());
    altos->resize(r.size());
    for (size_t i = 0; i < r.size(); ++i) CalcularLados(r[i], k, &(*anchos)[i], &(*altos)[i]);
}

bool CabeEnMaximo(const std::vector<RecuadroAtlas> &r, double k)
{
    std::vector<int> an, al;
    std::vector<stbrp_rect> sitio;
    CalcularTodosLosLados(r, k, &an, &al);
    return Empaquetar(an, al, kLadoMaxAtlas, kLadoMaxAtlas, &sitio);
}

// The largest k (to a few parts in a thousand) at which everything packs
// into the largest atlas; 0 when nothing needs to shrink, -1 when even the
// smallest rectangles do not fit.
double BuscarFactor(const std::vector<RecuadroAtlas> &r)
{
    if (CabeEnMaximo(r, 0)) return 0;
    // Below kmin every image is one pixel; above kmax none is shrunk.
    double kmax = 0, kmin = 1e300;
    for (const RecuadroAtlas &x : r) {
        if (!x.imagen) continue;
        const double rep = std::max(x.repeticiones, 1e-12);
        const double lado = std::max(x.imagen->ancho, x.imagen->alto);
        kmax = std::max(kmax, 1 / rep);
        kmin = std::min(kmin, 1 / (rep * lado * lado));
    }
    kmin /= 4;
    if (!CabeEnMaximo(r, kmin)) return -1;
    double lo = std::log(kmin), hi = std::log(kmax);
    while (hi - lo > 1e-3) {
        const double m = 0.5 * (lo + hi);
        if (CabeEnMaximo(r, std::exp(m)))
            lo = m;
        else
            hi = m;
    }
    return std::exp(lo);
}

// Writes the places into the records, border excluded.
void Colocar(std::vector<RecuadroAtlas> *r, const std::vector<int> &an, const std::vector<int> &al,
             const std::vector<stbrp_rect> &sitio)
{
    for (size_t i = 0; i < r->size(); ++i) {
        RecuadroAtlas &x = (*r)[i];
        x.x = sitio[i].x + kBordeAtlas;
        x.y = sitio[i].y + kBordeAtlas;
        x.ancho = an[i];
        x.alto = al[i];
        x.escala = x.imagen ? (float)an[i] / (float)x.imagen->ancho : 1;
    }
}

// One material with a power-of-two image: the image is the atlas.
bool PlanearUnico(std::vector<RecuadroAtlas> *r, int *ancho, int *alto)
{
    if (r->size() != 1 || !(*r)[0].imagen) return false;
    RecuadroAtlas &x = (*r)[0];
    const int w = x.imagen->ancho, h = x.imagen->alto;
    if (!EsPotenciaDeDos(w) || !EsPotenciaDeDos(h)) return false;
    int d = 1;
    while (std::max(w, h) / d > kLadoMaxAtlas) d *= 2;
    x.x = x.y = 0;
    x.ancho = *ancho = std::max(1, w / d);
    x.alto = *alto = std::max(1, h / d);
    x.escala = (float)x.ancho / (float)w;
    return true;
}

}   // namespace

bool PlanearAtlas(std::vector<RecuadroAtlas> *r, int *ancho, int *alto)
{
    if (PlanearUnico(r, ancho, alto)) return true;
    const double k = BuscarFactor(*r);
    if (k < 0) return false;
    std::vector<int> an, al;
    CalcularTodosLosLados(*r, k, &an, &al);
    double area = 0;
    int mayor_an = 1, mayor_al = 1;
    for (size_t i = 0; i < an.size(); ++i) {
        area += (double)(an[i] + 2 * kBordeAtlas) * (al[i] + 2 * kBordeAtlas);
        mayor_an = std::max(mayor_an, an[i] + 2 * kBordeAtlas);
        mayor_al = std::max(mayor_al, al[i] + 2 * kBordeAtlas);
    }
    // Power-of-two sides by increasing area, the squarer first.
    std::vector<std::pair<int, int>> lados;
    for (int w = 1; w <= kLadoMaxAtlas; w *= 2)
        for (int h = 1; h <= kLadoMaxAtlas; h *= 2)
            if (w >= mayor_an && h >= mayor_al && (double)w * h >= area) lados.push_back({w, h});
    std::sort(lados.begin(), lados.end(), [](std::pair<int, int> a, std::pair<int, int> b) {
        const double aa = (double)a.first * a.second, ab = (double)b.first * b.second;
        if (aa != ab) return aa < ab;
        const int da = std::abs(a.first - a.second), db = std::abs(b.first - b.second);
        if (da != db) return da < db;
        return a.first > b.first;
    });
    std::vector<stbrp_rect> sitio;
    for (const std::pair<int, int> &l : lados) {
        if (!Empaquetar(an, al, l.first, l.second, &sitio)) continue;
        Colocar(r, an, al, sitio);
        *ancho = l.first;
        *alto = l.second;
        return true;
    }
    return false;
}

bool EsUnico(const std::vector<RecuadroAtlas> &r, int ancho, int alto)
{
    return r.size() == 1 && r[0].imagen && r[0].x == 0 && r[0].y == 0 && r[0].ancho == ancho &&
           r[0].alto == alto;
}

namespace {

unsigned char ConvertirCanal(double v)
{
    const double x = std::floor(v * 255 + 0.5);
    return (unsigned char)(x < 0 ? 0 : x > 255 ? 255 : x);
}

unsigned char MultiplicarCanal(unsigned char p, float f)
{
    const double x = std::floor(p * (double)f + 0.5);
    return (unsigned char)(x < 0 ? 0 : x > 255 ? 255 : x);
}

// One repeat of the material at the rectangle's size, RGBA, rows top down.
std::vector<unsigned char> DibujarContenido(const RecuadroAtlas &r)
{
    const size_t n = (size_t)r.ancho * r.alto;
    std::vector<unsigned char> px(n * 4);
    if (!r.imagen) {
        const unsigned char c[4] = {ConvertirCanal(r.color[0]), ConvertirCanal(r.color[1]),
                                    ConvertirCanal(r.color[2]),
                                    r.alfa ? ConvertirCanal(r.color[3]) : (unsigned char)255};
        for (size_t i = 0; i < n; ++i) std::copy(c, c + 4, &px[i * 4]);
        return px;
    }
    const ImagenRGBA &img = *r.imagen;
    if (img.ancho == r.ancho && img.alto == r.alto) {
        std::copy(img.rgba.begin(), img.rgba.begin() + n * 4, px.begin());
    } else {
        // Alpha weights the filter only where it will be kept.
        stbir_resize_uint8_generic(img.rgba.data(), img.ancho, img.alto, 0, px.data(), r.ancho, r.alto, 0, 4,
                                   r.alfa ? 3 : STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_WRAP,
                                   STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_LINEAR, nullptr);
    }
    for (size_t i = 0; i < n; ++i) {
        unsigned char *p = &px[i * 4];
        if (r.por_color)
            for (int c = 0; c < 3; ++c) p[c] = MultiplicarCanal(p[c], r.color[c]);
        p[3] = r.alfa ? MultiplicarCanal(p[3], r.color[3]) : 255;
    }
    return px;
}

int Envolver(int a, int n) { return ((a % n) + n) % n; }

}   // namespace

ImagenRGBA CrearAtlasVacio(int ancho, int alto)
{
    ImagenRGBA atlas;
    atlas.ancho = ancho;
    atlas.alto = alto;
    atlas.rgba.assign((size_t)ancho * alto * 4, 0);
    for (size_t i = 3; i < atlas.rgba.size(); i += 4) atlas.rgba[i] = 255;
    return atlas;
}

void DibujarRecuadro(const RecuadroAtlas &r, ImagenRGBA *atlas)
{
    const std::vector<unsigned char> px = DibujarContenido(r);
    // The border repeats the rectangle's opposite side; the whole-atlas
    // rectangle has none (the texture's own wrapping does it).
    const int b = (r.ancho == atlas->ancho && r.alto == atlas->alto) ? 0 : kBordeAtlas;
    for (int y = -b; y < r.alto + b; ++y) {
        const unsigned char *fila = &px[(size_t)Envolver(y, r.alto) * r.ancho * 4];
        unsigned char *destino = &atlas->rgba[((size_t)(r.y + y) * atlas->ancho + r.x) * 4];
        for (int x = -b; x < r.ancho + b; ++x)
            std::copy(fila + Envolver(x, r.ancho) * 4, fila + Envolver(x, r.ancho) * 4 + 4,
                      destino + (ptrdiff_t)x * 4);
    }
}

Vector MapearEnAtlas(const RecuadroAtlas &r, int ancho, int alto, double s, double t)
{
    s = std::min(1.0, std::max(0.0, s));
    t = std::min(1.0, std::max(0.0, t));
    return {(float)((r.x + s * r.ancho) / ancho), (float)((alto - r.y - r.alto + t * r.alto) / alto), 0};
}

void CalcularColorMedio(const ImagenRGBA &img, float color[4])
{
    double suma[4] = {0, 0, 0, 0};
    const size_t n = (size_t)img.ancho * img.alto;
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 4; ++c) suma[c] += img.rgba[i * 4 + c];
    for (int c = 0; c < 4; ++c) color[c] = n ? (float)(suma[c] / n / 255) : 1;
}
