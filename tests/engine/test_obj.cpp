// Tests of the OBJ loader: token rules, number holders, the five face
// formats, malformed input, huge tokens, failures. The generated and
// mutated files are in test_obj_diferencial.cpp.
//
// Every load goes through both CargarModeloOBJ and the fscanf reference
// CargarModeloOBJScanf, which must agree element for element.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "modelo.h"
#include "comun.h"
#include "modelos_iguales.h"
#include "obj_scanf.h"

namespace {

std::string Escribir(const std::string &texto, const char *nombre = "m.obj")
{
    return EscribirTemporal(nombre, texto);
}

// Same counts and the same elements bit for bit (DiferenciaModelos).
::testing::AssertionResult ModelosIguales(const Modelo &a, const Modelo &b)
{
    const std::string d = DiferenciaModelos(a, b);
    if (d.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << d;
}

// Loads `texto` with the face format through both loaders and returns the
// result (the caller releases it).
Modelo Cargar(const std::string &texto, int formato)
{
    std::string ruta = Escribir(texto);
    Modelo m = CargarModeloOBJ(ruta.c_str(), formato);
    Modelo ref = CargarModeloOBJScanf(ruta.c_str(), formato);
    EXPECT_TRUE(ModelosIguales(m, ref)) << "CargarModeloOBJ and the fscanf reference disagree";
    LiberarModelo(&ref);
    return m;
}

void EsperarVector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(Bits(v.x), Bits(x)) << v.x << " vs " << x;
    EXPECT_EQ(Bits(v.y), Bits(y)) << v.y << " vs " << y;
    EXPECT_EQ(Bits(v.z), Bits(z)) << v.z << " vs " << z;
}

void EsperarCara(const Cara &c, int v0, int v1, int v2, int a0, int a1, int a2)
{
    EXPECT_EQ(c.Vert[0], v0);
    EXPECT_EQ(c.Vert[1], v1);
    EXPECT_EQ(c.Vert[2], v2);
    EXPECT_EQ(c.Aux[0], a0);
    EXPECT_EQ(c.Aux[1], a1);
    EXPECT_EQ(c.Aux[2], a2);
}

void EsperarCuentas(const Modelo &m, int v, int c, int t, int n)
{
    EXPECT_EQ(m.NumVertices, v);
    EXPECT_EQ(m.NumCaras, c);
    EXPECT_EQ(m.NumCTexturas, t);
    EXPECT_EQ(m.NumNormales, n);
}

void EsperarVacio(const Modelo &m)
{
    EsperarCuentas(m, 0, 0, 0, 0);
    EXPECT_EQ(m.Vertices, nullptr);
    EXPECT_EQ(m.Caras, nullptr);
    EXPECT_EQ(m.CTexturas, nullptr);
    EXPECT_EQ(m.Normales, nullptr);
}

}   // namespace

// ---------------------------------------------------------------------------
// Files without statements

TEST(ObjVacio, FicheroVacioOSinPalabrasClave)
{
    for (int formato = 0; formato <= 4; formato++) {
        Modelo m = Cargar("", formato);
        EsperarVacio(m);
        m = Cargar("# a comment\ng group\nusemtl x\n\n\t \n", formato);
        EsperarVacio(m);
    }
}

// ---------------------------------------------------------------------------
// Tokens

TEST(ObjTokens, SoloPalabrasClaveEnterasYConSuMayuscula)
{
    Modelo m = Cargar("vx 1 2 3\nvv 1 2 3\nfv 1 2 3\nV 1 2 3\nVN 1 2 3\nVt 1 2 3\nF 1 2 3\n"
                      "vnn 1 2 3\nvtt 1 2 3\nff 1 2 3\nv1 2 3\n-v 4 5 6\nvn.\n",
                      3);
    EsperarVacio(m);
}

TEST(ObjTokens, LasSentenciasSeEncuentranPorTokenNoPorLinea)
{
    // A comment holding a statement adds it; a statement may span lines.
    Modelo m = Cargar("# v 1 2 3\nv\n4\n\n5\t6 vn 7 8 9 vt 0.5 0.25 0 f 1 2 3", 3);
    EsperarCuentas(m, 2, 1, 1, 1);
    EsperarVector(m.Vertices[0], 1, 2, 3);
    EsperarVector(m.Vertices[1], 4, 5, 6);
    EsperarVector(m.Normales[0], 7, 8, 9);
    EsperarVector(m.CTexturas[0], 0.5f, 0.25f, 0);
    EsperarCara(m.Caras[0], 0, 1, 2, -1, -1, -1);
    LiberarModelo(&m);
}

