// figuras_incluidas.cpp - the bundled woman and horse, made by the
// generator's own code, read as scenes of their own so that they are placed
// in an imported room like any figure the user gives.
#include <cmath>

#include "figuras.h"
#include "importar_local.h"
#include "texturas.h"

namespace {

Vector AVector(const Punto3 &p) { return Vector{(float)p.x, (float)p.y, (float)p.z}; }

EscenaFuente DeMalla(const Malla &m, const char *nombre)
{
    EscenaFuente e;
    e.ruta = nombre;
    e.formato = "incluida";
    e.ejes_conocidos = true;
    e.materiales.push_back(MaterialImportado{});
    for (const Triangulo &t : m.caras) {
        TrianguloImportado g;
        g.material = 0;
        const int v[3] = {t.a, t.b, t.c};
        for (int c = 0; c < 3; c++) {
            g.e[c].posicion = AVector(m.vertices[v[c]]);
            g.e[c].normal = m.normales.empty() ? Vector{0, 0, 0} : AVector(m.normales[v[c]]);
            g.e[c].textura = m.ctexturas.empty() ? Vector{0, 0, 0} : AVector(m.ctexturas[v[c]]);
        }
        e.caras.push_back(g);
        e.rol.push_back(-1);
        e.marcas.push_back(m.ctexturas.empty() ? kSinTextura : 0);
    }
    e.caras_entrada = (long)e.caras.size();
    return e;
}

}   // namespace

EscenaFuente GenerarMujerIncluida() { return DeMalla(GenerarMujer(), "bundled woman"); }
EscenaFuente GenerarCaballoIncluido() { return DeMalla(GenerarCaballo(), "bundled horse"); }

ImagenRGBA GenerarTexturaMujer()
{
    Lienzo l = TexturaVampiro();
    ImagenRGBA img;
    img.ancho = l.ancho, img.alto = l.alto;
    img.rgba.resize((size_t)l.ancho * l.alto * 4);
    for (int y = 0; y < l.alto; y++)   // the picture's rows run from the bottom up
        for (int x = 0; x < l.ancho; x++) {
            const float *p = &l.rgb[((size_t)y * l.ancho + x) * 3];
            unsigned char *q = &img.rgba[((size_t)(l.alto - 1 - y) * l.ancho + x) * 4];
            for (int c = 0; c < 3; c++) {
                long b = std::lround(p[c] * 255.0);
                q[c] = (unsigned char)(b < 0 ? 0 : b > 255 ? 255 : b);
            }
            q[3] = 255;
        }
    return img;
}
