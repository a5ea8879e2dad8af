// comun_importar.h - running the importer on a fixture and reading back what
// it wrote, as the walkthrough reads it.
#ifndef TALO_PRUEBAS_COMUN_IMPORTAR_H
#define TALO_PRUEBAS_COMUN_IMPORTAR_H

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "comun.h"
#include "modelo.h"

// Runs importar with `argumentos` (already quoted); its exit status, and its
// standard error in `error`.
inline int Importar(const std::string &argumentos, std::string *error = nullptr)
{
    std::string err = DirTemporal() + "/stderr.txt";
    std::string orden = std::string(TALO_IMPORTAR) + " " + argumentos + " >/dev/null 2>" + err;
    int r = std::system(orden.c_str());
    std::ifstream f(err);
    std::string texto((std::istreambuf_iterator<char>(f)), {});
    if (error) *error = texto;
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

inline std::string LeerTexto(const std::string &ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), {});
}

// One slot's object of importacion.json, as far as the tests read it.
struct InformeRanura {
    bool hallada = false;
    long entrada = 0, salida = 0;
    long degeneradas = 0, no_finitas = 0, puntos = 0, lineas = 0;
    double escala = 0, rot[3][3] = {}, tras[3] = {};
    std::string textura;
};

// Reads the numbers that follow `clave` in `s` from position `desde`.
inline const char *TrasClave(const std::string &s, size_t desde, const char *clave)
{
    size_t i = s.find(std::string("\"") + clave + "\"", desde);
    return i == std::string::npos ? nullptr : s.c_str() + i + std::strlen(clave) + 3;
}

inline void LeerNumeros(const char *p, double *v, int n)
{
    for (int i = 0; i < n && p; i++) {
        while (*p && !(std::isdigit((unsigned char)*p) || *p == '-')) p++;
        char *fin;
        v[i] = std::strtod(p, &fin);
        p = fin;
    }
}

inline InformeRanura LeerInforme(const std::string &carpeta, const char *ranura)
{
    InformeRanura r;
    std::string s = LeerTexto(carpeta + "/importacion.json");
    size_t i = s.find(std::string("\"") + ranura + "\": {");
    if (i == std::string::npos) return r;
    r.hallada = true;
    double x = -1;
    LeerNumeros(TrasClave(s, i, "caras_entrada"), &x, 1), r.entrada = (long)x;
    LeerNumeros(TrasClave(s, i, "caras_salida"), &x, 1), r.salida = (long)x;
    double d[4] = {-1, -1, -1, -1};
    LeerNumeros(TrasClave(s, i, "descartadas"), d, 2);
    LeerNumeros(TrasClave(s, i, "omitidas"), d + 2, 2);
    r.degeneradas = (long)d[0], r.no_finitas = (long)d[1], r.puntos = (long)d[2], r.lineas = (long)d[3];
    LeerNumeros(TrasClave(s, i, "escala"), &r.escala, 1);
    LeerNumeros(TrasClave(s, i, "rotacion"), &r.rot[0][0], 9);
    LeerNumeros(TrasClave(s, i, "traslacion"), r.tras, 3);
    const char *t = TrasClave(s, i, "textura");
    while (t && *t == ' ') t++;
    if (t && *t == '"') r.textura = std::string(t + 1, std::strchr(t + 1, '"'));
    return r;
}

// A room slot read with face format 0 and its texture coordinates scaled
// as the walkthrough scales them.
inline Modelo CargarRanura(const std::string &carpeta, const char *nombre)
{
    static const struct {
        const char *nombre;
        int formato;
        float factor;
    } kRanuras[] = {{"Techo", 0, 1}, {"Suelo", 0, 10}, {"Paredes", 0, 5}, {"Mujer", 2, 1}, {"Caballo", 1, 1}};
    for (const auto &k : kRanuras)
        if (std::string(nombre) == k.nombre) {
            Modelo m = CargarModeloOBJ((carpeta + "/Modelos/" + nombre + ".OBJ").c_str(), k.formato);
            if (k.factor != 1) EscalarCTextura(&m, k.factor);
            return m;
        }
    Modelo m;
    IniciarModelo(&m);
    return m;
}

#endif
