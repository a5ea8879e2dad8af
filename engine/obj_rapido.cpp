// obj_rapido.cpp - fast OBJ loading with scanf's exact results (see obj_rapido.h).
//
// The file is read with read() into one buffer, 64 KiB at a time. Numbers are
// parsed straight from the buffer; a statement's numbers are parsed inside a
// window of bytes already in memory, where the window's end reads as the end
// of the file. If a statement runs into the window's end before the real end
// of the file, its holders are restored and it is parsed again with a larger
// window, so a number (or a run of white space) of any length is read whole,
// exactly as fscanf would read it. Tokens that are skipped never need a
// window: they are stepped over block by block.
#include "obj_rapido.h"

#include "fichero.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// ---- Character classes (C locale) ------------------------------------------

struct TablaBytes {
    bool es[256];
};

constexpr TablaBytes HacerTablaBytes() {
    TablaBytes t = {};
    t.es[(unsigned char)' '] = true;
    for (int c = '\t'; c <= '\r'; c++) t.es[c] = true;
    return t;
}

constexpr TablaBytes kBlancos = HacerTablaBytes();

inline bool Blanco(unsigned char c) { return kBlancos.es[c]; }

// Bytes that can start what "%f" reads (a digit, sign, point, or the first
// letter of nan/inf), plus 0, which may be the buffer's sentinel. Any other
// byte fails the read at once with nothing consumed.
constexpr TablaBytes HacerTablaInicioReal() {
    TablaBytes t = {};
    for (int c = '0'; c <= '9'; c++) t.es[c] = true;
    const char otros[] = "+-.nNiI";   // and its own terminating 0
    for (const char c : otros) t.es[(unsigned char)c] = true;
    return t;
}

constexpr TablaBytes kInicioReal = HacerTablaInicioReal();
inline bool Digito(int c) { return (unsigned)(c - '0') < 10u; }
inline bool DigitoHex(int c) { return Digito(c) || (unsigned)((c | 0x20) - 'a') < 6u; }

// ---- Input buffer ----------------------------------------------------------

// The input buffer. Kept below malloc's mmap threshold (128 KiB) it comes
// from the heap, where a later load finds its pages already faulted in.
const size_t kBloque = 64u << 10;
const size_t kVentana = 256;         // bytes a statement normally needs ahead
const size_t kRelleno = 16;          // readable bytes after the sentinel (Cifras8)

// buf holds [p, fin) unread; *fin is always 0, a sentinel that stops every
// scanning loop (a 0 byte is neither blank, digit, sign, dot nor slash), so
// only a stop on a 0 byte needs to ask whether it is the sentinel.
struct Entrada {
    int            fd;
    unsigned char *buf;
    size_t         cap;   // bytes of buf usable for data (one more is allocated)
    unsigned char *p;
    unsigned char *fin;
    bool           eof;   // read() has returned 0 (or failed)
};

// Keeps the unread bytes [p, fin), moving them to the front, and reads until
// at least `quiero` bytes are unread or the file ends. Grows the buffer if it
// cannot hold them. Returns false only if the buffer could not grow.
bool Recargar(Entrada *e, size_t quiero) {
    size_t quedan = (size_t)(e->fin - e->p);
    if (e->p != e->buf && quedan) memmove(e->buf, e->p, quedan);
    e->p = e->buf;
    e->fin = e->buf + quedan;
    while (!e->eof && (size_t)(e->fin - e->p) < quiero) {
        if (e->cap - quedan < e->cap / 2) {   // a long statement fills it: grow
            size_t cap = e->cap * 2;
            unsigned char *b = (unsigned char *)realloc(e->buf, cap + 1 + kRelleno);
            if (!b) return false;
            memset(b + cap + 1, 0, kRelleno);
            e->buf = b;
            e->cap = cap;
            e->p = b;
            e->fin = b + quedan;
        }
        ssize_t n;
        do n = read(e->fd, e->fin, e->cap - quedan);
        while (n < 0 && errno == EINTR);
        if (n <= 0) e->eof = true;
        else {
            e->fin += n;
            quedan += (size_t)n;
        }
    }
    // The sentinel, and defined bytes after it for Cifras8's eight-byte reads.
    memset(e->fin, 0, 1 + kRelleno);
    return true;
}

