// Tests of the Modelo record: reset, appends, release, texture scaling.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <malloc.h>

#include <string>

#include "comun.h"
#include "fallo_memoria.h"
#include "modelo.h"

namespace {

void EsperarVector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(Bits(v.x), Bits(x));
    EXPECT_EQ(Bits(v.y), Bits(y));
    EXPECT_EQ(Bits(v.z), Bits(z));
}

Modelo ModeloBasura()
{
    Modelo m;
    memset(&m, 0xA5, sizeof m);
    return m;
}

void EsperarVacio(const Modelo &m)
{
    EXPECT_EQ(m.NumVertices, 0);
    EXPECT_EQ(m.NumCaras, 0);
    EXPECT_EQ(m.NumCTexturas, 0);
    EXPECT_EQ(m.NumNormales, 0);
    EXPECT_EQ(m.Vertices, nullptr);
    EXPECT_EQ(m.Caras, nullptr);
    EXPECT_EQ(m.CTexturas, nullptr);
    EXPECT_EQ(m.Normales, nullptr);
}

}   // namespace

TEST(Modelo, IniciarDejaUnModeloVacio)
{
    Modelo m = ModeloBasura();
    IniciarModelo(&m);
    EsperarVacio(m);
}

TEST(Modelo, UnaAdicionDejaUnElementoEnSuArrayYNadaEnLosDemas)
{
    Modelo m;
    IniciarModelo(&m);
    EXPECT_EQ(AddVertice(&m, 1.5f, -2.25f, 3e-7f), 1);
    Modelo resto = m;
    resto.NumVertices = 0;
    resto.Vertices = nullptr;
    EsperarVacio(resto);   // nothing in the other arrays
    EXPECT_EQ(m.NumVertices, 1);
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

TEST(Modelo, LasAdicionesConservanLoAnteriorYNoDejanHolgura)
{
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

TEST(Modelo, AddCaraRestaUnoACadaNumeroConAritmeticaCircular)
{
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
    EXPECT_EQ(b.Vert[0], -2);   // relative numbers are not resolved
    EXPECT_EQ(b.Vert[1], -1);
    EXPECT_EQ(b.Vert[2], INT_MAX - 1);
    EXPECT_EQ(b.Aux[0], INT_MAX);   // wraps instead of overflowing
    EXPECT_EQ(b.Aux[1], INT_MIN);
    EXPECT_EQ(b.Aux[2], -2147483647 + 4);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(a.Res[k], 0);
        EXPECT_EQ(b.Res[k], 0);
    }
    LiberarModelo(&m);
}

TEST(Modelo, LiberarAnulaLasReferenciasYSePuedeRepetirYVolverALlenar)
{
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, 1, 2, 3);
    AddCara(&m, 1, 2, 3, 1, 2, 3);
    AddCTextura(&m, 1, 2, 3);
    AddNormal(&m, 1, 2, 3);
    LiberarModelo(&m);
    EsperarVacio(m);
    LiberarModelo(&m);   // a second release must be harmless
    EsperarVacio(m);
    ASSERT_EQ(AddVertice(&m, 4, 5, 6), 1);
    ASSERT_EQ(m.NumVertices, 1);
    EsperarVector(m.Vertices[0], 4, 5, 6);
    LiberarModelo(&m);

    Modelo vacio;
    IniciarModelo(&vacio);
    LiberarModelo(&vacio);   // releasing an empty record
    EsperarVacio(vacio);
}

