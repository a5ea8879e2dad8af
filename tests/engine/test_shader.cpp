// Tests of CargarTextoShader: whole text files, and null for anything that
// is not a readable regular file (without ever blocking).
#include <gtest/gtest.h>

#include <ftw.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shader.h"
#include "comun.h"

namespace {


std::string Escribir(const std::string &nombre, const std::string &texto) {
    return EscribirTemporal(nombre, texto);
}

}  // namespace

TEST(TextoShader, FicheroVacioDaCadenaVacia) {
    char *t = CargarTextoShader(Escribir("vacio.glsl", "").c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t[0], '\0');
    free(t);
}

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

TEST(TextoShader, FicheroInexistenteDaNulo) {
    EXPECT_EQ(CargarTextoShader((DirTemporal() + "/no_such.glsl").c_str()), nullptr);
}

TEST(TextoShader, DirectorioDaNulo) {
    EXPECT_EQ(CargarTextoShader(DirTemporal().c_str()), nullptr);
}

// A FIFO with no writer would block an ordinary open for reading forever;
// the reader must give null at once. (If it blocked, the test would hang and
// CTest's timeout would report it.)
TEST(TextoShader, FifoDaNuloSinBloquear) {
    std::string ruta = DirTemporal() + "/tuberia";
    unlink(ruta.c_str());
    ASSERT_EQ(mkfifo(ruta.c_str(), 0600), 0);
    EXPECT_EQ(CargarTextoShader(ruta.c_str()), nullptr);
    unlink(ruta.c_str());
}

TEST(TextoShader, DispositivoDaNulo) {
    // /dev/null would read as empty and /dev/zero never ends: neither is text.
    EXPECT_EQ(CargarTextoShader("/dev/null"), nullptr);
    EXPECT_EQ(CargarTextoShader("/dev/zero"), nullptr);
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
