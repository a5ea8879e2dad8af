// Tests of the Modelo record: reset, appends, release, texture scaling.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "modelo.h"
#include "comun.h"


namespace {


void EsperarVector(Vector v, float x, float y, float z) {
    EXPECT_EQ(Bits(v.x), Bits(x));
    EXPECT_EQ(Bits(v.y), Bits(y));
    EXPECT_EQ(Bits(v.z), Bits(z));
}

Modelo ModeloBasura() {
    Modelo m;
    memset(&m, 0xA5, sizeof m);
    return m;
}

void EsperarVacio(const Modelo &m) {
    EXPECT_EQ(m.NumVertices, 0);
    EXPECT_EQ(m.NumCaras, 0);
    EXPECT_EQ(m.NumCTexturas, 0);
    EXPECT_EQ(m.NumNormales, 0);
    EXPECT_EQ(m.Vertices, nullptr);
    EXPECT_EQ(m.Caras, nullptr);
    EXPECT_EQ(m.CTexturas, nullptr);
    EXPECT_EQ(m.Normales, nullptr);
}

}  // namespace

TEST(Modelo, IniciarDejaUnModeloVacio) {
    Modelo m = ModeloBasura();
    IniciarModelo(&m);
    EsperarVacio(m);
}

TEST(Modelo, UnaAdicionDejaUnElementoEnSuArrayYNadaEnLosDemas) {
    Modelo m;
    IniciarModelo(&m);
    EXPECT_EQ(AddVertice(&m, 1.5f, -2.25f, 3e-7f), 1);
    EXPECT_EQ(m.NumVertices, 1);
    EXPECT_EQ(m.NumCaras, 0);
    EXPECT_EQ(m.NumCTexturas, 0);
    EXPECT_EQ(m.NumNormales, 0);
    EXPECT_EQ(m.Caras, nullptr);
    EXPECT_EQ(m.CTexturas, nullptr);
    EXPECT_EQ(m.Normales, nullptr);
    ASSERT_NE(m.Vertices, nullptr);
    EsperarVector(m.Vertices[0], 1.5f, -2.25f, 3e-7f);
#if defined(__GLIBC__) && !defined(TALO_CON_ASAN)
    // Allocated to exactly one element: no room for a second one.
    EXPECT_LT(malloc_usable_size(m.Vertices), 2 * sizeof(Vector) + 1);
#endif
    LiberarModelo(&m);

    IniciarModelo(&m);
    EXPECT_EQ(AddNormal(&m, 0.0f, -0.0f, 1.0f), 1);
    EXPECT_EQ(AddCTextura(&m, 0.25f, 0.75f, -1.0f), 1);
    EXPECT_EQ(m.NumVertices, 0);
    EXPECT_EQ(m.NumNormales, 1);
    EXPECT_EQ(m.NumCTexturas, 1);
    EsperarVector(m.Normales[0], 0.0f, -0.0f, 1.0f);
    EsperarVector(m.CTexturas[0], 0.25f, 0.75f, -1.0f);
    LiberarModelo(&m);
}

TEST(Modelo, LasAdicionesConservanLoAnteriorYNoDejanHolgura) {
    Modelo m;
    IniciarModelo(&m);
    const int n = 5000;
    for (int i = 0; i < n; i++) {
        ASSERT_EQ(AddVertice(&m, (float)i, (float)-i, 0.5f * i), 1);
        ASSERT_EQ(AddNormal(&m, (float)(2 * i), 1.0f, 2.0f), 1);
        ASSERT_EQ(AddCTextura(&m, 0.0f, (float)(3 * i), 1.0f), 1);
        ASSERT_EQ(AddCara(&m, i, i + 1, i + 2, -i, 7, 8), 1);
#if defined(__GLIBC__) && !defined(TALO_CON_ASAN)
        // Exact re-allocation: no spare element beyond malloc's own rounding
        // (16 bytes for heap chunks, a page for large mapped ones).
        size_t pedido = (size_t)(i + 1) * sizeof(Cara);
        size_t tope = pedido < (64u << 10) ? pedido + sizeof(Cara) : pedido + 4096 + 16;
        ASSERT_LT(malloc_usable_size(m.Caras), tope);
#endif
    }
    ASSERT_EQ(m.NumVertices, n);
    ASSERT_EQ(m.NumNormales, n);
    ASSERT_EQ(m.NumCTexturas, n);
    ASSERT_EQ(m.NumCaras, n);
    for (int i = 0; i < n; i++) {
        EsperarVector(m.Vertices[i], (float)i, (float)-i, 0.5f * i);
        EsperarVector(m.Normales[i], (float)(2 * i), 1.0f, 2.0f);
        EsperarVector(m.CTexturas[i], 0.0f, (float)(3 * i), 1.0f);
        EXPECT_EQ(m.Caras[i].Vert[0], i - 1);
        EXPECT_EQ(m.Caras[i].Vert[2], i + 1);
        EXPECT_EQ(m.Caras[i].Aux[0], -i - 1);
    }
    LiberarModelo(&m);
}

