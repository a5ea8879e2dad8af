// main.cpp - start-up of the walkthrough.
//
// The scene is read from ./Modelos and ./Texturas before any window exists;
// then one full-screen window, the callbacks, the render state, and the GLUT
// main loop for the rest of the run. Escape ends the process.
#include <GL/glut.h>

#include "globales.h"

static void CargarModelos()
{
    Techo = CargarModeloOBJ("./Modelos/Techo.OBJ", 0);
    Suelo = CargarModeloOBJ("./Modelos/Suelo.OBJ", 0);
    Paredes = CargarModeloOBJ("./Modelos/Paredes.OBJ", 0);
    Mujer = CargarModeloOBJ("./Modelos/Mujer.OBJ", 2);
    Caballo = CargarModeloOBJ("./Modelos/Caballo.OBJ", 1);
}

static void CargarImagenes()
{
    TMujer = CargarImagenTGA("./Texturas/Vampiro.tga");
    TParedes = CargarImagenTGA("./Texturas/Paredes.tga");
    TSuelo = CargarImagenTGA("./Texturas/Suelo.tga");
    TTecho = CargarImagenTGA("./Texturas/Techo.tga");
}

int main(int argc, char **argv)
{
    // freeglut wants its arguments before any other call; with no display it
    // says so and ends the process with a non-zero status.
    glutInit(&argc, argv);

    IniciarCamara(&camara);
    CargarModelos();
    CargarImagenes();
    // Floor and walls tile their textures 10 and 5 times as often.
    EscalarCTextura(&Suelo, 10.0f);
    EscalarCTextura(&Paredes, 5.0f);
    IndexarSala();   // the room's collision indices, once the models are final
    FormatearEstadisticas();

    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_ACCUM | GLUT_DEPTH | GLUT_MULTISAMPLE);
    glutInitWindowPosition(30, 30);
    glutInitWindowSize(700, 700);
    glutCreateWindow("TALO II");
    glutFullScreen();

    glutDisplayFunc(Dibujar);
    glutReshapeFunc(RedimensionarPerspectiva);
    glutTimerFunc(1, Tiempo, 1);
    glutKeyboardFunc(PulsarSI);
    glutKeyboardUpFunc(PulsarNO);
    glutPassiveMotionFunc(Raton);
    glutSetCursor(GLUT_CURSOR_NONE);

    Ajustes();
    glutMainLoop();
    return 0;
}
