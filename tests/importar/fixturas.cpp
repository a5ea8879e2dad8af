// fixturas.cpp - the tests' scenes, written in every format they need.
#include "fixturas.h"

#include <stb_image_write.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// A rectangle with corners a, b, c, d (counter-clockwise seen from where it
// looks), texture coordinates from the corners' own metres.
PoligonoFix Rect(std::vector<std::array<double, 3>> c, int material)
{
    PoligonoFix r;
    r.material = material;
    double u[3], v[3], n[3];
    for (int i = 0; i < 3; i++) u[i] = c[1][i] - c[0][i], v[i] = c[2][i] - c[0][i];
    n[0] = u[1] * v[2] - u[2] * v[1], n[1] = u[2] * v[0] - u[0] * v[2], n[2] = u[0] * v[1] - u[1] * v[0];
    double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (const auto &p : c) {
        EsquinaFix e;
        for (int i = 0; i < 3; i++) e.p[i] = p[i], e.n[i] = n[i] / l;
        // Floors and ceilings by x and z, walls by their run and height.
        bool horizontal = std::fabs(n[1]) > 0.5 * l;
        e.uv[0] = horizontal ? p[0] * 0.7 : (std::fabs(n[0]) > std::fabs(n[2]) ? p[2] : p[0]) * 0.37;
        e.uv[1] = horizontal ? p[2] * 0.7 : p[1] * 0.41;
        r.e.push_back(e);
    }
    return r;
}

using P = std::array<double, 3>;

void Suelo(std::vector<PoligonoFix> *r, double x0, double x1, double z0, double z1, double y)
{
    r->push_back(Rect({P{x0, y, z0}, P{x0, y, z1}, P{x1, y, z1}, P{x1, y, z0}}, 0));
}
void Techo(std::vector<PoligonoFix> *r, double x0, double x1, double z0, double z1, double y)
{
    r->push_back(Rect({P{x0, y, z0}, P{x1, y, z0}, P{x1, y, z1}, P{x0, y, z1}}, 2));
}
// A wall along x at z (looking towards +z when `hacia` > 0), from y0 to y1.
void ParedX(std::vector<PoligonoFix> *r, double x0, double x1, double z, double y0, double y1, int hacia)
{
    if (hacia > 0)
        r->push_back(Rect({P{x0, y0, z}, P{x1, y0, z}, P{x1, y1, z}, P{x0, y1, z}}, 1));
    else
        r->push_back(Rect({P{x0, y0, z}, P{x0, y1, z}, P{x1, y1, z}, P{x1, y0, z}}, 1));
}
void ParedZ(std::vector<PoligonoFix> *r, double z0, double z1, double x, double y0, double y1, int hacia)
{
    if (hacia > 0)
        r->push_back(Rect({P{x, y0, z0}, P{x, y1, z0}, P{x, y1, z1}, P{x, y0, z1}}, 1));
    else
        r->push_back(Rect({P{x, y0, z0}, P{x, y0, z1}, P{x, y1, z1}, P{x, y1, z0}}, 1));
}

void Escribir(const std::string &ruta, const std::string &datos)
{
    std::ofstream f(ruta, std::ios::binary);
    f << datos;
}

void AlBuffer(void *contexto, void *datos, int n)
{
    static_cast<std::string *>(contexto)->append(static_cast<char *>(datos), n);
}

}   // namespace

const double kNodoGLTF[3][4] = {{0, 0, 2, 1}, {0, 2, 0, -0.5}, {-2, 0, 0, 3}};

std::vector<PoligonoFix> DosSalas()
{
    std::vector<PoligonoFix> r;
    const double H = 3;
    Suelo(&r, 0, 6, 0, 5, 0);
    // The second room's floor: an L (concave, six corners) and the notch.
    PoligonoFix l = Rect({P{6, 0, 0}, P{6, 0, 5}, P{10, 0, 5}, P{10, 0, 3}, P{12, 0, 3}, P{12, 0, 0}}, 0);
    r.push_back(l);
    Suelo(&r, 10, 12, 3, 5, 0);
    Techo(&r, 0, 6, 0, 5, H);
    Techo(&r, 6, 12, 0, 5, H);
    ParedX(&r, 0, 12, 0, 0, H, 1);
    ParedX(&r, 0, 12, 5, 0, H, -1);
    ParedZ(&r, 0, 5, 0, 0, H, 1);
    ParedZ(&r, 0, 5, 12, 0, H, -1);
    // The dividing wall at x = 6, seen from both rooms, with the doorway at
    // z in [2, 3], y below 2.2.
    for (int hacia : {-1, 1}) {
        ParedZ(&r, 0, 2, 6, 0, H, hacia);
        ParedZ(&r, 3, 5, 6, 0, H, hacia);
        ParedZ(&r, 2, 3, 6, 2.2, H, hacia);
    }
    return r;
}

