// Hostile paths that only POSIX systems have, against the three loaders:
// FIFOs, endless devices, descriptors left open, a file its reader may not
// read. The paths every platform has are in test_hostiles.cpp; Windows has
// its own in test_hostiles_windows.cpp.
//
// A path that is not a regular file gives an empty result at once instead
// of blocking or reading forever; each load runs in a child process with an
// alarm, so a regression fails the test instead of hanging the suite.
#include <gtest/gtest.h>

#include <dirent.h>
#include <malloc.h>
#include <sys/resource.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imagen.h"
#include "modelo.h"
#include "shader.h"
#include "comun.h"
#include "tga_referencia.h"

namespace {

const std::string &Dir() { return DirTemporal(); }

std::string Escribir(const std::string &bytes, const char *nombre) { return EscribirTemporal(nombre, bytes); }

std::string Fifo()
{
    std::string ruta = Dir() + "/fifo";
    if (access(ruta.c_str(), F_OK) != 0 && mkfifo(ruta.c_str(), 0600) != 0) abort();
    return ruta;
}

int DescriptoresAbiertos()
{
    DIR *d = opendir("/proc/self/fd");
    if (!d) return -1;
    int n = 0;
    while (readdir(d)) n++;
    closedir(d);
    return n;
}

// ---- loads that must end: each in a child with an alarm

enum Cargador { kObj, kTga, kShader };

// 0: the load ended and gave an empty result; 1: it gave something; 2: it
// did not end within 30 seconds (a hang: these loads take milliseconds, and
// the bound leaves room for a sanitizer build on a loaded machine); 3: it
// crashed.
int CargarEnHijo(Cargador c, const std::string &ruta)
{
    fflush(nullptr);
    pid_t hijo = fork();
    if (hijo == 0) {
        alarm(30);
        int algo = 0;
        if (c == kObj) {
            Modelo m = CargarModeloOBJ(ruta.c_str(), 0);
            algo = m.NumVertices || m.NumCaras || m.NumCTexturas || m.NumNormales;
        } else if (c == kTga) {
            Imagen im = CargarImagenTGA(ruta.c_str());
            algo = im.Pixeles != nullptr || im.Ancho || im.Alto || im.Bpp;
        } else {
            algo = CargarTextoShader(ruta.c_str()) != nullptr;
        }
        _exit(algo);
    }
    int estado = 0;
    waitpid(hijo, &estado, 0);
    if (WIFEXITED(estado)) return WEXITSTATUS(estado);
    return WIFSIGNALED(estado) && WTERMSIG(estado) == SIGALRM ? 2 : 3;
}

// The process's address space, from /proc.
long TamanoVirtualKB()
{
    FILE *f = fopen("/proc/self/status", "r");
    if (!f) return -1;
    char linea[256];
    long kb = -1;
    while (fgets(linea, sizeof linea, f))
        if (sscanf(linea, "VmSize: %ld kB", &kb) == 1) break;
    fclose(f);
    return kb;
}

}   // namespace

TEST(HostilesPosix, LasImagenesYLosShadersNoEsperanNiLeenSinFin)
{
    // A FIFO with no writer would block the open; /dev/zero and /dev/urandom
    // never end. None of them holds an image or a text.
    for (Cargador c : {kTga, kShader}) {
        for (const std::string &ruta : {Fifo(), Dir(), std::string("/dev/zero"), std::string("/dev/urandom"),
                                        std::string("/dev/null")}) {
            SCOPED_TRACE(ruta);
            EXPECT_EQ(CargarEnHijo(c, ruta), 0) << "2 = did not end, 3 = crashed";
        }
    }
}

TEST(HostilesPosix, UnModeloQueNoEsUnFicheroNoDaNada)
{
    // The OBJ loader on paths that are no regular file: a directory,
    // /dev/null, a FIFO with no writer (would block the open) and /dev/zero
    // (one endless token). Each load runs in a child under an alarm.
    EXPECT_EQ(CargarEnHijo(kObj, Dir()), 0);
    EXPECT_EQ(CargarEnHijo(kObj, "/dev/null"), 0);
    EXPECT_EQ(CargarEnHijo(kObj, Fifo()), 0);
    EXPECT_EQ(CargarEnHijo(kObj, "/dev/zero"), 0);
}

