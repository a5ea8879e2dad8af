// informe.cpp - importacion.json, and the summary printed on the terminal.
//
// One object per slot. A source point p (in its file's coordinates, after
// the file's node transforms) is written at rotacion * (escala * p) +
// traslacion in the slot's OBJ file; for the horse that is Caballo.OBJ's
// own coordinates, which the walkthrough draws moved by
// desplazamiento_dibujo.
#include <cstdio>
#include <string>

#include "importar_local.h"

namespace {

std::string CitarCadena(const std::string &s)
{
    std::string r = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            r += '\\';
            r += (char)c;
        } else if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            r += b;
        } else {
            r += (char)c;
        }
    }
    return r + "\"";
}

std::string FormatearReal(double x)
{
    char b[40];
    std::snprintf(b, sizeof b, "%.17g", x == 0 ? 0.0 : x);
    return b;
}

std::string FormatearTerna(const double v[3])
{
    return "[" + FormatearReal(v[0]) + ", " + FormatearReal(v[1]) + ", " + FormatearReal(v[2]) + "]";
}

// The slot's atlas: its size and depth, the faces cut along repeat lines and
// the pieces they made, and each material's rectangle (pixels, y from the
// image's top row) with the scale its image was drawn at.
std::string FormatearAtlas(const InformeTextura &t)
{
    std::string j = "{\"ancho\": " + std::to_string(t.ancho) + ", \"alto\": " + std::to_string(t.alto) +
                    ", \"bits\": " + std::to_string(t.bits) +
                    ", \"caras_cortadas\": " + std::to_string(t.caras_cortadas) +
                    ", \"piezas\": " + std::to_string(t.piezas) + ", \"materiales\": [";
    for (size_t i = 0; i < t.rectangulos.size(); i++) {
        const RectanguloMaterial &m = t.rectangulos[i];
        j += std::string(i ? ", " : "") + "{\"material\": " + std::to_string(m.material) +
             ", \"nombre\": " + CitarCadena(m.nombre) + ", \"x\": " + std::to_string(m.x) +
             ", \"y\": " + std::to_string(m.y) + ", \"ancho\": " + std::to_string(m.ancho) +
             ", \"alto\": " + std::to_string(m.alto) + ", \"escala\": " + FormatearReal(m.escala) +
             ", \"solo_color\": " + (m.solo_color ? "true" : "false") + "}";
    }
    return j + "]}";
}

