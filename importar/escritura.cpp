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
#include <unordered_map>

#include "importar_local.h"

namespace {

struct Clave {
    uint32_t b[9];
    bool operator==(const Clave &o) const { return std::memcmp(b, o.b, sizeof b) == 0; }
};
struct Dispersion {
    size_t operator()(const Clave &c) const
    {
        uint64_t h = 1469598103934665603ull;
        for (uint32_t x : c.b) h = (h ^ x) * 1099511628211ull;
        return (size_t)(h ^ (h >> 29));
    }
};

uint32_t Bits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

void Numero(std::string *s, float x)
{
    char b[32];
    auto r = std::to_chars(b, b + sizeof b, x);
    s->push_back(' ');
    s->append(b, r.ptr);
}

void Terna(std::string *s, const char *clave, float x, float y, float z)
{
    s->append(clave);
    Numero(s, x), Numero(s, y), Numero(s, z);
    s->push_back('\n');
}

bool Volcar(FILE *f, std::string *s, bool fin)
{
    if (s->size() < (1u << 20) && !fin) return true;
    bool bien = std::fwrite(s->data(), 1, s->size(), f) == s->size();
    s->clear();
    return bien;
}

}  // namespace

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

bool EscribirOBJImportado(const std::string &ruta, const std::vector<TrianguloImportado> &caras,
                          int forma, float divisor, const char *titulo)
{
    const bool con_textura = forma != 1;
    std::unordered_map<Clave, int, Dispersion> vistas;
    vistas.reserve(caras.size() * 2);
    std::vector<const EsquinaImportada *> unicas;
    std::vector<int> indices;
    indices.reserve(caras.size() * 3);
    for (const TrianguloImportado &t : caras)
        for (const EsquinaImportada &e : t.e) {
            Clave c{{Bits(e.posicion.x), Bits(e.posicion.y), Bits(e.posicion.z),
                     con_textura ? Bits(e.textura.x) : 0, con_textura ? Bits(e.textura.y) : 0, 0,
                     Bits(e.normal.x), Bits(e.normal.y), Bits(e.normal.z)}};
            auto [it, nueva] = vistas.emplace(c, (int)unicas.size() + 1);
            if (nueva) unicas.push_back(&e);
            indices.push_back(it->second);
        }
    FILE *f = std::fopen(ruta.c_str(), "w");
    if (f == nullptr) return false;
    std::string s = std::string("# ") + titulo + "\n";
    bool bien = true;
    for (const EsquinaImportada *e : unicas) {
        Terna(&s, "v", e->posicion.x, e->posicion.y, e->posicion.z);
        bien = bien && Volcar(f, &s, false);
    }
    if (con_textura)
        for (const EsquinaImportada *e : unicas) {
            Terna(&s, "vt", DividirExacto(e->textura.x, divisor), DividirExacto(e->textura.y, divisor), 0);
            bien = bien && Volcar(f, &s, false);
        }
    for (const EsquinaImportada *e : unicas) {
        Terna(&s, "vn", e->normal.x, e->normal.y, e->normal.z);
        bien = bien && Volcar(f, &s, false);
    }
    for (size_t i = 0; i < indices.size(); i += 3) {
        s.push_back('f');
        for (int k = 0; k < 3; k++) {
            char b[16];
            auto r = std::to_chars(b, b + sizeof b, indices[i + k]);
            std::string n(b, r.ptr);
            s += ' ' + n + (forma == 0 ? "/" + n : forma == 1 ? "//" + n : "/" + n + "/" + n);
        }
        s.push_back('\n');
        bien = bien && Volcar(f, &s, false);
    }
    bien = Volcar(f, &s, true) && bien && std::ferror(f) == 0;
    return std::fclose(f) == 0 && bien;
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