TEST(Modelo, UnContadorEnSuLimiteNoCreceYDejaElRegistroIntacto)
{
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

#ifdef TALO_FALLO_MEMORIA
// A record claiming 200 million elements cannot grow when large requests
// fail: every append must fail and leave it as it was.
TEST(Modelo, UnaAsignacionFallidaDejaElRegistroComoEstaba)
{
    Modelo m;
    IniciarModelo(&m);
    ASSERT_EQ(AddVertice(&m, 1, 2, 3), 1);
    Vector *antes = m.Vertices;
    m.NumVertices = m.NumCaras = m.NumCTexturas = m.NumNormales = 200000000;
    FallarMemoria(1u << 20);
    EXPECT_EQ(AddVertice(&m, 1, 2, 3), 0);
    EXPECT_EQ(AddCara(&m, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_EQ(AddCTextura(&m, 1, 2, 3), 0);
    EXPECT_EQ(AddNormal(&m, 1, 2, 3), 0);
    RestaurarMemoria();
    EXPECT_EQ(m.NumVertices, 200000000);
    EXPECT_EQ(m.NumCaras, 200000000);
    EXPECT_EQ(m.NumCTexturas, 200000000);
    EXPECT_EQ(m.NumNormales, 200000000);
    EXPECT_EQ(m.Vertices, antes);
    EXPECT_TRUE(m.Caras == nullptr && m.CTexturas == nullptr && m.Normales == nullptr);
    EsperarVector(antes[0], 1, 2, 3);
    free(antes);
}

// CargarModeloOBJ when memory runs out, whichever request fails first:
// loading stops and the record keeps what it read so far, counts and arrays
// in agreement, every element as the full load has it.
TEST(Modelo, CargarSinMemoriaGuardaLoLeido)
{
    std::string texto;
    for (int i = 0; i < 3000; i++)
        texto += "v " + std::to_string(i) + " 1 2\nvt 0.5 " + std::to_string(i) + " 0\nvn 0 0 1\n";
    for (int i = 1; i + 2 <= 3000; i += 3)
        texto += "f " + std::to_string(i) + "/" + std::to_string(i) + " " + std::to_string(i + 1) + "/1 " +
                 std::to_string(i + 2) + "/2\n";
    const std::string ruta = EscribirTemporal("memoria.obj", texto);
    Modelo todo = CargarModeloOBJ(ruta.c_str(), 0);
    ASSERT_EQ(todo.NumVertices, 3000);
    ASSERT_EQ(todo.NumCaras, 1000);
    int parciales = 0;
    for (long aciertos = 0; aciertos < 40; aciertos++) {
        FallarMemoria(1, aciertos);
        Modelo m = CargarModeloOBJ(ruta.c_str(), 0);
        RestaurarMemoria();
        SCOPED_TRACE(aciertos);
        const int n[4] = {m.NumVertices, m.NumCaras, m.NumCTexturas, m.NumNormales};
        const int t[4] = {todo.NumVertices, todo.NumCaras, todo.NumCTexturas, todo.NumNormales};
        const void *a[4] = {m.Vertices, m.Caras, m.CTexturas, m.Normales};
        const void *ta[4] = {todo.Vertices, todo.Caras, todo.CTexturas, todo.Normales};
        const size_t tam[4] = {sizeof(Vector), sizeof(Cara), sizeof(Vector), sizeof(Vector)};
        for (int k = 0; k < 4; k++) {
            EXPECT_TRUE(n[k] >= 0 && n[k] <= t[k]) << k;
            EXPECT_EQ(a[k] == nullptr, n[k] == 0) << k;
            if (a[k] && n[k] > 0) {
                EXPECT_EQ(memcmp(a[k], ta[k], (size_t)n[k] * tam[k]), 0) << k;
            }
        }
        parciales += n[0] > 0 && n[0] < t[0];
        LiberarModelo(&m);
    }
    EXPECT_GT(parciales, 0);   // some loads stopped part way
    LiberarModelo(&todo);
}
#endif

TEST(Modelo, EscalarCTexturaMultiplicaLasTresComponentes)
{
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

TEST(Modelo, EscalarCTexturaSinCoordenadasNoHaceNada)
{
    Modelo m;
    IniciarModelo(&m);
    AddVertice(&m, 0.5f, 0.25f, 1.0f);
    EscalarCTextura(&m, 10.0f);
    EXPECT_EQ(m.NumCTexturas, 0);
    EXPECT_EQ(m.CTexturas, nullptr);
    EsperarVector(m.Vertices[0], 0.5f, 0.25f, 1.0f);
    LiberarModelo(&m);
}
