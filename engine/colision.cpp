// colision.cpp - keeps a moving sphere out of triangles.
//
// A triangle is a two-sided plane. When the sphere touches it (the centre is
// within one radius of the plane and its foot point is inside the triangle,
// in the thin band the angle-sum test accepts around it, or on a corner), the
// part of the movement that approaches the plane is dropped, and a centre
// closer than 0.8 radius is pushed out by 0.2 radius. Nothing is allocated;
// all work is on values.
#include "colision.h"

#include <cmath>
#include <initializer_list>

// The foot point counts as inside when the three angles it sees between the
// vertices add up to more than this. It is deliberately below 2*pi so that a
// thin band outside each edge is accepted too (no gaps at shared edges).
static const float SUMA_ANGULOS_DENTRO = 6.0f;
static const double FRACCION_INTERIOR = 0.8;   // closer than r*0.8: push out
static const double FRACCION_EMPUJE = 0.2;     // each push is r*0.2 long
static const float ESCALA_ESQUINA = 0x1p-18f;  // corner reach: 2^-18 of the triangle's size

// The angle between a and b as AnguloEntreVectores takes it (la and lb are
// their lengths), except that the cosine is clamped to [-1, 1] first: on an
// edge rounding can push it just past -1, and the arc cosine of that would
// be NaN. A NaN cosine (a zero length) stays NaN.
static float AnguloAcotado(Vector a, Vector b, float la, float lb)
{
    const float d = (float)((double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z);
    float q = (float)((double)d / ((double)la * (double)lb));
    if (q < -1.0f)
        q = -1.0f;
    else if (q > 1.0f)
        q = 1.0f;
    return (float)std::acos((double)q);
}

// The longest of the three edges, each measured with ModuloVector.
static float LadoMayor(Vector v1, Vector v2, Vector v3)
{
    const float l12 = ModuloVector(RestaVectores(v2, v1));
    const float l23 = ModuloVector(RestaVectores(v3, v2));
    const float l31 = ModuloVector(RestaVectores(v1, v3));
    return std::fmax(std::fmax(l12, l23), l31);
}

// The reach of a corner: (L + C) * 2^-18, L the longest edge and C the
// largest coordinate magnitude, about 64 float steps of the triangle's size.
// A foot point dropped from a vertex that is not a face's first corner lands
// an ulp or so off that vertex, often just outside; this catches it.
static float AlcanceEsquina(float l, Vector v1, Vector v2, Vector v3)
{
    float c = 0.0f;
    for (float x : {v1.x, v1.y, v1.z, v2.x, v2.y, v2.z, v3.x, v3.y, v3.z})
        c = std::fmax(c, std::fabs(x));
    return (l + c) * ESCALA_ESQUINA;
}

// The inside test: the foot point f lies within the corner reach of a vertex,
// or the three angles it sees (cosines clamped) add up to more than 6.0.
// When f is farther from every vertex than 0.75 of the longest edge the
// angles provably cannot add up to that (the lemma below), and the three arc
// cosines are not taken; the answer is the same.
static bool PieDentro(Vector f, Vector v1, Vector v2, Vector v3)
{
    const Vector a = RestaVectores(v1, f);
    const Vector b = RestaVectores(v2, f);
    const Vector c = RestaVectores(v3, f);
    const float la = ModuloVector(a), lb = ModuloVector(b), lc = ModuloVector(c);
    const float l = LadoMayor(v1, v2, v3);
    const float esquina = AlcanceEsquina(l, v1, v2, v3);
    if (la <= esquina || lb <= esquina || lc <= esquina)
        return true;
    const double lejos = 0.75 * (double)l + 0x1p-39;
    if ((double)la > lejos && (double)lb > lejos && (double)lc > lejos)
        return false;
    const float g1 = AnguloAcotado(a, b, la, lb);
    const float g2 = AnguloAcotado(b, c, lb, lc);
    const float g3 = AnguloAcotado(c, a, lc, la);
    return (float)((double)g1 + (double)g2 + (double)g3) > SUMA_ANGULOS_DENTRO;
}

Vector XoqueEsferaPlano(float radio, Vector centro, Vector mov, Vector v1, Vector v2, Vector v3)
{
    const Vector e1 = NormalizarVector(RestaVectores(v2, v1));
    const Vector e2 = NormalizarVector(RestaVectores(v3, v1));
    const Vector n = NormalPlano(e1, e2);

    // Coincident or collinear vertices (or infinities/NaNs among them) leave
    // no plane to collide with: zero normal, zero determinant.
    const float det = DeterminanteRectaPlano(n, e1, e2);
    if (det == 0.0f || !std::isfinite(det))
        return mov;

    // Both parts of the touch test must hold; the cheap one is asked first.
    const Vector f = InterRectaPlano(centro, n, v1, e1, e2);
    const float d = ModuloVector(RestaVectores(centro, f));
    if (!(radio >= d) || !PieDentro(f, v1, v2, v3))
        return mov;

    const Vector p2 = SumaVectores(centro, mov);
    const Vector f2 = InterRectaPlano(p2, n, v1, e1, e2);
    const float d2 = ModuloVector(RestaVectores(p2, f2));

    // Slide: keep only the movement of the foot point along the plane.
    if (d > d2)
        mov = RestaVectores(f2, f);

    // Push-out, judged on the distance before the movement.
    if ((double)radio * FRACCION_INTERIOR > (double)d) {
        const float empuje = (float)((double)radio * FRACCION_EMPUJE);
        const Vector fuera = NormalizarVector(RestaVectores(centro, f));
        mov = SumaVectores(mov, VectorPorEscalar(fuera, empuje));
    }
    return mov;
}

// ---- Where a touched face can be --------------------------------------------
//
// Whether a face is touched depends only on the radius, the centre and the
// triangle, never on the movement, and an untouched face returns the movement
// unchanged, bit for bit. So a face that provably cannot be touched can be
// skipped without changing the result, whatever movement earlier faces left.
// XoqueEsferaModelo below and the collision index (colision_indice.cpp) skip
// faces by the bounds proved here.
//
// Write P for the centre, r for the radius, V1 V2 V3 for the vertices, F for
// the foot point as XoqueEsferaPlano computes it (rounding included), L for
// the longest edge and e for the corner reach (L + C) * 2^-18 as computed
// there. A touched face has:
//   (a) finite vertices: any infinite or NaN coordinate makes an edge
//       direction NaN, hence the determinant, and the face is left alone;
//   (b) d <= r with d the computed |P - F|. If r is +inf nothing is skipped
//       (every bound below is infinite). Otherwise d is finite, so P and F
//       are (an infinite or NaN coordinate in either makes P - F, hence d,
//       infinite or NaN), and since each float difference, the float sum of
//       squares and the root each lose at most a relative 2^-24 (and a sum of
//       squares that underflows means |P - F| < 2^-62),
//       |P - F| <= r (1 + 2^-21) + 2^-62;
//   (c) a clamped angle sum over 6, or F within e (1 + 2^-21) + 2^-62 of a
//       vertex (the corner rule: a computed length that is at most a finite
//       e is finite, and the rounding argument of (b) applies; an infinite e
//       puts no bound on F).
// Lemma: if F is farther than L / sqrt(2) + 2^-40 from every vertex, the
// clamped angle sum is below 4.72 or NaN. Any two of u = Vi - F, v = Vj - F
// then have |u|^2 + |v|^2 > L^2 >= |u - v|^2, so by the law of cosines
// (|u - v|^2 = |u|^2 + |v|^2 - 2|u||v| cos) their cosine is positive. The
// float differences turn those vectors by less than 1e-6 rad; the lengths are
// >= 2^-41, so the squared lengths stay normal floats and the dot product's
// rounding costs at most 2^-70 relative to the product of lengths, so the
// computed cosine is above -1e-5. An overflowing dot product can then only be
// +inf (cosine clamped to 1, angle 0); an overflowing difference or sum of
// squares gives a cosine of 0 or NaN. Every angle is <= pi/2 + 1e-5 or NaN.
// Hence a touched face has F within
//   rho = max(L / sqrt(2) + 2^-40, e (1 + 2^-21) + 2^-62)
// of some vertex, and P within rho + r (1 + 2^-21) + 2^-62 of that vertex.
// PieDentro uses the lemma to skip the arc cosines when all three computed
// lengths exceed 0.75 L + 2^-39 (L as computed, finite): each finite
// computed length is within a relative 2^-22 of the true one, and an
// infinite one stands for a true length of at least 2^64 (1 - 2^-22), while
// a finite L is below 2^64 (1 + 2^-22); either way the true lengths then
// exceed L / sqrt(2) + 2^-40.
//
// The corner reach is computed in float, and an edge longer than about 2^64
// has an infinite float length (its sum of squares overflows): the reach is
// then infinite and every foot point counts, so such a face is never skipped.
//
// The box test. Write lo/hi for the box of the three vertices, s for the sum
// of its extents and C for its largest coordinate magnitude. If s >= 2^63
// nothing is rejected. Otherwise every edge component is at most 2^63 after
// rounding, every float sum of squares at most 3 * 2^126, so the computed L
// and e are finite; s >= L, and the computed L and the float sum L + C each
// round by a relative 2^-22 at most, so
// rho <= max(s, (s + C) 2^-18) (1 + 2^-20) + 2^-40 (the last product may
// also round a subnormal, by 2^-149). A vertex lies in the box, so a touched
// face has P within that plus r (1 + 2^-21) + 2^-62 of the box on every
// axis. CaraLejos rejects when P is beyond the box by more than
// (max(s, (s + C) 2^-18) + r)(1 + 2^-10) + 2^-30 on some axis. Every
// quantity is formed in double from floats: the box bounds are exact, and the
// extents, their sums, the margin and the distance from P to the box each
// round by a relative 2^-53 at most, far inside the 2^-10 and 2^-30
// allowances. What the test does with the cases (b) leaves out:
//   - a negative radius touches nothing (d is never negative), so any
//     rejection is right; a NaN radius touches nothing either;
//   - an infinite or NaN centre with a radius that is not +inf touches
//     nothing (b), so any rejection is right: an infinite coordinate is
//     rejected on its axis, a NaN one compares false and is left to the
//     other axes and the full test;
//   - a radius of +inf makes the margin infinite and nothing is rejected;
//   - NaN coordinates in a face can only cause a rejection of a face that is
//     never touched anyway (a); a NaN extent sum rejects nothing.
namespace {

const double kHolguraRelativa = 1.0 + 1.0 / 1024.0;   // 1 + 2^-10
const double kHolguraAbsoluta = 1.0 / 1073741824.0;   // 2^-30
const double kEscalaEsquina = 0x1p-18;
const double kLadoFinito = 0x1p63;   // below this every edge has a finite float length

// NaN coordinates may be dropped or kept by these; either way is sound (a).
inline float Min3(float a, float b, float c) { const float m = a < b ? a : b; return m < c ? m : c; }
inline float Max3(float a, float b, float c) { const float m = a > b ? a : b; return m > c ? m : c; }

// True when the sphere (radius r, centre (px, py, pz)) cannot touch the
// triangle a b c, by the argument above.
inline bool CaraLejos(double r, double px, double py, double pz, const Vector &a, const Vector &b,
                      const Vector &c)
{
    const double lx = Min3(a.x, b.x, c.x), hx = Max3(a.x, b.x, c.x);
    const double ly = Min3(a.y, b.y, c.y), hy = Max3(a.y, b.y, c.y);
    const double lz = Min3(a.z, b.z, c.z), hz = Max3(a.z, b.z, c.z);
    const double s = (hx - lx) + (hy - ly) + (hz - lz);
    if (!(s < kLadoFinito))
        return false;
    const double cx = std::fmax(-lx, hx), cy = std::fmax(-ly, hy), cz = std::fmax(-lz, hz);
    const double esquina = (s + std::fmax(std::fmax(cx, cy), cz)) * kEscalaEsquina;
    const double margen = ((s > esquina ? s : esquina) + r) * kHolguraRelativa + kHolguraAbsoluta;
    return px - hx > margen || lx - px > margen || py - hy > margen || ly - py > margen
        || pz - hz > margen || lz - pz > margen;
}

}  // namespace

// Faces whose corner indices fall outside the vertex array are skipped, and
// missing arrays count as empty, so a malformed model is never read past.
// Faces that cannot be touched (CaraLejos) are skipped too: the result is the
// same as running XoqueEsferaPlano on every face in order.
Vector XoqueEsferaModelo(float radio, Vector centro, Vector mov, Modelo m)
{
    if (m.Caras == nullptr)
        return mov;
    const int nv = (m.Vertices == nullptr) ? 0 : m.NumVertices;
    const double r = radio, px = centro.x, py = centro.y, pz = centro.z;
    for (int i = 0; i < m.NumCaras; i++) {
        const Cara &cara = m.Caras[i];
        if (!IndiceValido(cara.Vert[0], nv) || !IndiceValido(cara.Vert[1], nv)
            || !IndiceValido(cara.Vert[2], nv))
            continue;
        const Vector &a = m.Vertices[cara.Vert[0]];
        const Vector &b = m.Vertices[cara.Vert[1]];
        const Vector &c = m.Vertices[cara.Vert[2]];
        if (CaraLejos(r, px, py, pz, a, b, c))
            continue;
        mov = XoqueEsferaPlano(radio, centro, mov, a, b, c);
    }
    return mov;
}
