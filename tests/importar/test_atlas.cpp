// Tests of the atlas: the plan (sizes, places, atlas sides) over a table of
// slots, the sharing of space when images must shrink, and the drawn atlas
// sampled as the walkthrough samples it against the source images sampled
// with repeat wrapping.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "atlas.h"
#include "muestreo.h"

namespace {

ImagenRGBA CrearRuido(int ancho, int alto, unsigned semilla)
{
    std::mt19937 azar(semilla);
    ImagenRGBA img;
    img.ancho = ancho;
    img.alto = alto;
    img.rgba.resize((size_t)ancho * alto * 4);
    for (unsigned char &c : img.rgba) c = (unsigned char)(azar() & 255);
    return img;
}

// Smooth and periodic, so shrinking it loses little.
ImagenRGBA CrearSuave(int ancho, int alto)
{
    ImagenRGBA img;
    img.ancho = ancho;
    img.alto = alto;
    img.rgba.resize((size_t)ancho * alto * 4);
    const double dos_pi = 6.283185307179586;
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x) {
            unsigned char *p = &img.rgba[((size_t)y * ancho + x) * 4];
            p[0] = (unsigned char)std::lround(128 + 100 * std::sin(dos_pi * x / ancho));
            p[1] = (unsigned char)std::lround(128 + 100 * std::cos(dos_pi * y / alto));
            p[2] = (unsigned char)std::lround(128 +
                                              60 * std::sin(dos_pi * ((double)x / ancho + (double)y / alto)));
            p[3] = 255;
        }
    return img;
}

// Only the sides matter to the plan.
ImagenRGBA CrearLados(int ancho, int alto)
{
    ImagenRGBA img;
    img.ancho = ancho;
    img.alto = alto;
    return img;
}

ImagenRGBA ComponerAtlas(const std::vector<RecuadroAtlas> &r, int ancho, int alto)
{
    ImagenRGBA atlas = CrearAtlasVacio(ancho, alto);
    for (const RecuadroAtlas &x : r) DibujarRecuadro(x, &atlas);
    return atlas;
}

