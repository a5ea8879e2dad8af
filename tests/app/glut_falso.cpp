// glut_falso.cpp - stands in for the two GLUT calls the tick makes, so the
// input and tick logic run without a window. Each call is recorded.
#include "glut_falso.h"

#include <GL/glut.h>

LlamadasGlut Glut;

void glutTimerFunc(unsigned int retardo, void (*funcion)(int), int valor)
{
    Glut.temporizadores++;
    Glut.retardo = retardo;
    Glut.funcion = funcion;
    Glut.valor = valor;
}

void glutPostRedisplay() { Glut.redibujados++; }
