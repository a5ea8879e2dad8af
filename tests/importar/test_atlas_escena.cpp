// The atlas end to end: rooms of several materials written by the test,
// imported by the importer program, and read back as the walkthrough reads
// them (CargarModeloOBJ with face format 0, EscalarCTextura by 10 for the
// floor and 5 for the walls, CargarImagenTGA, linear filtering with repeat).
// At points sampled on every source face, the colour the source material
// gives there must be the colour the output gives at the same point.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "comun_importar.h"
#include "fixtura_atlas.h"
#include "imagen.h"
#include "modelo.h"
#include "muestreo.h"

namespace {

struct Salida {
    Modelo m;
    ImagenRGBA img;
    int bits;
};

// The walkthrough's image as an ImagenRGBA (rows top down, four channels).
ImagenRGBA ConvertirARGBA(const Imagen &im)
{
    ImagenRGBA r;
    r.ancho = im.Ancho;
    r.alto = im.Alto;
    const int b = im.Bpp / 8;
    r.rgba.resize((size_t)r.ancho * r.alto * 4, 255);
    for (int y = 0; y < r.alto; ++y)
        for (int x = 0; x < r.ancho; ++x)
            for (int k = 0; k < b; ++k)
                r.rgba[((size_t)(r.alto - 1 - y) * r.ancho + x) * 4 + k] =
                    im.Pixeles[((size_t)y * r.ancho + x) * b + k];
    return r;
}

Salida Leer(const std::string &carpeta, const char *modelo, const char *textura)
{
    Salida s;
    s.m = CargarRanura(carpeta, modelo);
    Imagen im = CargarImagenTGA((carpeta + "/Texturas/" + textura + ".tga").c_str());
    s.img = ConvertirARGBA(im);
    s.bits = im.Bpp;
    free(im.Pixeles);
    return s;
}

// p lands at rot (escala p) + tras.
void Aplicar(const InformeRanura &t, const double p[3], double q[3])
{
    for (int i = 0; i < 3; ++i)
        q[i] = t.escala * (t.rot[i][0] * p[0] + t.rot[i][1] * p[1] + t.rot[i][2] * p[2]) + t.tras[i];
}

// The output's colour at point q: the face of the three room slots that
// holds it, its texture coordinate there, the slot's image sampled. False
// if no face holds q.
bool CalcularColorSalida(const std::vector<Salida> &sal, const double q[3], double tol, double rgb[3])
{
    for (const Salida &s : sal)
        for (int f = 0; f < s.m.NumCaras; ++f) {
            const int *v = s.m.Caras[f].Vert;
            const Vector &a = s.m.Vertices[v[0]], &b = s.m.Vertices[v[1]], &c = s.m.Vertices[v[2]];
            const double u[3] = {(double)b.x - a.x, (double)b.y - a.y, (double)b.z - a.z};
            const double w[3] = {(double)c.x - a.x, (double)c.y - a.y, (double)c.z - a.z};
            const double d[3] = {q[0] - a.x, q[1] - a.y, q[2] - a.z};
            const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
            const double nn = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (nn == 0 || std::fabs(n[0] * d[0] + n[1] * d[1] + n[2] * d[2]) / nn > tol) continue;
            // Barycentric weights by areas in the plane.
            auto cruz = [&](const double x[3], const double y[3]) {
                return ((x[1] * y[2] - x[2] * y[1]) * n[0] + (x[2] * y[0] - x[0] * y[2]) * n[1] +
                        (x[0] * y[1] - x[1] * y[0]) * n[2]) /
                       (nn * nn);
            };
            const double wb = cruz(d, w), wc = cruz(u, d);
            const double eps = 1e-6;
            if (wb < -eps || wc < -eps || wb + wc > 1 + eps) continue;
            const Vector &ta = s.m.CTexturas[v[0]], &tb = s.m.CTexturas[v[1]], &tc = s.m.CTexturas[v[2]];
            const double st = ta.x + wb * ((double)tb.x - ta.x) + wc * ((double)tc.x - ta.x);
            const double tt = ta.y + wb * ((double)tb.y - ta.y) + wc * ((double)tc.y - ta.y);
            double m[4];
            MuestrearBilineal(s.img, st, tt, m);
            std::copy(m, m + 3, rgb);
            return true;
        }
    return false;
}

double CalcularMediana(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Imports the room file into a fresh folder; the folder, or "" on failure.
std::string ImportarSala(const std::string &sala, const std::string &nombre)
{
    const std::string carpeta = DirTemporal() + "/" + nombre;
    return Importar("'" + sala + "' '" + carpeta + "'") == 0 ? carpeta : "";
}

// Samples every source face and compares; per material, the worst and the
// median difference in levels over the three channels. Also gives the
// depth of the walls' image.
void CompararColores(const Fixtura &f, const std::string &carpeta, std::vector<double> *peor,
                     std::vector<double> *mediana, int *bits_paredes)
{
    const InformeRanura t = LeerInforme(carpeta, "Paredes");
    ASSERT_TRUE(t.hallada);
    std::vector<Salida> sal = {Leer(carpeta, "Techo", "Techo"), Leer(carpeta, "Suelo", "Suelo"),
                               Leer(carpeta, "Paredes", "Paredes")};
    std::vector<std::vector<double>> dif(f.materiales.size());
    std::mt19937 azar(11);
    std::uniform_real_distribution<double> u(0.01, 0.99);
    for (size_t i = 0; i < f.caras.size(); ++i) {
        const CaraFixtura &c = f.caras[i];
        for (int k = 0; k < 200; ++k) {
            // A point of the quad by its two parameters along its sides.
            const double a = u(azar), b = u(azar);
            const double w[4] = {(1 - a) * (1 - b), a * (1 - b), a * b, (1 - a) * b};
            double p[3] = {0, 0, 0}, s = 0, tt = 0;
            for (int j = 0; j < 4; ++j) {
                p[0] += w[j] * c.p[j].x, p[1] += w[j] * c.p[j].y, p[2] += w[j] * c.p[j].z;
                s += w[j] * c.t[j].x, tt += w[j] * c.t[j].y;
            }
            double q[3], fuente[3], salida[3];
            Aplicar(t, p, q);
            CalcularColorFuente(f, (int)i, s, tt, fuente);
            ASSERT_TRUE(CalcularColorSalida(sal, q, 1e-3 * t.escala, salida))
                << "no output face at a point of face " << i;
            for (int ch = 0; ch < 3; ++ch) dif[c.material].push_back(std::fabs(fuente[ch] - salida[ch]));
        }
    }
    for (const std::vector<double> &d : dif) {
        peor->push_back(d.empty() ? 0 : *std::max_element(d.begin(), d.end()));
        mediana->push_back(CalcularMediana(d));
    }
    *bits_paredes = sal[2].bits;
    for (Salida &s : sal) LiberarModelo(&s.m);
}

struct CasoEscena {
    const char *nombre;
    Fixtura (*fixtura)();
    std::string (*escribir)(const Fixtura &, const std::string &);
    int bits;       // of the walls' image
    int cortadas;   // wall faces cut: those spanning more than one repeat
};

Fixtura CrearSalaOBJSinTonos() { return CrearSalaOBJ(); }

// The OBJ room: bricks tiled 7 x 3 from negative coordinates beside wood
// (a colour factor) and plaster (a colour only) on one wall, glass with
// alpha tiled twice, which makes the walls' image 32-bit. The GLB: an
// embedded image with a baseColorFactor, tiled on the back wall, and a
// colour-only material.
TEST(AtlasEscena, CadaPuntoDelColorDeLaFuente)
{
    const CasoEscena casos[] = {{"obj", CrearSalaOBJSinTonos, EscribirOBJ, 32, 4},
                                {"glb", CrearSalaGLB, EscribirGLB, 24, 2}};
    for (const CasoEscena &c : casos) {
        const Fixtura f = c.fixtura();
        const std::string dir = DirTemporal() + "/" + c.nombre;
        mkdir(dir.c_str(), 0755);
        const std::string sala = c.escribir(f, dir);
        ASSERT_FALSE(sala.empty()) << c.nombre;
        const std::string carpeta = ImportarSala(sala, std::string(c.nombre) + "_salida");
        ASSERT_FALSE(carpeta.empty()) << c.nombre;
        std::vector<double> peor, mediana;
        int bits = 0;
        CompararColores(f, carpeta, &peor, &mediana, &bits);
        for (size_t m = 0; m < f.materiales.size(); ++m) {
            // Images kept at their size: only float rounding of coordinates
            // and the 8-bit product with the colour (half a level) part them.
            EXPECT_LE(mediana[m], 0.5) << c.nombre << " " << f.materiales[m].nombre;
            EXPECT_LE(peor[m], 2) << c.nombre << " " << f.materiales[m].nombre;
        }
        EXPECT_EQ(bits, c.bits) << c.nombre;
        const std::string informe = LeerTexto(carpeta + "/importacion.json");
        const size_t paredes = informe.find("\"Paredes\"");
        const std::string cortadas = "\"caras_cortadas\": " + std::to_string(c.cortadas) + ",";
        EXPECT_NE(informe.find(cortadas, paredes), std::string::npos) << c.nombre << ": " << cortadas;
    }
}

}   // namespace
