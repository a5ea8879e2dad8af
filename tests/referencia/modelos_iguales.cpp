// modelos_iguales.cpp - see modelos_iguales.h.
#include "modelos_iguales.h"

#include <cstdio>

#include "comun.h"

namespace {

std::string Texto(const char *formato, const char *que, int i, const char *campo, double a, unsigned ba,
                  double b, unsigned bb)
{
    char t[256];
    snprintf(t, sizeof t, formato, que, i, campo, a, ba, b, bb);
    return t;
}

std::string DiferenciaVectores(const char *que, const Vector *a, const Vector *b, int n)
{
    static const char *const kFormato = "%s %d %s: a %.9g (0x%08x), b %.9g (0x%08x)";
    for (int i = 0; i < n; i++) {
        const float fa[3] = {a[i].x, a[i].y, a[i].z}, fb[3] = {b[i].x, b[i].y, b[i].z};
        static const char *const kCampos[3] = {"x", "y", "z"};
        for (int k = 0; k < 3; k++)
            if (Bits(fa[k]) != Bits(fb[k]))
                return Texto(kFormato, que, i, kCampos[k], fa[k], Bits(fa[k]), fb[k], Bits(fb[k]));
    }
    return "";
}

std::string DiferenciaCaras(const Cara *a, const Cara *b, int n)
{
    static const char *const kHuecos[9] = {"Vert[0]", "Vert[1]", "Vert[2]", "Aux[0]", "Aux[1]",
                                           "Aux[2]",  "Res[0]",  "Res[1]",  "Res[2]"};
    for (int i = 0; i < n; i++) {
        const int ha[9] = {a[i].Vert[0], a[i].Vert[1], a[i].Vert[2], a[i].Aux[0], a[i].Aux[1],
                           a[i].Aux[2],  a[i].Res[0],  a[i].Res[1],  a[i].Res[2]};
        const int hb[9] = {b[i].Vert[0], b[i].Vert[1], b[i].Vert[2], b[i].Aux[0], b[i].Aux[1],
                           b[i].Aux[2],  b[i].Res[0],  b[i].Res[1],  b[i].Res[2]};
        for (int k = 0; k < 9; k++)
            if (ha[k] != hb[k])
                return Texto("%s %d %s: a %.0f (0x%08x), b %.0f (0x%08x)", "face", i, kHuecos[k], ha[k],
                             (unsigned)ha[k], hb[k], (unsigned)hb[k]);
    }
    return "";
}

}   // namespace

std::string DiferenciaModelos(const Modelo &a, const Modelo &b)
{
    if (a.NumVertices != b.NumVertices || a.NumCaras != b.NumCaras || a.NumCTexturas != b.NumCTexturas ||
        a.NumNormales != b.NumNormales) {
        char t[256];
        snprintf(t, sizeof t, "counts v/f/vt/vn: a %d/%d/%d/%d, b %d/%d/%d/%d", a.NumVertices, a.NumCaras,
                 a.NumCTexturas, a.NumNormales, b.NumVertices, b.NumCaras, b.NumCTexturas, b.NumNormales);
        return t;
    }
    std::string d = DiferenciaVectores("vertex", a.Vertices, b.Vertices, a.NumVertices);
    if (d.empty()) d = DiferenciaVectores("normal", a.Normales, b.Normales, a.NumNormales);
    if (d.empty()) d = DiferenciaVectores("texture coordinate", a.CTexturas, b.CTexturas, a.NumCTexturas);
    if (d.empty()) d = DiferenciaCaras(a.Caras, b.Caras, a.NumCaras);
    return d;
}
