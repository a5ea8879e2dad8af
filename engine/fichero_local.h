// fichero_local.h - private to the loaders: opening the files they read,
// and preparing the pages of the large buffers they fill.
//
// The loaders read only regular files. A FIFO with no writer would block the
// open until some writer came, and a device such as /dev/zero never ends;
// neither holds a model, an image or a shader. The descriptor is opened
// non-blocking so that its type is known before anything can wait, and the
// flag changes nothing for a regular file.
#ifndef TALO_FICHERO_LOCAL_H
#define TALO_FICHERO_LOCAL_H

#include <cstdio>

// A read-only descriptor for `ruta`, or -1 when it cannot be opened or is
// not a regular file.
int AbrirDescriptorRegular(const char *ruta);

// The same as a stdio stream opened with `modo` ("r" or "rb"), or null.
FILE *AbrirFicheroRegular(const char *ruta, const char *modo);

// Page hints for a buffer about to be filled. Touching fresh pages one at a
// time costs a trap per 4 KiB page, which on a virtual machine can take
// longer than the copy that fills them. Both are only advice, given for the
// whole pages of [ini, fin) (the pages at either end that the range only
// partly covers belong to other data and are left alone); a kernel without
// these requests leaves the pages to be made as they are written.
//
// Asks for 2 MiB pages over [ini, fin): 512 times fewer faults.
void PedirPaginasGrandes(char *ini, char *fin);
// Faults in the pages of [ini, fin) with one call instead of one trap per page.
void PoblarPaginas(char *ini, char *fin);

#endif
