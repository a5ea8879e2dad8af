// obj_sentencias.cpp - CargarModeloOBJ: the grammar of an OBJ file as the
// loader reads it, beside its contract in modelo.h. From the bottom up: the
// five face patterns (one table), the fast reading of a statement, the four
// statements, and the token loop. Each number is read fast in a token whose
// bounds are known (obj_numeros_local.h), and whatever that does not settle
// by scanf's "%d" and "%f" rules, step by step (obj_reglas_local.h).
//
// The usual tokens are read in runs, from one stream of token bounds, with
// no window: a run stops on anything unusual, and that token is read on its
// own. Then a statement is read inside a window of bytes in memory whose end
// reads as the end of the file. A statement that runs into the window's end
// before the file's is read again from its start with a larger window, so a
// number or a run of white space of any length is read whole. Skipped tokens
// need no window: they are stepped over block by block.
#include "modelo_local.h"
#include "obj_local.h"
#include "obj_numeros_local.h"
#include "obj_reglas_local.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

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
// The tokens' ends come first (Bordes), then each number is read fast in its
// token. From q, the end of the statement's keyword; returns where the
// statement ends, as scanf's rules would find: after its last number, or on
// a token that no number can start. Null for anything else, having assigned
// only holders that scanf's rules assign the same, and the statement is read
// again by those rules.

// After a token [ini, fin) that the fast reading did not take as a number:
// where the statement ends, if no number can start there (the token's end
// given back, to be taken again as the next token's), else null.
inline const unsigned char *NoNumero(Bordes *b, const unsigned char *ini, const unsigned char *fin,
                                     const TablaBytes &inicio)
{
    if (EmpiezaNumero(inicio, *ini) || *ini == '/') return nullptr;   // scanf stops on a slash too
    DevolverFin(b, fin);
    return ini;
}

template <int F>
__attribute__((always_inline)) inline const unsigned char *CaraRapida(Bordes *b, const unsigned char *q,
                                                                      int h[6])
{
    constexpr const PatronCara &p = kPatrones[F];
    for (int r = 0; r < p.lecturas; r++) {
#pragma GCC unroll 3
        for (int k = 0; k < 3; k++) {
#pragma GCC unroll 3
            for (int j = 0; j < p.numeros; j++) {
                const unsigned char *ini;
                if (j == 0) {
                    ini = InicioFicha(q);
                } else {   // exactly the pattern's slashes
                    if (q[0] != '/' || q[p.barras - 1] != '/') return nullptr;
                    ini = q + p.barras;
                }
                const unsigned char *fin = FinFicha(b);
                if (!EnteroRapido(ini, fin, &h[3 * r + p.destino[j] + k]))
                    return j == 0 ? NoNumero(b, ini, fin, kInicioEntero) : nullptr;
                q = fin;
            }
        }
    }
    return q;
}

__attribute__((always_inline)) inline const unsigned char *RealesRapidos(Bordes *b, const unsigned char *q,
                                                                         float r[3])
{
#pragma GCC unroll 3
    for (int i = 0; i < 3; i++) {
        const unsigned char *ini = InicioFicha(q);
        const unsigned char *fin = FinFicha(b);
        if (!RealRapido(ini, fin, &r[i])) return NoNumero(b, ini, fin, kInicioReal);
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

__attribute__((always_inline)) inline const unsigned char *LeerRapido(Bordes *b, const unsigned char *q,
                                                                      Clave clave, int formato, Casillas *cas)
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
__attribute__((noinline)) const unsigned char *LeerNumeros(const unsigned char *q, Ventana *v, Clave clave,
                                                           int formato, Casillas *cas)
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
// for, on anything else, and at the window's end. F is the face format, -1
// when "f" is an ordinary token. The holders are copied into a local record
// for the run, whose address goes to no function out of line, so that they
// can stay in registers. False when memory runs out.
template <int F> bool Corrida(Entrada *e, Casillas *casillas, Arreglos *a)
{
    constexpr int Patron = F < 0 ? 0 : F;   // the face pattern, when faces are read
    Casillas c = *casillas;
    Casillas *cas = &c;
    bool bien = true;
    const unsigned char *q = e->p;
    Bordes b = EmpezarBordes(q, e->fin);
    while (bien) {
        const unsigned char *ini = Blancos(q);
        if (*ini == '/') break;
        const unsigned char *fin = FinFicha(&b);
        if (fin > e->fin || *fin == '/') break;   // a token cut by the window's end, or one with a slash
        const unsigned char *r;
        if (ini[0] == 'v' && fin - ini <= 2) {
            Arreglo *destino = fin - ini == 1  ? &a->v
                               : ini[1] == 'n' ? &a->vn
                               : ini[1] == 't' ? &a->vt
                                               : nullptr;
            if (!destino || !(r = RealesRapidos(&b, fin, cas->reales)))
                break;   // read again from the keyword
            bien = AgregarVector(destino, cas->reales[0], cas->reales[1], cas->reales[2]);
        } else if (F >= 0 && ini[0] == 'f' && fin - ini == 1) {
            if (!(r = CaraRapida<Patron>(&b, fin, cas->enteros))) break;
            bien = AgregarCara(&a->f, cas->enteros);
        } else if (ini[0] == 'v' || (F >= 0 && ini[0] == 'f') || ini[0] == 0) {
            break;   // one of LeerToken's harder cases
        } else {
            r = fin;
        }
        q = r;
    }
    e->p = (unsigned char *)q;
    *casillas = c;
    return bien;
}

bool Corrida(Entrada *e, int formato, Casillas *cas, Arreglos *a)
{
    switch (formato) {
    case 0: return Corrida<0>(e, cas, a);
    case 1: return Corrida<1>(e, cas, a);
    case 2: return Corrida<2>(e, cas, a);
    case 3: return Corrida<3>(e, cas, a);
    case 4: return Corrida<4>(e, cas, a);
    default: return Corrida<-1>(e, cas, a);
    }
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
        while (Corrida(&e, formato, &cas, &a) && SaltarEspacio(&e)) {
            const Clave c = LeerToken(&e);
            if (c != kNinguna && (c != kF || caras) && !Sentencia(&e, c, formato, &cas, &a)) break;
        }
        CerrarEntrada(&e);
    }
    return Entregar(&a);
}
