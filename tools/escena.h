// escena.h - the scene generator: room, woman and horse meshes and their
// textures, written as OBJ and TGA files for the walkthrough.
//
// Everything here is deterministic: the same program writes the same bytes on
// every run (fixed noise seeds, no clock, no threads). All geometry is built
// in double precision and only rounded when it is printed.
//
// World frame (the walkthrough's): +y up, the viewer starts at the origin
// looking along -z with +x to the right, the eye 50 above the floor.
#ifndef TALO_ESCENA_H
#define TALO_ESCENA_H

#include <string>
#include <vector>

// ---------------------------------------------------------------- geometry
// escena_geometria.cpp

struct Punto3 {
    double x, y, z;
};

Punto3 P3(double x, double y, double z);
Punto3 Sumar(Punto3 a, Punto3 b);
Punto3 Restar(Punto3 a, Punto3 b);
Punto3 Escalar(Punto3 a, double s);
double Escalar3(Punto3 a, Punto3 b);          // dot product
Punto3 Cruz(Punto3 a, Punto3 b);              // cross product a x b
double Longitud(Punto3 a);
Punto3 Unitario(Punto3 a);                    // a / |a|, or (0, 0, 0) for a zero vector

double Saturar(double x);                     // clamped to [0, 1]
double Mezclar(double a, double b, double t); // a + (b - a) t
double SuaveEscalon(double e0, double e1, double x);

// Signed distances (negative inside). The ellipsoid and the round cone are
// close bounds rather than exact distances, which is all a polygoniser needs.
double DistEsfera(Punto3 p, Punto3 centro, double radio);
double DistElipsoide(Punto3 p, Punto3 centro, Punto3 radios);
// A capsule whose radius goes linearly from ra at a to rb at b.
double DistCono(Punto3 p, Punto3 a, Punto3 b, double ra, double rb);
// Smooth minimum: the union of two solids with a fillet about k wide.
double UnionSuave(double a, double b, double k);

// -------------------------------------------------------------------- mesh

struct Triangulo {
    int a, b, c;   // zero-based vertex indices, counter-clockwise seen from outside
};

// A mesh as the generator builds it. normales and ctexturas are either empty
// or hold one element per vertex, so one index addresses all three.
struct Malla {
    std::vector<Punto3>    vertices;
    std::vector<Punto3>    normales;
    std::vector<Punto3>    ctexturas;   // s, t in x, y; z is 0
    std::vector<Triangulo> caras;
};

// ----------------------------------------------------------- polygonising
// escena_superficie.cpp

// A scalar field: negative inside the solid, positive outside, roughly a
// distance near the surface.
typedef double (*Campo)(Punto3 p);

// Polygonises the zero level of the field inside the box [minimo, maximo]
// with cubes of edge `paso` (surface nets: one vertex per cube that the
// surface crosses, pulled onto the surface, one quad per crossed cube edge).
// The field must be positive on the box's boundary, which makes the mesh
// closed. Vertex normals are the normalised field gradient, pointing
// outward; faces wind counter-clockwise seen from outside. No texture
// coordinates.
Malla PoligonizarCampo(Campo campo, Punto3 minimo, Punto3 maximo, double paso);

// Normalised central-difference gradient of the field at p.
Punto3 GradienteCampo(Campo campo, Punto3 p, double h);

// Moves p onto the field's zero level with a few Newton steps along the
// gradient, none longer than `pasoMax`.
Punto3 ProyectarASuperficie(Campo campo, Punto3 p, double pasoMax);

// escena_simplificar.cpp
// Collapses edges of a closed mesh, least visible first, until it has at most
// `carasObjetivo` faces, keeping it closed and its winding; vertex normals
// and texture coordinates are dropped (they are recomputed from the field).
void SimplificarMalla(Malla *m, int carasObjetivo);

// A figure from its field: polygonised on a grid of step `paso`, simplified
// to `carasObjetivo` faces, each vertex put back onto the surface and given
// the field's gradient as its normal.
Malla MallaDeCampo(Campo campo, Punto3 minimo, Punto3 maximo, double paso, int carasObjetivo);

// Moves face i to the end of the face list with its corners rotated so that
// corner `esquina` (0, 1 or 2) comes last; the winding is kept. The drawing
// leaves the last corner's normal and texture coordinate current, and the
// scene uses that on purpose (see escena_sala.cpp and escena_mujer.cpp).
void CerrarConEsquina(Malla *m, int cara, int esquina);

