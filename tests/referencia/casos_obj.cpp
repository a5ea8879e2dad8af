// casos_obj.cpp - generated and mutated OBJ files (see casos_obj.h).
#include "casos_obj.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "comun.h"
#include "modelo.h"
#include "modelos_iguales.h"
#include "obj_scanf.h"

namespace {

typedef std::mt19937_64 Gen;

int Entero(Gen *g, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*g); }
bool Suerte(Gen *g, double p) { return std::uniform_real_distribution<double>(0, 1)(*g) < p; }
char Uno(Gen *g, const char *de) { return de[Entero(g, 0, (int)strlen(de) - 1)]; }

const char kBlancos[] = " \t\n\v\f\r";

void Blancos(Gen *g, std::string *s)
{
    switch (Entero(g, 0, 9)) {
    case 0: s->push_back(Uno(g, kBlancos)); break;
    case 1: {
        int n = Entero(g, 2, 6);
        for (int i = 0; i < n; i++) s->push_back(Uno(g, kBlancos));
        break;
    }
    case 2:
        if (Suerte(g, 0.05))
            s->append((size_t)Entero(g, 200, 700), ' ');
        else
            s->push_back('\t');
        break;
    default: s->push_back(' '); break;
    }
}

void Digitos(Gen *g, std::string *s, int n)
{
    for (int i = 0; i < n; i++) s->push_back((char)('0' + Entero(g, 0, 9)));
}

// The exact decimal expansion of a double (all its digits), in %.Ne form.
std::string Exacto(double d)
{
    char b[1200];
    snprintf(b, sizeof b, "%.767e", d);
    // Drop trailing zeros of the fraction to keep it short but exact.
    std::string t = b;
    size_t e = t.find('e');
    size_t f = e;
    while (f > 0 && t[f - 1] == '0') f--;
    if (t[f - 1] == '.') f--;
    return t.substr(0, f) + t.substr(e);
}

