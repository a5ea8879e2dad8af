// carpeta.cpp - the scene folder, written whole or not at all.
//
// Everything is written into a new folder beside the target; only when every
// file is complete does it take the target's place, by an atomic exchange
// where the system has one (renameat2), so an existing scene is replaced
// only by a complete one and a failure leaves it as it was.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "importar_local.h"

namespace {

namespace fs = std::filesystem;

bool EscribirTexto(const std::string &ruta, const std::string &texto)
{
    FILE *f = std::fopen(ruta.c_str(), "w");
    if (f == nullptr) return false;
    bool bien = std::fwrite(texto.data(), 1, texto.size(), f) == texto.size();
    return std::fclose(f) == 0 && bien;
}

bool EscribirTodo(const std::string &d, const RanuraLista r[kNumRanuras], const std::string &informe,
                  std::string *fallo)
{
    std::error_code ec;
    if (!fs::create_directory(d + "/Modelos", ec) || !fs::create_directory(d + "/Texturas", ec)) {
        *fallo = d + ": cannot create the folders (" + ec.message() + ")";
        return false;
    }
    static const int forma[kNumRanuras] = {0, 0, 0, 2, 1};
    static const float divisor[kNumRanuras] = {1, 10, 5, 1, 1};
    for (int k = 0; k < kNumRanuras; k++) {
        std::string ruta = d + "/Modelos/" + kNombreRanura[k] + ".OBJ";
        std::string titulo = std::string(kNombreRanura[k]) + ", written by importar";
        if (!EscribirOBJImportado(ruta, r[k].caras, forma[k], divisor[k], titulo.c_str())) {
            *fallo = ruta;
            return false;
        }
    }
    static const char *const textura[4] = {"Techo", "Suelo", "Paredes", "Vampiro"};
    for (int k = 0; k < 4; k++) {
        std::string ruta = d + "/Texturas/" + textura[k] + ".tga";
        if (!EscribirTGAImportado(ruta, r[k].imagen, r[k].textura.bits)) {
            *fallo = ruta;
            return false;
        }
    }
    if (!EscribirTexto(d + "/importacion.json", informe)) {
        *fallo = d + "/importacion.json";
        return false;
    }
    return true;
}

}   // namespace

bool EscribirCarpeta(const std::string &carpeta, const RanuraLista ranuras[kNumRanuras],
                     const std::string &informe, std::string *error)
{
    std::error_code ec;
    fs::path destino = fs::absolute(fs::path(carpeta).lexically_normal(), ec);
    if (destino.filename().empty()) destino = destino.parent_path();
    const bool existe = fs::exists(fs::symlink_status(destino, ec));
    if (existe && !fs::is_directory(destino, ec)) {
        *error = carpeta + ": exists and is not a folder";
        return false;
    }
    fs::path padre = destino.parent_path();
    if (!fs::is_directory(padre, ec)) {
        *error = carpeta + ": the folder it would go in, " + padre.string() + ", does not exist";
        return false;
    }
    std::string plantilla = (padre / ("." + destino.filename().string() + ".importando-XXXXXX")).string();
    if (mkdtemp(plantilla.data()) == nullptr) {
        *error = carpeta + ": cannot write beside it (" + std::strerror(errno) + ")";
        return false;
    }
    std::string fallo;
    if (!EscribirTodo(plantilla, ranuras, informe, &fallo)) {
        fs::remove_all(plantilla, ec);
        *error = fallo + ": cannot write it";
        return false;
    }
    if (!existe) {
        if (std::rename(plantilla.c_str(), destino.c_str()) != 0) {
            *error = carpeta + ": cannot move the new scene into place (" + std::strerror(errno) + ")";
            fs::remove_all(plantilla, ec);
            return false;
        }
        return true;
    }
    // Exchange the new folder with the old one in one step, then remove the old.
    if (renameat2(AT_FDCWD, plantilla.c_str(), AT_FDCWD, destino.c_str(), RENAME_EXCHANGE) != 0) {
        std::string viejo = plantilla + ".anterior";
        if (std::rename(destino.c_str(), viejo.c_str()) != 0 ||
            std::rename(plantilla.c_str(), destino.c_str()) != 0) {
            *error = carpeta + ": cannot replace the scene there (" + std::strerror(errno) + ")";
            if (!fs::exists(destino, ec)) std::rename(viejo.c_str(), destino.c_str());
            fs::remove_all(plantilla, ec);
            return false;
        }
        fs::remove_all(viejo, ec);
        return true;
    }
    fs::remove_all(plantilla, ec);   // now holds the old scene
    return true;
}
