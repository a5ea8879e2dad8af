// Tests of CargarTextoShader: whole text files, and null for a file it may
// not read. Empty and missing files, FIFOs, directories and devices are in
// test_hostiles.cpp (HostilesRutas), with the other two loaders.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "shader.h"
#include "comun.h"

namespace {

std::string Escribir(const std::string &nombre, const std::string &texto) {
    return EscribirTemporal(nombre, texto);
}

}  // namespace

TEST(TextoShader, TresCaracteresSinSaltoDeLinea) {
    char *t = CargarTextoShader(Escribir("abc.glsl", "abc").c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(memcmp(t, "abc", 4), 0);  // a, b, c, NUL
    free(t);
}

TEST(TextoShader, TextoLargoConSaltosYBytesAltos) {
    std::string texto;
    for (int i = 0; i < 200000; i++) texto += (char)(i % 255 + 1);
    texto += "\r\n\nvoid main() {}\n";
    char *t = CargarTextoShader(Escribir("largo.glsl", texto).c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(strlen(t), texto.size());
    EXPECT_EQ(std::string(t), texto);
    free(t);
}

// As root a mode-000 file is readable, so there the check runs in a child
// that has given up root for the "nobody" user.
TEST(TextoShader, FicheroIlegibleDaNulo) {
    std::string cerrado = Escribir("cerrado.glsl", "secreto");
    std::string abierto = Escribir("abierto.glsl", "publico");
    ASSERT_EQ(chmod(cerrado.c_str(), 0), 0);
    ASSERT_EQ(chmod(abierto.c_str(), 0644), 0);
    if (geteuid() != 0) {
        EXPECT_EQ(CargarTextoShader(cerrado.c_str()), nullptr);
        return;
    }
    ASSERT_EQ(chmod(DirTemporal().c_str(), 0711), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(10);
        char *t = CargarTextoShader(abierto.c_str());  // the directory is reachable
        if (!t || strcmp(t, "publico") != 0) _exit(11);
        free(t);
        if (CargarTextoShader(cerrado.c_str()) != nullptr) _exit(12);
        _exit(0);
    }
    int estado = 0;
    ASSERT_EQ(waitpid(pid, &estado, 0), pid);
    chmod(DirTemporal().c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 0);
}
