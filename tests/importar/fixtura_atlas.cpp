// fixtura_atlas.cpp - the atlas tests' rooms and their files.
#include "fixtura_atlas.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "muestreo.h"

namespace {

// Blocks of random colour, so that linear filtering changes little inside
// a block and sampled colours compare well.
ImagenRGBA CrearBloques(int ancho, int alto, int bloque, unsigned semilla, bool alfa)
{
    std::mt19937 azar(semilla);
    ImagenRGBA img;
    img.ancho = ancho;
    img.alto = alto;
    img.rgba.resize((size_t)ancho * alto * 4);
    const int bx = (ancho + bloque - 1) / bloque, by = (alto + bloque - 1) / bloque;
    std::vector<unsigned char> c((size_t)bx * by * 4);
    for (unsigned char &x : c) x = (unsigned char)(azar() & 255);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            for (int k = 0; k < 4; ++k)
                img.rgba[((size_t)y * ancho + x) * 4 + k] =
                    (k == 3 && !alfa) ? 255 : c[((size_t)(y / bloque) * bx + x / bloque) * 4 + k];
    return img;
}

MaterialFixtura CrearMaterial(const char *nombre, float r, float g, float b, float a, ImagenRGBA img = {})
{
    return {nombre, {r, g, b, a}, std::move(img)};
}

// A wall or floor quad from corner a along u and v, texture (s0, t0) at a
// and (s1, t1) at a + u + v.
CaraFixtura CrearQuad(Vector a, Vector u, Vector v, Vector n, float s0, float t0, float s1, float t1, int m)
{
    CaraFixtura c;
    c.p[0] = a;
    c.p[1] = {a.x + u.x, a.y + u.y, a.z + u.z};
    c.p[2] = {a.x + u.x + v.x, a.y + u.y + v.y, a.z + u.z + v.z};
    c.p[3] = {a.x + v.x, a.y + v.y, a.z + v.z};
    c.t[0] = {s0, t0, 0};
    c.t[1] = {s1, t0, 0};
    c.t[2] = {s1, t1, 0};
    c.t[3] = {s0, t1, 0};
    c.n = n;
    c.material = m;
    return c;
}

// The room's six sides; `m` gives each quad's material and texture span.
struct Lado {
    int material;
    float s0, t0, s1, t1;
};
void CrearCaja(Fixtura *f, Lado suelo, Lado techo, Lado izquierda, Lado derecha, Lado frente,
               const std::vector<std::pair<float, Lado>> &fondo)
{
    auto q = [&](Vector a, Vector u, Vector v, Vector n, Lado l) {
        f->caras.push_back(CrearQuad(a, u, v, n, l.s0, l.t0, l.s1, l.t1, l.material));
    };
    q({-5, 0, 4}, {10, 0, 0}, {0, 0, -8}, {0, 1, 0}, suelo);
    q({-5, 3, -4}, {10, 0, 0}, {0, 0, 8}, {0, -1, 0}, techo);
    float x = -5;
    for (const auto &parte : fondo) {
        q({x, 0, -4}, {parte.first, 0, 0}, {0, 3, 0}, {0, 0, 1}, parte.second);
        x += parte.first;
    }
    q({-5, 0, 4}, {0, 0, -8}, {0, 3, 0}, {1, 0, 0}, izquierda);
    q({5, 0, -4}, {0, 0, 8}, {0, 3, 0}, {-1, 0, 0}, derecha);
    // Last: the walkthrough draws the horse with the texture coordinate of
    // the walls' last corner.
    q({5, 0, 4}, {-10, 0, 0}, {0, 3, 0}, {0, 0, -1}, frente);
}

bool EscribirPNG(const std::string &ruta, const ImagenRGBA &img)
{
    return stbi_write_png(ruta.c_str(), img.ancho, img.alto, 4, img.rgba.data(), img.ancho * 4) != 0;
}

void AnadirAlVector(void *contexto, void *datos, int n)
{
    auto *v = static_cast<std::vector<unsigned char> *>(contexto);
    v->insert(v->end(), (unsigned char *)datos, (unsigned char *)datos + n);
}

void Alinear(std::vector<unsigned char> *v, unsigned char relleno)
{
    while (v->size() % 4) v->push_back(relleno);
}

template <class T> void Poner(std::vector<unsigned char> *v, T x)
{
    const unsigned char *p = (const unsigned char *)&x;
    v->insert(v->end(), p, p + sizeof x);
}

// Shades of one hue: each pixel's red, from half to full brightness.
void ColorearConTono(MaterialFixtura *m, float r, float g, float b)
{
    const float hue[3] = {r, g, b};
    for (size_t i = 0; i < m->imagen.rgba.size(); i += 4) {
        const float v = 0.5f + 0.5f * m->imagen.rgba[i] / 255.0f;
        for (int k = 0; k < 3; ++k) m->imagen.rgba[i + k] = (unsigned char)(255 * v * hue[k]);
    }
    for (int k = 0; k < 3; ++k) m->color[k] = m->imagen.rgba.empty() ? hue[k] : 1;
}

}   // namespace

