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

// n[0..2] minus one to Vert, n[3..5] minus one to Aux; Res, which nothing
// reads, zeroed so that a face never holds stale bytes.
inline void LlenarCara(Cara *c, const int n[6]) {
    for (int k = 0; k < 3; k++) {
        c->Vert[k] = MenosUno(n[k]);
        c->Aux[k] = MenosUno(n[3 + k]);
        c->Res[k] = 0;
    }
}

#endif
