// obj_scanf.h - the OBJ loader written directly on the C library's fscanf.
//
//   Modelo CargarModeloOBJScanf(const char *ruta, int formato);
//
// The same contract as CargarModeloOBJ (modelo.h): the same tokens,
// statements, patterns, holders and failure behaviour. The difference is how
// it is met: every number is read by the real fscanf with the patterns
// written there, so this loader's behaviour on any input, well formed or
// not, IS the C library's, and the rules modelo.h gives for numbers are the
// C library's rules seen from outside. It is deliberately plain (getc for
// the tokens, one realloc per element through the Add routines) and is kept
// as the reference that the fast loader is checked against.
#ifndef TALO_OBJ_SCANF_H
#define TALO_OBJ_SCANF_H

#include "modelo.h"

Modelo CargarModeloOBJScanf(const char *ruta, int formato);

#endif