// ----------------------------------------------------------------- figures
// escena_mujer.cpp, escena_caballo.cpp

// The woman, standing on the floor (y = -50) and facing +z, in world
// coordinates (she is drawn where she stands), with normals and texture
// coordinates into the Vampiro texture.
Malla GenerarMujer();
// The horse, side-on and facing -x, with normals only. Drawn moved by
// (0, 0, -50), so its file z is its world z + 50.
Malla GenerarCaballo();

// Where the figures stand in the world (feet on the floor).
extern const Punto3 kPosicionMujer;
extern const Punto3 kPosicionCaballo;   // world position, after the -50 shift

// ----------------------------------------------------------------- the room
// escena_sala.cpp

// Floor, ceiling and walls with one texture coordinate per vertex in [0, 1]
// and no normals. Walls face into the hall.
Malla GenerarSuelo();
Malla GenerarTecho();
Malla GenerarParedes();

const double kAlturaSuelo = -50.0;
const double kAlturaTecho = 350.0;

// ----------------------------------------------------------------- textures
// escena_ruido.cpp, escena_texturas.cpp

// An RGB picture with components in [0, 1]; row 0 is the bottom row.
struct Lienzo {
    int ancho, alto;
    std::vector<float> rgb;   // ancho * alto * 3
};

struct Color {
    double r, g, b;
};

Lienzo CrearLienzo(int ancho, int alto);
void   PintarPixel(Lienzo *l, int x, int y, Color c);
Color  LeerPixel(const Lienzo *l, int x, int y);   // wraps around both edges
Color  MezclarColor(Color a, Color b, double t);
Color  EscalarColor(Color a, double s);

// Value noise in [0, 1] over a lattice of unit cells that repeats every
// `px` cells in x and `py` cells in y, so a texture built from it tiles.
// Different seeds give unrelated noise.
double RuidoPeriodico(double x, double y, int px, int py, unsigned semilla);
// Sum of octaves of RuidoPeriodico, each twice the frequency and half the
// weight of the one before, normalised to [0, 1]; still periodic with the
// first octave's periods.
double RuidoFractal(double x, double y, int px, int py, int octavas, unsigned semilla);
// Fractal noise sampled over a whole square texture: (u, v) in [0, 1) maps
// to `celdasX` by `celdasY` lattice cells, so it tiles with the texture.
double RuidoTextura(double u, double v, int celdasX, int celdasY, int octavas, unsigned semilla);
// A hash of integers to [0, 1), for per-board and per-stone variation.
double Azar(int a, int b, unsigned semilla);

const int kLadoTextura = 512;

Lienzo TexturaSuelo();     // oak planks, tiles both ways
Lienzo TexturaParedes();   // stone blocks, tiles across; one repeat is the wall's height
Lienzo TexturaTecho();     // plaster between dark beams, tiles both ways
Lienzo TexturaVampiro();   // the woman's atlas (see escena_mujer.cpp for the bands)

// The walls texture holds one chestnut stone; its centre, in texture
// coordinates. The walls' last corner samples it, which colours the horse.
extern const double kPiedraCastanaS;
extern const double kPiedraCastanaT;

// Bands of the woman's texture atlas, in t.
const double kBandaFaldaFin   = 0.42;   // [0, 0.42)   red skirt
const double kBandaCorpinoFin = 0.60;   // [0.42, 0.60) black bodice and sleeves
const double kBandaPeloFin    = 0.72;   // [0.60, 0.72) hair, then skin up to 1
// Heights above the floor mapped onto the head's bands.
const double kCabezaDesde = 44.0;
const double kCabezaHasta = 57.0;

// ------------------------------------------------------------------- files
// escena_archivos.cpp

// OBJ corner forms: 0 "v/vt", 1 "v//vn", 2 "v/vt/vn"; every corner carries
// the same number in each position. Returns false when the file cannot be
// written.
bool EscribirOBJ(const std::string &ruta, const Malla *m, int forma, const char *titulo);
// Uncompressed 24-bit true-colour TGA, bottom-left origin, pixels B, G, R.
bool EscribirTGA(const std::string &ruta, const Lienzo *l);

#endif
