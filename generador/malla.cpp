// malla.cpp - choosing the corner a mesh is drawn last with.
#include <cstddef>
#include <limits>

#include "malla.h"

void TerminarEnMejorEsquina(Malla *m, CosteEsquina coste)
{
    int mejorCara = 0, mejorEsquina = 0;
    double mejor = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < m->caras.size(); i++) {
        const int esquinas[3] = {m->caras[i].a, m->caras[i].b, m->caras[i].c};
        for (int e = 0; e < 3; e++) {
            double c = coste(m, esquinas[e]);
            if (c < mejor) {
                mejor = c;
                mejorCara = (int)i;
                mejorEsquina = e;
            }
        }
    }
    const Triangulo t = m->caras[mejorCara];
    Triangulo rotado = t;
    if (mejorEsquina == 0)
        rotado = Triangulo{t.b, t.c, t.a};
    else if (mejorEsquina == 1)
        rotado = Triangulo{t.c, t.a, t.b};
    m->caras.erase(m->caras.begin() + mejorCara);
    m->caras.push_back(rotado);
}