std::string FormatearRanura(const RanuraLista &r, int k)
{
    const std::string s = "    ";
    std::string j = "{\n";
    j += s + "\"origen\": " + CitarCadena(r.origen) + ",\n";
    j += s + "\"caras_entrada\": " + std::to_string(r.caras_entrada) + ",\n";
    j += s + "\"caras_salida\": " + std::to_string(r.caras.size()) + ",\n";
    j += s + "\"descartadas\": {\"degeneradas\": " + std::to_string(r.descartes.degeneradas) +
         ", \"no_finitas\": " + std::to_string(r.descartes.no_finitas) + "},\n";
    j += s + "\"omitidas\": {\"puntos\": " + std::to_string(r.descartes.puntos) +
         ", \"lineas\": " + std::to_string(r.descartes.lineas) + "},\n";
    j += s + "\"transformacion\": {\"escala\": " + FormatearReal(r.t.escala) + ", \"rotacion\": [" +
         FormatearTerna(r.t.rot[0]) + ", " + FormatearTerna(r.t.rot[1]) + ", " + FormatearTerna(r.t.rot[2]) +
         "], \"traslacion\": " + FormatearTerna(r.t.tras) + "},\n";
    if (k == kCaballo) {
        j += s + "\"desplazamiento_dibujo\": [0, 0, -50],\n";
        j += s +
             "\"nota\": \"traslacion maps onto the coordinates in Caballo.OBJ and includes the +50 along z "
             "that cancels the walkthrough's drawing offset desplazamiento_dibujo\",\n";
    }
    if (k == kCaballo) {
        j += s + "\"textura\": null,\n";
    } else {
        static const char *const fichero[kNumRanuras] = {"Techo", "Suelo", "Paredes", "Vampiro", ""};
        j += s + "\"textura\": " + CitarCadena(r.textura.imagen) + ",\n";
        j += s + "\"textura_escrita\": {\"fichero\": " +
             CitarCadena(std::string("Texturas/") + fichero[k] + ".tga") +
             ", \"ancho\": " + std::to_string(r.imagen.ancho) +
             ", \"alto\": " + std::to_string(r.imagen.alto) + "},\n";
        if (!r.textura.rectangulos.empty()) j += s + "\"atlas\": " + FormatearAtlas(r.textura) + ",\n";
    }
    j += s + "\"aproximado\": [";
    std::vector<std::string> todo = r.aproximado;
    if (r.normales_generadas > 0)
        todo.push_back("The source has no normals for " + std::to_string(r.normales_generadas) +
                       " triangles; smooth normals (60 degrees) were generated.");
    if (r.texturas_proyectadas > 0 && k != kCaballo)
        todo.push_back("The source has no texture coordinates for " + std::to_string(r.texturas_proyectadas) +
                       " triangles; they were projected, one repeat per " +
                       std::to_string((int)kUnidadesRepeticion) + " units.");
    todo.insert(todo.end(), r.textura.aproximado.begin(), r.textura.aproximado.end());
    for (size_t i = 0; i < todo.size(); i++)
        j += (i ? ",\n" + s + "  " : "\n" + s + "  ") + CitarCadena(todo[i]);
    j += todo.empty() ? "]\n" : "\n" + s + "]\n";
    return j + "  }";
}

}   // namespace

std::string FormatearInforme(const RanuraLista ranuras[kNumRanuras])
{
    std::string j = "{\n";
    for (int k = 0; k < kNumRanuras; k++)
        j += std::string("  \"") + kNombreRanura[k] + "\": " + FormatearRanura(ranuras[k], k) +
             (k + 1 < kNumRanuras ? ",\n" : "\n");
    return j + "}\n";
}

void ImprimirResumen(const RanuraLista ranuras[kNumRanuras], const std::string &carpeta)
{
    std::printf("Scene written to %s (scale %.6g)\n", carpeta.c_str(), ranuras[kSuelo].t.escala);
    for (int k = 0; k < kNumRanuras; k++) {
        const RanuraLista &r = ranuras[k];
        std::printf("  %-8s %8ld triangles in, %8zu out", kNombreRanura[k], r.caras_entrada, r.caras.size());
        if (r.descartes.degeneradas || r.descartes.no_finitas)
            std::printf(", dropped %ld degenerate, %ld non-finite", r.descartes.degeneradas,
                        r.descartes.no_finitas);
        if (k != kCaballo)
            std::printf("; texture %s (%d x %d)", r.textura.imagen.c_str(), r.imagen.ancho, r.imagen.alto);
        std::printf("\n    from %s\n", r.origen.c_str());
        const InformeTextura &t = r.textura;
        if (!t.rectangulos.empty())
            std::printf("    atlas %d x %d, %d bits, %zu material%s, %d face%s cut into %d pieces\n", t.ancho,
                        t.alto, t.bits, t.rectangulos.size(), t.rectangulos.size() == 1 ? "" : "s",
                        t.caras_cortadas, t.caras_cortadas == 1 ? "" : "s", t.piezas);
    }
    // The room's own sentences are the same in its three slots: once.
    for (int k = 0; k < kNumRanuras; k++) {
        if (k != kSuelo && k != kParedes)
            for (const std::string &a : ranuras[k].aproximado)
                std::printf("  note (%s): %s\n", k == kTecho ? "room" : kNombreRanura[k], a.c_str());
        for (const std::string &a : ranuras[k].textura.aproximado)
            std::printf("  note (%s): %s\n", kNombreRanura[k], a.c_str());
    }
}
