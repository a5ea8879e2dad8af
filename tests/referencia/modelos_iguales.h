// modelos_iguales.h - two loaded models compared bit for bit.
//
//   std::string DiferenciaModelos(const Modelo &a, const Modelo &b);
//
// Compares the four counts, every float of the three vector arrays by its
// bits, and all nine numbers of every face (AddCara zeroes the third triple,
// so it must agree too). Returns "" when the models agree; otherwise the
// first difference, in words, with "a" and "b" for the two sides.
#ifndef TALO_MODELOS_IGUALES_H
#define TALO_MODELOS_IGUALES_H

#include <string>

#include "modelo.h"

std::string DiferenciaModelos(const Modelo &a, const Modelo &b);

#endif