Fixtura CrearSalaOBJ(bool tonos)
{
    Fixtura f;
    f.materiales.push_back(CrearMaterial("baldosa", 1, 1, 1, 1, CrearBloques(16, 16, 4, 1, false)));
    f.materiales.push_back(CrearMaterial("techo", 0.9f, 0.9f, 0.8f, 1));
    f.materiales.push_back(CrearMaterial("ladrillo", 1, 1, 1, 1, CrearBloques(64, 32, 4, 2, false)));
    f.materiales.push_back(CrearMaterial("madera", 0.8f, 0.6f, 0.4f, 1, CrearBloques(32, 32, 8, 3, false)));
    f.materiales.push_back(CrearMaterial("yeso", 0.9f, 0.85f, 0.7f, 1));
    f.materiales.push_back(CrearMaterial("vidrio", 0.5f, 0.7f, 0.9f, 0.6f, CrearBloques(16, 16, 4, 4, true)));
    f.materiales.push_back(CrearMaterial("pintura", 0.3f, 0.6f, 0.3f, 1));
    CrearCaja(&f, {0, 0, 0, 4, 4}, {1, 0, 0, 1, 1}, {5, 0, 0, 2, 1}, {6, 0, 0, 1, 1}, {6, 0, 0, 1, 1},
              {{6, {2, -3.5f, -1.25f, 3.5f, 1.75f}}, {2, {3, 0, 0, 1, 1}}, {2, {4, 0, 0, 1, 1}}});
    if (tonos) {
        const float hue[7][3] = {{1, 1, 0},       {0.6f, 0.6f, 0.6f}, {1, 0, 0},      {0, 1, 0},
                                 {0, 0.9f, 0.9f}, {0, 0, 1},          {0.9f, 0, 0.9f}};
        for (int m = 0; m < 7; ++m) ColorearConTono(&f.materiales[m], hue[m][0], hue[m][1], hue[m][2]);
    }
    return f;
}

Fixtura CrearSalaGLB()
{
    Fixtura f;
    f.materiales.push_back(CrearMaterial("imagen", 0.9f, 0.6f, 0.3f, 1, CrearBloques(32, 16, 4, 5, false)));
    f.materiales.push_back(CrearMaterial("color", 0.2f, 0.5f, 0.8f, 1));
    CrearCaja(&f, {0, 0, 0, 2, 2}, {1, 0, 0, 1, 1}, {0, 0, 0, 1, 1}, {1, 0, 0, 1, 1}, {1, 0, 0, 1, 1},
              {{10, {0, -1.5f, -0.5f, 1.5f, 1.5f}}});
    return f;
}

