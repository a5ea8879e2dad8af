// shader.h - shader source text and the shader-object extension's entry points.
#ifndef TALO_SHADER_H
#define TALO_SHADER_H

// Reads a whole text file into a new NUL-terminated buffer (release with free).
// Returns null when the file cannot be opened or read, or memory is short.
char *CargarTextoShader(const char *ruta);

#endif
