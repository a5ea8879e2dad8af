// colision.cpp - keeps a moving sphere out of triangles.
//
// A triangle is a two-sided plane. When the sphere touches it (the centre is
// within one radius of the plane and its foot point is inside the triangle or
// in the thin band the angle-sum test accepts around it), the part of the
// movement that approaches the plane is dropped, and a centre closer than 0.8
// radius is pushed out by 0.2 radius. Nothing is allocated; all work is on values.
#include "colision.h"

#include <cmath>

// The foot point counts as inside when the three angles it sees between the
// vertices add up to more than this. It is deliberately below 2*pi so that a
// thin band outside each edge is accepted too (no gaps at shared edges).
static const float SUMA_ANGULOS_DENTRO = 6.0f;
static const double FRACCION_INTERIOR = 0.8;   // closer than r*0.8: push out
static const double FRACCION_EMPUJE = 0.2;     // each push is r*0.2 long

static float SumaAngulos(Vector f, Vector v1, Vector v2, Vector v3)
{
    const Vector a = RestaVectores(v1, f);
    const Vector b = RestaVectores(v2, f);
    const Vector c = RestaVectores(v3, f);
    const float g1 = AnguloEntreVectores(a, b);
    const float g2 = AnguloEntreVectores(b, c);
    const float g3 = AnguloEntreVectores(c, a);
    return (float)((double)g1 + (double)g2 + (double)g3);
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

    const Vector f = InterRectaPlano(centro, n, v1, e1, e2);
    const float d = ModuloVector(RestaVectores(centro, f));
    const float suma = SumaAngulos(f, v1, v2, v3);
    if (!(radio >= d && suma > SUMA_ANGULOS_DENTRO))
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

// ---- Conservative rejection -------------------------------------------------
//
// Whether a face is touched depends only on the radius, the centre and the
// triangle, never on the movement, and an untouched face returns the movement
// unchanged. So a face that provably cannot be touched can be skipped without
// changing a single bit of the result. The test below, on the face's box of
// vertex coordinates in double, costs a handful of comparisons per face
// instead of three arc cosines and five square roots.
//
// Write lo/hi for the box of the three vertices, s for the sum of its three
// extents (s bounds every distance between two vertices), P for the centre,
// F for the foot point as XoqueEsferaPlano computes it (rounding included).
// A touched face has:
//   (a) finite vertices: any infinite or NaN coordinate makes an edge
//       direction NaN, hence the determinant, and the face is left alone;
//   (b) d <= r with d the computed |P - F|: with finite r, F is finite and,
//       since each float difference, the float sum of squares and the root
//       each lose at most a relative 2^-24 (and a sum of squares that
//       underflows means |P - F| < 2^-62), |P - F| <= r (1 + 2^-21) + 2^-62;
//   (c) angle sum > 6, so one of the three computed angles exceeds 1.99 and
//       its computed cosine is below -0.40.
// Suppose F lay farther than s + 2^-40 from the box along some axis. Then F
// is farther than s (and than 2^-40) from every vertex. Any two of the
// vectors u = Vi - F, v = Vj - F have |u|, |v| > s and tips at most s apart,
// so by the law of cosines (|u - v|^2 = |u|^2 + |v|^2 - 2|u||v| cos) a
// negative cosine would make |u - v|^2 > 2 s^2: their cosine is >= 0. The
// float differences turn those vectors by less than 1e-6 rad; the lengths are
// >= 2^-41, so the squared lengths stay normal floats and the dot product's
// float rounding costs at most 2^-70 relative to the product of lengths; an
// overflowing difference, sum of squares or dot product gives a cosine of 0
// or NaN (angle pi/2 or NaN). Either way every computed angle is <= pi/2 +
// 1e-5 or NaN, the sum is <= 4.72 or NaN, and (c) fails. Hence a touched face
// has F within s + 2^-40 of the box on every axis, and P within s + 2^-40 + r
// (1 + 2^-21) + 2^-62 of it.
//
// The code rejects when P is beyond the box by more than
// (s + r)(1 + 2^-10) + 2^-30 on some axis. Every quantity is formed in double
// from floats: the box bounds are exact, and the extents, their sum, the
// margin and the distance from P to the box each round by a relative 2^-53
// at most, far inside the 2^-10 and 2^-30 allowances. A negative radius
// touches nothing, so any rejection is right for it; an infinite or NaN radius
// or centre makes every comparison false, so nothing is rejected and the full
// test decides. NaN coordinates in a face can only cause a rejection of a
// face that is never touched anyway (a).
namespace {

const double kHolguraRelativa = 1.0 + 1.0 / 1024.0;   // 1 + 2^-10
const double kHolguraAbsoluta = 1.0 / 1073741824.0;   // 2^-30

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
    const double margen = (s + r) * kHolguraRelativa + kHolguraAbsoluta;
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