std::string EscribirOBJ(const Fixtura &f, const std::string &carpeta)
{
    FILE *mtl = std::fopen((carpeta + "/sala.mtl").c_str(), "w");
    if (!mtl) return "";
    for (const MaterialFixtura &m : f.materiales) {
        std::fprintf(mtl, "newmtl %s\nKd %.9g %.9g %.9g\n", m.nombre.c_str(), m.color[0], m.color[1],
                     m.color[2]);
        if (m.color[3] < 1) std::fprintf(mtl, "d %.9g\n", m.color[3]);
        if (!m.imagen.rgba.empty()) {
            std::fprintf(mtl, "map_Kd %s.png\n", m.nombre.c_str());
            if (!EscribirPNG(carpeta + "/" + m.nombre + ".png", m.imagen)) return "";
        }
    }
    std::fclose(mtl);
    const std::string ruta = carpeta + "/sala.obj";
    FILE *obj = std::fopen(ruta.c_str(), "w");
    if (!obj) return "";
    std::fprintf(obj, "mtllib sala.mtl\n");
    int n = 0;
    for (const CaraFixtura &c : f.caras) {
        std::fprintf(obj, "usemtl %s\nvn %.9g %.9g %.9g\n", f.materiales[c.material].nombre.c_str(), c.n.x,
                     c.n.y, c.n.z);
        for (int i = 0; i < 4; ++i)
            std::fprintf(obj, "v %.9g %.9g %.9g\nvt %.9g %.9g\n", c.p[i].x, c.p[i].y, c.p[i].z, c.t[i].x,
                         c.t[i].y);
        n += 4;
        std::fprintf(obj, "f %d/%d/-1 %d/%d/-1 %d/%d/-1 %d/%d/-1\n", n - 3, n - 3, n - 2, n - 2, n - 1, n - 1,
                     n, n);
    }
    return std::fclose(obj) == 0 ? ruta : "";
}

