// modelo.cpp - the Modelo record: reset, release, appends, texture scaling.
//
// Every append grows its array to exactly the new count, one element at a
// time, so the arrays never carry spare capacity and can be indexed directly.
#include "modelo.h"
#include "modelo_local.h"

#include <climits>
#include <cstdlib>

void IniciarModelo(Modelo *m)
{
    m->NumVertices = 0;
    m->NumCaras = 0;
    m->NumCTexturas = 0;
    m->NumNormales = 0;
    m->Vertices = nullptr;
    m->Caras = nullptr;
    m->CTexturas = nullptr;
    m->Normales = nullptr;
}

void LiberarModelo(Modelo *m)
{
    m->NumVertices = 0;
    m->NumCaras = 0;
    m->NumCTexturas = 0;
    m->NumNormales = 0;
    free(m->Vertices);
    free(m->Caras);
    free(m->CTexturas);
    free(m->Normales);
    // Cleared so that a released record can be released or filled again.
    m->Vertices = nullptr;
    m->Caras = nullptr;
    m->CTexturas = nullptr;
    m->Normales = nullptr;
}

namespace {

// Grows *array (of *num elements of `tam` bytes) by one element. On success
// the count is raised and the new last element's address is returned; on
// failure (count at its limit, or no memory) nothing changes and null is
// returned.
void *Crecer(void **array, int *num, size_t tam)
{
    if (*num < 0 || *num == INT_MAX) return nullptr;
    size_t nuevo = (size_t)*num + 1;
    void *p = realloc(*array, nuevo * tam);   // realloc(null, n) allocates afresh
    if (!p) return nullptr;
    *array = p;
    *num = (int)nuevo;
    return (char *)p + (nuevo - 1) * tam;
}

int AddVector(Vector **array, int *num, float x, float y, float z)
{
    void *p = *array;
    Vector *nuevo = (Vector *)Crecer(&p, num, sizeof(Vector));
    if (!nuevo) return 0;
    *array = (Vector *)p;
    nuevo->x = x;
    nuevo->y = y;
    nuevo->z = z;
    return 1;
}

}   // namespace

int AddVertice(Modelo *m, float x, float y, float z)
{
    return AddVector(&m->Vertices, &m->NumVertices, x, y, z);
}

int AddNormal(Modelo *m, float x, float y, float z)
{
    return AddVector(&m->Normales, &m->NumNormales, x, y, z);
}

int AddCTextura(Modelo *m, float x, float y, float z)
{
    return AddVector(&m->CTexturas, &m->NumCTexturas, x, y, z);
}

int AddCara(Modelo *m, int a, int b, int c, int d, int e, int f)
{
    void *p = m->Caras;
    Cara *nueva = (Cara *)Crecer(&p, &m->NumCaras, sizeof(Cara));
    if (!nueva) return 0;
    m->Caras = (Cara *)p;
    LlenarCara(nueva, a, b, c, d, e, f);
    return 1;
}

void EscalarCTextura(Modelo *m, float factor)
{
    for (int i = 0; i < m->NumCTexturas; i++) {
        m->CTexturas[i].x *= factor;
        m->CTexturas[i].y *= factor;
        m->CTexturas[i].z *= factor;
    }
}
