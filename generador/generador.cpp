// generador.cpp - the scene generator: writes the walkthrough's scene, five
// OBJ models and four TGA textures, all made here from code.
//
//   generador <folder>
//
// creates <folder>/Modelos/{Techo,Suelo,Paredes,Mujer,Caballo}.OBJ and
// <folder>/Texturas/{Vampiro,Paredes,Suelo,Techo}.tga; the walkthrough runs
// from <folder>. The output is the same, byte for byte, on every run.
// Exit status 0 on success, 1 when a file cannot be written.
//
// The pipeline, one file a stage: geometria (points and distance fields),
// superficie and simplificacion (a field made into a closed mesh), the
// figures (figura_mujer, figura_caballo) and the hall (sala), the textures
// (textura_lienzo, textura_sala, textura_vampiro), and archivos (the OBJ and
// TGA writers).
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "archivos.h"
#include "figuras.h"
#include "sala.h"
#include "texturas.h"

namespace {

bool GuardarModelo(const std::string &carpeta, const char *nombre, Malla m, int forma)
{
    std::string ruta = carpeta + "/Modelos/" + nombre + ".OBJ";
    std::string titulo = std::string(nombre) + ", written by generador";
    if (!EscribirOBJ(ruta, &m, forma, titulo.c_str())) {
        std::fprintf(stderr, "generador: cannot write %s\n", ruta.c_str());
        return false;
    }
    std::printf("%-34s %6zu vertices %6zu faces\n", ruta.c_str(), m.vertices.size(), m.caras.size());
    return true;
}

bool GuardarTextura(const std::string &carpeta, const char *nombre, Lienzo l)
{
    std::string ruta = carpeta + "/Texturas/" + nombre + ".tga";
    if (!EscribirTGA(ruta, &l)) {
        std::fprintf(stderr, "generador: cannot write %s\n", ruta.c_str());
        return false;
    }
    std::printf("%-34s %d x %d\n", ruta.c_str(), l.ancho, l.alto);
    return true;
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: generador <folder>\n");
        return 1;
    }
    std::string carpeta = argv[1];
    std::error_code error;
    std::filesystem::create_directories(carpeta + "/Modelos", error);
    std::filesystem::create_directories(carpeta + "/Texturas", error);

    bool bien = GuardarModelo(carpeta, "Techo", GenerarTecho(), 0) &&
                GuardarModelo(carpeta, "Suelo", GenerarSuelo(), 0) &&
                GuardarModelo(carpeta, "Paredes", GenerarParedes(), 0) &&
                GuardarModelo(carpeta, "Mujer", GenerarMujer(), 2) &&
                GuardarModelo(carpeta, "Caballo", GenerarCaballo(), 1) &&
                GuardarTextura(carpeta, "Vampiro", TexturaVampiro()) &&
                GuardarTextura(carpeta, "Paredes", TexturaParedes()) &&
                GuardarTextura(carpeta, "Suelo", TexturaSuelo()) &&
                GuardarTextura(carpeta, "Techo", TexturaTecho());
    return bien ? 0 : 1;
}