// One primitive per material, unindexed triangles: positions, normals and
// texture coordinates (glTF counts v from the image's top: v = 1 - t).
std::string EscribirGLB(const Fixtura &f, const std::string &carpeta)
{
    std::vector<unsigned char> bin;
    std::string vistas, accesorios, primitivas, materiales;
    int nv = 0;
    auto vista = [&](size_t desde) {
        vistas += (nv ? "," : "") + std::string("{\"buffer\":0,\"byteOffset\":") + std::to_string(desde) +
                  ",\"byteLength\":" + std::to_string(bin.size() - desde) + "}";
        return nv++;
    };
    for (size_t m = 0; m < f.materiales.size(); ++m) {
        std::vector<CaraFixtura> caras;
        for (const CaraFixtura &c : f.caras)
            if (c.material == (int)m) caras.push_back(c);
        if (caras.empty()) continue;
        const int esquinas = (int)caras.size() * 6;
        float menor[3] = {1e30f, 1e30f, 1e30f}, mayor[3] = {-1e30f, -1e30f, -1e30f};
        size_t desde = bin.size();
        for (const CaraFixtura &c : caras)
            for (int i : {0, 1, 2, 0, 2, 3}) {
                const float p[3] = {c.p[i].x, c.p[i].y, c.p[i].z};
                for (int k = 0; k < 3; ++k) {
                    Poner(&bin, p[k]);
                    menor[k] = std::min(menor[k], p[k]);
                    mayor[k] = std::max(mayor[k], p[k]);
                }
            }
        const int vp = vista(desde);
        desde = bin.size();
        for (const CaraFixtura &c : caras)
            for (int i = 0; i < 6; ++i) Poner(&bin, c.n.x), Poner(&bin, c.n.y), Poner(&bin, c.n.z);
        const int vn = vista(desde);
        desde = bin.size();
        for (const CaraFixtura &c : caras)
            for (int i : {0, 1, 2, 0, 2, 3}) Poner(&bin, c.t[i].x), Poner(&bin, 1 - c.t[i].y);
        const int vt = vista(desde);
        char a[512];
        const int base = (int)(m * 3);
        std::snprintf(a, sizeof a,
                      "%s{\"bufferView\":%d,\"componentType\":5126,\"count\":%d,\"type\":\"VEC3\","
                      "\"min\":[%.9g,%.9g,%.9g],\"max\":[%.9g,%.9g,%.9g]},"
                      "{\"bufferView\":%d,\"componentType\":5126,\"count\":%d,\"type\":\"VEC3\"},"
                      "{\"bufferView\":%d,\"componentType\":5126,\"count\":%d,\"type\":\"VEC2\"}",
                      base ? "," : "", vp, esquinas, menor[0], menor[1], menor[2], mayor[0], mayor[1],
                      mayor[2], vn, esquinas, vt, esquinas);
        accesorios += a;
        std::snprintf(a, sizeof a,
                      "%s{\"attributes\":{\"POSITION\":%d,\"NORMAL\":%d,\"TEXCOORD_0\":%d},\"material\":%d}",
                      primitivas.empty() ? "" : ",", base, base + 1, base + 2, (int)m);
        primitivas += a;
    }
    std::string imagenes, texturas;
    for (size_t m = 0; m < f.materiales.size(); ++m) {
        const MaterialFixtura &x = f.materiales[m];
        std::string textura;
        if (!x.imagen.rgba.empty()) {
            const size_t desde = bin.size();
            stbi_write_png_to_func(AnadirAlVector, &bin, x.imagen.ancho, x.imagen.alto, 4,
                                   x.imagen.rgba.data(), x.imagen.ancho * 4);
            const int v = vista(desde);
            Alinear(&bin, 0);
            const int n = texturas.empty() ? 0 : (int)std::count(texturas.begin(), texturas.end(), '{');
            imagenes += (n ? "," : "") + std::string("{\"bufferView\":") + std::to_string(v) +
                        ",\"mimeType\":\"image/png\"}";
            texturas += (n ? "," : "") + std::string("{\"source\":") + std::to_string(n) + "}";
            textura = ",\"baseColorTexture\":{\"index\":" + std::to_string(n) + "}";
        }
        char c[256];
        std::snprintf(
            c, sizeof c,
            "%s{\"name\":\"%s\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[%.9g,%.9g,%.9g,%.9g],"
            "\"metallicFactor\":0%s}}",
            m ? "," : "", x.nombre.c_str(), x.color[0], x.color[1], x.color[2], x.color[3], textura.c_str());
        materiales += c;
    }
    Alinear(&bin, 0);
    std::string json = "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
                       "\"nodes\":[{\"mesh\":0}],\"meshes\":[{\"primitives\":[" +
                       primitivas +
                       "]}],"
                       "\"materials\":[" +
                       materiales + "],\"textures\":[" + texturas + "],\"images\":[" + imagenes +
                       "],\"accessors\":[" + accesorios + "],\"bufferViews\":[" + vistas +
                       "],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]}";
    while (json.size() % 4) json += ' ';
    std::vector<unsigned char> glb;
    Poner(&glb, (uint32_t)0x46546C67);
    Poner(&glb, (uint32_t)2);
    Poner(&glb, (uint32_t)(12 + 8 + json.size() + 8 + bin.size()));
    Poner(&glb, (uint32_t)json.size());
    Poner(&glb, (uint32_t)0x4E4F534A);
    glb.insert(glb.end(), json.begin(), json.end());
    Poner(&glb, (uint32_t)bin.size());
    Poner(&glb, (uint32_t)0x004E4942);
    glb.insert(glb.end(), bin.begin(), bin.end());
    const std::string ruta = carpeta + "/sala.glb";
    FILE *s = std::fopen(ruta.c_str(), "wb");
    if (!s) return "";
    const bool ok = std::fwrite(glb.data(), 1, glb.size(), s) == glb.size();
    return std::fclose(s) == 0 && ok ? ruta : "";
}

void CalcularColorFuente(const Fixtura &f, int cara, double s, double t, double rgb[3])
{
    const MaterialFixtura &m = f.materiales[f.caras[cara].material];
    double c[4] = {255, 255, 255, 255};
    if (!m.imagen.rgba.empty()) MuestrearBilineal(m.imagen, s, t, c);
    for (int k = 0; k < 3; ++k) rgb[k] = c[k] * m.color[k];
}
