// obj_sentencias.cpp - CargarModeloOBJ: the grammar of an OBJ file as the
// loader reads it, beside its contract in modelo.h. From the bottom up: the
// token loop, the four statements, the five face patterns (one table), and
// scanf's "%d" and "%f" rules, each written once, step by step.
//
// Statements are read inside a window of bytes in memory whose end reads as
// the end of the file. A statement that runs into the window's end before
// the file's is read again from its start with a larger window, so a number
// or a run of white space of any length is read whole. Skipped tokens need
// no window: they are stepped over block by block.
#include "modelo_local.h"
#include "obj_local.h"
#include "obj_numeros_local.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The scanf rules step through the window with a cursor.
struct Cursor {
    const unsigned char *p;
    Ventana *v;
};

inline int Mirar(Cursor *c) { return Mirar(c->p, c->v); }

// ---- scanf's rules, step by step ----

// An optional sign, consumed. Returns the character after it.
int Signo(Cursor *c, bool *negativo)
{
    int ch = Mirar(c);
    *negativo = ch == '-';
    if (ch == '-' || ch == '+') {
        c->p++;
        ch = Mirar(c);
    }
    return ch;
}

// "%d" after its blanks, as modelo.h gives it (NUMBERS). False (nothing
// assigned) when the read fails.
bool EnteroScanf(Cursor *c, int *destino)
{
    bool negativo;
    if (!Digito(Signo(c, &negativo))) return false;
    // The magnitude saturates just above 2^63, which is all the clamping
    // needs to know.
    const uint64_t kTope = (uint64_t)1 << 63;
    uint64_t v = 0;
    for (; Digito(*c->p); c->p++) {
        const uint64_t d = (uint64_t)(*c->p - '0');
        v = (v > (kTope + 1 - d) / 10) ? kTope + 1 : v * 10 + d;
    }
    Mirar(c);   // notes a number cut by the window's end
    int64_t largo;
    if (negativo)
        largo = (v >= kTope) ? INT64_MIN : -(int64_t)v;
    else
        largo = (v >= kTope) ? INT64_MAX : (int64_t)v;
    *destino = (int)(uint32_t)(uint64_t)largo;
    return true;
}

// Matches the letters of `resto` (lower case) in any case. A mismatching
// character is consumed, as scanf does. False on a mismatch or at the end.
bool Palabra(Cursor *c, const char *resto)
{
    for (; *resto; resto++) {
        const int ch = Mirar(c);
        if (ch == kFinal) return false;
        c->p++;
        if ((ch | 0x20) != *resto) return false;
    }
    return true;
}

// "nan", "inf" or "infinity" after the sign; c is on the first letter.
bool LeerEspecial(Cursor *c, bool negativo, float *destino)
{
    const int ch = Mirar(c) | 0x20;
    c->p++;
    float f;
    if (ch == 'n') {
        if (!Palabra(c, "an")) return false;
        f = __builtin_nanf("");
    } else {
        if (!Palabra(c, "nf")) return false;
        if ((Mirar(c) | 0x20) == 'i') {
            c->p++;
            if (!Palabra(c, "nity")) return false;
        }
        f = __builtin_inff();
    }
    *destino = negativo ? -f : f;
    return true;
}

// Steps over a number's digits, point and exponent as scanf collects them
// (only the character that ends the collection is left). Returns whether a
// digit came before the exponent.
bool RecorrerNumero(Cursor *c, bool hex, bool hay_digito)
{
    bool punto = false;
    for (;; c->p++) {
        const int ch = Mirar(c);
        if (hex ? DigitoHex(ch) : Digito(ch)) {
            hay_digito = true;
        } else if (ch == '.' && !punto) {
            punto = true;
        } else if ((ch | 0x20) == (hex ? 'p' : 'e') && hay_digito) {
            c->p++;
            const int s = Mirar(c);
            if (s == '+' || s == '-') c->p++;
            while (Digito(Mirar(c))) c->p++;
            return true;
        } else {
            return hay_digito;
        }
    }
}

