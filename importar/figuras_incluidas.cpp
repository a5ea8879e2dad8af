// figuras_incluidas.cpp - the bundled woman and horse, read as scenes of
// their own so that they are placed in an imported room like any figure the
// user gives: from the bundled scene's files where the build or the
// installation put them, else made by the generator's own code.
#include <cmath>
#include <string>

#include "figuras.h"
#include "modelo.h"
#include "importar_local.h"
#include "texturas.h"

namespace {

Vector AVector(const Punto3 &p) { return Vector{(float)p.x, (float)p.y, (float)p.z}; }

EscenaFuente DeMalla(const Malla &m, const std::string &nombre)
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

// The figure as the walkthrough reads it from the bundled scene, where every
// corner has one number for all its arrays; an empty scene when the file is
// missing or does not hold a whole figure of that form.
EscenaFuente DeFichero(const std::string &ruta, int formato, const char *nombre)
{
    Modelo m = CargarModeloOBJ(ruta.c_str(), formato);
    const int n = m.NumVertices;
    bool bien = m.NumCaras > 0 && m.NumNormales == n && (m.NumCTexturas == 0 || m.NumCTexturas == n);
    for (int i = 0; bien && i < m.NumCaras; i++) bien = CaraDentro(m.Caras[i], n);
    Malla malla;
    for (int i = 0; bien && i < n; i++) {
        const Vector &v = m.Vertices[i], &w = m.Normales[i];
        malla.vertices.push_back(Punto3{v.x, v.y, v.z});
        malla.normales.push_back(Punto3{w.x, w.y, w.z});
        if (m.NumCTexturas) malla.ctexturas.push_back(Punto3{m.CTexturas[i].x, m.CTexturas[i].y, 0});
    }
    for (int i = 0; bien && i < m.NumCaras; i++)
        malla.caras.push_back(Triangulo{m.Caras[i].Vert[0], m.Caras[i].Vert[1], m.Caras[i].Vert[2]});
    LiberarModelo(&m);
    return bien ? DeMalla(malla, std::string(nombre) + " (" + ruta + ")") : EscenaFuente{};
}

}   // namespace

EscenaFuente MujerIncluida(const std::string &carpeta)
{
    EscenaFuente e;
    if (!carpeta.empty()) e = DeFichero(carpeta + "/Modelos/Mujer.OBJ", 2, "bundled woman");
    return e.caras.empty() ? DeMalla(GenerarMujer(), "bundled woman") : e;
}

EscenaFuente CaballoIncluido(const std::string &carpeta)
{
    EscenaFuente e;
    if (!carpeta.empty()) e = DeFichero(carpeta + "/Modelos/Caballo.OBJ", 1, "bundled horse");
    return e.caras.empty() ? DeMalla(GenerarCaballo(), "bundled horse") : e;
}

ImagenRGBA TexturaMujerIncluida(const std::string &carpeta)
{
    ImagenRGBA img;
    MaterialImportado vampiro;
    vampiro.imagen = carpeta + "/Texturas/Vampiro.tga";
    std::string error;
    if (!carpeta.empty() && DecodificarImagen(vampiro, &img, &error)) return img;
    Lienzo l = TexturaVampiro();
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
