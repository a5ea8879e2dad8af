// shader.h - shader source text and the shader-object extension's entry points.
#ifndef TALO_SHADER_H
#define TALO_SHADER_H

// Reads a whole text file into a new NUL-terminated buffer (release with free):
// the characters are counted one at a time, then read in one read. An empty
// file gives "" (one byte). If the read delivers fewer characters than were
// counted (the file shrank meanwhile), the buffer holds exactly the characters
// read, NUL-terminated.
// Returns null when the path is not a regular file (a directory, FIFO or
// device gives null at once, without blocking), cannot be opened, or memory
// is short.
char *CargarTextoShader(const char *ruta);

#endif
