// textura_ranura.cpp - the one image of a textured slot: an atlas of every
// material its faces use (atlas.h), with the faces cut so that each piece
// lies in one repeat of its material's image (corte.h) and mapped into that
// material's rectangle.
//
// A material is drawn from its image when the image decodes and none of its
// faces needs more than kMaxPiezasCara pieces; otherwise it keeps only its
// colour: the image's mean colour (times the material's colour where the
// format multiplies them) when there is an image, the material's colour
// when there is none or it cannot be read. The pieces cutting adds to a
// slot are bounded too (kMaxPiezasAnadidas): past that, the materials that
// add the most keep only their colour until the rest fits.
//
// A slot of one material whose image has power-of-two sides needs no atlas:
// the image (halved until it fits) is the texture, the faces keep their
// coordinates and the walkthrough's repeat wrapping tiles it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "atlas.h"
#include "corte.h"
#include "malla_importada.h"

namespace {

const long long kMaxPiezasAnadidas = 2000000;
// Decoded images kept between planning and drawing, in bytes; past this,
// an image keeps only its sides and is decoded again when it is drawn, so
// that a slot of a hundred large images does not hold them all at once.
const size_t kBytesGuardados = (size_t)256 << 20;

// Faces whose material index is not in the scene's list are drawn grey.
const MaterialImportado &ObtenerMaterialGris()
{
    static MaterialImportado m = [] {
        MaterialImportado g;
        g.nombre = "(no material)";
        g.color[0] = g.color[1] = g.color[2] = 0.7f;
        return g;
    }();
    return m;
}

// One material as this slot uses it.
struct MaterialRanura {
    int indice = -1;   // in the scene's list; -1: no material
    const MaterialImportado *m = nullptr;
    std::vector<int> otros;          // more of the list that look the same
    ImagenRGBA imagen;               // its pixels may be dropped (kBytesGuardados)
    bool con_imagen = false;         // decoded, and drawn from it
    float medio[4] = {1, 1, 1, 1};   // the image's mean colour
    double repeticiones = 0;         // texture-space area of its faces
    long long anadidas = 0;          // pieces cutting adds (pieces - faces)
    long long cortadas = 0;          // faces cut
    bool demasiadas = false;         // a face needs more than kMaxPiezasCara
};

double CalcularAreaTextura(const TrianguloImportado &t)
{
    const Vector &a = t.e[0].textura, &b = t.e[1].textura, &c = t.e[2].textura;
    return 0.5 *
           std::fabs(((double)b.x - a.x) * ((double)c.y - a.y) - ((double)b.y - a.y) * ((double)c.x - a.x));
}

MaterialRanura CrearSinMaterial()
{
    MaterialRanura m;
    m.m = &ObtenerMaterialGris();
    return m;
}

std::string CitarNombre(const MaterialRanura &m)
{
    const size_t n = m.otros.size();
    return "\"" + m.m->nombre + "\"" + (n ? " (and " + std::to_string(n) + " more like it)" : "");
}

// Materials that look the same (the same image, colour, flags) share one
// rectangle: exporters often give each object its own copy of a material.
bool MirarIgual(const MaterialImportado &a, const MaterialImportado &b)
{
    return a.imagen == b.imagen && a.incrustada == b.incrustada &&
           std::equal(a.color, a.color + 4, b.color) && a.por_color == b.por_color && a.alfa == b.alfa &&
           a.emisivo == b.emisivo && a.relieve == b.relieve && a.colores_vertice == b.colores_vertice;
}

// The slot's materials, in the order their faces first use them, those
// that look the same as one; `cual` gives each face's entry.
std::vector<MaterialRanura> ReunirMateriales(const std::vector<TrianguloImportado> &caras,
                                             const std::vector<MaterialImportado> &materiales,
                                             std::vector<int> *cual)
{
    std::vector<MaterialRanura> r;
    std::vector<int> entrada(materiales.size() + 1, -1);   // last: no material
    cual->resize(caras.size());
    for (size_t i = 0; i < caras.size(); ++i) {
        const int m = caras[i].material;
        const size_t k = (m >= 0 && m < (int)materiales.size()) ? (size_t)m : materiales.size();
        if (entrada[k] < 0 && k < materiales.size())
            for (size_t j = 0; j < r.size() && entrada[k] < 0; ++j)
                if (r[j].indice >= 0 && MirarIgual(*r[j].m, materiales[k])) {
                    entrada[k] = (int)j;
                    r[j].otros.push_back((int)k);
                }
        if (entrada[k] < 0) {
            entrada[k] = (int)r.size();
            MaterialRanura x = CrearSinMaterial();
            if (k < materiales.size()) x.indice = (int)k, x.m = &materiales[k];
            r.push_back(x);
        }
        (*cual)[i] = entrada[k];
        r[entrada[k]].repeticiones += CalcularAreaTextura(caras[i]);
    }
    return r;
}

void Decodificar(std::vector<MaterialRanura> *ms, std::vector<std::string> *avisos)
{
    size_t guardados = 0;
    for (MaterialRanura &m : *ms) {
        if (m.m->imagen.empty()) continue;
        std::string error;
        m.con_imagen = DecodificarImagen(*m.m, &m.imagen, &error) && m.imagen.ancho > 0 && m.imagen.alto > 0;
        if (!m.con_imagen) {
            avisos->push_back(error + "; the material's colour is used instead");
            continue;
        }
        CalcularColorMedio(m.imagen, m.medio);
        if (guardados + m.imagen.rgba.size() > kBytesGuardados)
            std::vector<unsigned char>().swap(m.imagen.rgba);
        else
            guardados += m.imagen.rgba.size();
    }
}

// Counts what cutting will make, per material. A material loses its image
// when one of its faces needs more than kMaxPiezasCara pieces, or when the
// pieces cutting adds to the slot pass kMaxPiezasAnadidas: then the
// material adding the most so far loses it, until the rest fits. A
// material's pieces are at least the texture-space area its faces cover
// (a piece lies in one cell of area 1), so one whose area alone passes the
// bound is never cut. The work is bounded by the materials times the bound.
void Contar(const std::vector<TrianguloImportado> &caras, const std::vector<int> &cual,
            std::vector<MaterialRanura> *ms)
{
    std::vector<long long> num_caras(ms->size(), 0);
    for (int c : cual) num_caras[c]++;
    for (size_t k = 0; k < ms->size(); ++k)
        if ((*ms)[k].con_imagen && (*ms)[k].repeticiones - num_caras[k] > kMaxPiezasAnadidas)
            (*ms)[k].demasiadas = true;
    long long total = 0;
    std::vector<PiezaCara> piezas;
    for (size_t i = 0; i < caras.size(); ++i) {
        MaterialRanura &m = (*ms)[cual[i]];
        if (!m.con_imagen || m.demasiadas) continue;
        piezas.clear();
        const int n = CortarCara(caras[i], &piezas);
        if (n < 0) {
            m.demasiadas = true;
            total -= m.anadidas;
        } else if (n > 1) {
            m.anadidas += n - 1, m.cortadas += 1;
            total += n - 1;
        }
        while (total > kMaxPiezasAnadidas) {
            MaterialRanura *peor = nullptr;
            for (MaterialRanura &x : *ms)
                if (x.con_imagen && !x.demasiadas && (!peor || x.anadidas > peor->anadidas)) peor = &x;
            peor->demasiadas = true;
            total -= peor->anadidas;
        }
    }
}

// What a material with an image shows when it keeps only its colour: the
// image's mean, as the source shows it (times the colour where the format
// multiplies them; the opacity always).
void CalcularSoloColor(const MaterialRanura &m, float color[4])
{
    for (int c = 0; c < 4; ++c) color[c] = (m.m->por_color || c == 3 ? m.m->color[c] : 1) * m.medio[c];
}

RecuadroAtlas PrepararRecuadro(const MaterialRanura &m)
{
    RecuadroAtlas r;
    std::copy(m.m->color, m.m->color + 4, r.color);
    r.alfa = m.m->alfa;
    r.repeticiones = m.repeticiones;
    if (m.con_imagen && !m.demasiadas) {
        r.imagen = &m.imagen;
        r.por_color = m.m->por_color;
    } else if (m.con_imagen) {
        CalcularSoloColor(m, r.color);
    }
    return r;
}

// Rewrites the faces: pieces mapped into their material's rectangle, or
// every corner at the centre of a colour tile.
void Mapear(std::vector<TrianguloImportado> *caras, const std::vector<int> &cual,
            const std::vector<RecuadroAtlas> &rs, int ancho, int alto)
{
    std::vector<TrianguloImportado> salida;
    salida.reserve(caras->size());
    std::vector<PiezaCara> piezas;
    for (size_t i = 0; i < caras->size(); ++i) {
        const RecuadroAtlas &r = rs[cual[i]];
        TrianguloImportado t = (*caras)[i];
        if (!r.imagen) {
            for (EsquinaImportada &e : t.e) e.textura = MapearEnAtlas(r, ancho, alto, 0.5, 0.5);
            salida.push_back(t);
            continue;
        }
        piezas.clear();
        CortarCara(t, &piezas);   // counted before: it does not fail now
        for (PiezaCara &p : piezas) {
            for (EsquinaImportada &e : p.t.e)
                e.textura = MapearEnAtlas(r, ancho, alto, (double)e.textura.x - p.celda_s,
                                          (double)e.textura.y - p.celda_t);
            salida.push_back(p.t);
        }
    }
    caras->swap(salida);
}

// Draws every rectangle, decoding again the images whose pixels were
// dropped, one at a time.
ImagenRGBA Dibujar(const std::vector<MaterialRanura> &ms, const std::vector<RecuadroAtlas> &rs, int ancho,
                   int alto)
{
    ImagenRGBA atlas = CrearAtlasVacio(ancho, alto);
    for (size_t i = 0; i < rs.size(); ++i) {
        RecuadroAtlas r = rs[i];
        ImagenRGBA otra;
        std::string error;
        if (r.imagen && r.imagen->rgba.empty()) {
            if (DecodificarImagen(*ms[i].m, &otra, &error) && otra.ancho == r.imagen->ancho &&
                otra.alto == r.imagen->alto) {
                r.imagen = &otra;
            } else {   // changed on disk since
                CalcularSoloColor(ms[i], r.color);
                r.imagen = nullptr;
            }
        }
        DibujarRecuadro(r, &atlas);
    }
    return atlas;
}

std::string FormatearDecimal(double x)
{
    char b[32];
    std::snprintf(b, sizeof b, "%.3g", x);
    return b;
}

void Informar(const std::vector<MaterialRanura> &ms, const std::vector<RecuadroAtlas> &rs,
              const std::vector<MaterialImportado> &materiales, int ancho, int alto, bool unico,
              InformeTextura *inf)
{
    inf->ancho = ancho;
    inf->alto = alto;
    inf->bits = 24;
    std::string nombres;
    for (size_t i = 0; i < ms.size(); ++i) {
        const MaterialRanura &m = ms[i];
        const RecuadroAtlas &r = rs[i];
        RectanguloMaterial x;
        x.material = m.indice;
        x.nombre = m.m->nombre;
        x.x = r.x, x.y = r.y, x.ancho = r.ancho, x.alto = r.alto;
        x.escala = r.escala;
        x.solo_color = !r.imagen;
        inf->rectangulos.push_back(x);
        for (int k : m.otros) {
            x.material = k;
            x.nombre = materiales[k].nombre;
            inf->rectangulos.push_back(x);
        }
        inf->caras_cortadas += (int)(r.imagen ? m.cortadas : 0);
        inf->piezas += (int)(r.imagen ? m.cortadas + m.anadidas : 0);
        nombres += (i ? ", " : "") + (r.imagen ? m.m->imagen : std::string("colour"));
        if (m.demasiadas)
            inf->aproximado.push_back("Material " + CitarNombre(m) +
                                      " keeps only its colour (its image's mean): "
                                      "its faces repeat the image more often than cutting allows.");
        if (r.imagen && r.escala < 1)
            inf->aproximado.push_back("The image of material " + CitarNombre(m) + " was scaled by " +
                                      FormatearDecimal(r.escala) + " to fit the atlas.");
        if (m.m->colores_vertice)
            inf->aproximado.push_back("Material " + CitarNombre(m) +
                                      " has colours per vertex; the walkthrough draws "
                                      "one grey for the whole model, so they are left out.");
        if (m.m->emisivo)
            inf->aproximado.push_back("Material " + CitarNombre(m) +
                                      " glows (an emissive colour or map); the walkthrough "
                                      "lights every model by its one light only, so the glow is left out.");
        if (m.m->relieve)
            inf->aproximado.push_back("Material " + CitarNombre(m) +
                                      " has a normal or bump map; the walkthrough lights "
                                      "with the faces' own normals, so it is left out.");
        if (m.m->alfa) {
            inf->bits = 32;
            inf->aproximado.push_back(
                "Material " + CitarNombre(m) +
                " is see-through; its alpha is in the image, but "
                "the walkthrough draws every model opaque (its textures keep colour only, with "
                "no blending or alpha test), so see-through parts show the colour under them.");
        }
    }
    if (unico || ms.size() == 1)
        inf->imagen = nombres;
    else
        inf->imagen = "atlas of " + std::to_string(ms.size()) + " materials (" + nombres + ")";
}

}   // namespace