// A number as scanf's %f may meet it.
void Real(Gen *g, std::string *s)
{
    char b[128];
    switch (Entero(g, 0, 24)) {
    case 0:
    case 1:
    case 2:
    case 3: {   // the everyday "-1.234567"
        std::uniform_real_distribution<double> u(-1000, 1000);
        snprintf(b, sizeof b, "%.*f", Entero(g, 0, 8), u(*g));
        s->append(b);
        break;
    }
    case 4:
    case 5: {   // any float, shortest or longer
        uint32_t bits = (uint32_t)(*g)();
        float f;
        memcpy(&f, &bits, 4);
        if (Suerte(g, 0.5))
            snprintf(b, sizeof b, "%.*g", Entero(g, 1, 17), (double)f);
        else
            snprintf(b, sizeof b, "%.*e", Entero(g, 0, 12), (double)f);
        s->append(b);
        break;
    }
    case 6: {   // halfway between two floats, exactly or nearly
        uint32_t bits = (uint32_t)(*g)() & 0x7f7fffffu;
        float f;
        memcpy(&f, &bits, 4);
        double medio = ((double)f + (double)std::nextafter(f, INFINITY)) / 2;
        if (Suerte(g, 0.5)) {
            s->append(Exacto(medio));
        } else {
            snprintf(b, sizeof b, "%.*e", Entero(g, 6, 20), medio);
            s->append(b);
        }
        break;
    }
    case 7: {   // small halfway integers: 2^24 + odd
        snprintf(b, sizeof b, "%lld",
                 (long long)(16777216LL * Entero(g, 1, 64) + 2 * Entero(g, 0, 1000) + 1));
        s->append(b);
        if (Suerte(g, 0.3)) s->append("e" + std::to_string(Entero(g, -22, 22)));
        break;
    }
    case 8: {   // many digits
        if (Suerte(g, 0.5)) s->push_back('-');
        Digitos(g, s, Entero(g, 1, 40));
        if (Suerte(g, 0.7)) {
            s->push_back('.');
            Digitos(g, s, Suerte(g, 0.05) ? Entero(g, 250, 600) : Entero(g, 0, 40));
        }
        if (Suerte(g, 0.5)) s->append("e" + std::to_string(Entero(g, -60, 60)));
        break;
    }
    case 9: {   // exponents at and past the range
        snprintf(b, sizeof b, "%d.%de%s%d", Entero(g, 0, 9), Entero(g, 0, 999), Suerte(g, 0.5) ? "-" : "",
                 Entero(g, 0, 60));
        s->append(b);
        break;
    }
    case 10: {
        static const char *const kEspeciales[] = {
            "inf",  "INF",  "Inf",       "infinity", "INFINITY", "iNfInItY",  "nan",
            "NaN",  "NAN",  "nan(1)",    "nan()",    "infinit",  "infin",     "infi",
            "in",   "i",    "na",        "n",        "nanx",     "infx",      "-inf",
            "+nan", "-nan", "-infinity", "+i",       "-n",       "infinityy", "nana"};
        s->append(kEspeciales[Entero(g, 0, (int)(sizeof kEspeciales / sizeof *kEspeciales) - 1)]);
        break;
    }
    case 11: {
        static const char *const kRaros[] = {"-",
                                             "+",
                                             ".",
                                             "-.",
                                             "+.",
                                             "1e",
                                             "1e+",
                                             "1e-",
                                             "1E",
                                             "0x",
                                             "0X",
                                             "-0x",
                                             "0x.",
                                             "0x.p1",
                                             "0xp3",
                                             "0x1p",
                                             "0x1p+",
                                             "0x1p-3",
                                             "0X1.8P1",
                                             "0x1.8p1",
                                             "0xAbC.dEp-7",
                                             "0x1e+3",
                                             "0x1p1a",
                                             "1e5e",
                                             "1.2.3",
                                             ".5.",
                                             "1e5.3",
                                             "-.e",
                                             "+-1",
                                             "--1",
                                             "00x1",
                                             "0.x1",
                                             "1ee",
                                             "1e+-5",
                                             ".e5",
                                             "e5",
                                             "-0",
                                             "+0",
                                             "0",
                                             "-0.0",
                                             "1e99",
                                             "1e-50",
                                             "3.4028235e38",
                                             "3.4028236e38",
                                             "1.17549435e-38",
                                             "1.4e-45",
                                             "7e-46",
                                             "0e99999999999999999999",
                                             "1e-99999999999999",
                                             "00012",
                                             "1x",
                                             "12abc",
                                             "0x10",
                                             "+.5",
                                             "-.5e-3",
                                             ".",
                                             "1.",
                                             "1.e5",
                                             "0x1.fffffep127",
                                             "0x1.ffffffp127",
                                             "0x1p-149",
                                             "0x1p-150",
                                             "0x.8p-149",
                                             "1e0005",
                                             "4.9406564584124654e-324"};
        s->append(kRaros[Entero(g, 0, (int)(sizeof kRaros / sizeof *kRaros) - 1)]);
        break;
    }
    case 12: {   // short decimals with exponents, Clinger's range and beyond
        if (Suerte(g, 0.3)) s->push_back(Suerte(g, 0.5) ? '-' : '+');
        Digitos(g, s, Entero(g, 1, 9));
        if (Suerte(g, 0.5)) {
            s->push_back('.');
            Digitos(g, s, Entero(g, 0, 9));
        }
        s->push_back(Suerte(g, 0.5) ? 'e' : 'E');
        if (Suerte(g, 0.5)) s->push_back(Suerte(g, 0.5) ? '-' : '+');
        s->append(std::to_string(Entero(g, 0, 50)));
        break;
    }
    case 13: {   // hexadecimal
        uint32_t bits = (uint32_t)(*g)();
        float f;
        memcpy(&f, &bits, 4);
        snprintf(b, sizeof b, "%a", Suerte(g, 0.5) ? (double)f : (double)f * (1 + 1e-9));
        s->append(b);
        break;
    }
    case 14: {   // 16 to 20 significant digits, near the fast path's edge
        Digitos(g, s, Entero(g, 1, 3));
        s->push_back('.');
        Digitos(g, s, Entero(g, 13, 19));
        break;
    }
    case 15: {   // leading zeros
        s->append((size_t)Entero(g, 1, 30), '0');
        if (Suerte(g, 0.5)) s->push_back('.');
        if (Suerte(g, 0.5)) s->append((size_t)Entero(g, 0, 30), '0');
        Digitos(g, s, Entero(g, 0, 8));
        break;
    }
    default: {
        snprintf(b, sizeof b, "%d", Entero(g, -100, 100));
        s->append(b);
        break;
    }
    }
}

