// vector.h - 3-vector arithmetic, axis rotations and line-plane intersection.
//
// Every function takes its operands by value and returns a new value; only
// AnularVector writes through an address. Results are rounded to 32-bit float
// where they are stored; an expression of several terms is evaluated in double
// and rounded once. sin, cos, acos and sqrt are taken in double.
#ifndef TALO_VECTOR_H
#define TALO_VECTOR_H

struct Vector {
    float x, y, z;
};

void AnularVector(Vector *v);                    // v = (0, 0, 0)
Vector SumaVectores(Vector a, Vector b);         // a + b
Vector RestaVectores(Vector a, Vector b);        // a - b
float ModuloVector(Vector a);                    // length (float sum of squares, then sqrt)
Vector NormalizarVector(Vector a);               // a / |a|, or a itself when |a| == 0
Vector NormalPlano(Vector a, Vector b);          // normalised a x b
Vector VectorPorEscalar(Vector a, float s);      // a * s
float AnguloEntreVectores(Vector a, Vector b);   // acos of the cosine, unclamped (NaN for a zero operand)
Vector GirarVerticeX(Vector v, float angulo);    // positive turns +y towards -z
Vector GirarVerticeY(Vector v, float angulo);    // right-hand rule about +y
Vector GirarVerticeZ(Vector v, float angulo);    // right-hand rule about +z

// Point where the line p + l*d meets the plane q + s*u + t*v (Cramer's rule).
// When the system is singular (DeterminanteRectaPlano(d, u, v) == 0: d in the
// span of u and v, or u and v parallel or zero) there is no single point and
// p itself is returned; callers that must tell the cases apart test the
// determinant first. Only 0 is tested: a determinant that is not finite (a
// NaN or infinite input, or products that overflow) is divided by like any
// other, and the result is what IEEE arithmetic makes of it (a NaN in d, u or
// v gives NaN components). Neither d nor u, v need be unit or perpendicular;
// the length and sign of d do not matter.
Vector InterRectaPlano(Vector p, Vector d, Vector q, Vector u, Vector v);

// The determinant of the system InterRectaPlano solves (columns u, v, -d),
// by the rule of Sarrus, rounded to float.
float DeterminanteRectaPlano(Vector d, Vector u, Vector v);

// Signed distance from b to a along a line whose direction has x component k:
// |a - b|, positive when a.x > b.x and k > 0 or when a.x <= b.x and k <= 0.
// The sign looks at x alone (equal x components count as "behind").
float ScalarDeRecta(Vector a, Vector b, float k);

#endif
