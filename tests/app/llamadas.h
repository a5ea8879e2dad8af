// llamadas.h - the expected OpenGL calls, written once in
// llamadas_esperadas.txt, and their comparison with the recorded ones
// (gl_falso.h).
#ifndef TALO_LLAMADAS_H
#define TALO_LLAMADAS_H

#include <string>
#include <vector>

struct E {
    std::string nombre;
    std::vector<float> args;
};

#ifdef MODO_WIRE
const bool kWire = true;
#else
const bool kWire = false;
#endif

// One section of llamadas_esperadas.txt for one build, the arrays spread out
// as the recorder notes them.
std::vector<E> Esperadas(const std::string &seccion, bool wire = kWire);

void Anadir(std::vector<E> *a, const std::vector<E> &b);

// The recorded calls (Registro) against `esperado`, call by call.
void Comparar(const std::vector<E> &esperado);

#endif
