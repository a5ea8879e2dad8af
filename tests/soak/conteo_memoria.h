// conteo_memoria.h - counts heap allocations made by this process.
//
//   void      EmpezarConteoMemoria();   // counting from now on
//   long long TerminarConteoMemoria();  // stops; returns allocations counted
//
// Every malloc, calloc, realloc (and so every operator new, which allocates
// through malloc) made while counting adds one. Without sanitizers the four
// C allocation routines of the program are replaced by wrappers around the C
// library's own; under AddressSanitizer, which owns the heap, its allocation
// hook is used instead. Only the soak test links this.
#ifndef TALO_CONTEO_MEMORIA_H
#define TALO_CONTEO_MEMORIA_H

void EmpezarConteoMemoria();
long long TerminarConteoMemoria();

#endif
