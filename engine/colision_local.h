// colision_local.h - private to colision.cpp and colision_indice.cpp: the
// bounds by which both skip faces that cannot be touched, and what the
// collision index shows its own tests. Each bound is proved in
// docs/colision.md; change one only together with its proof.
#ifndef TALO_COLISION_LOCAL_H
#define TALO_COLISION_LOCAL_H

#include <algorithm>
#include <cmath>

// The reach of a corner: (L + C) * 2^-18, L the longest edge and C the
// largest coordinate magnitude of the triangle.
const float kEscalaEsquina = 0x1p-18f;

// From a box extent sum of 2^63 up an edge may have an infinite float
// length, and with it the corner reach: such a face is never skipped.
const double kLadoFinito = 0x1p63;

// Allowances for rounding: the box test of XoqueEsferaModelo, and the
// sphere test and cell window of the index.
const double kHolguraCajaRelativa = 1.0 + 0x1p-10;
const double kHolguraCajaAbsoluta = 0x1p-30;
const double kHolguraIndiceRelativa = 1.0 + 0x1p-19;
const double kHolguraIndiceAbsoluta = 0x1p-58;

// rho, the distance from some vertex within which a touched face's foot
// point lies: l the longest edge, s the box's extent sum, c its largest
// coordinate magnitude.
inline double AlcanceCara(double l, double s, double c)
{
    if (!(s < kLadoFinito)) return INFINITY;
    return std::max(0.7072 * l, (s + c) * (2.0 * kEscalaEsquina)) + 0x1p-39;
}

// The faces this thread's calls of XoqueEsferaIndice have handed to
// XoqueEsferaPlano: the candidates of each query, or the model's face count
// for a query that falls back to XoqueEsferaModelo. One addition a query; it
// only grows, and only tests read it (or reset it), to check that a query
// does the work the index promises and no more.
extern thread_local long long CarasProbadasIndice;

#endif