std::vector<PoligonoFix> Caja(double w, double h, double d, bool techo)
{
    std::vector<PoligonoFix> r;
    Suelo(&r, 0, w, 0, d, 0);
    if (techo) Techo(&r, 0, w, 0, d, h);
    ParedX(&r, 0, w, 0, 0, h, 1);
    ParedX(&r, 0, w, d, 0, h, -1);
    ParedZ(&r, 0, d, 0, 0, h, 1);
    ParedZ(&r, 0, d, w, 0, h, -1);
    double x0 = w * 0.7, z0 = d * 0.3, t = 0.4;
    ParedX(&r, x0, x0 + t, z0, 0, h, -1);
    ParedX(&r, x0, x0 + t, z0 + t, 0, h, 1);
    ParedZ(&r, z0, z0 + t, x0, 0, h, -1);
    ParedZ(&r, z0, z0 + t, x0 + t, 0, h, 1);
    return r;
}

std::vector<PoligonoFix> Bloque(double x0, double x1, double z0, double z1, double h)
{
    std::vector<PoligonoFix> r;
    Suelo(&r, x0, x1, z0, z1, h);
    ParedX(&r, x0, x1, z0, 0, h, -1);
    ParedX(&r, x0, x1, z1, 0, h, 1);
    ParedZ(&r, z0, z1, x0, 0, h, -1);
    ParedZ(&r, z0, z1, x1, 0, h, 1);
    return r;
}

std::vector<PoligonoFix> Triangulos(const std::vector<PoligonoFix> &p)
{
    std::vector<PoligonoFix> r;
    for (const PoligonoFix &g : p)
        for (size_t k = 2; k < g.e.size(); k++)
            r.push_back(PoligonoFix{{g.e[0], g.e[k - 1], g.e[k]}, g.material});
    return r;
}

std::string PNGDosColores(int w, int h)
{
    std::vector<unsigned char> px((size_t)w * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            unsigned char *q = &px[((size_t)y * w + x) * 3];
            q[0] = y < h / 2 ? 220 : 20, q[1] = 30, q[2] = y < h / 2 ? 20 : 220;
        }
    std::string png;
    stbi_write_png_to_func(AlBuffer, &png, w, h, 3, px.data(), w * 3);
    return png;
}

std::string EscribirOBJFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p, const std::string &imagen)
{
    // Texture coordinates first, in reverse order (vt number k is corner
    // total + 1 - k), so that no two numbers of a corner agree; then each
    // polygon's normal, its corners and its face, so that the ceilings'
    // relative numbers count back over the statements just written.
    std::vector<std::string> vts;
    for (const PoligonoFix &g : p)
        for (const EsquinaFix &e : g.e) {
            std::ostringstream t;
            t.precision(17);
            t << "vt " << e.uv[0] << " " << e.uv[1] << "\n";
            vts.push_back(t.str());
        }
    const int total = (int)vts.size();
    std::ostringstream o;
    o.precision(17);
    o << "mtllib " << nombre << ".mtl\n";
    for (int k = total; k-- > 0;) o << vts[k];
    const char *mat[3] = {"madera", "yeso", "techo"};
    int actual = -1, nv = 0, nvn = 0, esquina = 0;
    for (const PoligonoFix &g : p) {
        if (g.material != actual) o << "usemtl " << mat[g.material] << "\n", actual = g.material;
        o << "vn " << g.e[0].n[0] << " " << g.e[0].n[1] << " " << g.e[0].n[2] << "\n";
        nvn++;
        for (const EsquinaFix &e : g.e) o << "v " << e.p[0] << " " << e.p[1] << " " << e.p[2] << "\n";
        nv += (int)g.e.size();
        o << "f";
        for (size_t k = 0; k < g.e.size(); k++) {
            int vt = total - esquina++;
            if (g.material == 2)
                o << " " << -(int)(g.e.size() - k) << "/" << vt << "/-1";
            else
                o << " " << nv - (int)g.e.size() + 1 + (int)k << "/" << vt << "/" << nvn;
        }
        o << "\n";
    }
    std::string base = dir + "/" + nombre;
    Escribir(base + ".obj", o.str());
    std::string mtl = "newmtl madera\nKd 1 1 1\n" + (imagen.empty() ? "" : "map_Kd " + imagen + "\n") +
                      "newmtl yeso\nKd 0.8 0.75 0.6\nnewmtl techo\nKd 0.9 0.9 0.9\n";
    Escribir(base + ".mtl", mtl);
    return base + ".obj";
}

