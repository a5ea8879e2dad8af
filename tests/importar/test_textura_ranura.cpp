// The texturing stage on its own: what becomes of a slot's faces and
// report in the cases the scene tests do not reach (a material tiled past
// what cutting allows, a slot of one power-of-two image, a face without a
// known material, an unreadable image).
#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <cstring>
#include <string>
#include <vector>

#include "malla_importada.h"
#include "muestreo.h"

namespace {

void AnadirAlVector(void *contexto, void *datos, int n)
{
    auto *v = static_cast<std::vector<unsigned char> *>(contexto);
    v->insert(v->end(), (unsigned char *)datos, (unsigned char *)datos + n);
}

// A material whose image is PNG bytes embedded in the scene: a 2 x 2
// picture of four colours.
struct Incrustada {
    std::vector<unsigned char> png;
    MaterialImportado m;
};
Incrustada CrearMaterialIncrustado(int lado)
{
    Incrustada r;
    std::vector<unsigned char> px((size_t)lado * lado * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        const int x = (int)(i / 4) % lado, y = (int)(i / 4) / lado;
        px[i] = x < lado / 2 ? 200 : 40;
        px[i + 1] = y < lado / 2 ? 180 : 60;
        px[i + 2] = 100;
        px[i + 3] = 255;
    }
    stbi_write_png_to_func(AnadirAlVector, &r.png, lado, lado, 4, px.data(), lado * 4);
    r.m.nombre = "incrustada";
    r.m.imagen = "*0";
    r.m.por_color = true;
    r.m.color[0] = 0.5f;
    return r;
}

TrianguloImportado CrearCara(float s, float t, int material)
{
    TrianguloImportado c;
    const float p[3][2] = {{0, 0}, {s, 0}, {0, t}};
    for (int i = 0; i < 3; ++i) {
        c.e[i].posicion = {p[i][0], 0, p[i][1]};
        c.e[i].normal = {0, 1, 0};
        c.e[i].textura = {p[i][0], p[i][1], 0};
    }
    c.material = material;
    return c;
}

bool Dice(const InformeTextura &inf, const char *texto)
{
    for (const std::string &a : inf.aproximado)
        if (a.find(texto) != std::string::npos) return true;
    return false;
}

TEST(TexturaRanura, UnaImagenPotenciaDeDosEsLaTextura)
{
    Incrustada a = CrearMaterialIncrustado(8);
    a.m.incrustada = a.png.data(), a.m.bytes_incrustada = a.png.size();
    std::vector<TrianguloImportado> caras = {CrearCara(3.5f, -2.25f, 0)};
    const std::vector<TrianguloImportado> antes = caras;
    InformeTextura inf;
    std::vector<std::string> avisos;
    const ImagenRGBA img = TexturizarRanura(&caras, {a.m}, &inf, &avisos);
    ASSERT_EQ(caras.size(), 1u);
    EXPECT_EQ(0, std::memcmp(&caras[0], &antes[0], sizeof caras[0])) << "coordinates changed";
    EXPECT_EQ(img.ancho, 8);
    EXPECT_EQ(img.alto, 8);
    EXPECT_EQ(img.rgba[0], 100);   // 200 times the colour's 0.5
    EXPECT_EQ(inf.bits, 24);
    EXPECT_TRUE(avisos.empty());
}

TEST(TexturaRanura, DemasiadasRepeticionesDejanElColorMedio)
{
    Incrustada a = CrearMaterialIncrustado(8);
    a.m.incrustada = a.png.data(), a.m.bytes_incrustada = a.png.size();
    MaterialImportado b;
    b.nombre = "otro";
    b.color[1] = 0.25f;
    b.alfa = true;
    // A face tiled 300 x 300, one of another material, one without any.
    std::vector<TrianguloImportado> caras = {CrearCara(300, 300, 0), CrearCara(1, 1, 1), CrearCara(1, 1, 7)};
    InformeTextura inf;
    std::vector<std::string> avisos;
    const ImagenRGBA img = TexturizarRanura(&caras, {a.m, b}, &inf, &avisos);
    ASSERT_EQ(caras.size(), 3u);
    EXPECT_TRUE(Dice(inf, "keeps only its colour"));
    ASSERT_EQ(inf.rectangulos.size(), 3u);
    for (const RectanguloMaterial &r : inf.rectangulos) EXPECT_TRUE(r.solo_color);
    EXPECT_EQ(inf.bits, 32);
    // Every corner of a face at one point; there, the mean of the image
    // times the colour: red (200 + 40) / 2 * 0.5, green (180 + 60) / 2.
    // The grey of faces without a material is 0.7f, a hair under 0.7.
    const float esperado[3][3] = {{60, 120, 100}, {255, 64, 255}, {178, 178, 178}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(caras[i].e[0].textura.x, caras[i].e[1].textura.x);
        EXPECT_EQ(caras[i].e[0].textura.y, caras[i].e[2].textura.y);
        double c[4];
        MuestrearBilineal(img, caras[i].e[0].textura.x, caras[i].e[0].textura.y, c);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(c[k], esperado[i][k], 0.5) << "face " << i;
    }
}

// Two materials that look the same share one rectangle: here the whole
// image, so the faces of both keep their coordinates.
TEST(TexturaRanura, MaterialesIgualesCompartenRecuadro)
{
    Incrustada a = CrearMaterialIncrustado(8);
    a.m.incrustada = a.png.data(), a.m.bytes_incrustada = a.png.size();
    MaterialImportado b = a.m;
    b.nombre = "copia";
    std::vector<TrianguloImportado> caras = {CrearCara(3, 2, 0), CrearCara(-2, 5, 1)};
    const std::vector<TrianguloImportado> antes = caras;
    InformeTextura inf;
    std::vector<std::string> avisos;
    TexturizarRanura(&caras, {a.m, b}, &inf, &avisos);
    ASSERT_EQ(caras.size(), 2u);
    EXPECT_EQ(0, std::memcmp(caras.data(), antes.data(), sizeof caras[0] * 2)) << "coordinates changed";
    ASSERT_EQ(inf.rectangulos.size(), 2u);
    EXPECT_EQ(inf.rectangulos[1].nombre, "copia");
    EXPECT_EQ(inf.rectangulos[0].x, inf.rectangulos[1].x);
    EXPECT_EQ(inf.rectangulos[0].ancho, 8);
}

// 250 faces each tiled 100 x 100 would add some 2.5 million pieces, past
// what a slot may add: that material keeps its colour, the other its image.
TEST(TexturaRanura, LaRanuraAcotaLasPiezas)
{
    Incrustada a = CrearMaterialIncrustado(8), b = CrearMaterialIncrustado(4);
    a.m.incrustada = a.png.data(), a.m.bytes_incrustada = a.png.size();
    b.m.incrustada = b.png.data(), b.m.bytes_incrustada = b.png.size();
    std::vector<TrianguloImportado> caras(250, CrearCara(100, 100, 0));
    caras.push_back(CrearCara(3, 3, 1));
    InformeTextura inf;
    std::vector<std::string> avisos;
    TexturizarRanura(&caras, {a.m, b.m}, &inf, &avisos);
    ASSERT_EQ(inf.rectangulos.size(), 2u);
    EXPECT_TRUE(inf.rectangulos[0].solo_color);
    EXPECT_FALSE(inf.rectangulos[1].solo_color);
    EXPECT_EQ(inf.caras_cortadas, 1);
    EXPECT_EQ(caras.size(), 250u + inf.piezas);
    EXPECT_TRUE(Dice(inf, "keeps only its colour"));
}

TEST(TexturaRanura, ImagenIlegibleAvisaYUsaElColor)
{
    MaterialImportado m;
    m.nombre = "roto";
    m.imagen = "/no/such/dir/ladrillo.png";
    m.color[2] = 0;
    std::vector<TrianguloImportado> caras = {CrearCara(2, 2, 0)};
    InformeTextura inf;
    std::vector<std::string> avisos;
    const ImagenRGBA img = TexturizarRanura(&caras, {m}, &inf, &avisos);
    ASSERT_EQ(avisos.size(), 1u);
    EXPECT_NE(avisos[0].find("ladrillo.png"), std::string::npos);
    EXPECT_EQ(inf.imagen, "colour");
    double c[4];
    MuestrearBilineal(img, caras[0].e[1].textura.x, caras[0].e[1].textura.y, c);
    EXPECT_EQ(c[0], 255);
    EXPECT_EQ(c[2], 0);
}

}   // namespace
