// importar_local.h - the importer's private records and stages.
//
// The pipeline, one file a stage: lectura (the import library's scene into
// triangles and materials), reparto (the room into ceiling, floor and walls),
// rejilla (rays and distances against the room), colocacion (axes, scale,
// start and the figures' places), textura_ranura and imagenes (one image a
// slot), escritura (the OBJ and TGA files), informe (importacion.json and the
// summary) and carpeta (the folder written whole or not at all).
//
// Coordinates: the source's, after its node transforms (`fuente`), are
// turned to +y up by the axis matrix, scaled and then turned about +y and
// moved so that the start is the origin. A Transformacion holds the whole of
// that: p lands at rot * (escala * p) + tras.
#ifndef TALO_IMPORTAR_LOCAL_H
#define TALO_IMPORTAR_LOCAL_H

#include <array>
#include <string>
#include <vector>

#include "malla_importada.h"

struct Transformacion {
    double escala = 1;
    double rot[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double tras[3] = {0, 0, 0};
};

// What was dropped on the way in, by reason.
struct Descartes {
    long degeneradas = 0;   // triangles of no area (repeated or aligned corners)
    long no_finitas = 0;    // triangles with a NaN or infinite coordinate
    long puntos = 0;        // point primitives (not faces)
    long lineas = 0;        // line primitives (not faces)
};

// Per-triangle marks kept beside EscenaFuente::caras.
enum MarcaTriangulo : unsigned char {
    kSinTextura = 1,   // the source gave no texture coordinate
    kSinNormal = 2,    // the normals were generated
};

// One file as read: triangles in the file's coordinates after node
// transforms, each with its material, its role if a name gave one (kTecho,
// kSuelo, kParedes; -1 otherwise) and its marks.
struct EscenaFuente {
    std::string ruta;
    std::vector<TrianguloImportado> caras;
    std::vector<signed char> rol;
    std::vector<unsigned char> marcas;
    std::vector<MaterialImportado> materiales;
    long caras_entrada = 0;
    Descartes descartes;
    // From the file: the rotation that turns its axes to +y up (identity when
    // the file says nothing, `ejes_conocidos` false), and metres per unit (0
    // when unknown).
    double ejes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    bool ejes_conocidos = false;
    double metros = 0;
    std::string formato;   // the file name's extension, lower case
    // The compressed embedded images, copied out of the import library's
    // scene (released as soon as it is read); MaterialImportado::incrustada
    // points into these.
    std::vector<std::vector<unsigned char>> incrustadas;
};

// lectura.cpp: reads any file the import library reads. False, with one
// line naming the file and the problem in `error`, when it cannot.
bool LeerEscena(const std::string &ruta, EscenaFuente *e, std::string *error);

// The user's choices.
struct Opciones {
    std::string sala, carpeta, mujer, caballo;
    double escala = 0;   // 0: chosen by the storey height or the unit
    int arriba = 0;      // 0: the file's; 1: y; 2: z
    bool con_inicio = false;
    double inicio[3] = {0, 0, 0};   // in the room file's coordinates
};

// One slot ready to be written: triangles in the walkthrough's coordinates.
struct RanuraLista {
    std::string origen;
    std::vector<TrianguloImportado> caras;
    long caras_entrada = 0;
    Descartes descartes;
    Transformacion t;
    ImagenRGBA imagen;   // empty for the horse
    InformeTextura textura;
    std::vector<std::string> aproximado;   // plain sentences for the report
    long normales_generadas = 0;           // triangles whose source had no normals
    long texturas_proyectadas = 0;         // triangles whose source had no texture coordinates
};

// reparto.cpp: the role of a triangle whose name gave none, from its normal
// (already +y up): floor within 45 degrees of up, ceiling within 45 of down.
Ranura RepartirPorNormal(const TrianguloImportado &t);
// The oriented face normal (winding, turned to agree with the corners'
// normals where they have any), not normalised.
void CalcularNormalCara(const TrianguloImportado &t, double n[3]);
// The role a name gives (floor/suelo, ceiling/techo, wall/pared, any case),
// or -1.
int BuscarRolEnNombre(const std::string &nombre);

// Applies t to a point, and its rotation to a direction (rotations keep a
// unit normal unit).
void AplicarPunto(const Transformacion &t, const Vector &p, double out[3]);
void AplicarNormal(const Transformacion &t, const Vector &n, double out[3]);

// rejilla.cpp: the room's triangles in double precision, +y up, sorted
// into columns over the horizontal plane.
struct TrianguloD {
    double v[3][3];
    int ranura;     // kTecho, kSuelo or kParedes
    float y0, y1;   // its height range, rounded outwards (set by ConstruirRejilla)
};
struct Rejilla {
    std::vector<TrianguloD> tri;
    double min[2] = {0, 0};   // x, z of the first column's corner
    double celda = 1;
    int nx = 1, nz = 1;
    // Column c lists, for each slot k, indices[k][inicio[k][c] .. inicio[k][c + 1]),
    // so that a ray for the walls alone never looks at a floor.
    std::vector<int> inicio[3];
    std::vector<int> indices[3];
};
const unsigned kTodas = (1u << kTecho) | (1u << kSuelo) | (1u << kParedes);
void ConstruirRejilla(Rejilla *r, std::vector<TrianguloD> tri);
int CalcularCeldaX(const Rejilla &r, double x);
int CalcularCeldaZ(const Rejilla &r, double z);
// The ray parameter of the nearest hit of o + s d, 0 < s < smax, with a
// triangle of the slots in `mascara` (bit per Ranura), or smax; its index
// in `tri` (-1 for none).
double LanzarRayo(const Rejilla &r, const double o[3], const double d[3], double smax, unsigned mascara,
                  int *tri);
// The distance from p to the nearest triangle of the slots in `mascara`,
// or `radio` when none is nearer.
double MedirDistancia(const Rejilla &r, const double p[3], double radio, unsigned mascara);

// The room as placed: its grid, in the scaled +y-up frame before the turn,
// and the turn and eye that take that frame to the walkthrough's
// (w = giro * (g - ojo)).
struct SalaColocada {
    Rejilla rejilla;
    double giro[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double ojo[3] = {0, 0, 0};
};

// colocacion.cpp: places the room (axes, scale, yaw, start) and fills the
// three room slots. False with `error` set when the scene cannot be placed
// (no faces, coordinates that overflow). `avisos` collects plain sentences
// on what was approximated.
bool ColocarSala(const EscenaFuente &e, const Opciones &o, RanuraLista ranuras[3], SalaColocada *sala,
                 std::vector<std::string> *avisos, std::string *error);
// Places a figure of the given height (0: as it is) standing on the room's
// floor in view of the start, `lado` units to the right (negative: left)
// of the line of sight; `desplazamiento_z` is added to z (the horse's
// drawing offset).
bool ColocarFigura(const EscenaFuente &e, double altura, double lado, double desplazamiento_z,
                   const SalaColocada &sala, RanuraLista *r, std::vector<std::string> *avisos,
                   std::string *error);

// The rotation that turns a file to +y up: --arriba's (1 y, 2 z), else the
// file's own, else a guess by format (with a sentence in `avisos`).
void ElegirEjes(const EscenaFuente &e, int arriba, double ejes[3][3], std::vector<std::string> *avisos);
// Carries one triangle through t into r: normals the source lacked become
// the face's, texture coordinates it lacked are projected. A triangle that
// rounding made degenerate is counted, not added. False when a coordinate
// overflows a float.
bool TransformarTriangulo(const TrianguloImportado &fuente, unsigned char marcas, const Transformacion &t,
                          RanuraLista *r);
// Points spread by area over the floor triangles of r, the same on every run.
std::vector<std::array<double, 3>> MuestrearSuelo(const Rejilla &r, int n);
// inicio.cpp: the eye of the start (in r's coordinates) and the turn about
// +y that makes its longest free view -z. `pedido`, when given, is the
// start point the user asked for.
void ElegirInicio(const Rejilla &r, const double *pedido, double ojo[3], double giro[3][3],
                  std::vector<std::string> *avisos);

// figuras_incluidas.cpp: the bundled woman and horse, and the woman's
// texture, each read as a scene of its own. They are read from the bundled
// scene's files when `carpeta` (the folder holding Modelos/ and Texturas/)
// holds them whole, and otherwise made again by the generator's own code,
// which takes a couple of seconds.
EscenaFuente MujerIncluida(const std::string &carpeta);
EscenaFuente CaballoIncluido(const std::string &carpeta);
ImagenRGBA TexturaMujerIncluida(const std::string &carpeta);

// Texture coordinates where the source gave none: a planar projection on
// the plane the face is most nearly parallel to, one repeat per
// kUnidadesRepeticion output units.
const double kUnidadesRepeticion = 100;
void ProyectarTextura(TrianguloImportado *t);

// escritura.cpp. forma: 0 v/vt, 1 v//vn, 2 v/vt/vn; `divisor` is the factor
// the walkthrough multiplies the slot's texture coordinates by. Identical
// corners are written once.
bool EscribirOBJImportado(const std::string &ruta, const std::vector<TrianguloImportado> &caras, int forma,
                          float divisor, const char *titulo);
// The float w nearest u / divisor such that float(w * divisor) == u, where
// one exists; u / divisor rounded otherwise.
float DividirExacto(float u, float divisor);
// Uncompressed TGA of 24 bits (B, G, R) or 32 (B, G, R, A), bottom row
// first (rows of `img` run from the top down).
bool EscribirTGAImportado(const std::string &ruta, const ImagenRGBA &img, int bits);

// informe.cpp
std::string FormatearInforme(const RanuraLista ranuras[kNumRanuras]);
void ImprimirResumen(const RanuraLista ranuras[kNumRanuras], const std::string &carpeta);

// carpeta.cpp: writes the whole scene into a new folder beside `carpeta`
// and renames it into place, replacing an existing scene only when every
// file is written. False with `error` set otherwise; nothing is left behind.
bool EscribirCarpeta(const std::string &carpeta, const RanuraLista ranuras[kNumRanuras],
                     const std::string &informe, std::string *error);

// Names of the slots, as the report keys and the files use them.
extern const char *const kNombreRanura[kNumRanuras];

#endif