TEST(ObjTokens, UnCuartoNumeroSeSalta)
{
    Modelo m = Cargar("v 1 2 3 4\nv 5 6 7\n", 0);
    EsperarCuentas(m, 2, 0, 0, 0);
    EsperarVector(m.Vertices[0], 1, 2, 3);
    EsperarVector(m.Vertices[1], 5, 6, 7);
    LiberarModelo(&m);
}

TEST(ObjTokens, TodosLosEspaciosDeLaBibliotecaC)
{
    Modelo m = Cargar("\v\fv\r1\t2\v3\f\r\nvn 1 1 1", 0);
    EsperarCuentas(m, 1, 0, 0, 1);
    EsperarVector(m.Vertices[0], 1, 2, 3);
    LiberarModelo(&m);
}

TEST(ObjTokens, UnTokenDeVariosMegabytesSeSaltaEntero)
{
    std::string largo(6u << 20, 'x');
    std::string largo_v = "v" + std::string(3u << 20, 'v');
    std::string texto = "v 1 2 3\n" + largo + " v 4 5 6\n" + largo_v + " 7 8 9\nvn" + largo + "\nf" +
                        std::string(2u << 20, '1') + "\nv 10 11 12";
    Modelo m = Cargar(texto, 3);
    EsperarCuentas(m, 3, 0, 0, 0);
    EsperarVector(m.Vertices[0], 1, 2, 3);
    EsperarVector(m.Vertices[1], 4, 5, 6);
    EsperarVector(m.Vertices[2], 10, 11, 12);
    LiberarModelo(&m);
}

TEST(ObjTokens, UnNumeroDeUnMillonDeCifrasEsInfinito)
{
    std::string texto = "v " + std::string(1000000, '9') + " 2 3\nv 4 5 6";
    Modelo m = Cargar(texto, 0);
    EsperarCuentas(m, 2, 0, 0, 0);
    EsperarVector(m.Vertices[0], INFINITY, 2, 3);
    EsperarVector(m.Vertices[1], 4, 5, 6);
    LiberarModelo(&m);
}

TEST(ObjTokens, UnNulDentroDeUnTokenTerminaSuTexto)
{
    // "%s" stores the NUL too, so the token's text as a string is "v".
    const char bytes[] = "v\0junk 1 2 3\nvn\0 4 5 6";
    std::string texto(bytes, sizeof bytes - 1);
    Modelo m = Cargar(texto, 0);
    EsperarCuentas(m, 1, 0, 0, 1);
    EsperarVector(m.Vertices[0], 1, 2, 3);
    EsperarVector(m.Normales[0], 4, 5, 6);
    LiberarModelo(&m);
}

// ---------------------------------------------------------------------------
// Number holders

TEST(ObjCasillas, LaTerceraCoordenadaSinLeerConservaElValorAnterior)
{
    Modelo m = Cargar("v 1 2 7\nvt 0.25 0.75\nv 4 5 6\n", 0);
    EsperarCuentas(m, 2, 0, 1, 0);
    EsperarVector(m.CTexturas[0], 0.25f, 0.75f, 7);
    LiberarModelo(&m);

    m = Cargar("vn 0 0 -1\nvt 0.5 1\nf 1/1 1/1 1/1\n", 0);
    EsperarCuentas(m, 0, 1, 1, 1);
    EsperarVector(m.CTexturas[0], 0.5f, 1, -1);
    LiberarModelo(&m);
}

TEST(ObjCasillas, LosSoportesEmpiezanACero)
{
    Modelo m = Cargar("vt 0.5\nf", 3);
    EsperarCuentas(m, 0, 1, 1, 0);
    EsperarVector(m.CTexturas[0], 0.5f, 0, 0);
    EsperarCara(m.Caras[0], -1, -1, -1, -1, -1, -1);
    LiberarModelo(&m);
}

TEST(ObjCasillas, UnaSentenciaSinNumerosSeAnadeConLosSoportes)
{
    Modelo m = Cargar("v 1 2 3\nv\nvn\nvt x y z\nv", 0);
    EsperarCuentas(m, 3, 0, 1, 1);
    for (int i = 0; i < 3; i++) EsperarVector(m.Vertices[i], 1, 2, 3);
    EsperarVector(m.Normales[0], 1, 2, 3);
    EsperarVector(m.CTexturas[0], 1, 2, 3);
    LiberarModelo(&m);
}

