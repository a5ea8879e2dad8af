// vector.cpp - 3-vector arithmetic, axis rotations and line-plane intersection.
//
// Rounding discipline (results must be reproducible to the bit): a single
// operation on two floats is done in float; an expression of several terms is
// evaluated in double, from float operands widened one by one, and rounded to
// float once where it is stored. sin, cos, acos and sqrt are taken in double.
// The build never contracts a*b+c into a fused multiply-add.
#include "vector.h"

#include <cmath>

void AnularVector(Vector *v)
{
    v->x = 0.0f;
    v->y = 0.0f;
    v->z = 0.0f;
}

Vector SumaVectores(Vector a, Vector b)
{
    Vector r;
    r.x = a.x + b.x;
    r.y = a.y + b.y;
    r.z = a.z + b.z;
    return r;
}

Vector RestaVectores(Vector a, Vector b)
{
    Vector r;
    r.x = a.x - b.x;
    r.y = a.y - b.y;
    r.z = a.z - b.z;
    return r;
}

// The sum of squares is rounded to float before the root: a sum that
// underflows gives length 0 and one that overflows gives infinity.
float ModuloVector(Vector a)
{
    const double x = a.x, y = a.y, z = a.z;
    const float suma = (float)(x * x + y * y + z * z);
    return (float)std::sqrt((double)suma);
}

// A zero length leaves the vector as it is (bit for bit), so parallel or zero
// operands of NormalPlano come back as the zero vector instead of NaNs.
// Each component is divided by the length, not multiplied by its inverse.
Vector NormalizarVector(Vector a)
{
    const float m = ModuloVector(a);
    if (m == 0.0f) return a;
    Vector r;
    r.x = a.x / m;
    r.y = a.y / m;
    r.z = a.z / m;
    return r;
}

Vector NormalPlano(Vector a, Vector b)
{
    const double ax = a.x, ay = a.y, az = a.z;
    const double bx = b.x, by = b.y, bz = b.z;
    Vector c;
    c.x = (float)(ay * bz - az * by);
    c.y = (float)(az * bx - ax * bz);
    c.z = (float)(ax * by - ay * bx);
    return NormalizarVector(c);
}

Vector VectorPorEscalar(Vector a, float s)
{
    Vector r;
    r.x = a.x * s;
    r.y = a.y * s;
    r.z = a.z * s;
    return r;
}

// The cosine is not clamped to [-1, 1] and the lengths are not tested: a zero
// operand, or a cosine pushed past 1 by rounding, gives NaN, which callers
// treat as "no angle" (every comparison with it fails).
float AnguloEntreVectores(Vector a, Vector b)
{
    const float d = (float)((double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z);
    const double mod = (double)ModuloVector(a) * (double)ModuloVector(b);
    const float q = (float)((double)d / mod);
    return (float)std::acos((double)q);
}

// Each turned component comes from the untouched components of v; the
// component along the axis is copied, so it never changes, not even by rounding.
// Positive angles turn +y towards -z (this is the opposite of the right-hand rule).
Vector GirarVerticeX(Vector v, float angulo)
{
    const double c = std::cos((double)angulo), s = std::sin((double)angulo);
    const double y = v.y, z = v.z;
    Vector r;
    r.x = v.x;
    r.y = (float)(y * c + z * s);
    r.z = (float)(z * c - y * s);
    return r;
}

Vector GirarVerticeY(Vector v, float angulo)
{
    const double c = std::cos((double)angulo), s = std::sin((double)angulo);
    const double x = v.x, z = v.z;
    Vector r;
    r.x = (float)(x * c + z * s);
    r.y = v.y;
    r.z = (float)(z * c - x * s);
    return r;
}

Vector GirarVerticeZ(Vector v, float angulo)
{
    const double c = std::cos((double)angulo), s = std::sin((double)angulo);
    const double x = v.x, y = v.y;
    Vector r;
    r.x = (float)(x * c - y * s);
    r.y = (float)(x * s + y * c);
    r.z = v.z;
    return r;
}

// Columns a = u, b = v, c = -d. Sarrus, summed left to right; every
// three-factor product is formed left to right in double.
float DeterminanteRectaPlano(Vector d, Vector u, Vector v)
{
    const double a1 = u.x, a2 = u.y, a3 = u.z;
    const double b1 = v.x, b2 = v.y, b3 = v.z;
    const double c1 = -d.x, c2 = -d.y, c3 = -d.z;
    return (float)(a1 * b2 * c3 + b1 * c2 * a3 + a2 * b3 * c1 - c1 * b2 * a3 - b1 * a2 * c3 - c2 * b3 * a1);
}

// Solves s*u + t*v - l*d = p - q for s and t by Cramer's rule and builds the
// point on the plane, q + s*u first and then t*v. A singular system
// (determinant 0) has no single meeting point; p is returned instead of
// dividing by zero. NaNs among the inputs pass through like anywhere else.
Vector InterRectaPlano(Vector p, Vector d, Vector q, Vector u, Vector v)
{
    const float det = DeterminanteRectaPlano(d, u, v);
    if (det == 0.0f) return p;

    const Vector r = RestaVectores(p, q);
    const double r1 = r.x, r2 = r.y, r3 = r.z;
    const double a1 = u.x, a2 = u.y, a3 = u.z;
    const double b1 = v.x, b2 = v.y, b3 = v.z;
    const double c1 = -d.x, c2 = -d.y, c3 = -d.z;

    const double ns = r1 * b2 * c3 + b1 * c2 * r3 + r2 * b3 * c1 - c1 * b2 * r3 - b1 * r2 * c3 - b3 * c2 * r1;
    const double nt = a1 * r2 * c3 + r1 * c2 * a3 + a2 * r3 * c1 - c1 * r2 * a3 - r1 * a2 * c3 - r3 * c2 * a1;
    const float s = (float)(ns / (double)det);
    const float t = (float)(nt / (double)det);

    return SumaVectores(SumaVectores(q, VectorPorEscalar(u, s)), VectorPorEscalar(v, t));
}

// The sign is taken from the x components alone: equal x components (or a NaN)
// count as "behind", and k <= 0 flips the direction.
float ScalarDeRecta(Vector a, Vector b, float k)
{
    const float s1 = (a.x > b.x) ? 1.0f : -1.0f;
    const float s2 = (k > 0.0f) ? 1.0f : -1.0f;
    return ModuloVector(RestaVectores(a, b)) * (s1 * s2);
}
