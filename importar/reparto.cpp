// reparto.cpp - which slot a room triangle goes to, and the geometry every
// stage shares: face normals, the transform, and texture coordinates by
// planar projection.
#include <cctype>
#include <cmath>
#include <string>

#include "importar_local.h"

const char *const kNombreRanura[kNumRanuras] = {"Techo", "Suelo", "Paredes", "Mujer", "Caballo"};

void CalcularNormalCara(const TrianguloImportado &t, double n[3])
{
    const Vector &a = t.e[0].posicion, &b = t.e[1].posicion, &c = t.e[2].posicion;
    double u[3] = {(double)b.x - a.x, (double)b.y - a.y, (double)b.z - a.z};
    double v[3] = {(double)c.x - a.x, (double)c.y - a.y, (double)c.z - a.z};
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
    // The corners' normals say which side faces out; the winding only
    // decides where they say nothing.
    double s[3] = {0, 0, 0};
    for (const EsquinaImportada &e : t.e) {
        s[0] += e.normal.x, s[1] += e.normal.y, s[2] += e.normal.z;
    }
    if (s[0] * n[0] + s[1] * n[1] + s[2] * n[2] < 0)
        for (int i = 0; i < 3; i++) n[i] = -n[i];
}

Ranura RepartirPorNormal(const TrianguloImportado &t)
{
    double n[3];
    CalcularNormalCara(t, n);
    double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    const double cos45 = std::sqrt(0.5);
    if (!(l > 0)) return kParedes;
    if (n[1] > cos45 * l) return kSuelo;
    if (n[1] < -cos45 * l) return kTecho;
    return kParedes;
}

int BuscarRolEnNombre(const std::string &nombre)
{
    std::string s;
    for (char c : nombre) s += (char)std::tolower((unsigned char)c);
    auto tiene = [&](const char *p) { return s.find(p) != std::string::npos; };
    if (tiene("ceiling") || tiene("techo")) return kTecho;
    if (tiene("floor") || tiene("suelo")) return kSuelo;
    if (tiene("wall") || tiene("pared")) return kParedes;
    return -1;
}

void AplicarPunto(const Transformacion &t, const Vector &p, double out[3])
{
    const double q[3] = {t.escala * p.x, t.escala * p.y, t.escala * p.z};
    for (int i = 0; i < 3; i++)
        out[i] = t.rot[i][0] * q[0] + t.rot[i][1] * q[1] + t.rot[i][2] * q[2] + t.tras[i];
}

// The rotation may mirror (a file's axes of the other hand) but never
// scales, so it turns normals as it turns points and keeps their length.
void AplicarNormal(const Transformacion &t, const Vector &n, double out[3])
{
    for (int i = 0; i < 3; i++) out[i] = t.rot[i][0] * n.x + t.rot[i][1] * n.y + t.rot[i][2] * n.z;
}

void ProyectarTextura(TrianguloImportado *t)
{
    double n[3];
    CalcularNormalCara(*t, n);
    double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    for (EsquinaImportada &e : t->e) {
        const Vector &p = e.posicion;
        double s, u;
        if (ay >= ax && ay >= az)
            s = p.x, u = -p.z;   // floors and ceilings: as seen from above
        else if (ax >= az)
            s = -p.z, u = p.y;
        else
            s = p.x, u = p.y;
        e.textura = Vector{(float)(s / kUnidadesRepeticion), (float)(u / kUnidadesRepeticion), 0};
    }
}
