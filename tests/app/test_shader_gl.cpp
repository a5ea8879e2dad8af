// Entry-point lookup on a real context (run under Xvfb). Which entry points
// the context offers is set from outside with Mesa's override variables; the
// expected null/non-null pattern comes in TALO_ESPERADO as 13 characters,
// '1' for a pointer that must be set and '0' for one that must stay null.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "shader_gl.h"

namespace {

std::string Patron()
{
    using namespace ShaderGL;
    const void *p[13] = {(const void *)CreateShaderObjectARB,
                         (const void *)ShaderSourceARB,
                         (const void *)CompileShaderARB,
                         (const void *)CreateProgramObjectARB,
                         (const void *)AttachObjectARB,
                         (const void *)LinkProgramARB,
                         (const void *)ValidateProgramARB,
                         (const void *)UseProgramObject,
                         (const void *)GetUniformLocationARB,
                         (const void *)Uniform3fARB,
                         (const void *)Uniform1iARB,
                         (const void *)ActiveTexture,
                         (const void *)ShaderGL::glMultiTexCoord2f};
    std::string s;
    for (const void *x : p) s += x ? '1' : '0';
    return s;
}

int gArgc = 1;
char gNombre[] = "test_shader_gl";
char *gArgv[] = {gNombre, nullptr};

TEST(PunterosShader, SinContextoNoSeBuscaNada)
{
    CargarPunterosFuncionesShader();
    EXPECT_EQ(Patron(), "0000000000000");
    EXPECT_FALSE(ExtensionOfrecida("GL_ARB_shader_objects"));
    EXPECT_FALSE(VersionAlMenos(1, 0));
}

TEST(PunterosShader, SoloSiElContextoLosOfrece)
{
    glutInit(&gArgc, gArgv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("prueba");
    const char *esperado = getenv("TALO_ESPERADO");
    ASSERT_NE(esperado, nullptr);
    CargarPunterosFuncionesShader();
    EXPECT_EQ(Patron(), esperado) << "GL_VERSION " << glGetString(GL_VERSION);

    // A pointer that is set leads to the real function.
    if (ShaderGL::ActiveTexture != nullptr) {
        ShaderGL::ActiveTexture(GL_TEXTURE0);
        ShaderGL::glMultiTexCoord2f(GL_TEXTURE0, 0.25f, 0.5f);
        ::glMultiTexCoord2f(GL_TEXTURE0, 0.5f, 0.25f);   // the GL header's, alongside
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    }
    if (ShaderGL::CreateShaderObjectARB != nullptr) {
        GLhandleARB s = ShaderGL::CreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
        EXPECT_NE(s, 0u);
        const char *fuente = "void main() { gl_Position = ftransform(); }";
        ShaderGL::ShaderSourceARB(s, 1, &fuente, nullptr);
        ShaderGL::CompileShaderARB(s);
        GLhandleARB prog = ShaderGL::CreateProgramObjectARB();
        ShaderGL::AttachObjectARB(prog, s);
        ShaderGL::LinkProgramARB(prog);
        ShaderGL::ValidateProgramARB(prog);
        ShaderGL::UseProgramObject(prog);
        EXPECT_EQ(ShaderGL::GetUniformLocationARB(prog, "no_such_uniform"), -1);
        ShaderGL::UseProgramObject(0);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    }
}

TEST(PunterosShader, LasExtensionesSeComparanPorPalabrasEnteras)
{
    // Runs after the window test: the context is current.
    if (glutGetWindow() == 0) GTEST_SKIP() << "no context";
    EXPECT_FALSE(ExtensionOfrecida("GL_ARB_shader"));
    EXPECT_FALSE(ExtensionOfrecida("ARB_shader_objects"));
    EXPECT_FALSE(ExtensionOfrecida(""));
    EXPECT_TRUE(VersionAlMenos(1, 1));
    EXPECT_FALSE(VersionAlMenos(99, 0));
}

// ---- A core-profile context has no single extension string: each name is
// ---- asked for on its own (glGetStringi). Only where TALO_NUCLEO is set, on
// ---- a server that can make such a context.

TEST(PunterosShader, NucleoBuscaLasExtensionesUnaAUna)
{
    if (getenv("TALO_NUCLEO") == nullptr) GTEST_SKIP() << "TALO_NUCLEO not set";
    if (glutGetWindow() == 0) {
        glutInit(&gArgc, gArgv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    }
    glutInitContextVersion(3, 2);
    glutInitContextProfile(GLUT_CORE_PROFILE);
    glutCreateWindow("nucleo");
    ASSERT_EQ(glGetString(GL_EXTENSIONS), nullptr) << "not a core-profile context";
    GLint cuantas = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &cuantas);
    ASSERT_GT(cuantas, 1);
    PFNGLGETSTRINGIPROC leer = (PFNGLGETSTRINGIPROC)glutGetProcAddress("glGetStringi");
    ASSERT_NE(leer, nullptr);
    for (GLint k : {(GLint)0, cuantas / 2, cuantas - 1}) {
        const std::string nombre = (const char *)leer(GL_EXTENSIONS, (GLuint)k);
        EXPECT_TRUE(ExtensionOfrecida(nombre.c_str())) << nombre;
        EXPECT_FALSE(ExtensionOfrecida((nombre + "_no").c_str())) << nombre;
    }
    EXPECT_TRUE(VersionAlMenos(3, 2));
}

}   // namespace
