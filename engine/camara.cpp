// camara.cpp - reset, turns, pitch and movement of the four-point camera.
#include "camara.h"

#include <cmath>

void IniciarCamara(Camara *c)
{
    c->Posicion.x = 0.0f;
    c->Posicion.y = 0.0f;
    c->Posicion.z = 0.0f;
    // The 0.01 keeps the x-y determinant CamaraMirar solves with away from 0.
    c->Frente.x = 0.01f;
    c->Frente.y = 0.0f;
    c->Frente.z = -99999.0f;
    c->Arriba.x = 0.01f;
    c->Arriba.y = 99999.0f;
    c->Arriba.z = -99999.0f;
    c->Lateral.x = 99999.0f;
    c->Lateral.y = 0.0f;
    c->Lateral.z = 0.0f;
}

// Which axis GirarCamaraEje turns about.
enum EjeGiro { EJE_X, EJE_Y, EJE_Z };

static Vector GirarPuntoEje(Vector p, EjeGiro eje, float angulo)
{
    switch (eje) {
    case EJE_X: return GirarVerticeX(p, angulo);
    case EJE_Y: return GirarVerticeY(p, angulo);
    default: return GirarVerticeZ(p, angulo);
    }
}

// Turns the three reference points about the line through the eye parallel
// to the axis: each is taken relative to the eye, turned, and put back.
static void GirarCamaraEje(Camara *c, EjeGiro eje, float angulo)
{
    const Vector o = c->Posicion;
    c->Frente = SumaVectores(GirarPuntoEje(RestaVectores(c->Frente, o), eje, angulo), o);
    c->Arriba = SumaVectores(GirarPuntoEje(RestaVectores(c->Arriba, o), eje, angulo), o);
    c->Lateral = SumaVectores(GirarPuntoEje(RestaVectores(c->Lateral, o), eje, angulo), o);
}

void GirarCamaraX(Camara *c, float angulo) { GirarCamaraEje(c, EJE_X, angulo); }
void GirarCamaraY(Camara *c, float angulo) { GirarCamaraEje(c, EJE_Y, angulo); }
void GirarCamaraZ(Camara *c, float angulo) { GirarCamaraEje(c, EJE_Z, angulo); }