// A number as scanf's %d may meet it.
void Indice(Gen *g, std::string *s)
{
    switch (Entero(g, 0, 19)) {
    case 0: s->append(std::to_string(-Entero(g, 1, 50))); break;
    case 1: {
        static const char *const kRaros[] = {"0",
                                             "-0",
                                             "+7",
                                             "007",
                                             "2147483647",
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
                                             "18446744073709551617",
                                             "-",
                                             "+",
                                             "",
                                             "x",
                                             "0x10",
                                             "1.5",
                                             "1e3"};
        s->append(kRaros[Entero(g, 0, (int)(sizeof kRaros / sizeof *kRaros) - 1)]);
        break;
    }
    case 2: Digitos(g, s, Entero(g, 10, 60)); break;
    default: s->append(std::to_string(Entero(g, 1, 2000))); break;
    }
}

// A corner in one of the OBJ forms a, a/b, a//b, a/b/c (or a broken one).
void Esquina(Gen *g, std::string *s, int forma)
{
    Indice(g, s);
    switch (forma) {
    case 0: break;
    case 1:
        s->push_back('/');
        Indice(g, s);
        break;
    case 2:
        s->append("//");
        Indice(g, s);
        break;
    case 3:
        s->push_back('/');
        Indice(g, s);
        s->push_back('/');
        Indice(g, s);
        break;
    default:
        for (int i = Entero(g, 1, 4); i > 0; i--) {
            s->append(Suerte(g, 0.7) ? "/" : Suerte(g, 0.5) ? "//" : " /");
            if (Suerte(g, 0.7)) Indice(g, s);
        }
        break;
    }
}

// The corner form each face format expects.
int FormaDelFormato(int formato)
{
    switch (formato) {
    case 0: return 1;
    case 1: return 2;
    case 3: return 0;
    default: return 3;
    }
}

void SentenciaCara(Gen *g, std::string *s, int formato)
{
    s->push_back('f');
    int forma = Suerte(g, 0.8) ? FormaDelFormato(formato) : Entero(g, 0, 4);
    int esquinas = Suerte(g, 0.75) ? 3 : Entero(g, 0, 7);
    for (int k = 0; k < esquinas; k++) {
        Blancos(g, s);
        Esquina(g, s, Suerte(g, 0.9) ? forma : Entero(g, 0, 4));
    }
}

void Vectorial(Gen *g, std::string *s)
{
    static const char *const kClaves[] = {"v", "vn", "vt"};
    s->append(kClaves[Entero(g, 0, 2)]);
    int n = Suerte(g, 0.8) ? 3 : Entero(g, 0, 5);
    for (int k = 0; k < n; k++) {
        Blancos(g, s);
        Real(g, s);
    }
}

void Ruido(Gen *g, std::string *s)
{
    using namespace std::string_literals;   // "..."s keeps NUL bytes
    static const std::string kTokens[] = {
        "#"s,      "# comment"s, "g"s,        "o"s,     "s"s,    "s off"s, "usemtl"s, "mtllib a.mtl"s,
        "vx"s,     "vv"s,        "fv"s,       "V"s,     "VN"s,   "Vt"s,    "F"s,      "vnn"s,
        "vtt"s,    "ff"s,        "v1"s,       "-v"s,    "vn."s,  "f/"s,    "#v"s,     "v#"s,
        "vp 1 2"s, "l 1 2"s,     "\xc3\xa9"s, "v\0x"s,  "vn\0"s, "f\0"s,   "\0v"s,    "v\0"s,
        "x\0v"s,   "vt\0t"s,     "/3"s,       "4/5/6"s, "\0"s};
    s->append(kTokens[Entero(g, 0, (int)(sizeof kTokens / sizeof *kTokens) - 1)]);
    if (Suerte(g, 0.01)) s->append((size_t)Entero(g, 300, 3000), 'x');   // a long token
}

