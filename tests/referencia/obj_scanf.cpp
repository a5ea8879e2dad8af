// obj_scanf.cpp - OBJ loading on the C library's own fscanf (see obj_scanf.h).
#include "obj_scanf.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Keywords are at most two characters; a third kept character is enough to
// tell "vn" from "vnx". The rest of a longer token is read and dropped.
const int kClaveMax = 3;

// Reads the next token as "%s" would and keeps at most its first two
// characters in `clave` (NUL-terminated). A token longer than that, as a
// string, leaves `clave` empty, which matches no keyword. Returns 0 when the
// file ends before a token starts.
int LeerToken(FILE *f, char clave[kClaveMax])
{
    int c = getc(f);
    while (c != EOF && isspace(c)) c = getc(f);
    if (c == EOF) return 0;

    int n = 0;
    bool largo = false;
    bool fin_texto = false;   // a NUL byte ends the token's text, as in a C string
    while (c != EOF && !isspace(c)) {
        if (c == '\0') fin_texto = true;
        if (!fin_texto) {
            if (n < kClaveMax - 1)
                clave[n++] = (char)c;
            else
                largo = true;
        }
        c = getc(f);
    }
    // The space that ended the token stays unread, exactly as after "%s".
    if (c != EOF) ungetc(c, f);
    clave[largo ? 0 : n] = '\0';
    return 1;
}

// The nine holders of one load. They keep their values from statement to
// statement; a number that a read does not reach keeps the earlier one.
struct Casillas {
    float h[3];
    int vert[3];
    int aux[3];
};

const char kPatronVector[] = "  %f %f %f";
// The face numbers are read with %lld and each assigned one is stored as
// its low 32 bits, in the order fscanf assigned them. That is what glibc's
// %d does (strtol on a 64-bit long, saturating, then the low bits), written
// so that it does not depend on the C library: another library's %d may
// saturate at 32 bits instead, while every one reads %lld alike.
const char kPatronF0[] = "  %lld/%lld %lld/%lld %lld/%lld";
const char kPatronF1[] = "  %lld//%lld %lld//%lld %lld//%lld";
const char kPatronF3[] = "  %lld %lld %lld";
const char kPatronTriple[] = "  %lld/%lld/%lld %lld/%lld/%lld %lld/%lld/%lld";

void LeerVector(FILE *f, Casillas *l)
{
    int n = fscanf(f, kPatronVector, &l->h[0], &l->h[1], &l->h[2]);
    (void)n;   // unread numbers keep their values on purpose
}

// One read of `patron` whose k-th number goes to the holder destino[k].
void LeerEnteros(FILE *f, const char *patron, int *const destino[9])
{
    long long t[9];
    const int n = fscanf(f, patron, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6], &t[7], &t[8]);
    for (int k = 0; k < n; k++) *destino[k] = (int)(unsigned long long)t[k];
}

// Reads one face statement's numbers into the face holders. Returns 0 for a
// format that has no pattern.
int LeerCara(FILE *f, int formato, Casillas *l)
{
    int *v = l->vert;
    int *a = l->aux;
    switch (formato) {
    case 0: {
        int *const d[9] = {&v[0], &a[0], &v[1], &a[1], &v[2], &a[2]};
        LeerEnteros(f, kPatronF0, d);
        break;
    }
    case 1: {
        int *const d[9] = {&v[0], &a[0], &v[1], &a[1], &v[2], &a[2]};
        LeerEnteros(f, kPatronF1, d);
        break;
    }
    case 2: {
        int *const d1[9] = {&v[0], &v[0], &v[0], &v[1], &v[1], &v[1], &v[2], &v[2], &v[2]};
        int *const d2[9] = {&a[0], &a[0], &a[0], &a[1], &a[1], &a[1], &a[2], &a[2], &a[2]};
        LeerEnteros(f, kPatronTriple, d1);
        LeerEnteros(f, kPatronTriple, d2);
        break;
    }
    case 3: {
        int *const d[9] = {&v[0], &v[1], &v[2]};
        LeerEnteros(f, kPatronF3, d);
        break;
    }
    case 4: {
        int *const d[9] = {&a[0], &v[0], &a[0], &a[1], &v[1], &a[1], &a[2], &v[2], &a[2]};
        LeerEnteros(f, kPatronTriple, d);
        break;
    }
    default: return 0;
    }
    return 1;
}

// Handles the statement that starts with `clave`. Returns 0 when an append
// could not allocate, which ends the load.
int LeerSentencia(FILE *f, const char *clave, int formato, Casillas *l, Modelo *m)
{
    if (strcmp(clave, "v") == 0) {
        LeerVector(f, l);
        return AddVertice(m, l->h[0], l->h[1], l->h[2]);
    }
    if (strcmp(clave, "vn") == 0) {
        LeerVector(f, l);
        return AddNormal(m, l->h[0], l->h[1], l->h[2]);
    }
    if (strcmp(clave, "vt") == 0) {
        LeerVector(f, l);
        return AddCTextura(m, l->h[0], l->h[1], l->h[2]);
    }
    if (strcmp(clave, "f") == 0 && LeerCara(f, formato, l))
        return AddCara(m, l->vert[0], l->vert[1], l->vert[2], l->aux[0], l->aux[1], l->aux[2]);
    return 1;   // not a keyword: skipped
}

}   // namespace

Modelo CargarModeloOBJScanf(const char *ruta, int formato)
{
    Modelo m;
    IniciarModelo(&m);
    FILE *f = fopen(ruta, "r");
    if (!f) return m;

    Casillas l = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    char clave[kClaveMax];
    while (LeerToken(f, clave)) {
        if (!LeerSentencia(f, clave, formato, &l, &m)) break;
    }
    fclose(f);
    return m;
}
