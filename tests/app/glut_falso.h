// glut_falso.h - what the stand-in GLUT calls have recorded.
#ifndef TALO_GLUT_FALSO_H
#define TALO_GLUT_FALSO_H

struct LlamadasGlut {
    int temporizadores;     // glutTimerFunc calls
    unsigned int retardo;   // arguments of the last one
    void (*funcion)(int);
    int valor;
    int redibujados;   // glutPostRedisplay calls
};

extern LlamadasGlut Glut;

#endif
