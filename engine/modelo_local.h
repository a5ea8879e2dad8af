// modelo_local.h - private to the model module: how a face's slots are
// filled from the six numbers of a face statement. Written once for the
// append routines (modelo.cpp) and the OBJ loader's own appends
// (obj_bloques.cpp).
#ifndef TALO_MODELO_LOCAL_H
#define TALO_MODELO_LOCAL_H

#include "modelo.h"

// Files count from one, memory from zero. The subtraction wraps, so that
// INT_MIN gives INT_MAX instead of overflowing.
inline int MenosUno(int a) { return (int)((unsigned)a - 1u); }

// The six numbers of a face statement, each minus one: a, b, c to Vert,
// d, e, f to Aux; Res, which nothing reads, zeroed so that a face never
// holds stale bytes.
inline void LlenarCara(Cara *c, int a, int b, int d0, int d, int e, int f)
{
    c->Vert[0] = MenosUno(a);
    c->Vert[1] = MenosUno(b);
    c->Vert[2] = MenosUno(d0);
    c->Aux[0] = MenosUno(d);
    c->Aux[1] = MenosUno(e);
    c->Aux[2] = MenosUno(f);
    c->Res[0] = c->Res[1] = c->Res[2] = 0;
}

#endif
