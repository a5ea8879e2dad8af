// Tests of CargarTextoShader: whole text files. Empty and missing files and
// directories are in test_hostiles.cpp (HostilesRutas), with the other two
// loaders; FIFOs, devices and a file it may not read in
// test_hostiles_posix.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "shader.h"
#include "comun.h"

namespace {

std::string Escribir(const std::string &nombre, const std::string &texto)
{
    return EscribirTemporal(nombre, texto);
}

}   // namespace

TEST(TextoShader, TresCaracteresSinSaltoDeLinea)
{
    char *t = CargarTextoShader(Escribir("abc.glsl", "abc").c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(memcmp(t, "abc", 4), 0);   // a, b, c, NUL
    free(t);
}

TEST(TextoShader, TextoLargoConSaltosYBytesAltos)
{
    std::string texto;
    for (int i = 0; i < 200000; i++) texto += (char)(i % 255 + 1);
    texto += "\r\n\nvoid main() {}\n";
    char *t = CargarTextoShader(Escribir("largo.glsl", texto).c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(strlen(t), texto.size());
    EXPECT_EQ(std::string(t), texto);
    free(t);
}