// strtof on the collected text [ini, fin), NUL-terminated in place (the byte
// at fin is in this loader's own buffer, at worst the sentinel's slot, and is
// put back at once), so a number of any length needs no copy. strtof takes
// the longest number at the start of the text ("1e+" gives 1). False if it
// converts nothing.
bool ConvertirConStrtof(const unsigned char *ini, const unsigned char *fin, float *destino)
{
    unsigned char *final_texto = const_cast<unsigned char *>(fin);
    const unsigned char guardado = *final_texto;
    *final_texto = 0;
    char *final = (char *)ini;
    const float f = strtof((const char *)ini, &final);
    *final_texto = guardado;
    if (final == (const char *)ini) return false;
    *destino = f;
    return true;
}

// "%f" after its blanks, as modelo.h gives it (NUMBERS): an optional sign,
// then nan, inf, infinity, a hexadecimal or a decimal number. False (nothing
// assigned) when the read fails.
bool RealScanf(Cursor *c, float *destino)
{
    const unsigned char *ini = c->p;
    bool negativo;
    const int ch = Signo(c, &negativo);
    if ((ch | 0x20) == 'n' || (ch | 0x20) == 'i') return LeerEspecial(c, negativo, destino);
    const unsigned char *cuerpo = c->p;
    bool hex = false;
    if (ch == '0') {
        c->p++;
        if ((Mirar(c) | 0x20) == 'x') {
            c->p++;
            hex = true;
        }
    }
    const bool digitos = RecorrerNumero(c, hex, ch == '0' && !hex);
    if (hex ? c->p == cuerpo + 2 : !digitos) return false;   // "0x" alone; a sign, ".", "-."
    return ConvertirConStrtof(ini, c->p, destino);
}

// A number by scanf's rules, after its blanks, for a statement the fast
// reading did not settle. A read that runs into the window's end assigns
// nothing: the statement is read again, and every holder read before that
// point gets the same value again.
__attribute__((noinline)) Leido EnteroLento(const unsigned char *q, Ventana *v, int *n)
{
    Cursor c = {q, v};
    const bool bien = EnteroScanf(&c, n) && !v->falta;
    return {c.p, bien};
}

__attribute__((noinline)) Leido RealLento(const unsigned char *q, Ventana *v, float *f)
{
    Cursor c = {q, v};
    const bool bien = RealScanf(&c, f) && !v->falta;
    return {c.p, bien};
}

inline bool LeerEntero(const unsigned char **pq, Ventana *v, int *destino)
{
    const unsigned char *q = Blancos(*pq);
    *pq = q;
    if (!EmpiezaNumero(kInicioEntero, *q)) return false;   // e.g. the next keyword
    int n;
    const Leido r = EnteroLento(q, v, &n);
    if (r.bien) *destino = n;
    *pq = r.p;
    return r.bien;
}

inline bool LeerReal(const unsigned char **pq, Ventana *v, float *destino)
{
    const unsigned char *q = Blancos(*pq);
    *pq = q;
    if (!EmpiezaNumero(kInicioReal, *q)) return false;   // e.g. the next keyword
    float f;
    const Leido r = RealLento(q, v, &f);
    if (r.bien) *destino = f;
    *pq = r.p;
    return r.bien;
}

// ---- The face patterns ----

// How the pattern of a face format is read: each of the three corners is
// `numeros` numbers with `barras` slashes between them, and number j of
// corner k goes to holder destino[j] + k (0-2: Vert, 3-5: Aux). A pattern
// read twice sends the second read's numbers 3 holders further on.
struct PatronCara {
    int numeros;
    int barras;
    int destino[3];
    int lecturas;
};

constexpr PatronCara kPatrones[5] = {
    {2, 1, {0, 3, 0}, 1},   // 0  "  %d/%d %d/%d %d/%d"          v to Vert, vt to Aux
    {2, 2, {0, 3, 0}, 1},   // 1  "  %d//%d %d//%d %d//%d"       v to Vert, vn to Aux
    {3, 1, {0, 0, 0}, 2},   // 2  "  %d/%d/%d %d/%d/%d %d/%d/%d" twice: corners 1-3 to
                            //    Vert, 4-6 to Aux, each number on top of the last
    {1, 0, {0, 0, 0}, 1},   // 3  "  %d %d %d"                   v to Vert
    {3, 1, {3, 0, 3}, 1},   // 4  "  %d/%d/%d %d/%d/%d %d/%d/%d" vt to Vert, v then vn to Aux
};

