// casos_obj.h - generated and mutated OBJ files for checking CargarModeloOBJ
// against the fscanf loader CargarModeloOBJScanf, bit for bit.
//
//   void GenerarOBJ(std::mt19937_64 *g, std::string *texto, int *formato);
//   int  CompararOBJ(const std::string &texto, int formato, std::string *detalle);
//
// GenerarOBJ writes a file's bytes and picks a face format (0 to 4, now and
// then another number). The text mixes well-formed statements in all five
// face forms with the forms of the other formats, numbers in every spelling
// scanf accepts or half-accepts (signs, exponents, hexadecimal, inf,
// infinity, nan, a lone "-" or ".", "1e+", "0x", leading zeros, 20-digit
// and overflowing integers, long digit strings, decimal halfway cases),
// tokens that only look like keywords, NUL bytes and all six white-space
// characters, and then mutates it: bytes inserted, deleted, replaced, spans
// repeated, the end cut off in the middle of anything.
//
// CompararOBJ writes the text to a file in the test's temporary directory,
// loads it with both loaders and compares them with DiferenciaModelos. Returns 1 when
// they agree; otherwise 0 with the first difference in *detalle.
#ifndef TALO_CASOS_OBJ_H
#define TALO_CASOS_OBJ_H

#include <random>
#include <string>

void GenerarOBJ(std::mt19937_64 *g, std::string *texto, int *formato);

int CompararOBJ(const std::string &texto, int formato, std::string *detalle);

// The text in printable form for a failure message: C escapes for control
// bytes, cut after `max` bytes.
std::string TextoLegible(const std::string &texto, size_t max);

#endif
