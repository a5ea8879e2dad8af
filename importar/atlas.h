// atlas.h - one image holding one repeat of every material of a slot.
//
// The walkthrough binds one texture per slot, with linear filtering and
// repeat wrapping. The atlas gives each material a rectangle holding one
// repeat of its image (or a small solid tile of its colour), and a face,
// once cut so that each piece lies in one repeat cell (corte.h), is mapped
// into its material's rectangle.
//
// Each rectangle is surrounded by a border of kBordeAtlas texels copied from
// the rectangle's opposite side, as repeat wrapping would show them. A
// piece's texture coordinate at the edge of a repeat (0 or 1) lands exactly
// on the rectangle's edge, where linear filtering mixes the last texels of
// one repeat with the first of the next, as the source's own repeat
// wrapping does, and never a neighbouring material. An image kept at its
// own size is therefore sampled as the source samples it.
//
// Sizes: a rectangle keeps its image's size where everything fits in
// kLadoMaxAtlas x kLadoMaxAtlas. Where it does not, every rectangle's area
// is set to k times its need, capped by its image's own size, and k is
// lowered until the rectangles pack; the need of a material is the number of
// image texels its faces draw (the texture-space area they cover, in repeats,
// times the image's texel count). Images keep their proportions. The atlas
// is the smallest power-of-two rectangle the packing fits in.
#ifndef TALO_IMPORTAR_ATLAS_H
#define TALO_IMPORTAR_ATLAS_H

#include <vector>

#include "malla_importada.h"

const int kLadoMaxAtlas = 4096;   // the largest side OpenGL 1.1 is sure to take
const int kBordeAtlas = 2;        // wrap-around border round each rectangle
const int kLadoTesela = 4;        // a colour-only material's solid tile

// One material's rectangle: what fills it, set by the caller, and where it
// goes, set by PlanearAtlas.
struct RecuadroAtlas {
    const ImagenRGBA *imagen = nullptr;   // one repeat of the material; null: a solid tile
    float color[4] = {1, 1, 1, 1};        // the material's colour and opacity
    bool por_color = false;               // the image is multiplied by the colour
    bool alfa = false;                    // the opacity goes into the atlas's alpha
    double repeticiones = 0;              // texture-space area its faces cover

    // The rectangle, border excluded, in atlas pixels with y counted from
    // the top row, and its image pixels per source pixel along x.
    int x = 0, y = 0, ancho = 0, alto = 0;
    float escala = 1;
};

// Sizes and places every rectangle (see above) and gives the atlas's sides.
// A single material whose image is a power of two on both sides gets the
// whole atlas, no border (the image halved until it fits kLadoMaxAtlas):
// its faces need no cutting (EsUnico is then true). False when even rectangles of one pixel do not fit
// (several hundred thousand materials); nothing is placed then.
bool PlanearAtlas(std::vector<RecuadroAtlas> *recuadros, int *ancho, int *alto);
bool EsUnico(const std::vector<RecuadroAtlas> &recuadros, int ancho, int alto);

// An atlas of the given sides, opaque black, rows top down like every
// ImagenRGBA.
ImagenRGBA CrearAtlasVacio(int ancho, int alto);

// Draws one planned rectangle and its border into the atlas: its image
// scaled to the rectangle with stb_image_resize's default filter (Mitchell
// when shrinking) and wrap-around edges, multiplied by its colour where
// `por_color`; a tile filled with its colour. Alpha from the image and the
// opacity where `alfa`, else 255.
void DibujarRecuadro(const RecuadroAtlas &r, ImagenRGBA *atlas);

// The atlas texture coordinate of the point (s, t) of one repeat of a
// rectangle's image, s and t in [0, 1], t = 0 at the image's bottom row.
Vector MapearEnAtlas(const RecuadroAtlas &r, int ancho, int alto, double s, double t);

// The mean colour of an image (opacity included), each channel in [0, 1]:
// what a material shows that keeps only its colour.
void CalcularColorMedio(const ImagenRGBA &img, float color[4]);

#endif
