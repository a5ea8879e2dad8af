// fuzz_obj.cpp - the OBJ loader on arbitrary bytes, and what reads its models.
//
// Input: the first byte picks the face format (its low 7 bits % 6: formats 0
// to 4, and 5 for a format with no pattern); the rest is the file. When the
// first byte's top bit is set, the file starts with about a megabyte of
// spaces (1 MB - 300 + the second byte, which is not part of the file), so
// that the statements straddle the point where a loader reading in large
// blocks has to fetch the next one.
// Each input is
//   1. loaded with CargarModeloOBJ through its public path interface;
//   2. checked for a consistent record: no negative count, an array behind
//      every non-zero count, every element readable (AddressSanitizer stops
//      at the first byte past an array);
//   3. loaded again with the reference loader on fscanf and compared field by
//      field, bit for bit (DiferenciaModelos);
//   4. passed through XoqueEsferaModelo from a few centres, and compared bit
//      for bit with the face-by-face loop XoqueCaraACara, which skips the
//      faces with a corner outside the vertex array: the model routine must skip
//      exactly the faces with a corner outside and may not change anything
//      for the others; the model's collision index (XoqueEsferaIndice) must
//      give the same, bit for bit;
//   5. drawn by every drawing routine against stand-in GL calls that read
//      their arguments, and the number of triangles each routine sends is
//      compared with the faces whose corners lie in every array it reads;
//   6. released twice (the second release must find nothing to free).
// Any disagreement aborts, so libFuzzer keeps the input as a reproducer.
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archivo_memoria.h"
#include "colision.h"
#include "casos_colision.h"
#include "modelo.h"
#include "modelos_iguales.h"
#include "obj_scanf.h"

namespace {

void Fallo(const char *que)
{
    fprintf(stderr, "fuzz_obj: %s\n", que);
    abort();
}

// ---- stand-in GL calls: count primitives and corners, read every value

struct Cuenta {
    int begins, ends, vertices, normales, texturas;
    float suma;   // keeps the reads from being optimised away
};
Cuenta Gl;

void Leer(float x, float y, float z) { Gl.suma += x + y + z; }

}   // namespace

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { Leer(r, g, b); }
void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Leer(r, g, b + a); }
void GLAPIENTRY glBegin(GLenum) { Gl.begins++; }
void GLAPIENTRY glEnd() { Gl.ends++; }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Gl.vertices++;
    Leer(x, y, z);
}
void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    Gl.normales++;
    Leer(x, y, z);
}
void GLAPIENTRY glTexCoord3f(GLfloat x, GLfloat y, GLfloat z)
{
    Gl.texturas++;
    Leer(x, y, z);
}

