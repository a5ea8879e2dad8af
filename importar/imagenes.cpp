// imagenes.cpp - a material's image decoded into RGBA, from its file or from
// the bytes embedded in the scene (stb_image: PNG, JPEG, BMP, TGA, GIF, PSD).
//
// The size is read from the header first, so that an image too large to
// decode within the memory bound is refused before anything is allocated.
#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "malla_importada.h"

namespace {

const int kLadoMaximo = 16384;
const long long kBytesMaximos = 256ll << 20;   // decoded RGBA

bool LeerFichero(const std::string &ruta, std::vector<unsigned char> *datos)
{
    FILE *f = std::fopen(ruta.c_str(), "rb");
    if (f == nullptr) return false;
    unsigned char b[65536];
    size_t n;
    while ((n = std::fread(b, 1, sizeof b, f)) > 0) datos->insert(datos->end(), b, b + n);
    bool bien = std::ferror(f) == 0;
    std::fclose(f);
    return bien;
}

// The size a PNG header states; stb_image refuses to report sizes it will
// not decode, so without this a huge image would read as a corrupt one.
bool LeerTamanoPNG(const unsigned char *d, size_t n, int *w, int *h)
{
    static const unsigned char firma[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (n < 24 || std::memcmp(d, firma, 8) != 0 || std::memcmp(d + 12, "IHDR", 4) != 0) return false;
    auto grande = [](const unsigned char *p) {
        return (long long)p[0] << 24 | (long long)p[1] << 16 | (long long)p[2] << 8 | p[3];
    };
    long long a = grande(d + 16), b = grande(d + 20);
    *w = (int)std::min(a, (long long)INT_MAX);
    *h = (int)std::min(b, (long long)INT_MAX);
    return true;
}

}   // namespace

bool DecodificarImagen(const MaterialImportado &m, ImagenRGBA *img, std::string *error)
{
    std::vector<unsigned char> fichero;
    const unsigned char *datos = m.incrustada;
    size_t bytes = m.bytes_incrustada;
    std::string nombre = m.imagen;
    if (datos == nullptr) {
        if (m.imagen.empty() || m.imagen[0] == '*') {
            *error = (m.imagen.empty() ? std::string("material ") + m.nombre : m.imagen) +
                     ": no image data (only compressed embedded images are read)";
            return false;
        }
        if (!LeerFichero(m.imagen, &fichero)) {
            *error = m.imagen + ": missing or unreadable";
            return false;
        }
        datos = fichero.data();
        bytes = fichero.size();
    }
    if (bytes == 0 || bytes > (size_t)kBytesMaximos) {
        *error = nombre + ": " + (bytes == 0 ? "empty" : "too large") + " image file";
        return false;
    }
    int w = 0, h = 0, canales = 0;
    if (!stbi_info_from_memory(datos, (int)bytes, &w, &h, &canales) && !LeerTamanoPNG(datos, bytes, &w, &h)) {
        *error = nombre + ": corrupt or unsupported image (" + stbi_failure_reason() + ")";
        return false;
    }
    if (w <= 0 || h <= 0 || w > kLadoMaximo || h > kLadoMaximo || 4ll * w * h > kBytesMaximos) {
        *error = nombre + ": an image of " + std::to_string(w) + " x " + std::to_string(h) +
                 " pixels is beyond the decoder's bound (16384 a side, 256 MiB)";
        return false;
    }
    unsigned char *p = stbi_load_from_memory(datos, (int)bytes, &w, &h, &canales, 4);
    if (p == nullptr) {
        *error = nombre + ": corrupt image (" + stbi_failure_reason() + ")";
        return false;
    }
    img->ancho = w;
    img->alto = h;
    img->rgba.assign(p, p + (size_t)w * h * 4);
    stbi_image_free(p);
    return true;
}