// A plausible file: statements in the given face format, junk between them.
void Fichero(Gen *g, std::string *s, int formato)
{
    const int n = Entero(g, 1, 40);
    for (int i = 0; i < n; i++) {
        switch (Entero(g, 0, 9)) {
        case 0:
        case 1:
        case 2:
        case 3: Vectorial(g, s); break;
        case 4:
        case 5:
        case 6: SentenciaCara(g, s, formato); break;
        case 7: Ruido(g, s); break;
        case 8: Real(g, s); break;
        default: Indice(g, s); break;
        }
        if (Suerte(g, 0.9))
            s->push_back(Suerte(g, 0.9) ? '\n' : Uno(g, kBlancos));
        else
            Blancos(g, s);
    }
}

const char kAlfabeto[] = "0123456789+-.eEpPxXaAnNiIfFtTyYvV/:; \t\n\v\f\r#()";

void Mutar(Gen *g, std::string *s)
{
    const int n = Entero(g, 1, 6);
    for (int i = 0; i < n && !s->empty(); i++) {
        size_t at = (size_t)Entero(g, 0, (int)s->size() - 1);
        switch (Entero(g, 0, 6)) {
        case 0: s->insert(s->begin() + (long)at, Uno(g, kAlfabeto)); break;
        case 1: s->erase(at, 1); break;
        case 2: (*s)[at] = Uno(g, kAlfabeto); break;
        case 3: (*s)[at] = Suerte(g, 0.5) ? '\0' : (char)Entero(g, 128, 255); break;
        case 4: {
            size_t largo = (size_t)Entero(g, 1, 16);
            s->insert(at, s->substr(at, largo));
            break;
        }
        case 5: s->resize(at); break;
        default: s->insert(at, Suerte(g, 0.5) ? "v" : Suerte(g, 0.5) ? "f" : "vt"); break;
        }
    }
}

}   // namespace

void GenerarOBJ(std::mt19937_64 *g, std::string *texto, int *formato)
{
    texto->clear();
    *formato = Suerte(g, 0.02) ? (Suerte(g, 0.5) ? -1 : 5) : Entero(g, 0, 4);
    Fichero(g, texto, *formato);
    if (Suerte(g, 0.6)) Mutar(g, texto);
    if (Suerte(g, 0.2)) {   // cut off in the middle of whatever is there
        texto->resize((size_t)Entero(g, 0, (int)texto->size()));
    }
}

std::string TextoLegible(const std::string &texto, size_t max)
{
    std::string r;
    for (size_t i = 0; i < texto.size() && i < max; i++) {
        unsigned char c = (unsigned char)texto[i];
        if (c == '\n')
            r += "\\n";
        else if (c == '\\')
            r += "\\\\";
        else if (c >= 32 && c < 127)
            r += (char)c;
        else {
            char b[8];
            snprintf(b, sizeof b, "\\x%02x", c);
            r += b;
        }
    }
    if (texto.size() > max) r += "...";
    return r;
}

int CompararOBJ(const std::string &texto, int formato, std::string *detalle)
{
    const std::string ruta = EscribirTemporal("diferencial.obj", texto);
    Modelo a = CargarModeloOBJ(ruta.c_str(), formato);
    Modelo b = CargarModeloOBJScanf(ruta.c_str(), formato);
    *detalle = DiferenciaModelos(a, b);
    LiberarModelo(&a);
    LiberarModelo(&b);
    if (detalle->empty()) return 1;
    char t[64];
    snprintf(t, sizeof t, " (face format %d) in \"", formato);
    *detalle = "CargarModeloOBJ (a) against fscanf (b): " + *detalle + t + TextoLegible(texto, 3000) + "\"";
    return 0;
}
