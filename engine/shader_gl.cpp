// shader_gl.cpp - looks up the shader-object and multitexture entry points.
#include "shader_gl.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>

namespace ShaderGL {
PFNGLCREATESHADEROBJECTARBPROC CreateShaderObjectARB = nullptr;
PFNGLSHADERSOURCEARBPROC ShaderSourceARB = nullptr;
PFNGLCOMPILESHADERARBPROC CompileShaderARB = nullptr;
PFNGLCREATEPROGRAMOBJECTARBPROC CreateProgramObjectARB = nullptr;
PFNGLATTACHOBJECTARBPROC AttachObjectARB = nullptr;
PFNGLLINKPROGRAMARBPROC LinkProgramARB = nullptr;
PFNGLVALIDATEPROGRAMARBPROC ValidateProgramARB = nullptr;
PFNGLUSEPROGRAMOBJECTARBPROC UseProgramObject = nullptr;
PFNGLGETUNIFORMLOCATIONARBPROC GetUniformLocationARB = nullptr;
PFNGLUNIFORM3FARBPROC Uniform3fARB = nullptr;
PFNGLUNIFORM1IARBPROC Uniform1iARB = nullptr;
PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
TipoMultiTexCoord2f glMultiTexCoord2f = nullptr;
}   // namespace ShaderGL

// Whole-word search in a blank-separated list.
static bool EnLista(const char *lista, const char *nombre)
{
    size_t n = strlen(nombre);
    if (lista == nullptr || n == 0) return false;
    for (const char *p = strstr(lista, nombre); p != nullptr; p = strstr(p + 1, nombre)) {
        bool inicio = p == lista || p[-1] == ' ';
        bool fin = p[n] == ' ' || p[n] == '\0';
        if (inicio && fin) return true;
    }
    return false;
}

bool ExtensionOfrecida(const char *nombre)
{
    const char *lista = (const char *)glGetString(GL_EXTENSIONS);
    if (lista != nullptr) return EnLista(lista, nombre);
    // A core-profile context has no single list; it is read one name at a time.
    if (!VersionAlMenos(3, 0)) return false;
    PFNGLGETSTRINGIPROC leer = (PFNGLGETSTRINGIPROC)glutGetProcAddress("glGetStringi");
    if (leer == nullptr) return false;
    GLint cuantas = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &cuantas);
    for (GLint k = 0; k < cuantas; k++) {
        const char *e = (const char *)leer(GL_EXTENSIONS, (GLuint)k);
        if (e != nullptr && strcmp(e, nombre) == 0) return true;
    }
    return false;
}

bool VersionAlMenos(int mayor, int menor)
{
    const char *v = (const char *)glGetString(GL_VERSION);
    if (v == nullptr) return false;
    // "OpenGL ES 3.2 ..." carries a prefix; desktop strings start with the number.
    while (*v != '\0' && (*v < '0' || *v > '9')) v++;
    int ma = 0, me = 0;
    if (sscanf(v, "%d.%d", &ma, &me) != 2) return false;
    return ma > mayor || (ma == mayor && me >= menor);
}

static GLUTproc Buscar(const char *nombre, bool ofrecida)
{
    return ofrecida ? glutGetProcAddress(nombre) : nullptr;
}

void CargarPunterosFuncionesShader()
{
    using namespace ShaderGL;
    bool arb = ExtensionOfrecida("GL_ARB_shader_objects");
    bool v13 = VersionAlMenos(1, 3);
    CreateShaderObjectARB = (PFNGLCREATESHADEROBJECTARBPROC)Buscar("glCreateShaderObjectARB", arb);
    ShaderSourceARB = (PFNGLSHADERSOURCEARBPROC)Buscar("glShaderSourceARB", arb);
    CompileShaderARB = (PFNGLCOMPILESHADERARBPROC)Buscar("glCompileShaderARB", arb);
    CreateProgramObjectARB = (PFNGLCREATEPROGRAMOBJECTARBPROC)Buscar("glCreateProgramObjectARB", arb);
    AttachObjectARB = (PFNGLATTACHOBJECTARBPROC)Buscar("glAttachObjectARB", arb);
    LinkProgramARB = (PFNGLLINKPROGRAMARBPROC)Buscar("glLinkProgramARB", arb);
    ValidateProgramARB = (PFNGLVALIDATEPROGRAMARBPROC)Buscar("glValidateProgramARB", arb);
    UseProgramObject = (PFNGLUSEPROGRAMOBJECTARBPROC)Buscar("glUseProgramObjectARB", arb);
    GetUniformLocationARB = (PFNGLGETUNIFORMLOCATIONARBPROC)Buscar("glGetUniformLocationARB", arb);
    Uniform3fARB = (PFNGLUNIFORM3FARBPROC)Buscar("glUniform3fARB", arb);
    Uniform1iARB = (PFNGLUNIFORM1IARBPROC)Buscar("glUniform1iARB", arb);
    ActiveTexture = (PFNGLACTIVETEXTUREPROC)Buscar("glActiveTexture", v13);
    ShaderGL::glMultiTexCoord2f = (TipoMultiTexCoord2f)Buscar("glMultiTexCoord2f", v13);
}