// One read of the pattern into h (the read's first holder); it stops at the
// first number or slash that does not fit.
template <int F> const unsigned char *LeerPatron(const unsigned char *q, Ventana *v, int *h)
{
    constexpr const PatronCara &p = kPatrones[F];
    // Unrolled, each pattern is straight code with its holders fixed.
#pragma GCC unroll 3
    for (int k = 0; k < 3; k++) {
#pragma GCC unroll 3
        for (int j = 0; j < p.numeros; j++) {
            for (int b = 0; b < (j > 0 ? p.barras : 0); b++, q++)
                if (Mirar(q, v) != '/') return q;
            if (!LeerEntero(&q, v, &h[p.destino[j] + k])) return q;
        }
    }
    return q;
}

template <int F> const unsigned char *LeerCara(const unsigned char *q, Ventana *v, int h[6])
{
    for (int r = 0; r < kPatrones[F].lecturas; r++) q = LeerPatron<F>(q, v, h + 3 * r);
    return q;
}

// ---- The fast reading of a statement ----
//
// The tokens' bounds come first (Bordes), then each number is read fast in
// its token. Returns where the statement ends, as scanf's rules would find:
// after its last number, or before a token that no number can start (then
// the next boundary is that token's start again). Null for anything else,
// having assigned only holders that scanf's rules assign the same, and the
// statement is read again by those rules.

// Whether the separators [q, fin) before a token are all blanks (scanf
// would stop on a slash).
inline bool SinBarras(const unsigned char *q, const unsigned char *fin)
{
    if (fin == q + 1) return *q != '/';   // the usual one blank
    for (; q < fin; q++)
        if (*q == '/') return false;
    return true;
}

// The next number's token [ini, *fin), after blanks from q. Null when it
// is no number's: then *fin is where the statement ends, before a token
// that no number can start, or null when scanf's rules must say.
__attribute__((always_inline)) inline const unsigned char *Ficha(Bordes *b, const unsigned char *q,
                                                                 const TablaBytes &inicio,
                                                                 const unsigned char **fin)
{
    const unsigned char *ini = SiguienteBorde(b);
    *fin = nullptr;
    if (!SinBarras(q, ini)) return nullptr;
    if (!EmpiezaNumero(inicio, *ini)) {
        DevolverBorde(b, ini);
        *fin = ini;
        return nullptr;
    }
    *fin = SiguienteBorde(b);
    return ini;
}

template <int F> __attribute__((always_inline)) inline const unsigned char *CaraRapida(Bordes *b, const unsigned char *q, int h[6])
{
    constexpr const PatronCara &p = kPatrones[F];
    for (int r = 0; r < p.lecturas; r++) {
#pragma GCC unroll 3
        for (int k = 0; k < 3; k++) {
#pragma GCC unroll 3
            for (int j = 0; j < p.numeros; j++) {
                const unsigned char *ini, *fin;
                if (j == 0) {
                    ini = Ficha(b, q, kInicioEntero, &fin);
                    if (!ini) return fin;
                } else {   // exactly the pattern's slashes
                    ini = SiguienteBorde(b);
                    if (ini != q + p.barras || q[0] != '/' || q[p.barras - 1] != '/') return nullptr;
                    fin = SiguienteBorde(b);
                }
                if (!EnteroRapido(ini, fin, &h[3 * r + p.destino[j] + k])) return nullptr;
                q = fin;
            }
        }
    }
    return q;
}

__attribute__((always_inline)) inline const unsigned char *RealesRapidos(Bordes *b, const unsigned char *q, float r[3])
{
#pragma GCC unroll 3
    for (int i = 0; i < 3; i++) {
        const unsigned char *fin;
        const unsigned char *ini = Ficha(b, q, kInicioReal, &fin);
        if (!ini) return fin;
        if (!RealRapido(ini, fin, &r[i])) return nullptr;
        q = fin;
    }
    return q;
}
// ---- The statements ----

enum Clave { kNinguna, kV, kVN, kVT, kF };

