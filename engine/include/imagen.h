// imagen.h - TGA image loader and texture sampling parameters.
#ifndef TALO_IMAGEN_H
#define TALO_IMAGEN_H

struct Imagen {
    unsigned char *Pixeles;   // Ancho x Alto x (Bpp / 8) bytes, R G B (A) per pixel
    int Bpp;                  // bits per pixel
    int Ancho;
    int Alto;
    unsigned int Textura;   // OpenGL texture name, written by the upload
};

// Loads a TGA file: image types 1 (colour-mapped), 2 (true colour) and 3
// (greyscale), and their run-length-encoded forms 9, 10 and 11:
//   - true colour of 15, 16, 24 or 32 bits per pixel;
//   - greyscale of 8 bits, or 16 bits (grey, then alpha);
//   - colour-mapped with 8- or 16-bit indices into a map of 15-, 16-, 24- or
//     32-bit entries; index i stands for map entry i minus the map's
//     first-entry index (header bytes 3-4).
// The result is in one of two layouts. 32 bits, bytes R, G, B, A, for the
// sources that carry alpha: 32-bit true colour, 32-bit map entries, 16-bit
// grey. 24 bits, R, G, B, for all others. A grey value g becomes g, g, g; a
// 5-bit channel of a 15/16-bit pixel or entry widens to 8 bits as
// (v << 3) | (v >> 2), and its top (attribute) bit is not read. Bpp is 24 or
// 32 accordingly; Ancho and Alto are the header's; Textura is 0 until the
// upload writes it.
//
// The first row in memory is always the bottom row of the picture, read left
// to right, as OpenGL expects: the descriptor's top-origin bit (0x20) and
// right-to-left bit (0x10) are honoured; the interleaving bits (0xC0) and
// the alpha bits are not consulted. The image ID (its length in byte 0) is
// skipped; a colour map in a file that is not colour-mapped (map type 1) is
// skipped by its length and entry size; map types above 1 are rejected.
// Uncompressed 24/32-bit files with the usual bottom-left origin are read
// with one read into the result and converted in place.
//
// Run-length data: packets may cross row ends; a packet that runs past the
// last pixel is cut there.
//
// Everything else gives an empty image (Pixeles null, Bpp, Ancho, Alto and
// Textura 0): a missing or unreadable file, a path that is not a regular
// file (a directory, FIFO or device gives this at once, without blocking), a
// header shorter than 18 bytes, another image type, depth or map entry size,
// a colour-mapped type without a map, an image whose result would take more
// than 1 GiB, a colour map or pixel data shorter than the header claims,
// truncated run-length data, a colour index outside the map, or a failed
// allocation. The result is allocated only once the file is known to hold
// all of its pixel data (its size, for raw data; every packet and index
// checked, for the rest), so a damaged file never costs much more memory
// than its own size. An accepted image of width or height 0 keeps its
// header fields (and Bpp) with Pixeles null.
//
// The pixel buffer is allocated with malloc and released with free.
Imagen CargarImagenTGA(const char *ruta);

// Linear filtering and repeat wrapping for the texture bound to GL_TEXTURE_2D.
void ParametrosTextura();

#endif
