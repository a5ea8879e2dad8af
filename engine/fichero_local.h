// fichero.h - opening the files the loaders read.
//
// The loaders read only regular files. A FIFO with no writer would block the
// open until some writer came, and a device such as /dev/zero never ends;
// neither holds a model, an image or a shader. The descriptor is opened
// non-blocking so that its type is known before anything can wait, and the
// flag changes nothing for a regular file.
#ifndef TALO_FICHERO_H
#define TALO_FICHERO_H

#include <cstdio>

// A read-only descriptor for `ruta`, or -1 when it cannot be opened or is
// not a regular file.
int AbrirDescriptorRegular(const char *ruta);

// The same as a stdio stream opened with `modo` ("r" or "rb"), or null.
FILE *AbrirFicheroRegular(const char *ruta, const char *modo);

#endif
