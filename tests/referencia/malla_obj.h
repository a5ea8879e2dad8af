// malla_obj.h - a large, valid OBJ file in the text an exporter writes.
//
//   int  FormatoDeForma(FormaOBJ forma);
//   bool EscribirMallaOBJ(const std::string &ruta, FormaOBJ forma, long long bytes);
//
// EscribirMallaOBJ writes a wavy sheet of vertices sized to about `bytes`
// bytes: "v x y z" and "vn x y z" with six decimals, "vt s t" with two
// components, triangles with 1-based corner numbers in the chosen corner
// form (each corner repeats one number), a comment, an object, a group, a
// material and a smoothing line. The same bytes on every run. Returns false
// when the file cannot be written. The benchmarks load it, and medir_carga
// writes it for measuring memory by hand.
#ifndef TALO_MALLA_OBJ_H
#define TALO_MALLA_OBJ_H

#include <string>

enum FormaOBJ { kVVtVn, kVVn, kVVt };

// The face format CargarModeloOBJ reads a corner form with.
int FormatoDeForma(FormaOBJ forma);

bool EscribirMallaOBJ(const std::string &ruta, FormaOBJ forma, long long bytes);

#endif
