// lectura.cpp - a scene file, through the import library, into triangles
// and materials.
//
// The library triangulates every polygon (concave ones too) and generates
// smooth normals where a mesh has none; nothing else of its post-processing
// runs, since its other steps drop or merge faces without saying how many.
// Node transforms are applied here, in double precision, normals through the
// inverse transpose, and each triangle is counted in and checked: a
// non-finite coordinate or a zero area drops it, and is counted.
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

#include "importar_local.h"

namespace {

namespace fs = std::filesystem;

struct Matriz4 {
    double m[4][4];
};

Matriz4 ConvertirMatriz(const aiMatrix4x4 &a)
{
    const ai_real *p = a[0];
    Matriz4 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) r.m[i][j] = p[i * 4 + j];
    return r;
}

Matriz4 MultiplicarMatrices(const Matriz4 &a, const Matriz4 &b)
{
    Matriz4 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) {
            double s = 0;
            for (int k = 0; k < 4; k++) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

// The transpose of the inverse of the upper 3x3, up to a positive factor:
// the cofactor matrix, its sign turned for mirroring transforms.
void MatrizNormales(const Matriz4 &a, double n[3][3])
{
    const double(*m)[4] = a.m;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            n[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
        }
    double det = m[0][0] * n[0][0] + m[0][1] * n[0][1] + m[0][2] * n[0][2];
    if (det < 0)
        for (int i = 0; i < 3; i++)
            for (int j = 0; j < 3; j++) n[i][j] = -n[i][j];
}

bool EsFinito(const Vector &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

std::string PasarAMinusculas(std::string s)
{
    for (char &c : s) c = (char)std::tolower((unsigned char)c);
    return s;
}

// A texture path as a material names it, resolved against the scene's
// folder: as written, with '\' taken as '/', %XX decoded, or the bare file
// name beside the scene. The first that exists wins; the first form when
// none does (the image stage then reports it missing).
std::string ResolverImagen(const std::string &carpeta, std::string ruta)
{
    std::replace(ruta.begin(), ruta.end(), '\\', '/');
    std::string decodificada;
    for (size_t i = 0; i < ruta.size(); i++) {
        if (ruta[i] == '%' && i + 2 < ruta.size() && std::isxdigit((unsigned char)ruta[i + 1]) &&
            std::isxdigit((unsigned char)ruta[i + 2])) {
            decodificada += (char)std::stoi(ruta.substr(i + 1, 2), nullptr, 16);
            i += 2;
        } else {
            decodificada += ruta[i];
        }
    }
    std::vector<std::string> candidatas;
    for (const std::string &r : {ruta, decodificada}) {
        fs::path p(r);
        candidatas.push_back(p.is_absolute() ? r : (fs::path(carpeta) / p).string());
        candidatas.push_back((fs::path(carpeta) / p.filename()).string());
    }
    std::error_code ec;
    for (const std::string &c : candidatas)
        if (fs::is_regular_file(c, ec)) return c;
    return candidatas[0];
}

MaterialImportado LeerMaterial(const aiScene *s, const aiMaterial *m, const std::string &carpeta,
                               bool formato_multiplica, EscenaFuente *e)
{
    MaterialImportado r;
    aiString nombre;
    if (m->Get(AI_MATKEY_NAME, nombre) == AI_SUCCESS) r.nombre = nombre.C_Str();
    aiColor4D c;
    if (m->Get(AI_MATKEY_BASE_COLOR, c) == AI_SUCCESS || m->Get(AI_MATKEY_COLOR_DIFFUSE, c) == AI_SUCCESS) {
        r.color[0] = c.r, r.color[1] = c.g, r.color[2] = c.b, r.color[3] = c.a;
    }
    float opacidad = 1;
    if (m->Get(AI_MATKEY_OPACITY, opacidad) == AI_SUCCESS && opacidad < 1) {
        r.color[3] = opacidad;
        r.alfa = true;
    }
    aiString modo;
    if (m->Get("$mat.gltf.alphaMode", 0, 0, modo) == AI_SUCCESS && std::string(modo.C_Str()) != "OPAQUE")
        r.alfa = true;
    aiString ruta;
    bool hay = m->GetTexture(aiTextureType_BASE_COLOR, 0, &ruta) == AI_SUCCESS ||
               m->GetTexture(aiTextureType_DIFFUSE, 0, &ruta) == AI_SUCCESS;
    if (hay && ruta.length > 0) {
        const aiTexture *t = s->GetEmbeddedTexture(ruta.C_Str());
        if (t != nullptr) {
            r.imagen = ruta.C_Str()[0] == '*' ? ruta.C_Str() : "*" + std::string(ruta.C_Str());
            if (t->mHeight == 0) {   // still compressed: mWidth is its size in bytes
                const unsigned char *d = reinterpret_cast<const unsigned char *>(t->pcData);
                e->incrustadas.emplace_back(d, d + t->mWidth);
                r.incrustada = e->incrustadas.back().data();
                r.bytes_incrustada = t->mWidth;
            }
        } else {
            r.imagen = ResolverImagen(carpeta, ruta.C_Str());
        }
        r.por_color = formato_multiplica;
    }
    if (m->GetTextureCount(aiTextureType_OPACITY) > 0) r.alfa = true;
    aiColor3D emision(0, 0, 0);
    m->Get(AI_MATKEY_COLOR_EMISSIVE, emision);
    r.emisivo = !emision.IsBlack() || m->GetTextureCount(aiTextureType_EMISSIVE) > 0 ||
                m->GetTextureCount(aiTextureType_EMISSION_COLOR) > 0;
    r.relieve = m->GetTextureCount(aiTextureType_NORMALS) > 0 ||
                m->GetTextureCount(aiTextureType_HEIGHT) > 0 ||
                m->GetTextureCount(aiTextureType_NORMAL_CAMERA) > 0;
    return r;
}

// The rotation to +y up that the file's metadata states (FBX's axis
// settings), and its unit.
void LeerMetadatos(const aiScene *s, EscenaFuente *e)
{
    const aiMetadata *md = s->mMetaData;
    if (md == nullptr) return;
    int eje[3], signo[3];
    const char *claves[3][2] = {
        {"CoordAxis", "CoordAxisSign"}, {"UpAxis", "UpAxisSign"}, {"FrontAxis", "FrontAxisSign"}};
    bool completo = true;
    for (int i = 0; i < 3; i++)
        completo = completo && md->Get(claves[i][0], eje[i]) && md->Get(claves[i][1], signo[i]) &&
                   eje[i] >= 0 && eje[i] < 3;
    if (completo && eje[0] != eje[1] && eje[1] != eje[2] && eje[0] != eje[2]) {
        for (int i = 0; i < 3; i++)
            for (int j = 0; j < 3; j++) e->ejes[i][j] = (j == eje[i]) ? (signo[i] < 0 ? -1 : 1) : 0;
        e->ejes_conocidos = true;
    }
    double unidad = 0;
    float unidad_f = 0;
    if (md->Get("UnitScaleFactor", unidad) && unidad > 0)
        e->metros = unidad / 100;   // FBX counts its unit in centimetres
    else if (md->Get("UnitScaleFactor", unidad_f) && unidad_f > 0)
        e->metros = unidad_f / 100.0;
}

struct Recorrido {
    const aiScene *s;
    EscenaFuente *e;
    std::vector<bool> tenia_normales;
};

void AnadirMalla(Recorrido *r, unsigned indice, const Matriz4 &mt, int rol_nodo)
{
    const aiMesh *m = r->s->mMeshes[indice];
    double mn[3][3];
    MatrizNormales(mt, mn);
    int rol = BuscarRolEnNombre(m->mName.C_Str());
    if (rol < 0) rol = rol_nodo;
    if (rol < 0 && m->mMaterialIndex < r->e->materiales.size())
        rol = BuscarRolEnNombre(r->e->materiales[m->mMaterialIndex].nombre);
    if (m->HasVertexColors(0) && m->mMaterialIndex < r->e->materiales.size())
        r->e->materiales[m->mMaterialIndex].colores_vertice = true;
    const bool con_uv = m->HasTextureCoords(0);
    const unsigned char marcas_malla =
        (con_uv ? 0 : kSinTextura) | (r->tenia_normales[indice] ? 0 : kSinNormal);
    for (unsigned f = 0; f < m->mNumFaces; f++) {
        const aiFace &cara = m->mFaces[f];
        if (cara.mNumIndices == 1) {
            r->e->descartes.puntos++;
            continue;
        }
        if (cara.mNumIndices == 2) {
            r->e->descartes.lineas++;
            continue;
        }
        // The library leaves only triangles; anything larger is fanned.
        for (unsigned k = 2; k < cara.mNumIndices; k++) {
            r->e->caras_entrada++;
            unsigned idx[3] = {cara.mIndices[0], cara.mIndices[k - 1], cara.mIndices[k]};
            TrianguloImportado t;
            t.material = (int)m->mMaterialIndex;
            unsigned char marcas = marcas_malla;
            bool finito = true;
            for (int c = 0; c < 3; c++) {
                const aiVector3D &v = m->mVertices[idx[c]];
                double p[3];
                for (int i = 0; i < 3; i++)
                    p[i] = mt.m[i][0] * v.x + mt.m[i][1] * v.y + mt.m[i][2] * v.z + mt.m[i][3];
                t.e[c].posicion = Vector{(float)p[0], (float)p[1], (float)p[2]};
                finito = finito && EsFinito(t.e[c].posicion);
                Vector n{0, 0, 0};
                if (m->mNormals != nullptr) {
                    const aiVector3D &a = m->mNormals[idx[c]];
                    double q[3], l = 0;
                    for (int i = 0; i < 3; i++) {
                        q[i] = mn[i][0] * a.x + mn[i][1] * a.y + mn[i][2] * a.z;
                        l += q[i] * q[i];
                    }
                    l = std::sqrt(l);
                    if (l > 0 && std::isfinite(l))
                        n = Vector{(float)(q[0] / l), (float)(q[1] / l), (float)(q[2] / l)};
                }
                t.e[c].normal = n;
                t.e[c].textura = Vector{0, 0, 0};
                if (con_uv) {
                    const aiVector3D &uv = m->mTextureCoords[0][idx[c]];
                    t.e[c].textura = Vector{uv.x, uv.y, 0};
                    if (!std::isfinite(uv.x) || !std::isfinite(uv.y)) marcas |= kSinTextura;
                }
            }
            if (!finito) {
                r->e->descartes.no_finitas++;
                continue;
            }
            double nc[3];
            CalcularNormalCara(t, nc);
            if (nc[0] == 0 && nc[1] == 0 && nc[2] == 0) {
                r->e->descartes.degeneradas++;
                continue;
            }
            r->e->caras.push_back(t);
            r->e->rol.push_back((signed char)rol);
            r->e->marcas.push_back(marcas);
        }
    }
}

void RecorrerNodo(Recorrido *r, const aiNode *n, const Matriz4 &padre, int rol_padre)
{
    Matriz4 mt = MultiplicarMatrices(padre, ConvertirMatriz(n->mTransformation));
    int rol = BuscarRolEnNombre(n->mName.C_Str());
    if (rol < 0) rol = rol_padre;
    for (unsigned i = 0; i < n->mNumMeshes; i++)
        if (n->mMeshes[i] < r->s->mNumMeshes) AnadirMalla(r, n->mMeshes[i], mt, rol);
    for (unsigned i = 0; i < n->mNumChildren; i++) RecorrerNodo(r, n->mChildren[i], mt, rol);
}

}   // namespace

bool LeerEscena(const std::string &ruta, EscenaFuente *e, std::string *error)
{
    std::error_code ec;
    if (!fs::exists(ruta, ec)) {
        *error = ruta + ": no such file";
        return false;
    }
    if (!fs::is_regular_file(ruta, ec)) {
        *error = ruta + ": not a regular file";
        return false;
    }
    auto importador = std::make_unique<Assimp::Importer>();
    importador->SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, 60.0f);
    // Keep every face: no point, line or degenerate removal inside the library.
    importador->SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, 0);
    const aiScene *s = importador->ReadFile(ruta, aiProcess_Triangulate);
    if (s == nullptr) {
        std::string motivo = importador->GetErrorString();
        if (motivo.empty()) motivo = "unreadable or unsupported format";
        *error = ruta + ": " + motivo;
        return false;
    }
    std::vector<bool> tenian(s->mNumMeshes);
    for (unsigned i = 0; i < s->mNumMeshes; i++) tenian[i] = s->mMeshes[i]->HasNormals();
    if (std::find(tenian.begin(), tenian.end(), false) != tenian.end())
        s = importador->ApplyPostProcessing(aiProcess_GenSmoothNormals);
    if (s == nullptr || s->mRootNode == nullptr) {
        *error = ruta + ": " + (s == nullptr ? importador->GetErrorString() : "no scene in the file");
        return false;
    }
    e->ruta = ruta;
    e->formato = PasarAMinusculas(fs::path(ruta).extension().string());
    if (!e->formato.empty()) e->formato.erase(0, 1);
    std::string carpeta = fs::path(ruta).parent_path().string();
    if (carpeta.empty()) carpeta = ".";
    const bool multiplica = e->formato == "gltf" || e->formato == "glb" || e->formato == "obj";
    for (unsigned i = 0; i < s->mNumMaterials; i++)
        e->materiales.push_back(LeerMaterial(s, s->mMaterials[i], carpeta, multiplica, e));
    if (e->materiales.empty()) e->materiales.push_back(MaterialImportado{});
    LeerMetadatos(s, e);
    // glTF is in metres by definition; the library already scales Collada
    // to metres through its root node.
    if (e->metros == 0 && (e->formato == "gltf" || e->formato == "glb" || e->formato == "dae")) e->metros = 1;
    size_t caras = 0;
    for (unsigned i = 0; i < s->mNumMeshes; i++) caras += s->mMeshes[i]->mNumFaces;
    e->caras.reserve(caras), e->rol.reserve(caras), e->marcas.reserve(caras);
    Recorrido r{s, e, tenian};
    Matriz4 id{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    RecorrerNodo(&r, s->mRootNode, id, -1);
    return true;
}