TEST(HostilesPosix, NingunaCargaDejaDescriptoresAbiertos)
{
    const std::string obj = Escribir("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n", "d.obj");
    const std::string basura = Escribir(std::string("\x00\xff\x10v f", 6), "basura");
    std::string tga = CabeceraTga(2, 1, 1, 24) + "abc";
    const std::string buena = Escribir(tga, "d.tga");
    const std::string corta = Escribir(CabeceraTga(2, 9, 9, 24) + "abc", "corta.tga");
    const std::string rle = Escribir(CabeceraTga(10, 4, 4, 24) + "\x85"
                                                                 "abc",
                                     "rle.tga");
    const int antes = DescriptoresAbiertos();
    for (const std::string &r : {obj, basura, buena, corta, rle, Dir(), Dir() + "/nada", Fifo()}) {
        if (r != Fifo()) {
            Modelo m = CargarModeloOBJ(r.c_str(), 3);
            LiberarModelo(&m);
        }
        Imagen im = CargarImagenTGA(r.c_str());
        free(im.Pixeles);
        free(CargarTextoShader(r.c_str()));
    }
    EXPECT_EQ(DescriptoresAbiertos(), antes);
}

// As root a mode-000 file is readable, so there the check runs in a child
// that has given up root for the "nobody" user.
TEST(HostilesPosix, ShaderIlegibleDaNulo)
{
    std::string cerrado = Escribir("secreto", "cerrado.glsl");
    std::string abierto = Escribir("publico", "abierto.glsl");
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
        char *t = CargarTextoShader(abierto.c_str());   // the directory is reachable
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

// ---- A process started with its standard input closed: the first file it
// ---- opens gets descriptor 0, and must load like any other.

TEST(HostilesPosix, CargaConLaEntradaEstandarCerrada)
{
    const std::string ruta = Escribir("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n", "cero.obj");
    const int copia = dup(0);
    ASSERT_GE(copia, 0);
    close(0);
    Modelo m = CargarModeloOBJ(ruta.c_str(), 0);
    dup2(copia, 0);
    close(copia);
    EXPECT_EQ(m.NumVertices, 3);
    EXPECT_EQ(m.NumCaras, 1);
    LiberarModelo(&m);
}

#if !defined(TALO_CON_ASAN) && defined(__GLIBC__)
// When an append fails for want of memory, loading stops there: the faces
// after the vertices that no longer fit are not read either, although the
// face array would have had room for them.
TEST(HostilesPosix, TrasUnaAsignacionFallidaNoSeLeeNadaMas)
{
    const int total = 1500000;
    std::string texto;
    texto.reserve((size_t)total * 14 + 1000);
    char linea[40];
    for (int i = 1; i <= total; i++) {
        snprintf(linea, sizeof linea, "v %d 0 %d\n", i, -i);
        texto += linea;
    }
    for (int i = 0; i < 50; i++) texto += "f 1 2 3\n";
    const std::string ruta = Escribir(texto, "grande_con_caras.obj");
    texto.clear();
    texto.shrink_to_fit();

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        mallopt(M_MMAP_THRESHOLD, 64 << 10);
        malloc_trim(0);
        const long kb = TamanoVirtualKB();
        if (kb <= 0) _exit(10);
        const rlim_t tope = ((rlim_t)kb << 10) + (8u << 20);
        struct rlimit lim = {tope, tope};
        if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(11);
        Modelo m = CargarModeloOBJ(ruta.c_str(), 0);
        if (m.NumVertices <= 0) _exit(12);
        if (m.NumVertices >= total) _exit(13);   // the cap never bit
        if (m.NumCaras != 0) _exit(14);
        for (int i = 0; i < m.NumVertices; i++)
            if (m.Vertices[i].x != (float)(i + 1) || m.Vertices[i].z != (float)-(i + 1)) _exit(15);
        _exit(0);
    }
    int estado = 0;
    ASSERT_EQ(waitpid(pid, &estado, 0), pid);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 0);
    remove(ruta.c_str());
}
#endif
