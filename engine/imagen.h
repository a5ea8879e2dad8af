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

// Loads a true-colour TGA file: image type 2 (uncompressed) or 10 (run-length
// encoded), 24 or 32 bits per pixel. The result holds Ancho x Alto x (Bpp / 8)
// bytes, each pixel R, G, B (then A for 32 bits): the file's B and R exchanged.
// The first row in memory is always the bottom row of the picture, read left
// to right, as OpenGL expects: a file with the usual bottom-left origin keeps
// its row and pixel order; the descriptor's top-origin bit (0x20) reverses the
// rows and its right-to-left bit (0x10) reverses the pixels of each row. The
// interleaving bits (0xC0) are not consulted. Bpp, Ancho and Alto are the
// header's values; Textura is 0 until the upload writes it.
//
// Header fields honoured besides those: the image ID (its length in byte 0)
// is skipped; a colour map that a true-colour file carries (map type 1) is
// skipped by its length and entry size; map types above 1 are rejected.
//
// Run-length data: a packet that runs past the last pixel is cut there.
//
// Everything else gives an empty image (Pixeles null, Bpp, Ancho, Alto and
// Textura 0): a missing or unreadable file, a path that is not a regular
// file (a directory, FIFO or device gives this at once, without blocking), a
// header shorter than 18 bytes, another image type (colour-mapped 1/9,
// greyscale 3/11, none 0, anything else) or depth (15, 16, ...), pixel data
// shorter than the header claims (checked against the file's size before
// anything is allocated, so a lying header never makes a large allocation),
// truncated run-length data, or a failed allocation. An accepted image of
// width or height 0 keeps its header fields with Pixeles null.
//
// The pixel buffer is allocated with malloc and released with free.
Imagen CargarImagenTGA(const char *ruta);

// Linear filtering and repeat wrapping for the texture bound to GL_TEXTURE_2D.
void ParametrosTextura();

#endif
