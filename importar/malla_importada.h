// malla_importada.h - the records the importer's stages hand each other.
//
// The importer reads a scene with the import library, turns every mesh into
// triangles in the walkthrough's coordinates, sorts them into the five slots
// (ceiling, floor, walls, woman, horse), gives each textured slot one image
// and writes the slot's OBJ file and TGA image. These records carry the data
// from stage to stage; none of them knows the import library.
#ifndef TALO_IMPORTAR_MALLA_IMPORTADA_H
#define TALO_IMPORTAR_MALLA_IMPORTADA_H

#include <cstddef>
#include <string>
#include <vector>

#include "vector.h"

// The five slots, in the order the report and the summary list them.
enum Ranura { kTecho, kSuelo, kParedes, kMujer, kCaballo, kNumRanuras };

// One corner. `textura` holds the source's texture coordinate (s, t) in x and
// y, z = 0, counted in repeats of the material's image: 0..1 is one copy of
// the image, 2.5 is halfway through the third. Where the source has none a
// planar projection made one in the same units.
struct EsquinaImportada {
    Vector posicion;
    Vector normal;
    Vector textura;
};

// One triangle and the index of its material in the scene's material list.
struct TrianguloImportado {
    EsquinaImportada e[3];
    int material;
};

// A decoded image: 8-bit R, G, B, A per pixel, rows from the top down.
struct ImagenRGBA {
    int ancho = 0;
    int alto = 0;
    std::vector<unsigned char> rgba;
};

// One material as the source describes it. `color` is the base colour (glTF
// baseColorFactor) or diffuse colour (MTL Kd) with its opacity in [3].
// `imagen` names the base-colour or diffuse image: a file path already
// resolved against the scene's folder, or "*N" for the scene's N-th embedded
// image, or "" when there is none. `por_color` is true where the format
// multiplies the image by the colour (glTF, MTL Kd with map_Kd). `alfa` is
// true where the material is meant to be see-through or cut out (glTF
// alphaMode MASK or BLEND, MTL d < 1 or map_d).
struct MaterialImportado {
    std::string nombre;
    float color[4] = {1, 1, 1, 1};
    std::string imagen;
    bool por_color = false;
    bool alfa = false;
    // An embedded image still compressed (PNG, JPEG, ...), pointing into a
    // copy the importer keeps until every stage is done; null otherwise.
    const unsigned char *incrustada = nullptr;
    size_t bytes_incrustada = 0;
    // What the walkthrough cannot show, for the report: an emissive colour
    // or map, a normal or bump map, colours per vertex on a mesh using it.
    bool emisivo = false;
    bool relieve = false;
    bool colores_vertice = false;
};

// What the texturing of one slot made of it, for the report.
struct RectanguloMaterial {
    int material = -1;                       // index in the scene's material list
    std::string nombre;                      // the material's name
    int x = 0, y = 0, ancho = 0, alto = 0;   // in the slot's image, pixels
    float escala = 1;                        // image pixels kept per source pixel
    bool solo_color = false;                 // drawn with its colour only
};
struct InformeTextura {
    std::string imagen;   // the source image(s) used, or "colour"
    int ancho = 0, alto = 0, bits = 24;
    std::vector<RectanguloMaterial> rectangulos;
    int caras_cortadas = 0;                // faces cut along repeat lines
    int piezas = 0;                        // pieces those cuts made
    std::vector<std::string> aproximado;   // one plain sentence each
};

// The texturing stage (textura_ranura.cpp): makes the one image of a
// textured slot from the materials its triangles use, and rewrites every
// triangle's texture coordinate from source repeats into that image's
// coordinates, so that the walkthrough, reading the slot with repeat
// wrapping, shows each material as the source does. It may replace a
// triangle by exact pieces of it. Sides are powers of two, at most 4096.
// Problems that only lose looks (an unreadable image) go to `avisos`, one
// line each, naming the file; the stage never fails.
ImagenRGBA TexturizarRanura(std::vector<TrianguloImportado> *caras,
                            const std::vector<MaterialImportado> &materiales, InformeTextura *informe,
                            std::vector<std::string> *avisos);

// Decodes a material's image, from its file or its embedded bytes, into
// RGBA (imagenes.cpp). False, with a one-line reason in `error`, when it is
// missing, unreadable, corrupt or larger than the decoder's memory bound.
bool DecodificarImagen(const MaterialImportado &m, ImagenRGBA *img, std::string *error);

#endif