// The holders: three floats shared by "v", "vn" and "vt", and six ints, one
// per face slot (Vert[0..2], then Aux[0..2]). A read assigns only the
// holders it reaches; the others keep their values for the whole load.
struct Casillas {
    float reales[3];
    int enteros[6];
};

__attribute__((always_inline)) inline const unsigned char *LeerRapido(Bordes *b, const unsigned char *q, Clave clave, int formato,
                                       Casillas *cas)
{
    if (clave != kF) return RealesRapidos(b, q, cas->reales);
    switch (formato) {
    case 0: return CaraRapida<0>(b, q, cas->enteros);
    case 1: return CaraRapida<1>(b, q, cas->enteros);
    case 2: return CaraRapida<2>(b, q, cas->enteros);
    case 3: return CaraRapida<3>(b, q, cas->enteros);
    default: return CaraRapida<4>(b, q, cas->enteros);
    }
}

// One statement's numbers, from q, read into `cas` by scanf's rules.
// Returns where the read stopped.
__attribute__((noinline)) const unsigned char *LeerNumeros(const unsigned char *q, Ventana *v, Clave clave, int formato, Casillas *cas)
{
    if (clave != kF) {
#pragma GCC unroll 3
        for (int i = 0; i < 3; i++)
            if (!LeerReal(&q, v, &cas->reales[i])) break;
        return q;
    }
    switch (formato) {
    case 0: return LeerCara<0>(q, v, cas->enteros);
    case 1: return LeerCara<1>(q, v, cas->enteros);
    case 2: return LeerCara<2>(q, v, cas->enteros);
    case 3: return LeerCara<3>(q, v, cas->enteros);
    default: return LeerCara<4>(q, v, cas->enteros);
    }
}

// The appends: one element at the end of its array, a face by AddCara's
// rule. False when memory runs out.
inline bool AgregarVector(Arreglo *a, float x, float y, float z)
{
    if (a->num == a->listo && !Ampliar(a, sizeof(Vector))) return false;
    Vector *v = (Vector *)a->datos + a->num++;
    v->x = x;
    v->y = y;
    v->z = z;
    return true;
}

// Each holder is read on its own: the holders were just written one number
// at a time, and one wide load of several of them (what a compiler would
// otherwise make of the copy) cannot be served from those pending writes, so
// it waits for them to reach the cache.
inline int Suelto(int n)
{
    __asm__("" : "+r"(n));
    return n;
}

inline bool AgregarCara(Arreglo *a, const int n[6])
{
    if (a->num == a->listo && !Ampliar(a, sizeof(Cara))) return false;
    LlenarCara((Cara *)a->datos + a->num++, Suelto(n[0]), Suelto(n[1]), Suelto(n[2]), Suelto(n[3]),
               Suelto(n[4]), Suelto(n[5]));
    return true;
}

// Appends the element a statement has read into the holders. False when
// memory runs out.
inline bool Agregar(Clave clave, const Casillas *cas, Arreglos *a)
{
    const float *r = cas->reales;
    switch (clave) {
    case kV: return AgregarVector(&a->v, r[0], r[1], r[2]);
    case kVN: return AgregarVector(&a->vn, r[0], r[1], r[2]);
    case kVT: return AgregarVector(&a->vt, r[0], r[1], r[2]);
    default: return AgregarCara(&a->f, cas->enteros);
    }
}

// Reads a statement's numbers into the holders (e->p just after its
// keyword) and appends the element. False when memory runs out.
bool Sentencia(Entrada *e, Clave clave, int formato, Casillas *cas, Arreglos *a)
{
    Bordes b = EmpezarBordes(e->p, e->fin);
    const unsigned char *rapido = LeerRapido(&b, e->p, clave, formato, cas);
    if (rapido) e->p = (unsigned char *)rapido;
    for (size_t ventana = 0; !rapido; ventana = (size_t)(e->fin - e->p) * 2 + 256) {
        if (ventana && !e->eof && !Recargar(e, ventana)) return false;
        Ventana v = {e->fin, e->eof, false};
        const unsigned char *q = LeerNumeros(e->p, &v, clave, formato, cas);
        if (!v.falta) {
            e->p = (unsigned char *)q;
            break;
        }
    }
    return Agregar(clave, cas, a);
}