// Numbers that are malformed or only partly a number. The values follow
// glibc's fscanf: "1e" is taken as 1, "-", "." and "0x" are not numbers.
TEST(ObjCasillas, NumerosMalFormadosOParciales)
{
    struct Caso {
        const char *numero;
        uint32_t bits;   // expected x; 7 when the read fails
    };
    const Caso casos[] = {
        {"1e", Bits(1.0f)},
        {"-", Bits(7.0f)},
        {".", Bits(7.0f)},
        {"0x1p3", Bits(8.0f)},
        {"inf", Bits(INFINITY)},
        {"-infinity", Bits(-INFINITY)},
        {"nan", 0x7fc00000u},
        {"NaN", 0x7fc00000u},
        {"-nan", 0xffc00000u},
        {"INFINITY", Bits(INFINITY)},
        {"-inf", Bits(-INFINITY)},
        {"-1e39", Bits(-INFINITY)},
        {"+.5e-3", Bits(0.0005f)},
        {"1e99", Bits(INFINITY)},
        {"1e-50", Bits(0.0f)},
        {"-0", Bits(-0.0f)},
        {"0.1", Bits(0.1f)},
        {"16777217", Bits(16777216.0f)},
        {"3.4028235e38", Bits(3.4028235e38f)},
        {"1.4e-45", 1u},
        {"0x", Bits(7.0f)},
        {"--1", Bits(7.0f)},
        {"-hnf", Bits(7.0f)},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.numero);
        std::string texto = std::string("v 7 8 9\nv ") + c.numero + "\nv 1 2 3\n";
        Modelo m = Cargar(texto, 0);
        ASSERT_EQ(m.NumVertices, 3);
        EXPECT_EQ(Bits(m.Vertices[1].x), c.bits);
        EXPECT_EQ(Bits(m.Vertices[1].y), Bits(8.0f));
        EXPECT_EQ(Bits(m.Vertices[1].z), Bits(9.0f));
        EsperarVector(m.Vertices[2], 1, 2, 3);
        LiberarModelo(&m);
    }
}

TEST(ObjCasillas, UnaLecturaQueParaSeRetomaPorTokens)
{
    // The read stops at "a"; the rest of the statement is skipped token by token.
    Modelo m = Cargar("v 1 2 3\nv 4 a 6\nv 7 8 9\nv 1.5.5\n", 0);
    EsperarCuentas(m, 4, 0, 0, 0);
    EsperarVector(m.Vertices[1], 4, 2, 3);
    EsperarVector(m.Vertices[2], 7, 8, 9);
    // "1.5" ends at the second point and ".5" is the next number.
    EsperarVector(m.Vertices[3], 1.5f, 0.5f, 9);
    LiberarModelo(&m);
}

// ---------------------------------------------------------------------------
// Face formats

