// escritura.cpp - a slot's triangles as the OBJ text the walkthrough reads,
// and its image as a TGA.
//
// Every number is written in the shortest form that reads back as the same
// float (std::to_chars), which is what the walkthrough's loader, reading as
// strtof does, turns back into that float. Identical corners (position,
// texture coordinate and normal alike, bit for bit) are written once, and
// every corner repeats its one number in each position of the face.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "importar_local.h"

namespace {

uint32_t LeerBits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

// Text gathered in a buffer and written in large blocks.
struct Salida {
    FILE *f;
    std::vector<char> b = std::vector<char>(1 << 20);
    size_t n = 0;
    bool bien = true;
};

void Vaciar(Salida *o)
{
    o->bien = o->bien && std::fwrite(o->b.data(), 1, o->n, o->f) == o->n;
    o->n = 0;
}

// Room for one line (at most 4 numbers of 32 characters and the keyword).
char *ReservarSitio(Salida *o)
{
    if (o->b.size() - o->n < 256) Vaciar(o);
    return o->b.data() + o->n;
}

void EscribirTerna(Salida *o, const char *clave, float x, float y, float z)
{
    char *p = ReservarSitio(o), *fin = p + 256;
    while (*clave) *p++ = *clave++;
    for (float v : {x, y, z}) {
        *p++ = ' ';
        p = std::to_chars(p, fin, v).ptr;
    }
    *p++ = '\n';
    o->n = p - o->b.data();
}

void EscribirCara(Salida *o, const int n[3], int forma)
{
    char *p = ReservarSitio(o), *fin = p + 256;
    *p++ = 'f';
    for (int k = 0; k < 3; k++) {
        *p++ = ' ';
        char *numero = p;
        p = std::to_chars(p, fin, n[k]).ptr;
        const size_t largo = p - numero;
        const int copias = forma == 2 ? 2 : 1;
        if (forma == 1) *p++ = '/';
        for (int c = 0; c < copias; c++) {
            *p++ = '/';
            std::memcpy(p, numero, largo);
            p += largo;
        }
    }
    *p++ = '\n';
    o->n = p - o->b.data();
}

}   // namespace

float DividirExacto(float u, float divisor)
{
    float w = (float)((double)u / divisor);
    if (!std::isfinite(w)) return w;
    float abajo = w, arriba = w;
    for (int k = 0; k < 4; k++) {
        if (abajo * divisor == u) return abajo;
        if (arriba * divisor == u) return arriba;
        abajo = std::nextafter(abajo, -HUGE_VALF);
        arriba = std::nextafter(arriba, HUGE_VALF);
    }
    return w;
}

bool EscribirOBJImportado(const std::string &ruta, const std::vector<TrianguloImportado> &caras, int forma,
                          float divisor, const char *titulo)
{
    const bool con_textura = forma != 1;
    // Identical corners through an open-addressing table of corner numbers,
    // keyed by the corner's bits.
    auto clave = [&](const EsquinaImportada &e, uint32_t k[8]) {
        const float v[8] = {e.posicion.x,
                            e.posicion.y,
                            e.posicion.z,
                            con_textura ? e.textura.x : 0,
                            con_textura ? e.textura.y : 0,
                            e.normal.x,
                            e.normal.y,
                            e.normal.z};
        for (int i = 0; i < 8; i++) k[i] = LeerBits(v[i]);
    };
    size_t huecos = 16;
    while (huecos < caras.size() * 6) huecos *= 2;
    std::vector<int> tabla(huecos, 0);
    std::vector<const EsquinaImportada *> unicas;
    std::vector<int> indices;
    indices.reserve(caras.size() * 3);
    for (const TrianguloImportado &t : caras)
        for (const EsquinaImportada &e : t.e) {
            uint32_t k[8], otra[8];
            clave(e, k);
            uint64_t h = 1469598103934665603ull;
            for (uint32_t x : k) h = (h ^ x) * 1099511628211ull;
            size_t i = (size_t)(h ^ (h >> 32)) & (huecos - 1);
            while (tabla[i] != 0) {
                clave(*unicas[tabla[i] - 1], otra);
                if (std::memcmp(k, otra, sizeof k) == 0) break;
                i = (i + 1) & (huecos - 1);
            }
            if (tabla[i] == 0) {
                unicas.push_back(&e);
                tabla[i] = (int)unicas.size();
            }
            indices.push_back(tabla[i]);
        }
    tabla = std::vector<int>();
    Salida o;
    o.f = std::fopen(ruta.c_str(), "w");
    if (o.f == nullptr) return false;
    std::fprintf(o.f, "# %s\n", titulo);
    for (const EsquinaImportada *e : unicas)
        EscribirTerna(&o, "v", e->posicion.x, e->posicion.y, e->posicion.z);
    if (con_textura)
        for (const EsquinaImportada *e : unicas)
            EscribirTerna(&o, "vt", DividirExacto(e->textura.x, divisor),
                          DividirExacto(e->textura.y, divisor), 0);
    for (const EsquinaImportada *e : unicas) EscribirTerna(&o, "vn", e->normal.x, e->normal.y, e->normal.z);
    for (size_t i = 0; i < indices.size(); i += 3) EscribirCara(&o, &indices[i], forma);
    Vaciar(&o);
    bool bien = o.bien && std::ferror(o.f) == 0;
    return std::fclose(o.f) == 0 && bien;
}

bool EscribirTGAImportado(const std::string &ruta, const ImagenRGBA &img, int bits)
{
    const int bpp = bits == 32 ? 4 : 3;
    FILE *f = std::fopen(ruta.c_str(), "wb");
    if (f == nullptr) return false;
    unsigned char cabecera[18] = {0};
    cabecera[2] = 2;   // uncompressed true colour, no ID, no colour map
    cabecera[12] = (unsigned char)(img.ancho & 0xFF);
    cabecera[13] = (unsigned char)(img.ancho >> 8);
    cabecera[14] = (unsigned char)(img.alto & 0xFF);
    cabecera[15] = (unsigned char)(img.alto >> 8);
    cabecera[16] = (unsigned char)(bpp * 8);
    cabecera[17] = bpp == 4 ? 8 : 0;   // alpha bits; bottom-left origin: rows from the bottom up
    bool bien = std::fwrite(cabecera, 1, sizeof cabecera, f) == sizeof cabecera;
    std::vector<unsigned char> fila((size_t)img.ancho * bpp);
    for (int y = img.alto - 1; y >= 0 && bien; y--) {
        const unsigned char *p = &img.rgba[(size_t)y * img.ancho * 4];
        for (int x = 0; x < img.ancho; x++) {
            fila[x * bpp + 0] = p[x * 4 + 2];
            fila[x * bpp + 1] = p[x * 4 + 1];
            fila[x * bpp + 2] = p[x * 4 + 0];
            if (bpp == 4) fila[x * bpp + 3] = p[x * 4 + 3];
        }
        bien = std::fwrite(fila.data(), 1, fila.size(), f) == fila.size();
    }
    bien = bien && std::ferror(f) == 0;
    return std::fclose(f) == 0 && bien;
}
