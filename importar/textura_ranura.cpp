// textura_ranura.cpp - one image for a textured slot: the base-colour image
// of its largest material (by area), or that material's colour as a small
// solid image, scaled to sides that are powers of two of at most
// kLadoTextura, as OpenGL 1.1 wants. Texture coordinates are left as the
// source gives them, in repeats of the image: the walkthrough's repeat
// wrapping tiles them.
#include <stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "malla_importada.h"

namespace {

const int kLadoTextura = 4096;
const int kLadoColor = 8;

double MedirArea(const TrianguloImportado &t)
{
    const Vector &a = t.e[0].posicion, &b = t.e[1].posicion, &c = t.e[2].posicion;
    double u[3] = {(double)b.x - a.x, (double)b.y - a.y, (double)b.z - a.z};
    double v[3] = {(double)c.x - a.x, (double)c.y - a.y, (double)c.z - a.z};
    double x = u[1] * v[2] - u[2] * v[1], y = u[2] * v[0] - u[0] * v[2], z = u[0] * v[1] - u[1] * v[0];
    return std::sqrt(x * x + y * y + z * z) / 2;
}

int RedondearAPotenciaDeDos(int n)
{
    int p = 1;
    while (p < n && p < kLadoTextura) p *= 2;
    return p;
}

unsigned char CuantizarByte(float x)
{
    return (unsigned char)std::lround(std::clamp(x, 0.0f, 1.0f) * 255);
}

ImagenRGBA PintarSolida(const float color[4])
{
    ImagenRGBA img;
    img.ancho = img.alto = kLadoColor;
    for (int i = 0; i < kLadoColor * kLadoColor; i++)
        for (int c = 0; c < 4; c++) img.rgba.push_back(CuantizarByte(c < 3 ? color[c] : 1.0f));
    return img;
}

}  // namespace

ImagenRGBA TexturizarRanura(std::vector<TrianguloImportado> *caras,
                            const std::vector<MaterialImportado> &materiales,
                            InformeTextura *informe, std::vector<std::string> *avisos)
{
    std::map<int, double> area;
    for (const TrianguloImportado &t : *caras) area[t.material] += MedirArea(t);
    int elegido = -1;
    double mayor = -1;
    for (const auto &[m, a] : area)
        if (a > mayor && m >= 0 && m < (int)materiales.size()) mayor = a, elegido = m;
    static const float gris[4] = {0.7f, 0.7f, 0.7f, 1};
    const MaterialImportado *mat = elegido >= 0 ? &materiales[elegido] : nullptr;
    ImagenRGBA img;
    bool solo_color = true;
    if (mat != nullptr && !mat->imagen.empty()) {
        std::string error;
        if (DecodificarImagen(*mat, &img, &error)) solo_color = false;
        else avisos->push_back(error + "; the material's colour is used instead");
    }
    if (solo_color) {
        img = PintarSolida(mat ? mat->color : gris);
        informe->imagen = "colour";
    } else {
        informe->imagen = mat->imagen;
        if (mat->por_color)
            for (size_t i = 0; i < img.rgba.size(); i += 4)
                for (int c = 0; c < 3; c++)
                    img.rgba[i + c] = CuantizarByte(img.rgba[i + c] / 255.0f * mat->color[c]);
    }
    int w = RedondearAPotenciaDeDos(img.ancho), h = RedondearAPotenciaDeDos(img.alto);
    RectanguloMaterial rect;
    rect.material = elegido;
    rect.escala = (float)std::min((double)w / img.ancho, (double)h / img.alto);
    rect.solo_color = solo_color;
    if (w != img.ancho || h != img.alto) {
        ImagenRGBA escalada;
        escalada.ancho = w, escalada.alto = h;
        escalada.rgba.resize((size_t)w * h * 4);
        stbir_resize_uint8(img.rgba.data(), img.ancho, img.alto, 0, escalada.rgba.data(), w, h, 0, 4);
        informe->aproximado.push_back("The image " + informe->imagen + " was scaled from " +
                                      std::to_string(img.ancho) + " x " + std::to_string(img.alto) + " to " +
                                      std::to_string(w) + " x " + std::to_string(h) + ".");
        img = std::move(escalada);
    }
    rect.ancho = w, rect.alto = h;
    informe->ancho = w, informe->alto = h, informe->bits = 24;
    informe->rectangulos.push_back(rect);
    if (area.size() > 1)
        informe->aproximado.push_back("The slot's " + std::to_string(area.size()) +
                                      " materials all show the image of its largest one.");
    if (mat != nullptr && mat->alfa)
        informe->aproximado.push_back("Transparency of material " + mat->nombre + " is drawn opaque.");
    return img;
}
