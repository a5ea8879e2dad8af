// modelo.h - triangle mesh record, OBJ loader and immediate-mode drawing.
//
// A Modelo owns four contiguous arrays, each holding exactly as many elements
// as its count. Records are passed by value; copies share the arrays and only
// one copy may release them.
#ifndef TALO_MODELO_H
#define TALO_MODELO_H

#include "vector.h"

// One face. The first triple holds the zero-based corner indices; the second
// holds further zero-based numbers of the face statement (which ones depends
// on the face format); the third is never written or read.
struct Cara {
    int Vert[3];
    int Aux[3];
    int Res[3];
};

struct Modelo {
    int NumVertices;
    int NumCaras;
    int NumCTexturas;
    int NumNormales;
    Vector *Vertices;
    Cara *Caras;
    Vector *CTexturas;
    Vector *Normales;
};

void IniciarModelo(Modelo *m);   // all counts 0, all arrays null
// Counts to 0, arrays released and set to null, so a released record can be
// released or filled again.
void LiberarModelo(Modelo *m);

// Appends one element; the array is resized to exactly the new count. If the
// allocation fails the record is left as it was and 0 is returned (1 on success).
int AddVertice(Modelo *m, float x, float y, float z);
int AddNormal(Modelo *m, float x, float y, float z);
int AddCTextura(Modelo *m, float x, float y, float z);
// AddCara stores a-1, b-1, c-1 in Vert and d-1, e-1, f-1 in Aux (wrapping:
// INT_MIN - 1 gives INT_MAX) and zeroes Res, which nothing reads.
int AddCara(Modelo *m, int a, int b, int c, int d, int e, int f);

// CargarModeloOBJ reads the "v", "vn", "vt" and "f" statements of an OBJ file
// into a new Modelo and gives, on every input, exactly what a loader built on
// the C library's fscanf with the patterns below gives (glibc's fscanf, the
// tests' reference): the same counts, the same floats to the bit, the same
// face slots, the same carry-over of values from one statement to the next.
// It is only much faster (obj_sentencias.cpp, obj_bloques.cpp).
//
// TOKENS. The file is read token by token: skip the white space of the C
// locale (space, \t, \n, \v, \f, \r), then take the run of other bytes. A
// token is a keyword only when it equals "v", "vn", "vt" or "f" as a whole,
// with the same case; a NUL byte ends a token's text (so "v\0x" is "v").
// Everything else is skipped token by token, whatever its length: lines and
// comments mean nothing, and "# v 1 2 3" adds a vertex.
//
// STATEMENTS. The loader keeps nine holders: three floats shared by "v", "vn"
// and "vt", and six ints, one per slot of a face's first triple (Cara::Vert)
// and second triple (Cara::Aux). After "v", "vn" or "vt" the pattern
// "  %f %f %f" is read into the float holders; after "f" the face format's
// pattern is read into the int holders:
//
//   format  pattern                           Vert[k] gets     Aux[k] gets
//   0       "  %d/%d %d/%d %d/%d"             v of corner k    vt of corner k
//   1       "  %d//%d %d//%d %d//%d"          v of corner k    vn of corner k
//   2       "  %d/%d/%d %d/%d/%d %d/%d/%d"    every number of corner k in turn
//           read twice                        (the last stays); the second read
//                                             does the same for Aux[k] from
//                                             corner 3 + k
//   3       "  %d %d %d"                      v of corner k    (unchanged)
//   4       "  %d/%d/%d %d/%d/%d %d/%d/%d"    vt of corner k   v, then vn, of
//                                                              corner k
//
// A blank skips any white space, "/" must match a slash, and a read stops at
// the first character that does not fit, which stays unread; holders after
// that point are not assigned and keep the values an earlier statement gave
// them (all nine start at 0). The element is appended with the holders as
// they stand, a face through AddCara's rule. With a face format other than 0
// to 4, "f" is an ordinary token and no face is added.
//
// NUMBERS, as glibc's scanf reads them (found by experiment against it):
//   %d  skips white space, takes an optional sign, then decimal digits. With
//       no digit the read fails, the sign staying consumed. The digits are
//       converted as strtol does (saturating at the 64-bit LONG_MIN/LONG_MAX)
//       and the low 32 bits kept: 2147483648 gives -2147483648, 4294967297
//       gives 1, 99999999999999999999 gives -1, -99999999999999999999 gives
//       0. The C standard leaves an overflowing %d undefined; this is the
//       definition here.
//   %f  skips white space, takes an optional sign, then collects:
//       - "nan" (any case): after the sign, n a n; a mismatching character is
//         consumed and the read fails. Nothing after "nan" is taken, not even
//         "(...)": "nan(1)" is NaN followed by the text "(1)".
//       - "inf" or "infinity" (any case): i n f, then if an i follows, n i t y
//         must follow too; a mismatch is consumed and the read fails
//         ("infinit" fails, "infx" is inf followed by "x").
//       - "0x"/"0X": a hexadecimal float: hex digits, one ".", then "p"/"P"
//         (only after a hex digit) with an optional sign and decimal digits.
//       - otherwise a decimal: digits, one ".", then "e"/"E" (only after a
//         digit) with an optional sign right after it and digits.
//       Collection stops at the first character that cannot continue the
//       number; only that one character is left unread, so in "1e+x" the
//       "e+" is consumed. The read fails if nothing but a sign was
//       collected, if a hexadecimal number is just "0x", or if the collected
//       text holds no digit at all ("." or "-."). Otherwise the longest valid
//       number at the start of the collected text is converted, correctly
//       rounded to float as strtof does: "1e+" gives 1, "0x." gives 0,
//       "1e99" gives inf, "1e-50" gives 0, "-0" gives -0.
//   A read that fails assigns nothing and ends the statement's pattern.
//
// FAILURE. Only a regular file is read. A file that cannot be opened (or
// read) gives an empty model: all counts 0, all arrays null. If memory runs
// out, loading stops and the record keeps everything read so far, counts and
// arrays in agreement.
Modelo CargarModeloOBJ(const char *ruta, int formato);

// Multiplies every texture coordinate (all three components) by `factor`, in
// float arithmetic; vertices and normals are untouched.
void EscalarCTextura(Modelo *m, float factor);

// True when all three corner indices of face f (its first triple) lie in
// [0, n), n the length of an array a drawing or collision routine is about
// to read.
inline bool CaraDentro(const Cara &f, int n)
{
    for (int k = 0; k < 3; k++)
        if (f.Vert[k] < 0 || f.Vert[k] >= n) return false;
    return true;
}

// Drawing (needs a current OpenGL context). Built once per program: with
// MODO_WIRE defined every routine draws in opaque white instead of mid grey.
// A face with a corner index outside an array that the routine reads is skipped.
void DibujarModelo(Modelo m);       // picks one of the four variants from the counts
void DibujarModeloTODO(Modelo m);   // normals, texture coordinates, vertices
void DibujarModeloSNT(Modelo m);    // vertices only
void DibujarModeloSN(Modelo m);     // texture coordinates, vertices
void DibujarModeloST(Modelo m);     // normals, vertices
void DibujarModeloWire(Modelo m);   // each face as the line strip a-b-c
void EjesCordenadas(float largo);   // red x, green y, blue z axes

#endif
