// obj_scanf.h - the OBJ loader written directly on the C library's fscanf.
//
//   Modelo CargarModeloOBJScanf(const char *ruta, int formato);
//
// Reads the "v", "vn", "vt" and "f" statements of an OBJ file into a new
// Modelo. This loader is deliberately plain: every number is read by the real
// fscanf with the patterns below, so its behaviour on any input, well formed
// or not, IS the C library's. It is kept as the reference that faster loaders
// are checked against.
//
// Tokens. The file is read token by token, a token being what "%s" would take:
// skip isspace() characters, then the run of non-space characters. Lines and
// comments mean nothing, so "# v 1 2 3" adds a vertex. A token is a keyword
// only when it equals "v", "vn", "vt" or "f" as a whole, with the same case;
// as with the string "%s" stores, a NUL byte inside a token ends its text.
// Only the first three characters of a token are kept, so tokens of any
// length (megabytes) are skipped with no buffer to overrun.
//
// Numbers. After "v", "vn" or "vt": fscanf(f, "  %f %f %f") into three float
// holders shared by the three statements. After "f": the face format's
// pattern into six int holders, one per slot of the face's first triple
// (Cara::Vert) and second triple (Cara::Aux):
//
//   format  pattern                            Vert[k] gets   Aux[k] gets
//   0       "  %d/%d %d/%d %d/%d"              v of corner k  vt of corner k
//   1       "  %d//%d %d//%d %d//%d"           v of corner k  vn of corner k
//   2       "  %d/%d/%d %d/%d/%d %d/%d/%d"     all three numbers of corner k, one
//           read twice                         after the other (the last stays);
//                                              the second read fills Aux[k] from
//                                              corner 3 + k the same way
//   3       "  %d %d %d"                       v of corner k  (unchanged)
//   4       "  %d/%d/%d %d/%d/%d %d/%d/%d"     vt of corner k v, then vn, of corner k
//                                              (vn overwrites v)
//
// A read stops at the first character that does not fit; what it did not
// assign keeps the value an earlier statement gave it, and the element is
// appended with the holders as they stand. All nine holders start at 0 for
// each load. Further corners and any other text are skipped token by token.
// Each face is appended with AddCara, which stores every number minus 1.
//
// Face formats outside 0..4 have no pattern: an "f" token is then skipped like
// any other token and no face is added.
//
// Integer overflow in "%d": the C standard leaves it undefined; glibc (checked
// with 2.36) converts the digits with strtol to a 64-bit long, which saturates
// at LONG_MIN/LONG_MAX, and keeps the low 32 bits of that. So 2147483648 gives
// -2147483648, 4294967297 gives 1, 99999999999999999999 gives -1 (LONG_MAX
// truncated) and -99999999999999999999 gives 0. "%f" rounds to float the way
// strtof does: 1e99 gives inf, 1e-50 gives 0; glibc also takes hexadecimal
// ("0x1p3"), "inf", "infinity" and "nan".
//
// Failure: a file that cannot be opened gives an empty model (all counts 0,
// all arrays null). If an append cannot allocate, the record keeps everything
// read so far (counts and arrays agree) and loading stops there.
#ifndef TALO_OBJ_SCANF_H
#define TALO_OBJ_SCANF_H

#include "modelo.h"

Modelo CargarModeloOBJScanf(const char *ruta, int formato);

#endif
