// importar.cpp - turns a room and two figures from any format the import
// library reads into a scene folder the walkthrough reads.
//
//   importar [options] ROOM FOLDER
//
// Writes FOLDER/Modelos/{Techo,Suelo,Paredes,Mujer,Caballo}.OBJ,
// FOLDER/Texturas/{Vampiro,Paredes,Suelo,Techo}.tga and
// FOLDER/importacion.json, all at once or not at all. Exit status 0 on
// success, 1 on a fatal error (one line on stderr naming the file and the
// problem), 2 on a usage error.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "importar_local.h"

// Set by the build where it knows the bundled scene's place.
#ifndef TALO_ESCENA_INSTALADA
#define TALO_ESCENA_INSTALADA ""
#endif
#ifndef TALO_ESCENA_CONSTRUIDA
#define TALO_ESCENA_CONSTRUIDA ""
#endif

namespace {

const char *const kAyuda =
    "usage: importar [options] ROOM FOLDER\n"
    "\n"
    "Reads the room file ROOM (OBJ, glTF, GLB, FBX, Collada, 3DS, PLY, STL and every\n"
    "other format the Open Asset Import Library reads) and writes the scene folder\n"
    "FOLDER for the walkthrough: Modelos/{Techo,Suelo,Paredes,Mujer,Caballo}.OBJ,\n"
    "Texturas/{Vampiro,Paredes,Suelo,Techo}.tga and the report importacion.json.\n"
    "Run the walkthrough from FOLDER (tools/ejecutar.sh BUILD FOLDER).\n"
    "\n"
    "The room is split into ceiling, floor and walls by the faces' normals (or by\n"
    "names: floor/suelo, ceiling/techo, wall/pared), scaled so that a storey is about\n"
    "400 units high, and placed so that the walkthrough starts on a floor with a\n"
    "good view into the room.\n"
    "\n"
    "options:\n"
    "  --mujer FILE      the woman figure (default: the bundled one)\n"
    "  --caballo FILE    the horse figure (default: the bundled one)\n"
    "  --escala S        scale the room by S instead of choosing the scale\n"
    "  --arriba y|z      the room's up axis, instead of what the file says\n"
    "  --inicio X,Y,Z    start at this point, in the room file's coordinates (a point\n"
    "                    on a floor: the eye goes 45 units above it)\n"
    "  --help            this text\n";

bool LeerInicio(const char *s, double p[3])
{
    char *fin;
    for (int i = 0; i < 3; i++) {
        p[i] = std::strtod(s, &fin);
        if (fin == s || !std::isfinite(p[i])) return false;
        s = fin;
        if (i < 2) {
            if (*s != ',') return false;
            s++;
        }
    }
    return *s == '\0';
}

// 0 on success, 2 with a message on a usage error, -1 for --help.
int LeerOpciones(int argc, char **argv, Opciones *o)
{
    std::vector<std::string> libres;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") return -1;
        bool con_valor =
            a == "--mujer" || a == "--caballo" || a == "--escala" || a == "--arriba" || a == "--inicio";
        if (con_valor && i + 1 >= argc) {
            std::fprintf(stderr, "importar: %s needs a value (importar --help)\n", a.c_str());
            return 2;
        }
        if (a == "--mujer")
            o->mujer = argv[++i];
        else if (a == "--caballo")
            o->caballo = argv[++i];
        else if (a == "--escala") {
            char *fin;
            o->escala = std::strtod(argv[++i], &fin);
            if (*fin != '\0' || !(o->escala > 0) || !std::isfinite(o->escala)) {
                std::fprintf(stderr, "importar: --escala needs a positive number, not %s\n", argv[i]);
                return 2;
            }
        } else if (a == "--arriba") {
            std::string v = argv[++i];
            if (v != "y" && v != "z") {
                std::fprintf(stderr, "importar: --arriba takes y or z, not %s\n", v.c_str());
                return 2;
            }
            o->arriba = v == "y" ? 1 : 2;
        } else if (a == "--inicio") {
            if (!LeerInicio(argv[++i], o->inicio)) {
                std::fprintf(stderr, "importar: --inicio takes X,Y,Z, not %s\n", argv[i]);
                return 2;
            }
            o->con_inicio = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "importar: unknown option %s (importar --help)\n", a.c_str());
            return 2;
        } else {
            libres.push_back(a);
        }
    }
    if (libres.size() != 2) {
        std::fprintf(stderr, "usage: importar [options] ROOM FOLDER (importar --help)\n");
        return 2;
    }
    o->sala = libres[0];
    o->carpeta = libres[1];
    return 0;
}

