// llamadas.cpp - reads llamadas_esperadas.txt and compares (see llamadas.h).
#include "llamadas.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "gl_falso.h"

namespace {

// The value of a GL_ name in llamadas_esperadas.txt.
float ValorGL(const std::string &nombre)
{
    static const std::map<std::string, GLenum> kNombres = {{"GL_DEPTH_TEST", GL_DEPTH_TEST},
                                                           {"GL_LIGHTING", GL_LIGHTING},
                                                           {"GL_LIGHT_MODEL_AMBIENT", GL_LIGHT_MODEL_AMBIENT},
                                                           {"GL_LIGHT0", GL_LIGHT0},
                                                           {"GL_AMBIENT", GL_AMBIENT},
                                                           {"GL_DIFFUSE", GL_DIFFUSE},
                                                           {"GL_SPECULAR", GL_SPECULAR},
                                                           {"GL_POSITION", GL_POSITION},
                                                           {"GL_COLOR_MATERIAL", GL_COLOR_MATERIAL},
                                                           {"GL_FRONT", GL_FRONT},
                                                           {"GL_AMBIENT_AND_DIFFUSE", GL_AMBIENT_AND_DIFFUSE},
                                                           {"GL_SHININESS", GL_SHININESS},
                                                           {"GL_UNPACK_ALIGNMENT", GL_UNPACK_ALIGNMENT},
                                                           {"GL_TEXTURE_2D", GL_TEXTURE_2D},
                                                           {"GL_TEXTURE_MIN_FILTER", GL_TEXTURE_MIN_FILTER},
                                                           {"GL_TEXTURE_MAG_FILTER", GL_TEXTURE_MAG_FILTER},
                                                           {"GL_TEXTURE_WRAP_S", GL_TEXTURE_WRAP_S},
                                                           {"GL_TEXTURE_WRAP_T", GL_TEXTURE_WRAP_T},
                                                           {"GL_LINEAR", GL_LINEAR},
                                                           {"GL_REPEAT", GL_REPEAT},
                                                           {"GL_LINES", GL_LINES},
                                                           {"GL_QUADS", GL_QUADS},
                                                           {"GL_COLOR_BUFFER_BIT", GL_COLOR_BUFFER_BIT},
                                                           {"GL_DEPTH_BUFFER_BIT", GL_DEPTH_BUFFER_BIT}};
    GLenum valor = 0;
    size_t desde = 0;
    while (desde <= nombre.size()) {   // names joined by '|' are or-ed
        size_t hasta = std::min(nombre.find('|', desde), nombre.size());
        auto it = kNombres.find(nombre.substr(desde, hasta - desde));
        if (it == kNombres.end())
            ADD_FAILURE() << "unknown name in llamadas_esperadas.txt: " << nombre;
        else
            valor |= it->second;
        desde = hasta + 1;
    }
    return (float)valor;
}

}   // namespace

std::vector<E> Esperadas(const std::string &seccion, bool wire)
{
    const std::string build = wire ? "wire" : "textura";
    std::vector<E> salida;
    std::ifstream f(TALO_LLAMADAS);
    EXPECT_TRUE(f.good()) << TALO_LLAMADAS;
    std::string linea;
    while (std::getline(f, linea)) {
        std::istringstream campos(linea.substr(0, linea.find('#')));
        std::string sec, b, palabra;
        E e;
        if (!(campos >> sec >> b >> e.nombre) || sec != seccion || (b != "*" && b != build)) continue;
        while (campos >> palabra) {
            palabra.erase(std::remove(palabra.begin(), palabra.end(), '{'), palabra.end());
            palabra.erase(std::remove(palabra.begin(), palabra.end(), '}'), palabra.end());
            if (palabra.empty()) continue;
            e.args.push_back(palabra.compare(0, 3, "GL_") == 0 ? ValorGL(palabra) : std::stof(palabra));
        }
        salida.push_back(e);
    }
    return salida;
}

void Anadir(std::vector<E> *a, const std::vector<E> &b) { a->insert(a->end(), b.begin(), b.end()); }

void Comparar(const std::vector<E> &esperado)
{
    ASSERT_EQ(Registro.size(), esperado.size())
        << "first call: " << (Registro.empty() ? "" : Registro[0].nombre);
    for (size_t k = 0; k < esperado.size(); k++) {
        EXPECT_EQ(Registro[k].nombre, esperado[k].nombre) << "call " << k;
        ASSERT_EQ(Registro[k].args.size(), esperado[k].args.size())
            << "call " << k << " " << esperado[k].nombre;
        for (size_t j = 0; j < esperado[k].args.size(); j++)
            EXPECT_EQ(Registro[k].args[j], esperado[k].args[j])
                << "call " << k << " " << esperado[k].nombre << " argument " << j;
    }
}