// One face of each file, worked out by hand from the five formats: which
// numbers land in which triple, what a stopped read keeps, and the counts.
TEST(ObjCaras, FormatosDeCara)
{
    struct Caso {
        const char *texto;
        int formato;
        int vertices, caras;   // counts
        int cara;              // the face checked
        int vert[3], aux[3];
    };
    const char *kDosLecturas = "f 1/2/3 4/5/6 7/8/9 10/11/12 13/14/15 16/17/18 19/20/21\n"
                               "f 1/2/3 4/5/6 7/8/9\nv 1 2 3\n"
                               "f 1/2/3 4/5/6 7/8/9 10/11/12 13 v 4 5 6";
    const char *kEnteros = "f 2147483648 4294967297 99999999999999999999\n"
                           "f -99999999999999999999 -2147483648 2147483647";
    const Caso casos[] = {
        {"f 1/2 3/4 5/6\n", 0, 0, 1, 0, {0, 2, 4}, {1, 3, 5}},
        {"f 1//2 3//4 5//6\n", 1, 0, 1, 0, {0, 2, 4}, {1, 3, 5}},
        // Format 3 leaves the second triple alone; relative numbers stay as they are.
        {"f 1 2 3\nf 4 5 6 7\nf -1 -2 -3", 3, 0, 3, 0, {0, 1, 2}, {-1, -1, -1}},
        {"f 1 2 3\nf 4 5 6 7\nf -1 -2 -3", 3, 0, 3, 1, {3, 4, 5}, {-1, -1, -1}},
        {"f 1 2 3\nf 4 5 6 7\nf -1 -2 -3", 3, 0, 3, 2, {-2, -3, -4}, {-1, -1, -1}},
        // Format 4: texture and normal, the normal number over the vertex's.
        {"f 1/2/3 4/5/6 7/8/9\n", 4, 0, 1, 0, {1, 4, 7}, {2, 5, 8}},
        // "10/" then "x": the second-triple holder keeps the first number, 10.
        {"f 1/2/3 4/5/6 7/8/9\nf 10/x", 4, 0, 2, 1, {1, 4, 7}, {9, 5, 8}},
        // Format 2 reads three corners twice; the first face keeps the initial
        // second triple when its second read meets "v".
        {"f 1/2/3 4/5/6 7/8/9\nv 1 2 3", 2, 1, 1, 0, {2, 5, 8}, {-1, -1, -1}},
        // Corner 7 and any after the sixth are skipped as tokens; the second
        // face's second read meets the keyword "v", assigns nothing and leaves
        // it; the third's takes 10/11/12 and 13, then stops before "v".
        {kDosLecturas, 2, 2, 3, 0, {2, 5, 8}, {11, 14, 17}},
        {kDosLecturas, 2, 2, 3, 1, {2, 5, 8}, {11, 14, 17}},
        {kDosLecturas, 2, 2, 3, 2, {2, 5, 8}, {11, 12, 17}},
        {"f 1/1 2/2 3/3 4/4\n", 0, 0, 1, 0, {0, 1, 2}, {0, 1, 2}},
        // Format 0 over corners of three numbers stops at the second slash.
        {"f 11/12 13/14 15/16\nf 1/2/3 4/5/6 7/8/9\nv 1 2 3\n", 0, 1, 2, 1, {0, 12, 14}, {1, 13, 15}},
        // glibc converts "%d" with a 64-bit strtol (saturating) and keeps the
        // low 32 bits: INT_MIN - 1 wraps.
        {kEnteros, 3, 0, 2, 0, {INT_MAX, 0, -2}, {-1, -1, -1}},
        {kEnteros, 3, 0, 2, 1, {-1, INT_MAX, INT_MAX - 1}, {-1, -1, -1}},
        // Blanks in the patterns skip any white space, line breaks included;
        // none is allowed before a slash: " /4" leaves slot 2's numbers unread.
        {"f\n1/2\n\n3/4\t5/6", 0, 0, 1, 0, {0, 2, 4}, {1, 3, 5}},
        {"f 1/2 3 /4 5/6", 0, 0, 1, 0, {0, 2, -1}, {1, -1, -1}},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.texto);
        Modelo m = Cargar(k.texto, k.formato);
        EsperarCuentas(m, k.vertices, k.caras, 0, 0);
        if (m.NumCaras > k.cara)
            EsperarCara(m.Caras[k.cara], k.vert[0], k.vert[1], k.vert[2], k.aux[0], k.aux[1], k.aux[2]);
        LiberarModelo(&m);
    }
}

TEST(ObjCaras, UnaCaraAlFinalDelFicheroSeAnadeUnaVez)
{
    for (const char *fin : {"\n", "", "\n\n  \t", " "}) {
        SCOPED_TRACE(fin);
        Modelo m = Cargar(std::string("v 0 0 0\nf 1 2 3") + fin, 3);
        ASSERT_EQ(m.NumCaras, 1);
        EsperarCara(m.Caras[0], 0, 1, 2, -1, -1, -1);
        LiberarModelo(&m);
        m = Cargar(std::string("f 1/2/3 4/5/6 7/8/9") + fin, 2);
        ASSERT_EQ(m.NumCaras, 1);
        EsperarCara(m.Caras[0], 2, 5, 8, -1, -1, -1);
        LiberarModelo(&m);
    }
}

TEST(ObjCaras, FormatoDesconocidoNoAnadeCaras)
{
    for (int formato : {-1, 5, 6, 100, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(formato);
        Modelo m = Cargar("v 1 2 3\nf 1 2 3\nf 1/1 2/2 3/3\nvn 0 1 0\n", formato);
        EsperarCuentas(m, 1, 0, 0, 1);
        EXPECT_EQ(m.Caras, nullptr);
        EsperarVector(m.Normales[0], 0, 1, 0);
        LiberarModelo(&m);
    }
}

// ---- Keywords cut by the edge of a read: the file is read in blocks, and a
// ---- keyword that starts at the end of one goes on in the next.

TEST(ObjBloques, PalabraClavePartidaEntreDosLecturas)
{
    for (int desde = 65520; desde <= 65540; desde++) {
        // "v 1 2 3\n", a comment, then "vn ..." at byte `desde`.
        std::string texto = "v 1 2 3\n#";
        texto += std::string((size_t)(desde - 10), 'x');
        texto += "\nvn 0 0 1\nvt 0.5 0.25\nv 4 5 6\n";
        ASSERT_EQ(texto.find("vn"), (size_t)desde);
        Modelo m = CargarModeloOBJ(Escribir(texto, "partida.obj").c_str(), 0);
        EXPECT_EQ(m.NumVertices, 2) << desde;
        EXPECT_EQ(m.NumNormales, 1) << desde;
        EXPECT_EQ(m.NumCTexturas, 1) << desde;
        LiberarModelo(&m);
    }
}
