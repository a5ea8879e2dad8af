// shader_gl.h - entry points of the shader-object extension and of OpenGL 1.3
// multitexturing, looked up by name for the current context.
//
// CargarPunterosFuncionesShader fills the thirteen pointers below. A pointer
// is looked up only when the current context says it offers the entry point
// (GL_ARB_shader_objects in its extension list for the first eleven, version
// 1.3 or later for the last two) and is null otherwise: the platform lookup
// returns an address even for names the context does not offer, and calling
// one of those is undefined. With no current context every pointer is null.
//
// The pointers live in the namespace ShaderGL because the GL header already
// declares a function named glMultiTexCoord2f.
#ifndef TALO_SHADER_GL_H
#define TALO_SHADER_GL_H

#include <GL/gl.h>
#include <GL/glext.h>

namespace ShaderGL {
// Mesa's gl.h declares the 1.3 multitexture functions itself, which hides
// glext.h's pointer type for this one.
typedef void(APIENTRYP TipoMultiTexCoord2f)(GLenum target, GLfloat s, GLfloat t);

extern PFNGLCREATESHADEROBJECTARBPROC CreateShaderObjectARB;
extern PFNGLSHADERSOURCEARBPROC ShaderSourceARB;
extern PFNGLCOMPILESHADERARBPROC CompileShaderARB;
extern PFNGLCREATEPROGRAMOBJECTARBPROC CreateProgramObjectARB;
extern PFNGLATTACHOBJECTARBPROC AttachObjectARB;
extern PFNGLLINKPROGRAMARBPROC LinkProgramARB;
extern PFNGLVALIDATEPROGRAMARBPROC ValidateProgramARB;
extern PFNGLUSEPROGRAMOBJECTARBPROC UseProgramObject;
extern PFNGLGETUNIFORMLOCATIONARBPROC GetUniformLocationARB;
extern PFNGLUNIFORM3FARBPROC Uniform3fARB;
extern PFNGLUNIFORM1IARBPROC Uniform1iARB;
extern PFNGLACTIVETEXTUREPROC ActiveTexture;
extern TipoMultiTexCoord2f glMultiTexCoord2f;
}   // namespace ShaderGL

// Needs the context whose entry points are wanted to be current.
void CargarPunterosFuncionesShader();

// True when the current context's extension list holds `nombre` as a whole
// word; false with no current context.
bool ExtensionOfrecida(const char *nombre);

// True when the current context's version is at least mayor.menor; false
// with no current context.
bool VersionAlMenos(int mayor, int menor);

#endif
