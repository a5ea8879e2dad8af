// globales.h - the walkthrough's state and its callbacks.
//
// Everything the program knows lives in these globals for the whole run and
// is touched only from the one GLUT thread, so nothing is locked. Input
// (entrada.cpp) writes the key flags and the pointer position, the tick
// (tiempo.cpp) reads the flags and moves the camera, the frame (escena.cpp)
// and the overlay (fps.cpp) read the camera, the models and the images.
#ifndef TALO_GLOBALES_H
#define TALO_GLOBALES_H

#include "camara.h"
#include "colision.h"
#include "imagen.h"
#include "modelo.h"
#include "vector.h"

// Constants: nothing writes them.
extern const Vector Caida;      // gravity, (0, -10, 0) per tick
extern const Vector Salto;      // jump lift, (0, 15, 0) per tick
extern const float LuzAmb[4];   // scene ambient and front material ambient
extern const float LuzDif[4];   // light 0 diffuse, front material diffuse
extern const float LuzEsp[4];   // light 0 specular, front material specular
extern const float LuzPos[4];   // light 0 direction (w = 0: directional)
extern const float Niebla[4];   // light 0 ambient: none

// The viewer and the scene.
extern Camara camara;
extern Modelo Techo, Suelo, Paredes, Mujer, Caballo;
// The collision indices of the three room models, built by IndexarSala.
extern IndiceColision IndiceTecho, IndiceSuelo, IndiceParedes;
extern Imagen TMujer, TParedes, TSuelo, TTecho;

// The two statistics lines of the overlay.
extern char TextoCaballo[128];
extern char TextoMujer[128];

// Key flags (1 while the key is held) and the two toggles CCC (collision)
// and VVV (gravity).
extern int WWW, SSS, AAA, DDD, QQQ, EEE, ZZZ, XXX, SPACE, CCC, VVV;

// Pointer position of the last motion event, and whether there has been one:
// the first event only records where the pointer is, since measuring it from
// (0, 0) would spin the view by several radians.
extern int PosX, PosY;
extern int RatonIniciado;

// Movement of the current tick.
extern Vector Mov;

// Callbacks and routines of the program.
void PulsarSI(unsigned char tecla, int x, int y);   // key down
void PulsarNO(unsigned char tecla, int x, int y);   // key up
void Raton(int x, int y);                           // passive pointer motion
void Tiempo(int valor);                             // simulation tick
// Builds the collision indices of Techo, Suelo and Paredes (releasing any
// built before): once at start-up, after the models are loaded and scaled,
// and again whenever one of them is replaced.
void IndexarSala();
void Dibujar();   // one frame
void RedimensionarPerspectiva(int width, int height);
void RedimensionarOrtho(int width, int height);   // offered, not registered
void Ajustes();                                   // render state, once
void FPS();                                       // frame rate and statistics overlay
void FormatearEstadisticas();                     // fills TextoCaballo and TextoMujer

// Elapsed milliseconds on a monotonic clock, truncated to 32 bits.
int RelojMilisegundos();

#endif
