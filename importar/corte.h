// corte.h - cutting a face along the integer lines of its texture coordinates.
//
// An atlas holds one repeat of each material's image, so a face whose
// texture coordinates span several repeats cannot be drawn from it whole.
// CortarCara splits such a face along the lines s = k and t = k (k an
// integer) into pieces that each lie in one repeat cell [i, i+1] x [j, j+1]:
//
//   - Each piece is an exact sub-triangle of the face. Its corners are the
//     face's own corners, points of the face's edges, or points inside the
//     face where a line s = k meets a line t = j. Position, normal and
//     texture coordinate are interpolated linearly in double and rounded
//     once to float; the coordinate along the cut is exactly k. A normal
//     interpolated between two different normals is made unit length again;
//     between equal ones it is copied.
//   - A point on an edge is computed from that edge's two ends alone, taken
//     in a fixed order (by position, then texture coordinate, then normal).
//     Two faces that share an edge, with the same ends, therefore make the
//     same points on it to the bit, and the cut mesh has no cracks. A point
//     inside the face is computed from the face alone, the same way by every
//     piece that has it.
//   - The pieces cover the face with no gap and no overlap, keep its turning
//     sense and its material. The part of the face in one cell is a convex
//     polygon of n corners, fanned into n - 2 triangles from its first
//     corner: no more triangles than the tiling needs.
//   - A face inside one cell (corners on the cell's border count as inside)
//     is returned unchanged as its only piece.
#ifndef TALO_IMPORTAR_CORTE_H
#define TALO_IMPORTAR_CORTE_H

#include <vector>

#include "malla_importada.h"

// The most pieces one face may be cut into: enough for a floor of two
// triangles tiling its image a hundred times each way (about 10 000 each).
const int kMaxPiezasCara = 16384;

// One piece and the cell it lies in: its texture coordinates, still in the
// source's repeats, lie in [celda_s, celda_s + 1] x [celda_t, celda_t + 1]
// up to the rounding of the interpolation (a few units in the last place).
struct PiezaCara {
    TrianguloImportado t;
    int celda_s = 0;
    int celda_t = 0;
};

// Appends the pieces of `cara` to `piezas` and returns how many. Returns -1,
// appending nothing, when the face would need more than kMaxPiezasCara
// pieces, or when a texture coordinate is not finite or so large (2^22 or
// more) that floats no longer resolve a repeat.
int CortarCara(const TrianguloImportado &cara, std::vector<PiezaCara> *piezas);

#endif
