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
    int     NumVertices;
    int     NumCaras;
    int     NumCTexturas;
    int     NumNormales;
    Vector *Vertices;
    Cara   *Caras;
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

// Loads an OBJ file with face format 0 to 4:
//   0 "v/vt"  1 "v//vn"  2 "v/vt/vn" (third numbers kept)  3 "v"  4 "v/vt/vn" (vt and vn kept).
// The token and number rules are in obj_rapido.h.
// A file that cannot be opened gives an empty model (all counts 0); a failed
// allocation ends the load with what was read.
Modelo CargarModeloOBJ(const char *ruta, int formato);

// Multiplies every texture coordinate (all three components) by `factor`, in
// float arithmetic; vertices and normals are untouched.
void EscalarCTextura(Modelo *m, float factor);

// True when every corner index of face i lies in [0, n) for the arrays
// a drawing or collision routine is about to read.
inline bool IndiceValido(int i, int n) { return i >= 0 && i < n; }

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