std::string EscribirGLTFFix(const std::string &dir, const std::string &nombre,
                            const std::vector<PoligonoFix> &p, bool binario)
{
    std::vector<PoligonoFix> t = Triangulos(p);
    std::string bin;
    auto f32 = [&](double x) {
        float f = (float)x;
        bin.append(reinterpret_cast<char *>(&f), 4);
    };
    float mn[3] = {1e30f, 1e30f, 1e30f}, mx[3] = {-1e30f, -1e30f, -1e30f};
    for (const PoligonoFix &g : t)
        for (const EsquinaFix &e : g.e)
            for (int i = 0; i < 3; i++) {
                f32(e.p[i]);
                mn[i] = std::fmin(mn[i], (float)e.p[i]), mx[i] = std::fmax(mx[i], (float)e.p[i]);
            }
    for (const PoligonoFix &g : t)
        for (const EsquinaFix &e : g.e) f32(e.n[0]), f32(e.n[1]), f32(e.n[2]);
    // glTF counts t from the top of the image.
    for (const PoligonoFix &g : t)
        for (const EsquinaFix &e : g.e) f32(e.uv[0]), f32(1 - e.uv[1]);
    size_t n = t.size() * 3, imagen_en = bin.size();
    std::string png = PNGDosColores(16, 16);
    if (binario) {
        bin += png;
        while (bin.size() % 4) bin += '\0';
    }
    char json[4096];
    std::snprintf(json, sizeof json, R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"name":"edificio","children":[1],"translation":[1,-0.5,3]},
{"name":"sala","mesh":0,"rotation":[0,0.70710678118654752,0,0.70710678118654752],"scale":[2,2,2]}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0,"NORMAL":1,"TEXCOORD_0":2},"material":0}]}],
"materials":[{"name":"madera","pbrMetallicRoughness":{"baseColorTexture":{"index":0},"baseColorFactor":[1,1,1,1]}}],
"textures":[{"source":0}],
"images":[%s],
"buffers":[{%s"byteLength":%zu}],
"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":%zu},{"buffer":0,"byteOffset":%zu,"byteLength":%zu},
{"buffer":0,"byteOffset":%zu,"byteLength":%zu}%s],
"accessors":[{"bufferView":0,"componentType":5126,"count":%zu,"type":"VEC3","min":[%g,%g,%g],"max":[%g,%g,%g]},
{"bufferView":1,"componentType":5126,"count":%zu,"type":"VEC3"},
{"bufferView":2,"componentType":5126,"count":%zu,"type":"VEC2"}]})",
                  binario ? R"({"bufferView":3,"mimeType":"image/png"})"
                          : ("{\"uri\":\"" + nombre + ".png\"}").c_str(),
                  binario ? "" : ("\"uri\":\"" + nombre + ".bin\",").c_str(), bin.size(), n * 12, n * 12,
                  n * 12, n * 24, n * 8,
                  binario ? (",{\"buffer\":0,\"byteOffset\":" + std::to_string(imagen_en) +
                             ",\"byteLength\":" + std::to_string(png.size()) + "}")
                                .c_str()
                          : "",
                  n, mn[0], mn[1], mn[2], mx[0], mx[1], mx[2], n, n);
    std::string base = dir + "/" + nombre;
    if (!binario) {
        Escribir(base + ".gltf", json);
        Escribir(base + ".bin", bin);
        Escribir(base + ".png", png);
        return base + ".gltf";
    }
    std::string j = json;
    while (j.size() % 4) j += ' ';
    auto u32 = [](std::string *s, uint32_t x) { s->append(reinterpret_cast<char *>(&x), 4); };
    std::string glb;
    u32(&glb, 0x46546C67), u32(&glb, 2), u32(&glb, (uint32_t)(12 + 8 + j.size() + 8 + bin.size()));
    u32(&glb, (uint32_t)j.size()), u32(&glb, 0x4E4F534A), glb += j;
    u32(&glb, (uint32_t)bin.size()), u32(&glb, 0x004E4942), glb += bin;
    Escribir(base + ".glb", glb);
    return base + ".glb";
}