// The usual run of tokens, read from one stream of bounds while each token
// and statement is what the fast reading settles: a keyword ends on a blank,
// any other token starts with a byte that makes it no keyword, no slash
// lies between tokens. Stops, with e->p where the next token is to be looked
// for, on anything else, and at the window's end. The holders are the
// caller's local record and go to no function out of line, so that they can
// stay in registers: a holder written to memory as one int and read back
// with its neighbours as one wide load would stall the processor. False when
// memory runs out.
inline bool Corrida(Entrada *e, int formato, bool caras, Casillas *cas, Arreglos *a)
{
    const unsigned char *q = e->p;
    Bordes b = EmpezarBordes(q, e->fin);
    for (;;) {
        const unsigned char *ini = SiguienteBorde(&b);
        const unsigned char *fin = SiguienteBorde(&b);
        if (fin > e->fin || *fin == '/' || !SinBarras(q, ini)) break;   // a token cut by the window's end
        Clave clave = kNinguna;
        if (ini[0] == 'v' && fin - ini <= 2) {
            clave = fin - ini == 1 ? kV : ini[1] == 'n' ? kVN : ini[1] == 't' ? kVT : kNinguna;
            if (clave == kNinguna) break;
        } else if (ini[0] == 'f' && fin - ini == 1) {
            clave = caras ? kF : kNinguna;
        } else if (ini[0] == 'v' || ini[0] == 'f' || ini[0] == 0) {
            break;   // one of LeerToken's harder cases
        }
        if (clave == kNinguna) {
            q = fin;
            continue;
        }
        const unsigned char *r = LeerRapido(&b, fin, clave, formato, cas);
        if (!r) break;   // read again from the keyword
        q = r;
        if (!Agregar(clave, cas, a)) return false;
    }
    e->p = (unsigned char *)q;
    return true;
}

// ---- Tokens ----

// Skips white space. False at the end of the file.
bool SaltarEspacio(Entrada *e)
{
    for (;;) {
        e->p = (unsigned char *)Blancos(e->p);
        if (e->p < e->fin) return true;
        if (e->eof || !Recargar(e, 1) || e->p == e->fin) return false;
    }
}

// Reads one token (e->p is on its first byte) and tells which keyword it is.
// Only the text before a NUL byte counts, and only its first three bytes are
// looked at; the rest of a token of any length is stepped over.
Clave LeerToken(Entrada *e)
{
    unsigned char t[3];
    int n = 0;
    bool nul = false;
    for (;;) {
        for (; !Blanco(*e->p) && *e->p; e->p++)
            if (!nul && n < 3) t[n++] = *e->p;
        if (Blanco(*e->p)) break;
        if (e->p < e->fin) {   // a NUL byte in the token: its text ends here
            nul = true;
            e->p++;
            continue;
        }
        if (e->eof || !Recargar(e, 1) || e->p == e->fin) break;
    }
    if (n == 1) return t[0] == 'v' ? kV : t[0] == 'f' ? kF : kNinguna;
    if (n == 2 && t[0] == 'v') return t[1] == 'n' ? kVN : t[1] == 't' ? kVT : kNinguna;
    return kNinguna;
}

}   // namespace

Modelo CargarModeloOBJ(const char *ruta, int formato)
{
    Arreglos a;
    memset(&a, 0, sizeof a);
    Casillas cas = {{0, 0, 0}, {0, 0, 0, 0, 0, 0}};
    const bool caras = formato >= 0 && formato <= 4;   // otherwise "f" is an ordinary token
    Entrada e;
    const long long bytes = AbrirEntrada(&e, ruta);
    if (bytes >= 0) {
        Reservar(&a, bytes);
        // The usual tokens in a run, and one at a time whatever stops it.
        while (Corrida(&e, formato, caras, &cas, &a) && SaltarEspacio(&e)) {
            const Clave c = LeerToken(&e);
            if (c != kNinguna && (c != kF || caras) && !Sentencia(&e, c, formato, &cas, &a)) break;
        }
        CerrarEntrada(&e);
    }
    return Entregar(&a);
}
