// colision.cpp - keeps a moving sphere out of triangles.
//
// A triangle is a two-sided plane. When the sphere touches it (the centre is
// within one radius of the plane and its foot point is inside the triangle,
// in the thin band the angle-sum test accepts around it, or on a corner), the
// part of the movement that approaches the plane is dropped, and a centre
// closer than 0.8 radius is pushed out by 0.2 radius. Nothing is allocated;
// all work is on values.
#include "colision.h"
#include "colision_local.h"

#include <cmath>
#include <initializer_list>

// The foot point counts as inside when the three angles it sees between the
// vertices add up to more than this. It is deliberately below 2*pi so that a
// thin band outside each edge is accepted too (no gaps at shared edges).
static const float SUMA_ANGULOS_DENTRO = 6.0f;
static const double FRACCION_INTERIOR = 0.8;   // closer than r*0.8: push out
static const double FRACCION_EMPUJE = 0.2;     // each push is r*0.2 long

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
    for (float x : {v1.x, v1.y, v1.z, v2.x, v2.y, v2.z, v3.x, v3.y, v3.z}) c = std::fmax(c, std::fabs(x));
    return (l + c) * kEscalaEsquina;
}

// The inside test: the foot point f lies within the corner reach of a vertex,
// or the three angles it sees (cosines clamped) add up to more than 6.0.
// When f is farther from every vertex than 0.75 of the longest edge the
// angles provably cannot add up to that (the lemma in docs/colision.md), and
// the three arc cosines are not taken; the answer is the same.
static bool PieDentro(Vector f, Vector v1, Vector v2, Vector v3)
{
    const Vector a = RestaVectores(v1, f);
    const Vector b = RestaVectores(v2, f);
    const Vector c = RestaVectores(v3, f);
    const float la = ModuloVector(a), lb = ModuloVector(b), lc = ModuloVector(c);
    const float l = LadoMayor(v1, v2, v3);
    const float esquina = AlcanceEsquina(l, v1, v2, v3);
    if (la <= esquina || lb <= esquina || lc <= esquina) return true;
    const double lejos = 0.75 * (double)l + 0x1p-39;
    if ((double)la > lejos && (double)lb > lejos && (double)lc > lejos) return false;
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
    if (det == 0.0f || !std::isfinite(det)) return mov;

    // Both parts of the touch test must hold; the cheap one is asked first.
    const Vector f = InterRectaPlano(centro, n, v1, e1, e2);
    const float d = ModuloVector(RestaVectores(centro, f));
    if (!(radio >= d) || !PieDentro(f, v1, v2, v3)) return mov;

    const Vector p2 = SumaVectores(centro, mov);
    const Vector f2 = InterRectaPlano(p2, n, v1, e1, e2);
    const float d2 = ModuloVector(RestaVectores(p2, f2));

    // Slide: keep only the movement of the foot point along the plane.
    if (d > d2) mov = RestaVectores(f2, f);

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
// A face that provably cannot be touched is skipped: an untouched face
// returns the movement unchanged, whatever movement earlier faces left, so
// the result is the face-by-face one. CaraLejos rejects a face when the
// centre lies beyond the box of its vertices, on some axis, by more than
// (max(s, (s + C) 2^-18) + r)(1 + 2^-10) + 2^-30 (s the box's extent sum, C
// its largest coordinate magnitude). The bound, its allowances and the
// cases of infinite and NaN input are proved in docs/colision.md.
namespace {

// NaN coordinates may be dropped or kept by these; either way is sound (a).
inline float Min3(float a, float b, float c)
{
    const float m = a < b ? a : b;
    return m < c ? m : c;
}
inline float Max3(float a, float b, float c)
{
    const float m = a > b ? a : b;
    return m > c ? m : c;
}

// True when the sphere (radius r, centre (px, py, pz)) cannot touch the
// triangle a b c (docs/colision.md).
inline bool CaraLejos(double r, double px, double py, double pz, const Vector &a, const Vector &b,
                      const Vector &c)
{
    const double lx = Min3(a.x, b.x, c.x), hx = Max3(a.x, b.x, c.x);
    const double ly = Min3(a.y, b.y, c.y), hy = Max3(a.y, b.y, c.y);
    const double lz = Min3(a.z, b.z, c.z), hz = Max3(a.z, b.z, c.z);
    const double s = (hx - lx) + (hy - ly) + (hz - lz);
    if (!(s < kLadoFinito)) return false;
    const double cx = std::fmax(-lx, hx), cy = std::fmax(-ly, hy), cz = std::fmax(-lz, hz);
    const double esquina = (s + std::fmax(std::fmax(cx, cy), cz)) * kEscalaEsquina;
    const double margen = ((s > esquina ? s : esquina) + r) * kHolguraCajaRelativa + kHolguraCajaAbsoluta;
    return px - hx > margen || lx - px > margen || py - hy > margen || ly - py > margen || pz - hz > margen ||
           lz - pz > margen;
}

}   // namespace

// Faces whose corner indices fall outside the vertex array are skipped, and
// missing arrays count as empty, so a malformed model is never read past.
// Faces that cannot be touched (CaraLejos) are skipped too: the result is the
// same as running XoqueEsferaPlano on every face in order.
Vector XoqueEsferaModelo(float radio, Vector centro, Vector mov, Modelo m)
{
    if (m.Caras == nullptr) return mov;
    const int nv = (m.Vertices == nullptr) ? 0 : m.NumVertices;
    const double r = radio, px = centro.x, py = centro.y, pz = centro.z;
    for (int i = 0; i < m.NumCaras; i++) {
        const Cara &cara = m.Caras[i];
        if (!CaraDentro(cara, nv)) continue;
        const Vector &a = m.Vertices[cara.Vert[0]];
        const Vector &b = m.Vertices[cara.Vert[1]];
        const Vector &c = m.Vertices[cara.Vert[2]];
        if (CaraLejos(r, px, py, pz, a, b, c)) continue;
        mov = XoqueEsferaPlano(radio, centro, mov, a, b, c);
    }
    return mov;
}