// The bundled scene beside this program: where the installation puts it
// (TALO_ESCENA_INSTALADA, from the games folder), or where the build tree
// makes it (TALO_ESCENA_CONSTRUIDA, from this program's build folder).
// Empty when neither holds it.
std::string CarpetaIncluida()
{
    char programa[4096];
    const ssize_t n = readlink("/proc/self/exe", programa, sizeof programa - 1);
    if (n <= 0) return "";
    programa[n] = 0;
    std::string carpeta(programa);
    carpeta.erase(carpeta.rfind('/') + 1);
    for (const char *relativa : {TALO_ESCENA_INSTALADA, TALO_ESCENA_CONSTRUIDA}) {
        const std::string c = carpeta + relativa;
        char *real = *relativa ? realpath(c.c_str(), nullptr) : nullptr;
        const std::string r = real ? real : "";
        free(real);
        if (!r.empty() && access((r + "/Modelos/Mujer.OBJ").c_str(), R_OK) == 0) return r;
    }
    return "";
}

// A figure from its file, or the bundled one.
bool ColocarFiguraPedida(const std::string &ruta, Ranura k, const SalaColocada &sala, RanuraLista *r,
                         std::string *error)
{
    static const std::string incluida = CarpetaIncluida();
    EscenaFuente e;
    if (!ruta.empty() && !LeerEscena(ruta, &e, error)) return false;
    if (ruta.empty()) e = k == kMujer ? MujerIncluida(incluida) : CaballoIncluido(incluida);
    // The bundled figures keep their size; the user's are sized like them.
    double altura = ruta.empty() ? 0 : k == kMujer ? 57 : 66;
    double lado = k == kMujer ? -70 : 80;
    if (!ColocarFigura(e, altura, lado, k == kCaballo ? 50 : 0, sala, r, &r->aproximado, error)) return false;
    if (k == kCaballo && !ruta.empty())
        r->aproximado.push_back(
            "The horse's materials are not baked: the walkthrough binds no texture of its own for "
            "it and draws it without texture coordinates, with one texel of the walls' image.");
    if (k == kMujer) {
        if (ruta.empty()) {
            r->imagen = TexturaMujerIncluida(incluida);
            r->textura.imagen = "bundled Vampiro texture";
        } else {
            r->imagen = TexturizarRanura(&r->caras, e.materiales, &r->textura, &r->aproximado);
        }
    }
    return true;
}

}   // namespace

int main(int argc, char **argv)
{
    Opciones o;
    int estado = LeerOpciones(argc, argv, &o);
    if (estado < 0) {
        std::fputs(kAyuda, stdout);
        return 0;
    }
    if (estado != 0) return estado;

    static RanuraLista ranuras[kNumRanuras];
    std::string error;
    EscenaFuente sala;
    static SalaColocada colocada;
    std::vector<std::string> avisos;
    if (!LeerEscena(o.sala, &sala, &error) || !ColocarSala(sala, o, ranuras, &colocada, &avisos, &error)) {
        std::fprintf(stderr, "importar: %s\n", error.c_str());
        return 1;
    }
    for (int k = 0; k < 3; k++) {
        ranuras[k].aproximado = avisos;
        ranuras[k].imagen = TexturizarRanura(&ranuras[k].caras, sala.materiales, &ranuras[k].textura,
                                             &ranuras[k].textura.aproximado);
    }
    if (!ColocarFiguraPedida(o.mujer, kMujer, colocada, &ranuras[kMujer], &error) ||
        !ColocarFiguraPedida(o.caballo, kCaballo, colocada, &ranuras[kCaballo], &error)) {
        std::fprintf(stderr, "importar: %s\n", error.c_str());
        return 1;
    }
    // Warnings that lose only looks (a missing texture): one line each.
    for (const RanuraLista &r : ranuras)
        for (const std::string &a : r.textura.aproximado)
            if (a.find("instead") != std::string::npos)
                std::fprintf(stderr, "importar: warning: %s\n", a.c_str());
    if (!EscribirCarpeta(o.carpeta, ranuras, FormatearInforme(ranuras), &error)) {
        std::fprintf(stderr, "importar: %s\n", error.c_str());
        return 1;
    }
    ImprimirResumen(ranuras, o.carpeta);
    return 0;
}
