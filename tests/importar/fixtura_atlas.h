// fixtura_atlas.h - multi-material rooms the atlas tests write themselves,
// described once: the files (OBJ + MTL + PNG, or a GLB with its image
// inside) and the colour the source shows at any point of a face.
#ifndef TALO_PRUEBAS_FIXTURA_ATLAS_H
#define TALO_PRUEBAS_FIXTURA_ATLAS_H

#include <string>
#include <vector>

#include "malla_importada.h"

struct MaterialFixtura {
    std::string nombre;
    float color[4];      // Kd and d, or baseColorFactor
    ImagenRGBA imagen;   // no pixels: colour only
};

// A quad, corners in turn; texture coordinates in the OpenGL convention
// (t = 0 at the image's bottom row), whatever the file format stores.
struct CaraFixtura {
    Vector p[4];
    Vector t[4];
    Vector n;
    int material;
};

struct Fixtura {
    std::vector<MaterialFixtura> materiales;
    std::vector<CaraFixtura> caras;
};

// A room 10 x 3 x 8 (metres, +y up). The back wall is three materials
// side by side: bricks tiled 7 x 3 from (-3.5, -1.25), wood with a colour
// factor, plaster with a colour only. The left wall is glass, its image's
// alpha and an opacity of 0.6; the floor tiles one image 4 x 4; the ceiling,
// right and front walls have colours only.
// With `tonos`, each material is one hue of its own instead (images in
// shades of it, colours pure), for telling them apart on screen: floor
// yellow, bricks red, wood green, plaster cyan, glass blue, the right and
// front walls magenta, the ceiling grey.
Fixtura CrearSalaOBJ(bool tonos = false);
// The same room for glTF: one material with an image and a baseColorFactor,
// tiled 3 x 2 from (-1.5, -0.5) on the back wall, and one with a colour only.
Fixtura CrearSalaGLB();

// Write the fixture into `carpeta` (which exists): sala.obj, sala.mtl and one
// PNG per image; or sala.glb with its image inside. The path of the room
// file, or "" on failure.
std::string EscribirOBJ(const Fixtura &f, const std::string &carpeta);
std::string EscribirGLB(const Fixtura &f, const std::string &carpeta);

// The source's colour at the point of quad `cara` with texture coordinate
// (s, t): its image sampled with repeat wrapping and linear filtering, times
// its colour; or its colour. Levels 0..255, R, G, B.
void CalcularColorFuente(const Fixtura &f, int cara, double s, double t, double rgb[3]);

#endif