static float Componente(Vector v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

// 2x2 determinant of B and A on components i and j, rounded to float.
static float DeterminantePar(Vector b, Vector a, int i, int j)
{
    return (float)((double)Componente(b, i) * Componente(a, j) - (double)Componente(b, j) * Componente(a, i));
}

static bool VectorFinito(Vector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Writes R = X - Posicion as beta*B + alfa*A, solving components i and j by
// Cramer's rule, turns (beta, alfa) by the angle and rebuilds the point.
static Vector GirarPuntoVista(Vector x, Vector pos, Vector b, Vector a, int i, int j, float den, double cs,
                              double sn)
{
    const Vector r = RestaVectores(x, pos);
    const double ri = Componente(r, i), rj = Componente(r, j);
    const double bi = Componente(b, i), bj = Componente(b, j);
    const double ai = Componente(a, i), aj = Componente(a, j);
    const float beta = (float)((ri * aj - rj * ai) / (double)den);
    const float alfa = (float)((bi * rj - bj * ri) / (double)den);
    const float beta2 = (float)((double)beta * cs - (double)alfa * sn);
    const float alfa2 = (float)((double)alfa * cs + (double)beta * sn);
    return SumaVectores(SumaVectores(pos, VectorPorEscalar(b, beta2)), VectorPorEscalar(a, alfa2));
}

// Turns the up point, then the front point, solving on components i and j.
// Returns false, leaving the camera as it was, when the solve is singular or
// its result is not finite.
static bool GirarVista(Camara *c, Vector b, Vector a, int i, int j, float angulo)
{
    const float den = DeterminantePar(b, a, i, j);
    if (den == 0.0f) return false;
    const double cs = std::cos((double)angulo), sn = std::sin((double)angulo);
    const Vector arriba = GirarPuntoVista(c->Arriba, c->Posicion, b, a, i, j, den, cs, sn);
    const Vector frente = GirarPuntoVista(c->Frente, c->Posicion, b, a, i, j, den, cs, sn);
    if (!VectorFinito(arriba) || !VectorFinito(frente)) return false;
    c->Arriba = arriba;
    c->Frente = frente;
    return true;
}

// Pitch. The view B and the up offset A are taken once, on entry; the turn
// happens only while the view is more than 0.2 rad from straight up (turning
// up) or less than 3.1 rad from it (turning down), and is never clipped.
//
// The up and front points are expressed in the basis (B, A) from their x and
// y components. When that x-y solve is singular (the x-y projections of B and
// A are parallel, e.g. a level view exactly along z) or overflows, the pair of
// components with the largest |determinant| is used instead: B and A are
// perpendicular and of equal length, so the three 2x2 determinants are the
// components of B x A, and the largest is at least |B x A|/sqrt(3), a well
// conditioned solve. This turns the camera as intended instead of leaving it
// stuck or filling it with infinities; an x-y solve that works is never
// replaced. If no pair works (B and A parallel or zero) the camera stays as
// it was (so does an infinite angle, whose sine and cosine are NaN). A camera
// that already holds infinities or NaNs is turned with the x-y solve as is.
void CamaraMirar(Camara *c, float angulo)
{
    const Vector b = RestaVectores(c->Frente, c->Posicion);
    const Vector a = RestaVectores(c->Arriba, c->Frente);
    const Vector vertical = {0.0f, 1.0f, 0.0f};
    const float phi = AnguloEntreVectores(b, vertical);
    const bool sube = (double)phi > 0.2 && angulo > 0.0f;
    const bool baja = (double)phi < 3.1 && angulo <= 0.0f;
    if (!sube && !baja) return;

    if (GirarVista(c, b, a, 0, 1, angulo)) return;
    const bool finita = VectorFinito(c->Posicion) && VectorFinito(c->Frente) && VectorFinito(c->Arriba);
    if (!finita) {
        // Nothing finite to keep: turn with the x-y solve whatever it gives.
        const float den = DeterminantePar(b, a, 0, 1);
        const double cs = std::cos((double)angulo), sn = std::sin((double)angulo);
        const Vector arriba = GirarPuntoVista(c->Arriba, c->Posicion, b, a, 0, 1, den, cs, sn);
        c->Frente = GirarPuntoVista(c->Frente, c->Posicion, b, a, 0, 1, den, cs, sn);
        c->Arriba = arriba;
        return;
    }
    const float dxz = std::fabs(DeterminantePar(b, a, 0, 2));
    const float dyz = std::fabs(DeterminantePar(b, a, 1, 2));
    if (dyz >= dxz)
        GirarVista(c, b, a, 1, 2, angulo);
    else
        GirarVista(c, b, a, 0, 2, angulo);
}

Vector CamaraVecFrente(Camara c, Vector acumulado, float velocidad)
{
    const Vector vista = NormalizarVector(RestaVectores(c.Frente, c.Posicion));
    return SumaVectores(VectorPorEscalar(vista, velocidad), acumulado);
}

Vector CamaraVecLateral(Camara c, Vector acumulado, float velocidad)
{
    const Vector lado = NormalizarVector(RestaVectores(c.Lateral, c.Posicion));
    return SumaVectores(VectorPorEscalar(lado, velocidad), acumulado);
}

void CamaraAvance(Camara *c, Vector v)
{
    c->Posicion = SumaVectores(c->Posicion, v);
    c->Frente = SumaVectores(c->Frente, v);
    c->Arriba = SumaVectores(c->Arriba, v);
    c->Lateral = SumaVectores(c->Lateral, v);
}