namespace {
// Y-up metres to the Z-up frame these files use: (x, y, z) -> (x, -z, y).
void ZArriba(const double p[3], double q[3]) { q[0] = p[0], q[1] = -p[2], q[2] = p[1]; }
}   // namespace

std::string EscribirDAEFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p)
{
    std::vector<PoligonoFix> t = Triangulos(p);
    std::ostringstream pos, ind;
    pos.precision(17);
    int n = 0;
    for (const PoligonoFix &g : t)
        for (const EsquinaFix &e : g.e) {
            double q[3];
            ZArriba(e.p, q);
            pos << q[0] << " " << q[1] << " " << q[2] << " ";
            ind << n++ << " ";
        }
    std::string dae = R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
<asset><unit name="meter" meter="1"/><up_axis>Z_UP</up_axis></asset>
<library_geometries><geometry id="sala" name="sala"><mesh>
<source id="pos"><float_array id="pos-a" count=")" +
                      std::to_string(n * 3) + "\">" + pos.str() +
                      R"(</float_array>
<technique_common><accessor source="#pos-a" count=")" +
                      std::to_string(n) + R"(" stride="3">
<param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
<vertices id="vert"><input semantic="POSITION" source="#pos"/></vertices>
<triangles count=")" + std::to_string(t.size()) +
                      R"("><input semantic="VERTEX" source="#vert" offset="0"/><p>)" + ind.str() +
                      R"(</p></triangles>
</mesh></geometry></library_geometries>
<library_visual_scenes><visual_scene id="escena"><node id="n" name="sala"><instance_geometry url="#sala"/></node></visual_scene></library_visual_scenes>
<scene><instance_visual_scene url="#escena"/></scene>
</COLLADA>
)";
    std::string ruta = dir + "/" + nombre + ".dae";
    Escribir(ruta, dae);
    return ruta;
}

std::string EscribirPLYFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p)
{
    std::ostringstream v, f;
    v.precision(17);
    int n = 0;
    for (const PoligonoFix &g : p) {
        f << g.e.size();
        for (const EsquinaFix &e : g.e) {
            double q[3];
            ZArriba(e.p, q);
            v << q[0] << " " << q[1] << " " << q[2] << "\n";
            f << " " << n++;
        }
        f << "\n";
    }
    std::string ply = "ply\nformat ascii 1.0\nelement vertex " + std::to_string(n) +
                      "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                      std::to_string(p.size()) + "\nproperty list uchar int vertex_indices\nend_header\n" +
                      v.str() + f.str();
    std::string ruta = dir + "/" + nombre + ".ply";
    Escribir(ruta, ply);
    return ruta;
}

std::string EscribirSTLFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p)
{
    std::ostringstream s;
    s.precision(9);
    s << "solid " << nombre << "\n";
    for (const PoligonoFix &g : Triangulos(p)) {
        double n[3];
        ZArriba(g.e[0].n, n);
        s << " facet normal " << n[0] << " " << n[1] << " " << n[2] << "\n  outer loop\n";
        for (const EsquinaFix &e : g.e) {
            double q[3];
            ZArriba(e.p, q);
            s << "   vertex " << q[0] << " " << q[1] << " " << q[2] << "\n";
        }
        s << "  endloop\n endfacet\n";
    }
    s << "endsolid " << nombre << "\n";
    std::string ruta = dir + "/" + nombre + ".stl";
    Escribir(ruta, s.str());
    return ruta;
}
