// The bundled scene, as the walkthrough loads it: the five models through
// CargarModeloOBJ with their face formats, the four textures through
// CargarImagenTGA and byte by byte, and the generator's output being the
// same on every run. Walking through the hall with the real tick is
// test_soak's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "camara.h"
#include "colision.h"
#include "imagen.h"
#include "modelo.h"
#include "vector.h"

namespace {

const std::string kEscena = TALO_ESCENA_DIR;

std::string RutaModelo(const char *nombre) { return kEscena + "/Modelos/" + nombre + ".OBJ"; }
std::string RutaTextura(const char *nombre) { return kEscena + "/Texturas/" + nombre + ".tga"; }

Modelo Cargar(const char *nombre, int formato)
{
    return CargarModeloOBJ(RutaModelo(nombre).c_str(), formato);
}

Vector Resta(Vector a, Vector b) { return Vector{a.x - b.x, a.y - b.y, a.z - b.z}; }
double Punto(Vector a, Vector b) { return (double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z; }
Vector Cruz(Vector a, Vector b)
{
    return Vector{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Largo(Vector a) { return std::sqrt(Punto(a, a)); }

Vector Esquina(const Modelo &m, int cara, int k) { return m.Vertices[m.Caras[cara].Vert[k]]; }
Vector NormalCara(const Modelo &m, int cara)
{
    return Cruz(Resta(Esquina(m, cara, 1), Esquina(m, cara, 0)),
                Resta(Esquina(m, cara, 2), Esquina(m, cara, 0)));
}

// The index into every array that the model's drawing variant reads must be
// in range; the counts select the variant, so check those first.
void ExpectIndicesEnRango(const Modelo &m, bool conCTexturas, bool conNormales)
{
    ASSERT_GT(m.NumVertices, 0);
    ASSERT_GT(m.NumCaras, 0);
    EXPECT_EQ(m.NumCTexturas != 0, conCTexturas);
    EXPECT_EQ(m.NumNormales != 0, conNormales);
    int fuera = 0;
    for (int i = 0; i < m.NumCaras; i++) {
        const Cara &f = m.Caras[i];
        if (!CaraDentro(f, m.NumVertices) || (conCTexturas && !CaraDentro(f, m.NumCTexturas)) ||
            (conNormales && !CaraDentro(f, m.NumNormales)))
            fuera++;
    }
    EXPECT_EQ(fuera, 0);
}

// What the file says, read as plain text: how many statements of each kind,
// and whether every corner of every face repeats one number in each of its
// positions (so whichever position a loader keeps addresses all arrays).
struct Texto {
    int v = 0, vt = 0, vn = 0, f = 0;
    int esquinasDistintas = 0;     // corners whose numbers differ
    int esquinasMalFormadas = 0;   // corners not in the expected form
};

Texto LeerTexto(const char *nombre, const char *forma)
{
    Texto t;
    std::ifstream in(RutaModelo(nombre));
    std::string palabra;
    while (in >> palabra) {
        if (palabra == "v")
            t.v++;
        else if (palabra == "vt")
            t.vt++;
        else if (palabra == "vn")
            t.vn++;
        else if (palabra == "f") {
            t.f++;
            for (int k = 0; k < 3; k++) {
                std::string esquina;
                in >> esquina;
                int a = -1, b = -2, c = -3, leidos = 0;
                char resto = 0;
                if (std::strcmp(forma, "v/vt") == 0)
                    leidos = std::sscanf(esquina.c_str(), "%d/%d%c", &a, &b, &resto) == 2 ? 3 : 0, c = a;
                else if (std::strcmp(forma, "v//vn") == 0)
                    leidos = std::sscanf(esquina.c_str(), "%d//%d%c", &a, &b, &resto) == 2 ? 3 : 0, c = a;
                else
                    leidos = std::sscanf(esquina.c_str(), "%d/%d/%d%c", &a, &b, &c, &resto) == 3 ? 3 : 0;
                if (leidos != 3)
                    t.esquinasMalFormadas++;
                else if (a != b || b != c)
                    t.esquinasDistintas++;
            }
        }
    }
    return t;
}

struct Caja {
    Vector min, max;
};

Caja CajaDe(const Modelo &m)
{
    Caja c{m.Vertices[0], m.Vertices[0]};
    for (int i = 1; i < m.NumVertices; i++) {
        Vector v = m.Vertices[i];
        c.min = Vector{std::min(c.min.x, v.x), std::min(c.min.y, v.y), std::min(c.min.z, v.z)};
        c.max = Vector{std::max(c.max.x, v.x), std::max(c.max.y, v.y), std::max(c.max.z, v.z)};
    }
    return c;
}

std::vector<unsigned char> Bytes(const std::string &ruta)
{
    std::ifstream in(ruta, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ------------------------------------------------------------------ room

const char *kSala[3] = {"Techo", "Suelo", "Paredes"};

// Closed and outward: every edge is shared by exactly two faces that run it
// in opposite directions, the enclosed volume is positive (counter-clockwise
// from outside), and the vertex normals agree with the faces.
void ExpectSuperficieCerrada(const Modelo &m);
void ExpectNormalesHaciaFuera(const Modelo &m);

// Each model with the face format the walkthrough reads it with: one number
// per corner in every position, so the arrays drawn are all indexed in
// range; texture coordinates inside the image. The room has texture
// coordinates and no normals, the woman both, the horse normals only; the
// figures are closed surfaces with outward unit normals.
TEST(EscenaModelos, CadaModeloConSuFormatoDeCara)
{
    struct Caso {
        const char *nombre;
        int formato;
        const char *forma;
        bool texturas, normales;
    };
    const Caso casos[] = {
        {"Techo", 0, "v/vt", true, false},    {"Suelo", 0, "v/vt", true, false},
        {"Paredes", 0, "v/vt", true, false},  {"Mujer", 2, "v/vt/vn", true, true},
        {"Caballo", 1, "v//vn", false, true},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.nombre);
        Modelo m = Cargar(k.nombre, k.formato);
        ExpectIndicesEnRango(m, k.texturas, k.normales);
        EXPECT_EQ(m.NumCTexturas, k.texturas ? m.NumVertices : 0);
        EXPECT_EQ(m.NumNormales, k.normales ? m.NumVertices : 0);
        // formats 0 and 1 keep the vt or vn number in the second triple: one per v
        int distintos = 0;
        for (int i = 0; i < m.NumCaras && k.formato != 2; i++)
            for (int c = 0; c < 3; c++) distintos += m.Caras[i].Aux[c] != m.Caras[i].Vert[c];
        EXPECT_EQ(distintos, 0);
        int fueraDeRango = 0;
        for (int i = 0; i < m.NumCTexturas; i++) {
            Vector t = m.CTexturas[i];
            fueraDeRango +=
                !(t.x >= 0.0f && t.x <= 1.0f && t.y >= 0.0f && t.y <= 1.0f && (k.normales || t.z == 0.0f));
        }
        EXPECT_EQ(fueraDeRango, 0);
        Texto texto = LeerTexto(k.nombre, k.forma);
        EXPECT_EQ(texto.v, m.NumVertices);
        EXPECT_EQ(texto.vt, m.NumCTexturas);
        EXPECT_EQ(texto.vn, k.normales ? m.NumVertices : 0);
        EXPECT_EQ(texto.f, m.NumCaras);
        EXPECT_EQ(texto.esquinasMalFormadas, 0);
        EXPECT_EQ(texto.esquinasDistintas, 0);
        if (k.normales) {
            EXPECT_GE(m.NumCaras, 2000);
            EXPECT_LE(m.NumCaras, 20000);
            ExpectSuperficieCerrada(m);
            ExpectNormalesHaciaFuera(m);
        }
        LiberarModelo(&m);
    }
}

TEST(EscenaSala, TriangulosDeTamanoModerado)
{
    for (const char *nombre : kSala) {
        SCOPED_TRACE(nombre);
        Modelo m = Cargar(nombre, 0);
        double mayor = 0.0, menorArea = 1e30;
        for (int i = 0; i < m.NumCaras; i++) {
            for (int k = 0; k < 3; k++)
                mayor = std::max(mayor, Largo(Resta(Esquina(m, i, (k + 1) % 3), Esquina(m, i, k))));
            menorArea = std::min(menorArea, Largo(NormalCara(m, i)) / 2.0);
        }
        EXPECT_LE(mayor, 200.0);
        EXPECT_GT(menorArea, 100.0);   // no slivers or degenerate faces
        LiberarModelo(&m);
    }
}

TEST(EscenaSala, SueloYTechoHorizontalesMirandoALaSala)
{
    Modelo suelo = Cargar("Suelo", 0), techo = Cargar("Techo", 0);
    int malSuelo = 0, malTecho = 0;
    for (int i = 0; i < suelo.NumVertices; i++) malSuelo += suelo.Vertices[i].y != -50.0f;
    for (int i = 0; i < techo.NumVertices; i++) malTecho += techo.Vertices[i].y != 350.0f;
    EXPECT_EQ(malSuelo, 0);
    EXPECT_EQ(malTecho, 0);
    int arriba = 0, abajo = 0;
    for (int i = 0; i < suelo.NumCaras; i++) arriba += NormalCara(suelo, i).y > 0.0f;
    for (int i = 0; i < techo.NumCaras; i++) abajo += NormalCara(techo, i).y < 0.0f;
    EXPECT_EQ(arriba, suelo.NumCaras);
    EXPECT_EQ(abajo, techo.NumCaras);
    // Both cover the same hall, with the start well inside it.
    Caja cs = CajaDe(suelo), ct = CajaDe(techo);
    EXPECT_EQ(cs.min.x, ct.min.x);
    EXPECT_EQ(cs.max.z, ct.max.z);
    EXPECT_LT(cs.min.x, -1000.0f);
    EXPECT_GT(cs.max.x, 1000.0f);
    EXPECT_LT(cs.min.z, -2000.0f);
    EXPECT_GT(cs.max.z, 500.0f);
    LiberarModelo(&suelo);
    LiberarModelo(&techo);
}

// Where the ray from o along d first meets triangle abc (Moller-Trumbore),
// or a negative number when it does not.
double Rayo(Vector o, Vector d, Vector a, Vector b, Vector c)
{
    Vector e1 = Resta(b, a), e2 = Resta(c, a);
    Vector p = Cruz(d, e2);
    double det = Punto(e1, p);
    if (std::fabs(det) < 1e-9) return -1.0;
    Vector s = Resta(o, a);
    double u = Punto(s, p) / det;
    if (u < 0.0 || u > 1.0) return -1.0;
    Vector q = Cruz(s, e1);
    double v = Punto(d, q) / det;
    if (v < 0.0 || u + v > 1.0) return -1.0;
    return Punto(e2, q) / det;
}

// A wall that faced away from the hall would look into the solid behind it:
// the pillars are 80 across and the free-standing wall 40 thick, so every
// face must see at least 100 units of open space in front of it, inside the
// hall, and stand upright from floor to ceiling.
TEST(EscenaSala, ParedesMiranAlInterior)
{
    Modelo m = Cargar("Paredes", 0);
    Caja caja = CajaDe(m);
    EXPECT_EQ(caja.min.y, -50.0f);
    EXPECT_EQ(caja.max.y, 350.0f);
    int ciegas = 0, fuera = 0, inclinadas = 0;
    for (int i = 0; i < m.NumCaras; i++) {
        Vector n = NormalCara(m, i);
        double l = Largo(n);
        Vector d = Vector{(float)(n.x / l), (float)(n.y / l), (float)(n.z / l)};
        inclinadas += std::fabs(d.y) > 1e-6;
        Vector c = Vector{(Esquina(m, i, 0).x + Esquina(m, i, 1).x + Esquina(m, i, 2).x) / 3,
                          (Esquina(m, i, 0).y + Esquina(m, i, 1).y + Esquina(m, i, 2).y) / 3,
                          (Esquina(m, i, 0).z + Esquina(m, i, 1).z + Esquina(m, i, 2).z) / 3};
        Vector delante = Vector{c.x + d.x, c.y + d.y, c.z + d.z};
        fuera += !(delante.x > caja.min.x && delante.x < caja.max.x && delante.z > caja.min.z &&
                   delante.z < caja.max.z);
        for (int j = 0; j < m.NumCaras; j++) {
            double t = j == i ? -1.0 : Rayo(delante, d, Esquina(m, j, 0), Esquina(m, j, 1), Esquina(m, j, 2));
            if (t >= 0.0 && t < 100.0) {
                ciegas++;
                break;
            }
        }
    }
    EXPECT_EQ(inclinadas, 0);
    EXPECT_EQ(fuera, 0);
    EXPECT_EQ(ciegas, 0);
    LiberarModelo(&m);
}

// ------------------------------------------------------------- figures

void ExpectSuperficieCerrada(const Modelo &m)
{
    std::map<std::pair<int, int>, int> aristas;
    for (int i = 0; i < m.NumCaras; i++)
        for (int k = 0; k < 3; k++) aristas[{m.Caras[i].Vert[k], m.Caras[i].Vert[(k + 1) % 3]}]++;
    int sueltas = 0;
    for (const auto &a : aristas)
        if (a.second != 1 || aristas.count({a.first.second, a.first.first}) == 0 ||
            aristas.at({a.first.second, a.first.first}) != 1)
            sueltas++;
    EXPECT_EQ(sueltas, 0);
    double volumen = 0.0;
    for (int i = 0; i < m.NumCaras; i++)
        volumen += Punto(Esquina(m, i, 0), Cruz(Esquina(m, i, 1), Esquina(m, i, 2))) / 6.0;
    EXPECT_GT(volumen, 0.0);
}

void ExpectNormalesHaciaFuera(const Modelo &m)
{
    int noUnitarias = 0, contrarias = 0;
    for (int i = 0; i < m.NumNormales; i++) noUnitarias += std::fabs(Largo(m.Normales[i]) - 1.0) > 1e-4;
    for (int i = 0; i < m.NumCaras; i++) {
        Vector n = NormalCara(m, i);
        double acuerdo = 0.0;
        for (int k = 0; k < 3; k++) acuerdo += Punto(n, m.Normales[m.Caras[i].Vert[k]]);
        contrarias += acuerdo <= 0.0;
    }
    EXPECT_EQ(noUnitarias, 0);
    EXPECT_LE(contrarias, m.NumCaras / 200) << contrarias << " of " << m.NumCaras;
}

// To the scale of a viewer whose eye is 50 above the floor: a woman 55 to 60
// tall, a horse about 50 at the withers (the top of its back, between the
// neck and the tail), both standing on the floor.
TEST(EscenaFiguras, TamanoYApoyoEnElSuelo)
{
    Modelo mujer = Cargar("Mujer", 2), caballo = Cargar("Caballo", 1);
    Caja cm = CajaDe(mujer), cc = CajaDe(caballo);
    EXPECT_EQ(cm.min.y, -50.0f);
    EXPECT_GE(cm.max.y - cm.min.y, 55.0f);
    EXPECT_LE(cm.max.y - cm.min.y, 60.0f);
    EXPECT_EQ(cc.min.y, -50.0f);
    // The horse stands side-on, facing -x: head at the low end of x.
    float largo = cc.max.x - cc.min.x;
    EXPECT_GT(largo, 55.0f);
    EXPECT_LT(largo, 90.0f);
    float lomo = -1e9f;
    for (int i = 0; i < caballo.NumVertices; i++) {
        Vector v = caballo.Vertices[i];
        float f = (v.x - cc.min.x) / largo;
        if (f > 0.4f && f < 0.75f) lomo = std::max(lomo, v.y);
    }
    EXPECT_GE(lomo + 50.0f, 46.0f);
    EXPECT_LE(lomo + 50.0f, 54.0f);
    EXPECT_GT(cc.max.y + 50.0f, 60.0f);   // the head carried above the back
    LiberarModelo(&mujer);
    LiberarModelo(&caballo);
}

// From the reset camera (eye at the origin looking along -z, 60 degrees of
// vertical field of view, a 16:9 screen) every vertex of both figures is in
// view, the horse as drawn (moved by -50 in z), the woman on the left and
// the horse on the right.
TEST(EscenaFiguras, AmbasEnVistaDesdeElInicio)
{
    Modelo mujer = Cargar("Mujer", 2), caballo = Cargar("Caballo", 1);
    const double alto = std::tan(30.0 * 3.14159265358979 / 180.0), ancho = alto * 16.0 / 9.0;
    for (int f = 0; f < 2; f++) {
        const Modelo &m = f == 0 ? mujer : caballo;
        double dz = f == 0 ? 0.0 : -50.0;
        int fuera = 0;
        for (int i = 0; i < m.NumVertices; i++) {
            double prof = -(m.Vertices[i].z + dz);
            fuera += !(prof > 100.0 && prof < 600.0 && std::fabs(m.Vertices[i].x / prof) < ancho * 0.95 &&
                       std::fabs(m.Vertices[i].y / prof) < alto * 0.95);
        }
        EXPECT_EQ(fuera, 0) << (f == 0 ? "Mujer" : "Caballo");
    }
    EXPECT_LT(CajaDe(mujer).max.x, CajaDe(caballo).min.x);
    LiberarModelo(&mujer);
    LiberarModelo(&caballo);
}

// --------------------------------------------------------------- textures

const char *kTexturas[4] = {"Vampiro", "Paredes", "Suelo", "Techo"};

TEST(EscenaTexturas, CabeceraDelSubconjuntoLeido)
{
    for (const char *nombre : kTexturas) {
        SCOPED_TRACE(nombre);
        std::vector<unsigned char> b = Bytes(RutaTextura(nombre));
        ASSERT_EQ(b.size(), 18u + 512u * 512u * 3u);
        EXPECT_EQ(b[0], 0);   // no image ID: pixels start at byte 18
        EXPECT_EQ(b[1], 0);   // no colour map
        EXPECT_EQ(b[2], 2);   // uncompressed true colour
        for (int i = 3; i < 12; i++) EXPECT_EQ(b[i], 0) << "byte " << i;
        EXPECT_EQ(b[12] + 256 * b[13], 512);
        EXPECT_EQ(b[14] + 256 * b[15], 512);
        EXPECT_EQ(b[16], 24);
        EXPECT_EQ(b[17], 0);   // bottom-left origin, no alpha bits
        Imagen img = CargarImagenTGA(RutaTextura(nombre).c_str());
        ASSERT_NE(img.Pixeles, nullptr);
        EXPECT_EQ(img.Ancho, 512);
        EXPECT_EQ(img.Alto, 512);
        EXPECT_EQ(img.Bpp, 24);
        size_t ultimo = 512u * 512u * 3u - 3u;
        EXPECT_EQ(img.Pixeles[ultimo], b[18 + ultimo + 2]);
        EXPECT_EQ(img.Pixeles[ultimo + 2], b[18 + ultimo]);
        std::free(img.Pixeles);
    }
}

double Componente(const Imagen &img, int x, int y, int c)
{
    x = ((x % img.Ancho) + img.Ancho) % img.Ancho;
    y = ((y % img.Alto) + img.Alto) % img.Alto;
    return img.Pixeles[((size_t)y * img.Ancho + x) * 3 + c];
}

// Mean colour difference across the picture's wrap-around edge compared with
// that between neighbouring pixels anywhere: a repeating texture must not
// show its seam.
double Costura(const Imagen &img, bool horizontal)
{
    double junta = 0.0, vecinos = 0.0;
    int n = 0;
    for (int i = 0; i < 512; i++)
        for (int c = 0; c < 3; c++) {
            if (horizontal)
                junta += std::fabs(Componente(img, 511, i, c) - Componente(img, 0, i, c));
            else
                junta += std::fabs(Componente(img, i, 511, c) - Componente(img, i, 0, c));
            for (int k = 0; k < 511; k += 37) {
                if (horizontal)
                    vecinos += std::fabs(Componente(img, k, i, c) - Componente(img, k + 1, i, c));
                else
                    vecinos += std::fabs(Componente(img, i, k, c) - Componente(img, i, k + 1, c));
                n++;
            }
        }
    return (junta / (512 * 3)) / (vecinos / n);
}

TEST(EscenaTexturas, LasQueSeRepitenNoMuestranCostura)
{
    Imagen suelo = CargarImagenTGA(RutaTextura("Suelo").c_str());
    Imagen paredes = CargarImagenTGA(RutaTextura("Paredes").c_str());
    Imagen techo = CargarImagenTGA(RutaTextura("Techo").c_str());
    ASSERT_NE(suelo.Pixeles, nullptr);
    ASSERT_NE(paredes.Pixeles, nullptr);
    ASSERT_NE(techo.Pixeles, nullptr);
    EXPECT_LT(Costura(suelo, true), 2.0);
    EXPECT_LT(Costura(suelo, false), 2.0);
    EXPECT_LT(Costura(paredes, true), 2.0);   // one repeat is the wall's height
    EXPECT_LT(Costura(techo, true), 2.0);
    EXPECT_LT(Costura(techo, false), 2.0);
    std::free(suelo.Pixeles);
    std::free(paredes.Pixeles);
    std::free(techo.Pixeles);
}

// ------------------------------------------- what the drawing order implies

// The room has no normals and is drawn right after the woman, so it is lit
// with the normal of her last corner: that normal should face the light at
// (100, 100, 100), or the whole hall is dim.
TEST(EscenaLuz, LaSalaSeIluminaConLaUltimaNormalDeLaMujer)
{
    Modelo m = Cargar("Mujer", 2);
    Vector n = m.Normales[m.Caras[m.NumCaras - 1].Vert[2]];
    EXPECT_GT(Punto(n, Vector{1.0f, 1.0f, 1.0f}) / std::sqrt(3.0), 0.9);
    LiberarModelo(&m);
}

// The horse has no texture coordinates and is drawn with the walls texture
// still bound, at the texture coordinate of the walls' last corner (after the
// walls' coordinates were multiplied by 5): that texel colours the whole
// horse, and it should be a horse's chestnut brown, not grey stone or mortar.
TEST(EscenaLuz, ElCaballoTomaElColorDeLaUltimaEsquinaDeLasParedes)
{
    Modelo m = Cargar("Paredes", 0);
    EscalarCTextura(&m, 5.0f);
    Vector t = m.CTexturas[m.Caras[m.NumCaras - 1].Vert[2]];
    Imagen img = CargarImagenTGA(RutaTextura("Paredes").c_str());
    ASSERT_NE(img.Pixeles, nullptr);
    // linear filtering with repeat: the four texels around the sample point
    double s = (t.x - std::floor(t.x)) * 512.0 - 0.5, u = (t.y - std::floor(t.y)) * 512.0 - 0.5;
    int x0 = (int)std::floor(s), y0 = (int)std::floor(u);
    double color[3] = {0.0, 0.0, 0.0};
    for (int c = 0; c < 3; c++)
        for (int dy = 0; dy < 2; dy++)
            for (int dx = 0; dx < 2; dx++) color[c] += Componente(img, x0 + dx, y0 + dy, c) / 4.0;
    EXPECT_GT(color[0], color[1] + 30.0);
    EXPECT_GT(color[1], color[2] + 20.0);
    EXPECT_GT(color[0], 120.0);
    std::free(img.Pixeles);
    LiberarModelo(&m);
}

// ------------------------------------------------------------- generator

// Running the generator again, into another folder, writes the same bytes.
TEST(EscenaGenerador, MismosBytesEnCadaEjecucion)
{
    // The platform's own separators, and quotes only around the folder: a
    // command line that starts with a quote loses it to Windows' shell.
    std::string generador = std::filesystem::path(TALO_GENERADOR).make_preferred().string();
    std::string otra = ::testing::TempDir() + "escena_repetida";
    std::string orden = generador + " \"" + otra + "\"";
    ASSERT_EQ(std::system(orden.c_str()), 0) << orden;
    const char *archivos[9] = {"Modelos/Techo.OBJ",    "Modelos/Suelo.OBJ",   "Modelos/Paredes.OBJ",
                               "Modelos/Mujer.OBJ",    "Modelos/Caballo.OBJ", "Texturas/Vampiro.tga",
                               "Texturas/Paredes.tga", "Texturas/Suelo.tga",  "Texturas/Techo.tga"};
    for (const char *a : archivos) {
        std::vector<unsigned char> uno = Bytes(kEscena + "/" + a), dos = Bytes(otra + "/" + a);
        EXPECT_FALSE(uno.empty()) << a;
        EXPECT_TRUE(uno == dos) << a;
    }
}

}   // namespace
