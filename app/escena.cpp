// escena.cpp - the frame, the two reshape routines and the render state.
//
// Built twice: with MODO_WIRE the frame draws every model as white lines and
// the render state leaves lighting and texturing off.
#include <GL/glut.h>

#include <cstdlib>

#include "globales.h"

// Turns one loaded image into a texture object. 24-bit pixels go up as R G B,
// 32-bit ones as R G B A with their own four bytes; any other depth (or an
// image that did not load) has no pixel layout OpenGL could read without
// running past the buffer, so its texture is left without an image.
#ifndef MODO_WIRE
static void SubirTextura(Imagen *img)
{
    glGenTextures(1, &img->Textura);
    glBindTexture(GL_TEXTURE_2D, img->Textura);
    if (img->Pixeles != nullptr && img->Ancho > 0 && img->Alto > 0) {
        if (img->Bpp == 24)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, img->Ancho, img->Alto, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         img->Pixeles);
        else if (img->Bpp == 32)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, img->Ancho, img->Alto, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         img->Pixeles);
    }
    ParametrosTextura();
}

static void LiberarPixeles(Imagen *img)
{
    free(img->Pixeles);
    img->Pixeles = nullptr;
}
#endif

void Ajustes()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
#ifndef MODO_WIRE
    glEnable(GL_LIGHTING);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, LuzAmb);
    glLightfv(GL_LIGHT0, GL_AMBIENT, Niebla);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, LuzDif);
    glLightfv(GL_LIGHT0, GL_SPECULAR, LuzEsp);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, LuzEsp);
    glMaterialfv(GL_FRONT, GL_AMBIENT, LuzAmb);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, LuzDif);
    glMateriali(GL_FRONT, GL_SHININESS, 128);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);   // image rows carry no padding
    glEnable(GL_TEXTURE_2D);
    SubirTextura(&TMujer);
    SubirTextura(&TParedes);
    SubirTextura(&TSuelo);
    SubirTextura(&TTecho);
    // The textures hold their own copies now.
    LiberarPixeles(&TMujer);
    LiberarPixeles(&TParedes);
    LiberarPixeles(&TTecho);
    LiberarPixeles(&TSuelo);
#endif
}

void Dibujar()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // The up point is passed as the up vector as it stands; gluLookAt keeps
    // only its part across the line of sight.
    gluLookAt(camara.Posicion.x, camara.Posicion.y, camara.Posicion.z, camara.Frente.x, camara.Frente.y,
              camara.Frente.z, camara.Arriba.x, camara.Arriba.y, camara.Arriba.z);
#ifndef MODO_WIRE
    glLightfv(GL_LIGHT0, GL_POSITION, LuzPos);   // fixed in the world
    EjesCordenadas(10.0f);
    glBindTexture(GL_TEXTURE_2D, TMujer.Textura);
    DibujarModelo(Mujer);
    glBindTexture(GL_TEXTURE_2D, TTecho.Textura);
    DibujarModelo(Techo);
    glBindTexture(GL_TEXTURE_2D, TSuelo.Textura);
    DibujarModelo(Suelo);
    glBindTexture(GL_TEXTURE_2D, TParedes.Textura);
    DibujarModelo(Paredes);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -50.0f);
    DibujarModelo(Caballo);   // still under the walls texture
    glPopMatrix();
#else
    EjesCordenadas(10.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    DibujarModeloWire(Mujer);
    DibujarModeloWire(Techo);
    DibujarModeloWire(Suelo);
    DibujarModeloWire(Paredes);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -50.0f);
    DibujarModeloWire(Caballo);
    glPopMatrix();
#endif
    FPS();
    glutSwapBuffers();
}

// Viewport, projection identity and the aspect as a 32-bit float. The
// caller has already taken a height of 0 as 1.
static float PrepararProyeccion(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    return (float)width / (float)height;
}

void RedimensionarPerspectiva(int width, int height)
{
    if (height == 0) height = 1;
    float aspecto = PrepararProyeccion(width, height);
    gluPerspective(60.0, aspecto, 1.0, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void RedimensionarOrtho(int width, int height)
{
    if (height == 0) height = 1;
    float aspecto = PrepararProyeccion(width, height);
    if (width > height)
        glOrtho(-100.0 * aspecto, 100.0 * aspecto, -100.0, 100.0, 1.0, -1.0);
    else
        glOrtho(-100.0, 100.0, -100.0 / aspecto, 100.0 / aspecto, 1.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
