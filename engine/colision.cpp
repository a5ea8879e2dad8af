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

// Faces whose corner indices fall outside the vertex array are skipped, and
// missing arrays count as empty, so a malformed model is never read past.
Vector XoqueEsferaModelo(float radio, Vector centro, Vector mov, Modelo m)
{
    if (m.Caras == nullptr)
        return mov;
    const int nv = (m.Vertices == nullptr) ? 0 : m.NumVertices;
    for (int i = 0; i < m.NumCaras; i++) {
        const Cara &cara = m.Caras[i];
        if (!IndiceValido(cara.Vert[0], nv) || !IndiceValido(cara.Vert[1], nv)
            || !IndiceValido(cara.Vert[2], nv))
            continue;
        mov = XoqueEsferaPlano(radio, centro, mov, m.Vertices[cara.Vert[0]],
                               m.Vertices[cara.Vert[1]], m.Vertices[cara.Vert[2]]);
    }
    return mov;
}
