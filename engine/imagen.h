// imagen.h - TGA image loader and texture sampling parameters.
#ifndef TALO_IMAGEN_H
#define TALO_IMAGEN_H

struct Imagen {
    unsigned char *Pixeles;  // Ancho x Alto x (Bpp / 8) bytes, R G B (A) per pixel
    int            Bpp;      // bits per pixel
    int            Ancho;
    int            Alto;
    unsigned int   Textura;  // OpenGL texture name, written by the upload
};

// Loads a TGA file (see imagen.cpp for the accepted subset and the result on
// bad input). The pixel buffer is allocated with malloc and released with free.
Imagen CargarImagenTGA(const char *ruta);

// Linear filtering and repeat wrapping for the texture bound to GL_TEXTURE_2D.
void ParametrosTextura();

#endif
