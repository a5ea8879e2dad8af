// imagen_gl.cpp - sampling parameters of the bound 2D texture.
//
// Linear filtering without mipmaps, so a texture with only level 0 is
// complete; repeat wrapping, so texture coordinates scaled past 1 tile.
#include <GL/gl.h>

#include "imagen.h"

void ParametrosTextura()
{
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, (float)GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, (float)GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, (float)GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, (float)GL_REPEAT);
}
