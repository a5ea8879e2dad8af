// obj_rapido.h - the engine's OBJ loader: block reads, its own number parser.
//
//   Modelo CargarModeloOBJRapido(const char *ruta, int formato);
//
// CargarModeloOBJ (modelo.h) is this function. It reads "v", "vn", "vt" and
// "f" statements into a new Modelo and gives, on every input, exactly what a
// loader built on the C library's fscanf with the patterns below would give
// (glibc's fscanf, which the tests use as the reference): the same counts,
// the same floats to the bit, the same face slots, the same carry-over of
// values from one statement to the next. It is only much faster: the file is
// read in large blocks, numbers are parsed here without scanf, and the arrays
// grow geometrically while loading and are cut to their exact size at the end.
//
// TOKENS. The file is read token by token: skip the white space of the C
// locale (space, \t, \n, \v, \f, \r), then take the run of other bytes. A
// token is a keyword only when it equals "v", "vn", "vt" or "f" as a whole,
// with the same case; a NUL byte ends a token's text (so "v\0x" is "v").
// Everything else is skipped token by token, whatever its length: lines and
// comments mean nothing, and "# v 1 2 3" adds a vertex.
//
// STATEMENTS. After "v", "vn" or "vt" the pattern "  %f %f %f" is read into
// three float holders shared by the three statements; after "f" the face
// format's pattern is read into six int holders, one per slot of the face's
// first triple (Cara::Vert) and second triple (Cara::Aux):
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
// the first character that does not fit, which stays unread; numbers after
// that point are not assigned and keep the values an earlier statement gave
// them (all nine holders start at 0). The element is appended with the
// holders as they stand; faces store every number minus 1 (wrapping, so
// INT_MIN gives INT_MAX) and zero the third triple. With a face format other
// than 0 to 4, "f" is an ordinary token and no face is added.
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
// FAILURE. A file that cannot be opened (or read) gives an empty model: all
// counts 0, all arrays null. If memory runs out, loading stops and the
// record keeps everything read so far, counts and arrays in agreement.
#ifndef TALO_OBJ_RAPIDO_H
#define TALO_OBJ_RAPIDO_H

#include "modelo.h"

Modelo CargarModeloOBJRapido(const char *ruta, int formato);

#endif