namespace {

// ---- the record itself

void LeerArray(const Vector *a, int n)
{
    if (n < 0) Fallo("negative count");
    if (n > 0 && !a) Fallo("count without array");
    for (int i = 0; i < n; i++) Leer(a[i].x, a[i].y, a[i].z);
}

void ComprobarRegistro(const Modelo &m)
{
    LeerArray(m.Vertices, m.NumVertices);
    LeerArray(m.CTexturas, m.NumCTexturas);
    LeerArray(m.Normales, m.NumNormales);
    if (m.NumCaras < 0) Fallo("negative face count");
    if (m.NumCaras > 0 && !m.Caras) Fallo("face count without array");
    for (int i = 0; i < m.NumCaras; i++)
        for (int k = 0; k < 3; k++) Gl.suma += (float)(m.Caras[i].Vert[k] ^ m.Caras[i].Aux[k]);
}

// ---- collision

// Centres that meet the model: the origin, and two points by the first face
// whose corners all exist (above its first corner, on its first edge).
void ComprobarColision(const Modelo &m)
{
    Vector centros[3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    int ncentros = 1;
    for (int i = 0; i < m.NumCaras && ncentros == 1; i++) {
        const Cara &c = m.Caras[i];
        if (!CaraDentro(c, m.NumVertices)) continue;
        Vector a = m.Vertices[c.Vert[0]], b = m.Vertices[c.Vert[1]];
        centros[ncentros++] = SumaVectores(a, Vector{1.0f, 30.0f, -1.0f});
        centros[ncentros++] = VectorPorEscalar(SumaVectores(a, b), 0.5f);
    }
    const Vector mov = {7, -10, 3};
    IndiceColision indice = IndexarModelo(m);
    for (int i = 0; i < ncentros; i++) {
        Vector r = XoqueEsferaModelo(50.0f, centros[i], mov, m);
        Vector e = XoqueCaraACara(50.0f, centros[i], mov, m);
        Vector x = XoqueEsferaIndice(50.0f, centros[i], mov, indice);
        if (memcmp(&r, &e, sizeof r) != 0) Fallo("XoqueEsferaModelo differs from the face loop");
        if (memcmp(&x, &e, sizeof x) != 0) Fallo("XoqueEsferaIndice differs from the face loop");
    }
    LiberarIndice(&indice);
}

// ---- drawing

// Faces whose three corners lie in every array of `ns` (the arrays a drawing
// routine reads).
int CarasDibujables(const Modelo &m, const int *ns, int k)
{
    int total = 0;
    for (int i = 0; i < m.NumCaras; i++) {
        bool bien = true;
        for (int j = 0; j < k; j++) bien = bien && CaraDentro(m.Caras[i], ns[j]);
        total += bien;
    }
    return total;
}

void Esperar(void (*dibujar)(Modelo), const Modelo &m, int caras, bool normales, bool texturas)
{
    Gl = Cuenta{0, 0, 0, 0, 0, Gl.suma};
    dibujar(m);
    if (Gl.begins != caras || Gl.ends != caras || Gl.vertices != 3 * caras ||
        Gl.normales != (normales ? 3 * caras : 0) || Gl.texturas != (texturas ? 3 * caras : 0))
        Fallo("a drawing routine sent the wrong faces");
}

void ComprobarDibujo(const Modelo &m)
{
    const int v[] = {m.NumVertices};
    const int vnt[] = {m.NumVertices, m.NumNormales, m.NumCTexturas};
    const int vt[] = {m.NumVertices, m.NumCTexturas};
    const int vn[] = {m.NumVertices, m.NumNormales};
    const int solo = CarasDibujables(m, v, 1);
    const int todo = CarasDibujables(m, vnt, 3);
    const int sn = CarasDibujables(m, vt, 2);
    const int st = CarasDibujables(m, vn, 2);
    Esperar(DibujarModeloTODO, m, todo, true, true);
    Esperar(DibujarModeloSN, m, sn, false, true);
    Esperar(DibujarModeloST, m, st, true, false);
    Esperar(DibujarModeloSNT, m, solo, false, false);
    Esperar(DibujarModeloWire, m, solo, false, false);

    // DibujarModelo picks one variant from the counts alone.
    const bool hay = m.NumVertices != 0 && m.NumCaras != 0;
    const bool n = m.NumNormales != 0, t = m.NumCTexturas != 0;
    const int elegido = !hay ? 0 : (n && t) ? todo : (!n && !t) ? solo : t ? sn : st;
    Esperar(DibujarModelo, m, elegido, hay && n, hay && t);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *datos, size_t tam)
{
    if (tam < 1) return 0;
    const int formato = (datos[0] & 0x7f) % 6;
    const bool borde = (datos[0] & 0x80) && tam > 1;   // then the second byte sets the spaces
    const size_t blancos = borde ? (1u << 20) - 300 + datos[1] : 0;
    const size_t salto = borde ? 2 : 1;
    const char *ruta = RutaConBlancosYDatos(blancos, datos + salto, tam - salto);

    Modelo m = CargarModeloOBJ(ruta, formato);
    ComprobarRegistro(m);
    Modelo o = CargarModeloOBJScanf(ruta, formato);
    const std::string diferencia = DiferenciaModelos(m, o);
    if (!diferencia.empty()) {
        fprintf(stderr, "CargarModeloOBJ (a) against fscanf (b): %s\n", diferencia.c_str());
        Fallo("the loaders differ");
    }
    LiberarModelo(&o);
    ComprobarColision(m);
    ComprobarDibujo(m);

    LiberarModelo(&m);
    if (m.NumVertices || m.NumCaras || m.NumCTexturas || m.NumNormales || m.Vertices || m.Caras ||
        m.CTexturas || m.Normales)
        Fallo("a released record still holds something");
    LiberarModelo(&m);
    return 0;
}
