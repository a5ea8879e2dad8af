// gl_falso.h - a recording stand-in for the OpenGL and GLUT calls the overlay
// makes, and a clock the test sets by hand.
#ifndef TALO_GL_FALSO_H
#define TALO_GL_FALSO_H

#include <string>
#include <vector>

struct Llamada {
    std::string nombre;
    std::vector<float> args;   // numbers as passed (enums converted)
    std::string texto;         // characters drawn after a raster position
};

extern std::vector<Llamada> Registro;
extern int RelojFalso;              // what RelojMilisegundos returns
extern int LecturasReloj;           // how many times it was read
extern double AspectoPerspectiva;   // the aspect gluPerspective last got, unrounded

#endif