bool EsPotenciaDeDos(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Rectangles, borders included, inside the atlas and apart; images keep
// their proportions and are never enlarged.
void ComprobarPlan(const std::vector<RecuadroAtlas> &r, int ancho, int alto, const char *nombre)
{
    EXPECT_TRUE(EsPotenciaDeDos(ancho) && EsPotenciaDeDos(alto)) << nombre;
    EXPECT_LE(ancho, kLadoMaxAtlas);
    EXPECT_LE(alto, kLadoMaxAtlas);
    const int b = EsUnico(r, ancho, alto) ? 0 : kBordeAtlas;
    for (size_t i = 0; i < r.size(); ++i) {
        const RecuadroAtlas &x = r[i];
        EXPECT_GE(x.x - b, 0) << nombre;
        EXPECT_GE(x.y - b, 0) << nombre;
        EXPECT_LE(x.x + x.ancho + b, ancho) << nombre;
        EXPECT_LE(x.y + x.alto + b, alto) << nombre;
        if (x.imagen) {
            EXPECT_LE(x.ancho, x.imagen->ancho) << nombre;
            EXPECT_NEAR((double)x.ancho / x.imagen->ancho, (double)x.alto / x.imagen->alto,
                        1.0 / std::min(x.ancho, x.alto) + 1e-9)
                << nombre;
            EXPECT_FLOAT_EQ(x.escala, (float)x.ancho / x.imagen->ancho) << nombre;
        } else {
            EXPECT_EQ(x.ancho, kLadoTesela) << nombre;
        }
        for (size_t j = 0; j < i; ++j) {
            const RecuadroAtlas &y = r[j];
            const bool aparte = x.x + x.ancho + b <= y.x - b || y.x + y.ancho + b <= x.x - b ||
                                x.y + x.alto + b <= y.y - b || y.y + y.alto + b <= x.y - b;
            EXPECT_TRUE(aparte) << nombre << ": rectangles " << j << " and " << i << " overlap";
        }
    }
}

struct CasoPlan {
    const char *nombre;
    std::vector<std::pair<int, int>> imagenes;   // sides; 0 x 0: a colour-only material
    int ancho, alto;                             // the atlas expected
    bool unico;
};

TEST(Atlas, PlanTabla)
{
    const CasoPlan casos[] = {
        {"one power-of-two image is the atlas", {{256, 128}}, 256, 128, true},
        {"one image too large: halved", {{8192, 4096}}, 4096, 2048, true},
        {"one image not a power of two: kept, bordered", {{1000, 600}}, 1024, 1024, false},
        {"colour only", {{0, 0}}, 8, 8, false},
        // With its border the 512 square is 516 on a side: no side of 512
        // holds it, and 1024 x 1024 holds all three.
        {"two images and a colour", {{512, 512}, {256, 256}, {0, 0}}, 1024, 1024, false},
        {"a 4096 square and a tile: shrink to fit", {{4096, 4096}, {0, 0}}, 4096, 4096, false},
    };
    for (const CasoPlan &c : casos) {
        std::vector<ImagenRGBA> imgs;
        for (auto l : c.imagenes) imgs.push_back(CrearLados(l.first, l.second));
        std::vector<RecuadroAtlas> r(imgs.size());
        for (size_t i = 0; i < imgs.size(); ++i) {
            if (imgs[i].ancho) r[i].imagen = &imgs[i];
            r[i].repeticiones = 1;
        }
        int ancho = 0, alto = 0;
        ASSERT_TRUE(PlanearAtlas(&r, &ancho, &alto)) << c.nombre;
        EXPECT_EQ(ancho, c.ancho) << c.nombre;
        EXPECT_EQ(alto, c.alto) << c.nombre;
        EXPECT_EQ(EsUnico(r, ancho, alto), c.unico) << c.nombre;
        ComprobarPlan(r, ancho, alto, c.nombre);
        const bool encoge = c.ancho == kLadoMaxAtlas && !c.unico;
        for (const RecuadroAtlas &x : r)
            if (x.imagen && x.imagen->ancho <= kLadoMaxAtlas) {
                EXPECT_EQ(x.escala < 1, encoge) << c.nombre;
            }
    }
}

// Six 2048 x 2048 images cannot all keep their size. The one tiled a
// hundred times keeps it; the others shrink with the area they cover.
TEST(Atlas, EspacioSegunSuperficie)
{
    const double rep[6] = {1, 1, 1, 1, 2, 100};
    std::vector<ImagenRGBA> imgs(6, CrearLados(2048, 2048));
    std::vector<RecuadroAtlas> r(6);
    for (int i = 0; i < 6; ++i) {
        r[i].imagen = &imgs[i];
        r[i].repeticiones = rep[i];
    }
    int ancho, alto;
    ASSERT_TRUE(PlanearAtlas(&r, &ancho, &alto));
    ComprobarPlan(r, ancho, alto, "six large images");
    EXPECT_EQ(ancho, kLadoMaxAtlas);
    EXPECT_EQ(alto, kLadoMaxAtlas);
    EXPECT_EQ(r[5].escala, 1);
    EXPECT_LT(r[0].escala, 1);
    const double a1 = (double)r[0].ancho * r[0].alto, a2 = (double)r[4].ancho * r[4].alto;
    EXPECT_NEAR(a2 / a1, 2, 0.05);
    // Shrunk no more than packing needs: the rectangles fill most of it.
    double usado = 0;
    for (const RecuadroAtlas &x : r) usado += (double)x.ancho * x.alto;
    EXPECT_GT(usado, 0.6 * ancho * alto);
}

// The atlas sampled where a point of one repeat maps, against the source
// image sampled with repeat wrapping at the point's source coordinate,
// times the colour where the material says so. Points include repeat edges.
double MedirPeorDiferencia(const RecuadroAtlas &r, const ImagenRGBA &fuente, const ImagenRGBA &atlas, int n)
{
    std::mt19937 azar(99);
    std::uniform_real_distribution<double> u(-3, 3);
    double peor = 0;
    for (int i = 0; i < n; ++i) {
        double s = u(azar), t = u(azar);
        if (i % 10 == 0) s = std::floor(s);
        if (i % 10 == 1) t = std::floor(t);
        // The repeat cell a piece would sit in; an edge point belongs to
        // both its cells, so either side is tried.
        const double cs = std::floor(s) - (i % 20 == 0 ? 1 : 0), ct = std::floor(t) - (i % 20 == 1 ? 1 : 0);
        double a[4], f[4];
        const Vector c = MapearEnAtlas(r, atlas.ancho, atlas.alto, s - cs, t - ct);
        MuestrearBilineal(atlas, c.x, c.y, a);
        MuestrearBilineal(fuente, s, t, f);
        for (int k = 0; k < 3; ++k) {
            const double esperado = r.por_color ? f[k] * r.color[k] : f[k];
            peor = std::max(peor, std::fabs(a[k] - esperado));
        }
    }
    return peor;
}

TEST(Atlas, ComoLaFuenteConRepeticion)
{
    const ImagenRGBA a = CrearRuido(64, 32, 1), b = CrearRuido(16, 16, 2), c = CrearRuido(1000, 3, 3);
    std::vector<RecuadroAtlas> r(4);
    r[0].imagen = &a;
    r[0].por_color = true;
    r[0].color[0] = 0.5f;
    r[0].color[2] = 0.25f;
    r[1].imagen = &b;
    r[2].imagen = &c;
    r[3].color[0] = 0.2f;
    r[3].color[1] = 0.4f;
    r[3].color[2] = 0.6f;
    for (RecuadroAtlas &x : r) x.repeticiones = 1;
    int ancho, alto;
    ASSERT_TRUE(PlanearAtlas(&r, &ancho, &alto));
    const ImagenRGBA atlas = ComponerAtlas(r, ancho, alto);
    // Kept at their size: the same samples, up to the rounding of the
    // colour product (half a level per texel) and of float coordinates in
    // a 2048-texel atlas (a ten-thousandth of a texel, on noise).
    EXPECT_LE(MedirPeorDiferencia(r[0], a, atlas, 4000), 0.5 + 0.05);
    EXPECT_LE(MedirPeorDiferencia(r[1], b, atlas, 4000), 0.05);
    EXPECT_LE(MedirPeorDiferencia(r[2], c, atlas, 4000), 0.05);
    // The tile, wherever a face's corners are mapped in it.
    double m[4];
    const Vector centro = MapearEnAtlas(r[3], ancho, alto, 0.5, 0.5);
    MuestrearBilineal(atlas, centro.x, centro.y, m);
    EXPECT_EQ(m[0], 51);
    EXPECT_EQ(m[1], 102);
    EXPECT_EQ(m[2], 153);
    EXPECT_EQ(m[3], 255);
}

TEST(Atlas, EscaladaComoLaFuenteSuavizada)
{
    const ImagenRGBA img = CrearSuave(256, 128);
    std::vector<RecuadroAtlas> r(1);
    r[0].imagen = &img;
    r[0].x = r[0].y = kBordeAtlas;
    r[0].ancho = 64;
    r[0].alto = 32;
    const ImagenRGBA atlas = ComponerAtlas(r, 128, 64);
    EXPECT_LE(MedirPeorDiferencia(r[0], img, atlas, 4000), 3);
}

TEST(Atlas, Alfa)
{
    ImagenRGBA img = CrearRuido(8, 8, 5);
    std::vector<RecuadroAtlas> r(2);
    r[0].imagen = r[1].imagen = &img;
    r[0].alfa = true;
    r[0].color[3] = 0.5f;
    r[1].color[3] = 0.5f;   // opacity without alfa: not kept
    int ancho, alto;
    ASSERT_TRUE(PlanearAtlas(&r, &ancho, &alto));
    const ImagenRGBA atlas = ComponerAtlas(r, ancho, alto);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int fuente = img.rgba[(y * 8 + x) * 4 + 3];
            EXPECT_EQ(atlas.rgba[((size_t)(r[0].y + y) * ancho + r[0].x + x) * 4 + 3],
                      (int)std::floor(fuente * 0.5 + 0.5));
            EXPECT_EQ(atlas.rgba[((size_t)(r[1].y + y) * ancho + r[1].x + x) * 4 + 3], 255);
        }
}

}   // namespace
