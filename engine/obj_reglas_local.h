// obj_reglas_local.h - private to the OBJ loader's grammar
// (obj_sentencias.cpp), its only includer: scanf's "%d" and "%f" rules,
// step by step, for every number the fast reading (obj_numeros_local.h)
// does not settle, inside the window a statement is read in.
#ifndef TALO_OBJ_REGLAS_LOCAL_H
#define TALO_OBJ_REGLAS_LOCAL_H

#include "obj_numeros_local.h"

#include <cstdint>
#include <cstdlib>

// ---- The window ----

const int kFinal = -1;

// The window's end: [.., fin) is in memory, and reaching fin reads as the end
// of the file. If the file really goes on, `falta` records that the
// statement must be read again with more bytes in memory.
struct Ventana {
    const unsigned char *fin;
    bool eof;
    bool falta;
};

// The byte at q, or kFinal at the window's end.
inline int Mirar(const unsigned char *q, Ventana *v)
{
    const int ch = *q;
    if (ch || q < v->fin) return ch;
    if (!v->eof) v->falta = true;
    return kFinal;
}

// The scanf rules step through the window with a cursor.
struct Cursor {
    const unsigned char *p;
    Ventana *v;
};

inline int Mirar(Cursor *c) { return Mirar(c->p, c->v); }

// ---- scanf's rules, step by step ----

// An optional sign, consumed. Returns the character after it.
inline int Signo(Cursor *c, bool *negativo)
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
inline bool EnteroScanf(Cursor *c, int *destino)
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
inline bool Palabra(Cursor *c, const char *resto)
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
inline bool LeerEspecial(Cursor *c, bool negativo, float *destino)
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
inline bool RecorrerNumero(Cursor *c, bool hex, bool hay_digito)
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
inline bool ConvertirConStrtof(const unsigned char *ini, const unsigned char *fin, float *destino)
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
inline bool RealScanf(Cursor *c, float *destino)
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
inline bool LeerEntero(const unsigned char **pq, Ventana *v, int *destino)
{
    Cursor c = {Blancos(*pq), v};
    int n;
    // A byte no number starts with (e.g. the next keyword) ends the read at once.
    const bool bien = EmpiezaNumero(kInicioEntero, *c.p) && EnteroScanf(&c, &n) && !v->falta;
    if (bien) *destino = n;
    *pq = c.p;
    return bien;
}

inline bool LeerReal(const unsigned char **pq, Ventana *v, float *destino)
{
    Cursor c = {Blancos(*pq), v};
    float f;
    const bool bien = EmpiezaNumero(kInicioReal, *c.p) && RealScanf(&c, &f) && !v->falta;
    if (bien) *destino = f;
    *pq = c.p;
    return bien;
}

#endif