// ---- Scanning window -------------------------------------------------------

const int kFinal = -1;

// A statement's numbers are parsed in [p, fin). Reaching fin reads as the end
// of the file; if the file really goes on, `falta` records that the statement
// must be parsed again with more bytes in memory.
struct Cursor {
    const unsigned char *p;
    const unsigned char *fin;
    bool eof;
    bool falta;
};

inline int Mirar(Cursor *c) {
    const int ch = *c->p;
    if (ch || c->p < c->fin) return ch;
    if (!c->eof) c->falta = true;
    return kFinal;
}

inline void SaltarBlancos(Cursor *c) {
    while (Blanco(*c->p)) c->p++;   // the sentinel is not blank
}

// The run of decimal digits at the start of the 8 bytes at q (up to 8): its
// length, and its value in *valor. Eight bytes are read whatever the run's
// length; the buffer keeps kRelleno readable bytes after the sentinel, and
// the run always ends at the sentinel, so only bytes in memory count.
//
// The bytes are taken as one little-endian word. After XOR with '0' a digit
// byte holds 0-9 and its high nibble, and that of itself plus 6, are 0; any
// other byte fails one of the two. An addition carrying out of a failing byte
// can only spoil bytes after it, past the end of the run.
const uint64_t kPotencias10[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

inline int Cifras8(const unsigned char *q, uint64_t *valor) {
    uint64_t x;
    memcpy(&x, q, 8);
    const uint64_t t = x ^ 0x3030303030303030ULL;
    const uint64_t malas = (t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
    const int n = malas ? __builtin_ctzll(malas) >> 3 : 8;
    if (n == 0) {
        *valor = 0;
        return 0;
    }
    // The run's digits moved to the top bytes (leading zero bytes add
    // nothing), then summed in pairs, fours and eights, first digit highest.
    uint64_t v = t << (64 - 8 * n);
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFULL;
    *valor = v;
    return n;
}

// Reads a run of decimal digits at *pq into *m (which it multiplies on),
// eight at a time, at most sixteen (more digits are left for the caller, and
// *m stays below 2^64 when it started below 100). Returns the number taken.
inline int Cifras(const unsigned char **pq, uint64_t *m) {
    int total = 0;
    for (;;) {
        uint64_t v;
        const int n = Cifras8(*pq, &v);
        *m = *m * kPotencias10[n] + v;
        *pq += n;
        total += n;
        if (n < 8 || total > 10) return total;
    }
}

// "%d" as exporters write it: an optional minus, 1 to 7 digits, then a byte
// in memory that is no digit. Returns false, moving nothing, for anything
// else, which LeerEntero then reads the general way.
inline bool EnteroCorto(Cursor *c, int *destino) {
    const unsigned char *q = c->p;
    const bool negativo = *q == '-';
    q += negativo;
    uint64_t v;
    const int n = Cifras8(q, &v);
    if (n == 0 || n == 8) return false;
    q += n;
    if (*q == 0 && q == c->fin) return false;
    *destino = negativo ? -(int)v : (int)v;   // below 10^7: no overflow
    c->p = q;
    return true;
}

// "%d" after the blanks, in general.
__attribute__((noinline)) bool LeerEnteroLento(Cursor *c, int *destino) {
    int ch = Mirar(c);
    bool negativo = false;
    if (ch == '-' || ch == '+') {
        negativo = ch == '-';
        c->p++;
        ch = Mirar(c);
    }
    if (!Digito(ch)) return false;
    uint64_t v = 0;
    const unsigned char *q = c->p;
    Cifras(&q, &v);
    // Past 18 digits the magnitude saturates just above 2^63, which is all
    // strtol's clamping needs to know.
    const uint64_t kTope = (uint64_t)1 << 63;
    while (Digito(*q)) {
        const uint64_t d = (uint64_t)(*q - '0');
        v = (v > (kTope + 1 - d) / 10) ? kTope + 1 : v * 10 + d;
        q++;
    }
    c->p = q;
    Mirar(c);   // notes a number cut by the window's end
    int64_t largo;
    if (negativo) largo = (v >= kTope) ? INT64_MIN : -(int64_t)v;
    else largo = (v >= kTope) ? INT64_MAX : (int64_t)v;
    *destino = (int)(uint32_t)(uint64_t)largo;   // strtol's long, low 32 bits
    return true;
}

// "%d". Returns false (nothing assigned) when no digit follows the optional
// sign; the sign then stays consumed.
inline bool LeerEntero(Cursor *c, int *destino) {
    SaltarBlancos(c);
    return EnteroCorto(c, destino) || LeerEnteroLento(c, destino);
}

// ---- "%f" ------------------------------------------------------------------

// Converts text the slow, always exact way: strtof on the collected text,
// NUL-terminated in place (the byte after it is in the input buffer, which is
// this loader's own and writable, at worst the sentinel's slot; it is put
// back at once). No copy is made, so a number of any length costs no more
// memory than the buffer that holds it. Returns false if strtof converts
// nothing.
bool ConvertirConStrtof(const unsigned char *ini, const unsigned char *fin, float *destino) {
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

const double kPotencias[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The decimal m * 10^k rounded to float, when that can be done exactly with
// one double operation. m <= 2^53 and 10^|k| (|k| <= 22) are exact doubles,
// so the product or quotient d is the decimal correctly rounded to double.
// Rounding d to float then gives the decimal correctly rounded to float
// unless d is exactly halfway between two floats (a float midpoint is itself
// a double, so a decimal and its nearest double can only be on opposite
// sides of one when the double is that midpoint). Halfway cases and results
// outside the normal float range are left to strtof.
bool DecimalRapido(uint64_t m, int64_t k, bool negativo, float *destino) {
    if (m == 0) {
        *destino = negativo ? -0.0f : 0.0f;
        return true;
    }
    if (m > ((uint64_t)1 << 53) || k < -22 || k > 22) return false;
    const double d = k >= 0 ? (double)m * kPotencias[k] : (double)m / kPotencias[-k];
    if (!(d >= 0x1p-126 && d < 0x1.fffffep127)) return false;
    uint64_t bits;
    memcpy(&bits, &d, sizeof bits);
    if ((bits & 0x1fffffffu) == 0x10000000u) return false;   // halfway between floats
    const float f = (float)d;
    *destino = negativo ? -f : f;
    return true;
}

// Matches the letters of `resto` (lower case) one by one, any case. A
// mismatching character is consumed, as scanf does. Returns false on a
// mismatch or at the end of the input.
bool Palabra(Cursor *c, const char *resto) {
    for (; *resto; resto++) {
        const int ch = Mirar(c);
        if (ch == kFinal) return false;
        c->p++;
        if ((ch | 0x20) != *resto) return false;
    }
    return true;
}

// "nan", "inf" or "infinity" after the optional sign; c is at the first letter.
bool LeerEspecial(Cursor *c, bool negativo, float *destino) {
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

// Steps over a decimal or hexadecimal number's digits, point and exponent, as
// scanf collects them. Returns whether any digit was seen before the exponent.
bool RecorrerNumero(Cursor *c, bool hex, bool hay_digito) {
    bool punto = false;
    for (;;) {
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
        c->p++;
    }
}

// The common decimal: [digits][.digits][e[sign]digits], at most 19 digits
// before the exponent (leading zeros included). Fills m and k (value
// m * 10^k) and moves c past it. Returns false, moving nothing, for anything
// else (the general walk then collects it and strtof converts it).
bool DecimalSimple(Cursor *c, uint64_t *m, int64_t *k) {
    const unsigned char *q = c->p;
    if (q[0] == '0' && (q[1] | 0x20) == 'x') return false;   // hexadecimal
    uint64_t v = 0;
    int cifras = Cifras(&q, &v);
    int64_t exp10 = 0;
    if (*q == '.') {
        q++;
        const int fraccion = Cifras(&q, &v);
        cifras += fraccion;
        exp10 = -fraccion;
    }
    if (cifras == 0 || cifras > 19 || Digito(*q)) return false;
    if ((*q | 0x20) == 'e') {
        const unsigned char *r = q + 1;
        bool neg = false;
        if (*r == '+' || *r == '-') neg = *r++ == '-';
        int e = 0;
        while (Digito(*r)) {
            if (e < 100000) e = e * 10 + (*r - '0');
            r++;
        }
        exp10 += neg ? -e : e;
        q = r;
    }
    // Stopped on the sentinel: the number may go on past the window.
    if (*q == 0 && q == c->fin) return false;
    if (*q == '.' || (*q | 0x20) == 'e') return false;
    *m = v;
    *k = exp10;
    c->p = q;
    return true;
}

// "%f" as exporters write it: an optional minus, up to 7 digits, a point
// and up to 7 more, then a blank. Returns false, moving nothing, for
// anything else (exponents, long numbers, the window's end...), which
// LeerReal then reads the general way.
inline bool RealCorto(Cursor *c, float *destino) {
    const unsigned char *q = c->p;
    const bool negativo = *q == '-';
    q += negativo;
    uint64_t m, f = 0;
    const int n = Cifras8(q, &m);
    if (n == 8) return false;
    q += n;
    int nf = 0;
    if (*q == '.') {
        nf = Cifras8(q + 1, &f);
        if (nf == 8) return false;
        q += 1 + nf;
    }
    if (n + nf == 0 || !Blanco(*q)) return false;
    if (!DecimalRapido(m * kPotencias10[nf] + f, -nf, negativo, destino)) return false;
    c->p = q;
    return true;
}

// "%f" after the blanks, in general.
__attribute__((noinline)) bool LeerRealLento(Cursor *c, float *destino) {
    const unsigned char *ini = c->p;
    int ch = Mirar(c);
    bool negativo = false;
    if (ch == '-' || ch == '+') {
        negativo = ch == '-';
        c->p++;
        ch = Mirar(c);
    }
    const int minuscula = ch | 0x20;
    if (minuscula == 'n' || minuscula == 'i') return LeerEspecial(c, negativo, destino);

    uint64_t m;
    int64_t k;
    const unsigned char *cuerpo = c->p;
    if (DecimalSimple(c, &m, &k)) {
        if (DecimalRapido(m, k, negativo, destino)) return true;
        return ConvertirConStrtof(ini, c->p, destino);
    }
    c->p = cuerpo;

    bool hex = false;
    if (ch == '0') {
        c->p++;
        if ((Mirar(c) | 0x20) == 'x') {
            c->p++;
            hex = true;
        }
    }
    const bool digitos = RecorrerNumero(c, hex, ch == '0' && !hex);
    if (hex) {
        if (c->p == cuerpo + 2) return false;   // "0x" alone
    } else if (!digitos) {
        return false;                           // a sign, ".", "-." ...
    }
    return ConvertirConStrtof(ini, c->p, destino);
}

// "%f". Returns false when the read fails (nothing assigned).
inline bool LeerReal(Cursor *c, float *destino) {
    SaltarBlancos(c);
    if (!kInicioReal.es[*c->p]) return false;   // e.g. the next statement's keyword
    return RealCorto(c, destino) || LeerRealLento(c, destino);
}

// ---- Face patterns ---------------------------------------------------------

// A "/" of the pattern: matched, or the read stops (nothing consumed).
inline bool Barra(Cursor *c) {
    if (Mirar(c) != '/') return false;
    c->p++;
    return true;
}

// Holders h[0..2] are the face's first triple, h[3..5] its second.

// "  %d/%d %d/%d %d/%d" (format 0) and "  %d//%d %d//%d %d//%d" (format 1).
void LeerCaraPares(Cursor *c, int h[6], bool doble) {
    for (int k = 0; k < 3; k++) {
        SaltarBlancos(c);
        if (!LeerEntero(c, &h[k]) || !Barra(c) || (doble && !Barra(c)) || !LeerEntero(c, &h[3 + k])) return;
    }
}

// "  %d/%d/%d %d/%d/%d %d/%d/%d": corner k's three numbers go to holders
// a + k, b + k and d + k, in that order.
void LeerCaraTriples(Cursor *c, int h[6], int a, int b, int d) {
    for (int k = 0; k < 3; k++) {
        SaltarBlancos(c);
        if (!LeerEntero(c, &h[a + k]) || !Barra(c) || !LeerEntero(c, &h[b + k]) || !Barra(c) ||
            !LeerEntero(c, &h[d + k]))
            return;
    }
}

// "  %d %d %d" (format 3).
void LeerCaraSimple(Cursor *c, int h[6]) {
    for (int k = 0; k < 3; k++)
        if (!LeerEntero(c, &h[k])) return;   // %d skips the blanks itself
}

void LeerCara(Cursor *c, int formato, int h[6]) {
    switch (formato) {
    case 0: LeerCaraPares(c, h, false); break;
    case 1: LeerCaraPares(c, h, true); break;
    case 2:   // read twice: corners 1-3, then 4-6; every number of a corner overwrites the last
        LeerCaraTriples(c, h, 0, 0, 0);
        LeerCaraTriples(c, h, 3, 3, 3);
        break;
    case 3: LeerCaraSimple(c, h); break;
    default: LeerCaraTriples(c, h, 3, 0, 3); break;   // 4: vt to Vert, v then vn to Aux
    }
}

// ---- The model being built -------------------------------------------------

enum Clave { kNinguna, kV, kVN, kVT, kF };

// An array being filled. Its capacity grows geometrically (the first
// capacity is an over-estimate from the file's size, so a large file rarely
// grows at all: untouched capacity costs address space only, and the cut at
// the end gives it back). The pages ahead of the writes are faulted in a few
// at a time (Poblar); `listo` counts the elements that can be written with
// no more checks.
struct Arreglo {
    void  *datos;
    size_t num;
    size_t cap;
    size_t listo;
};

const size_t kAdelanto = 4u << 20;   // bytes faulted in ahead of the writes

// Gives `consejo` to the kernel for the whole `alineacion`-sized blocks of
// [ini, fin); the blocks at either end that the range only partly covers
// belong to other data and are left alone.
[[maybe_unused]] void Aconsejar(char *ini, char *fin, uintptr_t alineacion, int consejo) {
    uintptr_t a = ((uintptr_t)ini + alineacion - 1) & ~(alineacion - 1);
    uintptr_t b = (uintptr_t)fin & ~(alineacion - 1);
    if (b > a) madvise((void *)a, b - a, consejo);
}

// Faults in the pages of [ini, fin) with one call. Touching fresh pages one
// by one costs a trap per 4 KiB page, which on some machines (virtual ones in
// particular) takes longer than parsing the text that fills them. Where the
// kernel lacks MADV_POPULATE_WRITE the call fails and the pages are simply
// faulted in as they are written.
void Poblar(char *ini, char *fin) {
#ifdef MADV_POPULATE_WRITE
    Aconsejar(ini, fin, 4096, MADV_POPULATE_WRITE);
#else
    (void)ini;
    (void)fin;
#endif
}

// Asks for 2 MiB pages over the whole 2 MiB blocks of [ini, fin). Each first
// touch of a fresh page costs a fault, and where the kernel's page tables are
// shadowed by a hypervisor far more than the write itself; large pages cut
// their number 512-fold. Only advice: without transparent huge pages nothing
// changes.
void PaginasGrandes(char *ini, char *fin) {
#ifdef MADV_HUGEPAGE
    Aconsejar(ini, fin, 2u << 20, MADV_HUGEPAGE);
#else
    (void)ini;
    (void)fin;
#endif
}

// Gives the array room for at least `cap` elements of `tam` bytes, or if
// that much cannot be had, for just one more. Returns false when even that
// fails or the count would pass INT_MAX.
bool Crecer(Arreglo *a, size_t tam, size_t cap) {
    if (a->num >= (size_t)INT_MAX) return false;
    if (cap > (size_t)INT_MAX) cap = (size_t)INT_MAX;
    void *d = realloc(a->datos, cap * tam);
    if (!d) {
        cap = a->num + 1;
        d = realloc(a->datos, cap * tam);
        if (!d) return false;
    }
    PaginasGrandes((char *)d + a->num * tam, (char *)d + cap * tam);
    a->datos = d;
    a->cap = cap;
    a->listo = a->num;
    return true;
}

// Makes room for one more element of `tam` bytes. Returns false when memory
// runs out (the array keeps what it holds).
inline bool Hueco(Arreglo *a, size_t tam) {
    if (a->num < a->listo) return true;
    if (a->num >= a->cap && !Crecer(a, tam, a->cap ? a->cap * 2 : 1024)) return false;
    // Ahead by kAdelanto, or by an eighth of the capacity if that is less:
    // the first capacity of a small file is an over-estimate, and faulting
    // in pages that will never be written is wasted.
    size_t paso = kAdelanto / tam;
    if (paso > a->cap / 8 + 1) paso = a->cap / 8 + 1;
    size_t hasta = a->num + paso;
    if (hasta > a->cap) hasta = a->cap;
    Poblar((char *)a->datos + a->num * tam, (char *)a->datos + hasta * tam);
    a->listo = hasta;
    return true;
}

// Cuts the array to exactly its count (null when empty).
void *Recortar(Arreglo *a, size_t tam) {
    if (a->num == 0) {
        free(a->datos);
        return nullptr;
    }
    if (a->num == a->cap) return a->datos;
    void *d = realloc(a->datos, a->num * tam);
    return d ? d : a->datos;
}

struct Carga {
    Arreglo v, vn, vt, f;
    float   h[3];        // number holders of "v", "vn", "vt"
    int     huecos[6];   // face holders: Vert[0..2], Aux[0..2]
    int     formato;
};

// First capacities: an element's statement takes at least about 16 bytes in
// any file an exporter writes, so file size / 16 elements per array is rarely
// outgrown. Only address space is taken; pages are faulted in as filled.
void Reservar(Carga *l, long long bytes) {
    size_t n = bytes > 0 ? (size_t)(bytes / 16) : 0;
    if (n < 1024) n = 1024;
    Crecer(&l->v, sizeof(Vector), n);
    Crecer(&l->vn, sizeof(Vector), n);
    Crecer(&l->vt, sizeof(Vector), n);
    Crecer(&l->f, sizeof(Cara), n);
}

inline int MenosUno(int a) { return (int)((unsigned)a - 1u); }

bool AgregarVector(Arreglo *a, const float h[3]) {
    if (!Hueco(a, sizeof(Vector))) return false;
    Vector *v = (Vector *)a->datos + a->num++;
    v->x = h[0];
    v->y = h[1];
    v->z = h[2];
    return true;
}

bool AgregarCara(Carga *l) {
    if (!Hueco(&l->f, sizeof(Cara))) return false;
    Cara *c = (Cara *)l->f.datos + l->f.num++;
    for (int k = 0; k < 3; k++) {
        c->Vert[k] = MenosUno(l->huecos[k]);
        c->Aux[k] = MenosUno(l->huecos[3 + k]);
        c->Res[k] = 0;
    }
    return true;
}

// Parses the numbers of one statement in the window [e->p, e->fin). Returns
// false if the window ended before the file did (nothing is kept then).
bool LeerNumeros(Entrada *e, Clave clave, Carga *l) {
    Cursor c = {e->p, e->fin, e->eof, false};
    if (clave == kF) {
        LeerCara(&c, l->formato, l->huecos);
    } else if (LeerReal(&c, &l->h[0]) && LeerReal(&c, &l->h[1])) {
        LeerReal(&c, &l->h[2]);
    }
    if (c.falta) return false;
    e->p = (unsigned char *)c.p;
    return true;
}

// Reads a statement's numbers, retrying with a larger window when they run
// past the bytes in memory, then appends the element. Returns false when
// memory runs out.
bool Sentencia(Entrada *e, Clave clave, Carga *l) {
    size_t ventana = kVentana;
    for (;;) {
        if (!e->eof && (size_t)(e->fin - e->p) < ventana && !Recargar(e, ventana)) return false;
        float h[3];
        int huecos[6];
        memcpy(h, l->h, sizeof h);
        memcpy(huecos, l->huecos, sizeof huecos);
        if (LeerNumeros(e, clave, l)) break;
        memcpy(l->h, h, sizeof h);
        memcpy(l->huecos, huecos, sizeof huecos);
        ventana = (size_t)(e->fin - e->p) * 2 + kVentana;
    }
    switch (clave) {
    case kV: return AgregarVector(&l->v, l->h);
    case kVN: return AgregarVector(&l->vn, l->h);
    case kVT: return AgregarVector(&l->vt, l->h);
    default: return AgregarCara(l);
    }
}

// ---- Tokens ----------------------------------------------------------------

// Skips white space. Returns false at the end of the file.
bool SaltarEspacio(Entrada *e) {
    for (;;) {
        while (Blanco(*e->p)) e->p++;
        if (e->p < e->fin) return true;
        if (e->eof || !Recargar(e, 1) || e->p == e->fin) return false;
    }
}

Clave ClaveDe(const unsigned char *t, int n) {
    if (n == 1) return t[0] == 'v' ? kV : t[0] == 'f' ? kF : kNinguna;
    if (n == 2 && t[0] == 'v') return t[1] == 'n' ? kVN : t[1] == 't' ? kVT : kNinguna;
    return kNinguna;
}

// Reads one token (e->p is on its first byte) and tells which keyword it is.
// Only the text before a NUL byte counts, and only its first three bytes are
// looked at; the rest of a token of any length is stepped over.
Clave LeerToken(Entrada *e, int formato) {
    const unsigned char *q = e->p;
    // The usual keyword followed by a blank, all in memory.
    if (q[0] == 'v' || q[0] == 'f') {
        if (Blanco(q[1])) {
            e->p += 1;
            return q[0] == 'f' ? (formato >= 0 && formato <= 4 ? kF : kNinguna) : kV;
        }
        if (q[0] == 'v' && (q[1] == 'n' || q[1] == 't') && Blanco(q[2])) {
            e->p += 2;
            return q[1] == 'n' ? kVN : kVT;
        }
    }
    unsigned char t[3];
    int  n = 0;
    bool nul = false;
    for (;;) {
        while (!Blanco(*e->p) && *e->p) {
            if (!nul && n < 3) t[n++] = *e->p;
            e->p++;
        }
        if (Blanco(*e->p)) break;
        if (e->p < e->fin) {   // a NUL byte in the token: its text ends here
            nul = true;
            e->p++;
            continue;
        }
        if (e->eof || !Recargar(e, 1) || e->p == e->fin) break;
    }
    const Clave c = ClaveDe(t, n);
    return (c == kF && !(formato >= 0 && formato <= 4)) ? kNinguna : c;
}

// ---- Loading ---------------------------------------------------------------

void Cargar(Entrada *e, Carga *l) {
    while (SaltarEspacio(e)) {
        const Clave c = LeerToken(e, l->formato);
        if (c != kNinguna && !Sentencia(e, c, l)) return;
    }
}

Modelo Entregar(Carga *l) {
    Modelo m;
    IniciarModelo(&m);
    m.NumVertices = (int)l->v.num;
    m.NumNormales = (int)l->vn.num;
    m.NumCTexturas = (int)l->vt.num;
    m.NumCaras = (int)l->f.num;
    m.Vertices = (Vector *)Recortar(&l->v, sizeof(Vector));
    m.Normales = (Vector *)Recortar(&l->vn, sizeof(Vector));
    m.CTexturas = (Vector *)Recortar(&l->vt, sizeof(Vector));
    m.Caras = (Cara *)Recortar(&l->f, sizeof(Cara));
    return m;
}

}  // namespace

Modelo CargarModeloOBJRapido(const char *ruta, int formato) {
    Carga l;
    memset(&l, 0, sizeof l);
    l.formato = formato;

    Entrada e;
    // Only a regular file is read: a FIFO would block, a device never end.
    e.fd = AbrirDescriptorRegular(ruta);
    struct stat st;
    const long long bytes = e.fd >= 0 && fstat(e.fd, &st) == 0 ? (long long)st.st_size : -1;
    e.cap = kBloque;
    e.buf = e.fd >= 0 ? (unsigned char *)malloc(e.cap + 1 + kRelleno) : nullptr;
    if (e.buf) {
        Reservar(&l, bytes);
        e.p = e.fin = e.buf;
        memset(e.fin, 0, 1 + kRelleno);
        e.eof = false;
        if (Recargar(&e, 1)) Cargar(&e, &l);
    }
    free(e.buf);
    if (e.fd >= 0) close(e.fd);
    return Entregar(&l);
}