TEST(Modelo, AddCaraRestaUnoACadaNumeroConAritmeticaCircular) {
    Modelo m;
    IniciarModelo(&m);
    ASSERT_EQ(AddCara(&m, 1, 2, 3, 4, 5, 6), 1);
    ASSERT_EQ(AddCara(&m, -1, 0, INT_MAX, INT_MIN, INT_MIN + 1, -2147483647 + 5), 1);
    ASSERT_EQ(m.NumCaras, 2);
    const Cara &a = m.Caras[0];
    EXPECT_EQ(a.Vert[0], 0);
    EXPECT_EQ(a.Vert[1], 1);
    EXPECT_EQ(a.Vert[2], 2);
    EXPECT_EQ(a.Aux[0], 3);
    EXPECT_EQ(a.Aux[1], 4);
    EXPECT_EQ(a.Aux[2], 5);
    const Cara &b = m.Caras[1];
    EXPECT_EQ(b.Vert[0], -2);  // relative numbers are not resolved
    EXPECT_EQ(b.Vert[1], -1);
    EXPECT_EQ(b.Vert[2], INT_MAX - 1);
    EXPECT_EQ(b.Aux[0], INT_MAX);  // wraps instead of overflowing
    EXPECT_EQ(b.Aux[1], INT_MIN);
    EXPECT_EQ(b.Aux[2], -2147483647 + 4);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(a.Res[k], 0);
        EXPECT_EQ(b.Res[k], 0);
    }
    LiberarModelo(&m);
}

TEST(Modelo, LiberarAnulaLasReferenciasYSePuedeRepetirYVolverALlenar) {
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, 1, 2, 3);
    AddCara(&m, 1, 2, 3, 1, 2, 3);
    AddCTextura(&m, 1, 2, 3);
    AddNormal(&m, 1, 2, 3);
    LiberarModelo(&m);
    EsperarVacio(m);
    LiberarModelo(&m);  // a second release must be harmless
    EsperarVacio(m);
    ASSERT_EQ(AddVertice(&m, 4, 5, 6), 1);
    ASSERT_EQ(m.NumVertices, 1);
    EsperarVector(m.Vertices[0], 4, 5, 6);
    LiberarModelo(&m);

    Modelo vacio;
    IniciarModelo(&vacio);
    LiberarModelo(&vacio);  // releasing an empty record
    EsperarVacio(vacio);
}

TEST(Modelo, UnContadorEnSuLimiteNoCreceYDejaElRegistroIntacto) {
    Modelo m;
    IniciarModelo(&m);
    m.NumVertices = INT_MAX;
    m.NumCaras = INT_MAX;
    m.NumCTexturas = INT_MAX;
    m.NumNormales = INT_MAX;
    EXPECT_EQ(AddVertice(&m, 1, 2, 3), 0);
    EXPECT_EQ(AddNormal(&m, 1, 2, 3), 0);
    EXPECT_EQ(AddCTextura(&m, 1, 2, 3), 0);
    EXPECT_EQ(AddCara(&m, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_EQ(m.NumVertices, INT_MAX);
    EXPECT_EQ(m.NumCaras, INT_MAX);
    EXPECT_EQ(m.NumCTexturas, INT_MAX);
    EXPECT_EQ(m.NumNormales, INT_MAX);
    EXPECT_EQ(m.Vertices, nullptr);
    EXPECT_EQ(m.Caras, nullptr);
}

#if !defined(TALO_CON_ASAN)
// In a child whose address space is capped, a record claiming 200 million
// elements cannot grow: every append must fail and leave it as it was.
TEST(Modelo, UnaAsignacionFallidaDejaElRegistroComoEstaba) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        struct rlimit lim = {512u << 20, 512u << 20};
        if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(10);
        Modelo m;
        IniciarModelo(&m);
        if (AddVertice(&m, 1, 2, 3) != 1) _exit(11);  // small appends still work
        Vector *antes = m.Vertices;
        m.NumVertices = 200000000;
        m.NumCaras = 200000000;
        m.NumCTexturas = 200000000;
        m.NumNormales = 200000000;
        if (AddVertice(&m, 1, 2, 3) != 0) _exit(12);
        if (AddCara(&m, 1, 2, 3, 4, 5, 6) != 0) _exit(13);
        if (AddCTextura(&m, 1, 2, 3) != 0) _exit(14);
        if (AddNormal(&m, 1, 2, 3) != 0) _exit(15);
        if (m.NumVertices != 200000000 || m.NumCaras != 200000000) _exit(16);
        if (m.NumCTexturas != 200000000 || m.NumNormales != 200000000) _exit(17);
        if (m.Vertices != antes || m.Caras || m.CTexturas || m.Normales) _exit(18);
        if (antes[0].x != 1 || antes[0].z != 3) _exit(19);
        _exit(0);
    }
    int estado = 0;
    ASSERT_EQ(waitpid(pid, &estado, 0), pid);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 0);
}
#endif

TEST(Modelo, EscalarCTexturaMultiplicaLasTresComponentes) {
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, 0.5f, 0.25f, 1.0f);
    AddNormal(&m, 0.5f, 0.25f, 1.0f);
    AddCTextura(&m, 0.5f, 0.25f, 0.0f);
    AddCTextura(&m, -0.1f, 3.0f, -0.0f);
    AddCTextura(&m, 1e38f, INFINITY, 0.3f);
    EscalarCTextura(&m, 10.0f);
    EsperarVector(m.CTexturas[0], 5.0f, 2.5f, 0.0f);
    // Float products, each rounded once: -0.1f * 10 is exactly -1.0f in float.
    EsperarVector(m.CTexturas[1], -1.0f, 30.0f, -0.0f);
    EsperarVector(m.CTexturas[2], INFINITY, INFINITY, 3.0f);
    EsperarVector(m.Vertices[0], 0.5f, 0.25f, 1.0f);
    EsperarVector(m.Normales[0], 0.5f, 0.25f, 1.0f);
    LiberarModelo(&m);
}

TEST(Modelo, EscalarCTexturaSinCoordenadasNoHaceNada) {
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, 0.5f, 0.25f, 1.0f);
    EscalarCTextura(&m, 10.0f);
    EXPECT_EQ(m.NumCTexturas, 0);
    EXPECT_EQ(m.CTexturas, nullptr);
    EsperarVector(m.Vertices[0], 0.5f, 0.25f, 1.0f);
    LiberarModelo(&m);
}
