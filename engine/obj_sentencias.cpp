// obj_sentencias.cpp - CargarModeloOBJ: the statements and their numbers,
// read as scanf reads them (the rules are in modelo.h).
//
// A statement is first tried by a fast path for the way exporters write it
// (up to seven digits either side of the point, no sign but a minus, every
// number closed by a byte in memory); it reads into local copies of the
// holders and keeps them only if the whole pattern matched. Anything else is
// read by the general path, which follows scanf step by step inside a window
// of bytes in memory whose end reads as the end of the file: a statement that
// runs into the window's end before the file's is read again with a larger
// window, so a number or a run of white space of any length is read whole.
// Skipped tokens need no window: they are stepped over block by block.
#include "obj_carga.h"

#include <climits>
#include <cstdlib>

namespace {

// ---- General path: scanf step by step inside a window ----

const int kFinal = -1;

// [p, fin) is in memory. Reaching fin reads as the end of the file; if the
// file really goes on, `falta` records that the statement must be read again
// with more bytes in memory.
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

// An optional sign, consumed. Returns the character after it.
int Signo(Cursor *c, bool *negativo) {
    int ch = Mirar(c);
    *negativo = ch == '-';
    if (ch == '-' || ch == '+') {
        c->p++;
        ch = Mirar(c);
    }
    return ch;
}

// "%d": blanks, an optional sign, digits. False (nothing assigned) when no
// digit follows the sign, which stays consumed. The digits are converted as
// strtol does, saturating at 64 bits, and the low 32 bits kept.
__attribute__((noinline)) bool LeerEntero(Cursor *c, int *destino) {
    c->p = Blancos(c->p);
    if (EnteroCorto(&c->p, c->fin, destino)) return true;
    bool negativo;
    if (!Digito(Signo(c, &negativo))) return false;
    uint64_t v = 0;
    const unsigned char *q = c->p;
    Cifras(&q, &v);
    // Past 18 digits the magnitude saturates just above 2^63, which is all
    // strtol's clamping needs to know.
    const uint64_t kTope = (uint64_t)1 << 63;
    for (; Digito(*q); q++) {
        const uint64_t d = (uint64_t)(*q - '0');
        v = (v > (kTope + 1 - d) / 10) ? kTope + 1 : v * 10 + d;
    }
    c->p = q;
    Mirar(c);   // notes a number cut by the window's end
    int64_t largo;
    if (negativo) largo = (v >= kTope) ? INT64_MIN : -(int64_t)v;
    else largo = (v >= kTope) ? INT64_MAX : (int64_t)v;
    *destino = (int)(uint32_t)(uint64_t)largo;
    return true;
}

// strtof on the collected text, NUL-terminated in place (the byte after it is
// in this loader's own buffer, at worst the sentinel's slot, and is put back
// at once), so a number of any length needs no copy. False if strtof
// converts nothing.
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

// Matches the letters of `resto` (lower case) in any case. A mismatching
// character is consumed, as scanf does. False on a mismatch or at the end.
bool Palabra(Cursor *c, const char *resto) {
    for (; *resto; resto++) {
        const int ch = Mirar(c);
        if (ch == kFinal) return false;
        c->p++;
        if ((ch | 0x20) != *resto) return false;
    }
    return true;
}

// "nan", "inf" or "infinity" after the sign; c is on the first letter.
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

// Steps over a number's digits, point and exponent as scanf collects them
// (only the character that ends the collection is left). Returns whether a
// digit came before the exponent.
bool RecorrerNumero(Cursor *c, bool hex, bool hay_digito) {
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

// A decimal of at most 19 digits, [digits][.digits][e[sign]digits], ending
// in memory: m and k with value m * 10^k, and c moved past it. False (nothing
// moved) for anything else, which strtof then converts.
bool DecimalSimple(Cursor *c, uint64_t *m, int64_t *k) {
    const unsigned char *q = c->p;
    if (q[0] == '0' && (q[1] | 0x20) == 'x') return false;
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
        for (; Digito(*r); r++)
            if (e < 100000) e = e * 10 + (*r - '0');
        exp10 += neg ? -e : e;
        q = r;
    }
    if ((*q == 0 && q == c->fin) || *q == '.' || (*q | 0x20) == 'e') return false;
    *m = v;
    *k = exp10;
    c->p = q;
    return true;
}

// "%f": blanks, then the number. False (nothing assigned) when the read fails.
__attribute__((noinline)) bool LeerReal(Cursor *c, float *destino) {
    c->p = Blancos(c->p);
    if (!kInicioReal.es[*c->p]) return false;   // e.g. the next statement's keyword
    if (RealCorto(&c->p, destino)) return true;
    const unsigned char *ini = c->p;
    bool negativo;
    const int ch = Signo(c, &negativo);
    if ((ch | 0x20) == 'n' || (ch | 0x20) == 'i') return LeerEspecial(c, negativo, destino);
    const unsigned char *cuerpo = c->p;
    uint64_t m;
    int64_t k;
    if (DecimalSimple(c, &m, &k))
        return DecimalRapido(m, k, negativo, destino) || ConvertirConStrtof(ini, c->p, destino);
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

// A "/" of the pattern: matched, or the read stops (nothing consumed).
inline bool Barra(Cursor *c) {
    if (Mirar(c) != '/') return false;
    c->p++;
    return true;
}

// "  %d/%d %d/%d %d/%d" (format 0) or "  %d//%d %d//%d %d//%d" (format 1).
void LeerCaraPares(Cursor *c, int e[6], bool doble) {
    for (int k = 0; k < 3; k++)
        if (!LeerEntero(c, &e[k]) || !Barra(c) || (doble && !Barra(c)) || !LeerEntero(c, &e[3 + k])) return;
}

// "  %d/%d/%d %d/%d/%d %d/%d/%d": corner k's numbers go to holders a + k,
// b + k and d + k, in that order.
void LeerCaraTriples(Cursor *c, int e[6], int a, int b, int d) {
    for (int k = 0; k < 3; k++)
        if (!LeerEntero(c, &e[a + k]) || !Barra(c) || !LeerEntero(c, &e[b + k]) || !Barra(c) ||
            !LeerEntero(c, &e[d + k]))
            return;
}

void LeerCara(Cursor *c, int formato, int e[6]) {
    switch (formato) {
    case 0: LeerCaraPares(c, e, false); break;
    case 1: LeerCaraPares(c, e, true); break;
    case 2:   // read twice: corners 1-3, then 4-6
        LeerCaraTriples(c, e, 0, 0, 0);
        LeerCaraTriples(c, e, 3, 3, 3);
        break;
    case 3:
        for (int k = 0; k < 3 && LeerEntero(c, &e[k]); k++) {}
        break;
    default: LeerCaraTriples(c, e, 3, 0, 3); break;   // 4: vt to Vert, v then vn to Aux
    }
}

enum Clave { kNinguna, kV, kVN, kVT, kF };

// One statement's numbers read into `cas` from [e->p, e->fin). False when the
// window ended before the file did (cas is then partly written).
bool LeerGeneral(const Entrada *e, Clave clave, int formato, Casillas *cas, const unsigned char **fin) {
    Cursor c = {e->p, e->fin, e->eof, false};
    if (clave == kF) LeerCara(&c, formato, cas->enteros);
    else if (LeerReal(&c, &cas->reales[0]) && LeerReal(&c, &cas->reales[1])) LeerReal(&c, &cas->reales[2]);
    *fin = c.p;
    return !c.falta;
}

// ---- Statements ----

// The fast path of a face of format F (0 to 4) into h: corner k's numbers
// go where LeerCara puts them. Written once, compiled once per format, so
// each pattern is straight code.
template <int F>
bool CaraRapida(const unsigned char **pq, const unsigned char *fin, int h[6]) {
    constexpr int kDestino[5][3] = {{0, 3, -1}, {0, 3, -1}, {0, 0, 0}, {0, -1, -1}, {3, 0, 3}};
    const unsigned char *q = *pq;
    for (int k = 0; k < 3; k++) {
        q = Blancos(q);
        if (!EnteroCorto(&q, fin, &h[kDestino[F][0] + k])) return false;
        for (int j = 1; j < 3 && kDestino[F][j] >= 0; j++) {
            if (*q++ != '/' || (F == 1 && *q++ != '/')) return false;
            if (!EnteroCorto(&q, fin, &h[kDestino[F][j] + k])) return false;
        }
    }
    if (F == 2) {   // the second read: nothing when a keyword follows
        q = Blancos(q);
        if (*q == 0 || kInicioReal.es[*q]) return false;
    }
    *pq = q;
    return true;
}

// The fast path for one statement: true when it matched, with the holders
// in `cas` and *pq past it.
bool LeerRapido(const unsigned char **pq, const unsigned char *fin, Clave clave, int formato, Casillas *cas) {
    const unsigned char *q = *pq;
    Casillas n = *cas;
    if (clave != kF) {
        q = Blancos(q);
        if (!RealCorto(&q, &n.reales[0])) return false;
        q = Blancos(q);
        if (!RealCorto(&q, &n.reales[1])) return false;
        q = Blancos(q);
        // A third number, or a byte no number starts with ("vt s t"): the read
        // fails with nothing consumed. A 0 may be the window's end.
        if (kInicioReal.es[*q] && !RealCorto(&q, &n.reales[2])) return false;
    } else {
        bool bien;
        switch (formato) {
        case 0: bien = CaraRapida<0>(&q, fin, n.enteros); break;
        case 1: bien = CaraRapida<1>(&q, fin, n.enteros); break;
        case 2: bien = CaraRapida<2>(&q, fin, n.enteros); break;
        case 3: bien = CaraRapida<3>(&q, fin, n.enteros); break;
        default: bien = CaraRapida<4>(&q, fin, n.enteros); break;
        }
        if (!bien) return false;
    }
    *cas = n;
    *pq = q;
    return true;
}

// Reads a statement's numbers and appends the element. False when memory
// runs out.
bool Sentencia(Entrada *e, Clave clave, Carga *l) {
    const unsigned char *q = e->p;
    if (!LeerRapido(&q, e->fin, clave, l->formato, &l->casillas)) {
        for (size_t ventana = 256;; ventana = (size_t)(e->fin - e->p) * 2 + 256) {
            if (!e->eof && (size_t)(e->fin - e->p) < ventana && !Recargar(e, ventana)) return false;
            Casillas cas = l->casillas;
            if (LeerGeneral(e, clave, l->formato, &cas, &q)) {
                l->casillas = cas;
                break;
            }
        }
    }
    e->p = (unsigned char *)q;
    switch (clave) {
    case kV: return AgregarVector(&l->v, l->casillas.reales);
    case kVN: return AgregarVector(&l->vn, l->casillas.reales);
    case kVT: return AgregarVector(&l->vt, l->casillas.reales);
    default: return AgregarCara(&l->f, l->casillas.enteros);
    }
}

// ---- Tokens ----

// Skips white space. False at the end of the file.
bool SaltarEspacio(Entrada *e) {
    for (;;) {
        e->p = (unsigned char *)Blancos(e->p);
        if (e->p < e->fin) return true;
        if (e->eof || !Recargar(e, 1) || e->p == e->fin) return false;
    }
}

// Reads one token (e->p is on its first byte) and tells which keyword it is.
// Only the text before a NUL byte counts, and only its first three bytes are
// looked at; the rest of a token of any length is stepped over.
Clave LeerToken(Entrada *e) {
    const unsigned char *q = e->p;
    if (q[0] == 'v' || q[0] == 'f') {   // the usual keyword and blank, in memory
        if (Blanco(q[1])) {
            e->p += 1;
            return q[0] == 'f' ? kF : kV;
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

}  // namespace

Modelo CargarModeloOBJ(const char *ruta, int formato) {
    Carga l;
    memset(&l, 0, sizeof l);
    l.formato = formato;
    const bool caras = formato >= 0 && formato <= 4;   // otherwise "f" is an ordinary token
    Entrada e;
    const long long bytes = AbrirEntrada(&e, ruta);
    if (bytes >= 0) {
        Reservar(&l, bytes);
        while (SaltarEspacio(&e)) {
            const Clave c = LeerToken(&e);
            if (c != kNinguna && (c != kF || caras) && !Sentencia(&e, c, &l)) break;
        }
        CerrarEntrada(&e);
    }
    return Entregar(&l);
}
