// fixturas.h - small scenes written by the tests in the formats the importer
// reads, each from one list of polygons in metres, +y up.
#ifndef TALO_PRUEBAS_FIXTURAS_H
#define TALO_PRUEBAS_FIXTURAS_H

#include <string>
#include <vector>

struct EsquinaFix {
    double p[3];
    double uv[2];
    double n[3];
};
struct PoligonoFix {
    std::vector<EsquinaFix> e;
    int material;   // 0 floor (textured), 1 walls, 2 ceiling
};

// Two rooms, 6 x 5 and 6 x 5 metres and 3 high, joined by a doorway 1 wide
// and 2.2 high, faces looking inward; the second room's floor is a concave
// L-shaped polygon and a rectangle in its notch. Floor area 60 square metres.
std::vector<PoligonoFix> DosSalas();
// A box room w x h x d with a pillar, faces looking inward.
std::vector<PoligonoFix> Caja(double w, double h, double d, bool techo);
// A solid block standing on the floor (a table, a bed): its top, facing up,
// and its four sides, x0..x1 by z0..z1, h high.
std::vector<PoligonoFix> Bloque(double x0, double x1, double z0, double z1, double h);
// The same polygons fanned into triangles (formats that hold only those).
std::vector<PoligonoFix> Triangulos(const std::vector<PoligonoFix> &p);

// A PNG of w x h: the top half red, the bottom half blue (rows from the top).
std::string PNGDosColores(int w, int h);

// Each writes `nombre` (and its companions) into `dir` and returns its path.
// OBJ: quads and larger polygons as they are, separate v, vt and vn numbers,
// the ceilings with negative (relative) numbers, materials in an MTL file
// whose floor material names `imagen` (omitted when empty).
std::string EscribirOBJFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p, const std::string &imagen);
// glTF 2.0 (.gltf with .bin and an external PNG, or .glb with the PNG
// inside), the mesh under a parent node and a child node with translation,
// rotation and scale.
std::string EscribirGLTFFix(const std::string &dir, const std::string &nombre,
                            const std::vector<PoligonoFix> &p, bool binario);
// Z-up formats: Collada (<up_axis>Z_UP</up_axis>), and PLY and STL in ASCII
// without texture coordinates.
std::string EscribirDAEFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p);
std::string EscribirPLYFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p);
std::string EscribirSTLFix(const std::string &dir, const std::string &nombre,
                           const std::vector<PoligonoFix> &p);

// The glTF fixtures' node transform: a point p of the mesh lands at
// M p in the file's coordinates after node transforms (rows).
extern const double kNodoGLTF[3][4];

#endif