ImagenRGBA TexturizarRanura(std::vector<TrianguloImportado> *caras,
                            const std::vector<MaterialImportado> &materiales, InformeTextura *informe,
                            std::vector<std::string> *avisos)
{
    std::vector<int> cual;
    std::vector<MaterialRanura> ms = ReunirMateriales(*caras, materiales, &cual);
    if (ms.empty()) ms.push_back(CrearSinMaterial());
    Decodificar(&ms, avisos);
    std::vector<RecuadroAtlas> rs;
    for (const MaterialRanura &m : ms) rs.push_back(PrepararRecuadro(m));
    int ancho = 0, alto = 0;
    const bool unico = PlanearAtlas(&rs, &ancho, &alto) && EsUnico(rs, ancho, alto);
    if (!unico) {
        Contar(*caras, cual, &ms);
        rs.clear();
        for (const MaterialRanura &m : ms) rs.push_back(PrepararRecuadro(m));
        if (!PlanearAtlas(&rs, &ancho, &alto)) {
            // Only for hundreds of thousands of materials: one grey tile.
            for (int &c : cual) c = 0;
            ms.assign(1, CrearSinMaterial());
            rs.assign(1, PrepararRecuadro(ms[0]));
            PlanearAtlas(&rs, &ancho, &alto);
            informe->aproximado.push_back("The slot has too many materials for one atlas; it is drawn grey.");
        }
        Mapear(caras, cual, rs, ancho, alto);
    }
    Informar(ms, rs, materiales, ancho, alto, unico, informe);
    return Dibujar(ms, rs, ancho, alto);
}
