// CargarModeloOBJ against the loader built on the C library's fscanf
// (CargarModeloOBJScanf), bit for bit: generated and mutated files in all
// five face formats, the numbers scanf only half reads, statements longer
// than the loader's look-ahead and its read blocks, and files cut anywhere.
//
// TALO_CASOS in the environment sets the number of random files (default
// 4000); tests/referencia/diferencial_largo runs the same generator for as long
// as wanted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "casos_obj.h"

namespace {

long Casos(long omision)
{
    const char *s = std::getenv("TALO_CASOS");
    return s ? std::strtol(s, nullptr, 10) : omision;
}

// The reference is the C library's own fscanf. Other C libraries' scanf
// collect some numbers differently from glibc (5000-digit numbers, some
// half-read spellings), and this loader reads them as glibc does; so where
// the C library is not glibc these two tests are skipped, and the same
// generated files and long statements are compared instead with a Linux
// build's results (tests/plataformas/mismas_cargas.py).
#if defined(__GLIBC__)
#define SOLO_CON_GLIBC()
#else
#define SOLO_CON_GLIBC()                                                                                     \
    GTEST_SKIP() << "the reference is glibc's fscanf; compared with Linux's results instead"
#endif

void Comparar(const std::string &texto, int formato)
{
    std::string detalle;
    ASSERT_TRUE(CompararOBJ(texto, formato, &detalle)) << detalle;
}

}   // namespace

TEST(ObjDiferencial, FicherosGeneradosYMutados)
{
    SOLO_CON_GLIBC();
    std::mt19937_64 g(1208);
    std::string texto, detalle;
    int formato = 0;
    const long n = Casos(4000);
    for (long i = 0; i < n; i++) {
        GenerarOBJ(&g, &texto, &formato);
        ASSERT_TRUE(CompararOBJ(texto, formato, &detalle)) << "case " << i << ": " << detalle;
    }
}

// Every prefix of a file holding each awkward spelling: the file ends in the
// middle of every number, keyword and separator.
TEST(ObjDiferencial, CortadoEnCadaByte)
{
    const std::string texto =
        "v -1.5e+3 .25 0x1.8p1\nvn inf -nan infinity\nvt 1e+ 2e 3.\nv - . -.\n"
        "v 0x 0x. 1e5.3\nf 1/2/3 4/5/6 7/8/9\nf 1//2 3//4 5//6\nf 1/2 3/4 5/6\n"
        "f 1 2 3\nf 2147483648/-99999999999999999999 7/+8 9/-\nv 16777217 1.00000005960464477539 "
        "3.4028235677973366e38\nvt infi nax 0x1p-150\n";
    for (int formato = 0; formato <= 4; formato++)
        for (size_t n = 0; n <= texto.size(); n++) Comparar(texto.substr(0, n), formato);
}

// Numbers and white space longer than the loader keeps in view at once, and
// statements straddling its read blocks.
TEST(ObjDiferencial, SentenciasLargasYBloques)
{
    SOLO_CON_GLIBC();
    std::string digitos(5000, '7');
    Comparar("v 1." + digitos + " 2 3\nv -" + digitos + "e-4990 5 6\n", 0);
    Comparar("v 0." + std::string(3000, '0') + "1 2 3\n", 0);
    Comparar("v 1" + std::string(100000, ' ') + "2\n\n" + std::string(100000, '\t') + "3 vn 1 2 3", 0);
    Comparar("f 1/" + std::string(4000, '9') + " 2/3 4/5 f 1/1 2/2 3/3", 0);
    Comparar("f 1" + std::string(300000, '\n') + "/2 3/4 5/6", 0);
    Comparar("# " + std::string(1 << 20, 'x') + " v 1 2 3", 3);

    // Many statements, so that block ends fall at many places in them. (Kept
    // to a few hundred kilobytes: the fscanf loader re-allocates its arrays
    // once per element, which is quadratic under the sanitizers.)
    std::mt19937_64 g(99);
    std::string texto;
    int formato = 0;
    for (int k = 0; k < 6; k++) {
        std::string grande;
        while (grande.size() < 300000) {
            GenerarOBJ(&g, &texto, &formato);
            grande += texto;
            grande += '\n';
        }
        Comparar(grande, k % 5);
    }
}

// A statement longer than the usual look-ahead whose last number starts just
// before a power-of-two offset, where a block read would end, and ends after it.
TEST(ObjDiferencial, NumeroPartidoEnElBordeDeUnBloque)
{
    const std::string blancos(300, ' ');
    const std::string inicios[] = {" v" + blancos + "7 8 ", " f" + blancos + "1/2 3/4 "};
    const std::string numeros[] = {"1.2345678e-3\n", "123456/654321\n"};
    for (size_t borde : {(size_t)1 << 18, (size_t)1 << 19, (size_t)1 << 20})
        for (size_t k = 1; k <= 12; k++)
            for (int i = 0; i < 2; i++) {
                const std::string texto =
                    "#" + std::string(borde - k - inicios[i].size() - 1, 'x') + inicios[i] + numeros[i];
                Comparar(texto, 0);
            }
}

// The integer conversions at and past 32 and 64 bits, in every slot.
TEST(ObjDiferencial, EnterosQueDesbordan)
{
    const char *const numeros[] = {"2147483647",
                                   "2147483648",
                                   "-2147483648",
                                   "-2147483649",
                                   "4294967295",
                                   "4294967296",
                                   "4294967297",
                                   "9223372036854775807",
                                   "9223372036854775808",
                                   "-9223372036854775808",
                                   "-9223372036854775809",
                                   "99999999999999999999",
                                   "-99999999999999999999",
                                   "000000000000000000000000001",
                                   "+0",
                                   "-0",
                                   "999999999999999999",
                                   "-999999999999999999",
                                   "1000000000000000000"};
    for (const char *a : numeros)
        for (const char *b : numeros) {
            const std::string t = std::string("f ") + a + "/" + b + "/" + a + " " + b + "/" + a + "/" + b +
                                  " " + a + "/" + a + "/" + b + "\n";
            for (int formato = 0; formato <= 4; formato++) Comparar(t, formato);
        }
}

// Decimals a hair from a point halfway between two floats, where rounding
// once to double and again to float, or a product off by one unit, would
// give the wrong float: each midpoint of floats of the sizes models use,
// written with 9 to 19 significant digits, then nudged by one to four units
// in its last digit, with and without an exponent.
TEST(ObjDiferencial, CercaDeUnPuntoMedio)
{
    std::mt19937_64 g(4242);
    std::uniform_real_distribution<double> magnitud(-7, 8);
    std::string texto;
    char b[64];
    for (int i = 0; i < 6000; i++) {
        const float f = (float)std::pow(10.0, magnitud(g)) * (i % 2 ? -1.0f : 1.0f);
        const double medio = ((double)f + (double)std::nextafter(f, 2 * f)) / 2;
        const int cifras = 9 + i % 11;
        snprintf(b, sizeof b, i % 3 ? "%.*e" : "%.*g", cifras - 1, medio);
        texto += "v ";
        texto += b;
        // The same with its last digit moved (the exponent, if any, kept).
        std::string otro = b;
        const size_t e = otro.find('e');
        const size_t ultima = (e == std::string::npos ? otro.size() : e) - 1;
        const int paso = 1 + i % 4;
        if (otro[ultima] >= '0' && otro[ultima] <= '9')
            otro[ultima] = (char)('0' + (otro[ultima] - '0' + (i % 8 < 4 ? paso : 10 - paso)) % 10);
        texto += " " + otro + " 1\n";
    }
    Comparar(texto, 0);
}
