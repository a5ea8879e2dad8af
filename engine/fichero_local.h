// fichero_local.h - private to the loaders: the engine's platform layer.
// Opening the files they read, reading them, and preparing the pages of the
// large buffers they fill: what differs between platforms is here and
// nowhere else (fichero_posix.cpp, fichero_windows.cpp).
//
// Files are read in binary on every platform, so a model, an image or a
// shader text loads to the same bytes everywhere: CR LF stays CR LF and a
// 0x1A byte is a byte. The loaders read only regular files. A FIFO with no
// writer would block the open until some writer came, and a device such as
// /dev/zero or NUL never ends; neither holds a model, an image or a shader.
// Opening never waits, and the file's type is known before anything can.
// Descriptors are not inherited by child processes.
#ifndef TALO_FICHERO_LOCAL_H
#define TALO_FICHERO_LOCAL_H

#include <cstddef>
#include <cstdio>

// A read-only descriptor for `ruta`, or -1 when it cannot be opened or is
// not a regular file.
int AbrirDescriptorRegular(const char *ruta);
// The file's size in bytes, or -1 when it cannot be told.
long long TamanoDescriptor(int fd);
// Reads up to `n` bytes: how many were read, 0 at the end of the file, -1
// on an error (an interrupted read is tried again, never reported).
long long LeerDescriptor(int fd, void *destino, size_t n);
void CerrarDescriptor(int fd);

// The same as a binary stdio stream, or null.
FILE *AbrirFicheroRegular(const char *ruta);

// Page hints for a buffer about to be filled. Touching fresh pages one at a
// time costs a trap per 4 KiB page, which on a virtual machine can take
// longer than the copy that fills them. Both are only advice, given for the
// whole pages of [ini, fin) (the pages at either end that the range only
// partly covers belong to other data and are left alone); a kernel without
// these requests, and a platform without such advice, leaves the pages to
// be made as they are written.
//
// Asks for 2 MiB pages over [ini, fin): 512 times fewer faults.
void PedirPaginasGrandes(char *ini, char *fin);
// Faults in the pages of [ini, fin) with one call instead of one trap per page.
void PoblarPaginas(char *ini, char *fin);

#endif
