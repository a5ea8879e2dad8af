// colision_local.h - what the collision index shows its own tests.
#ifndef TALO_COLISION_LOCAL_H
#define TALO_COLISION_LOCAL_H

// The faces this thread's calls of XoqueEsferaIndice have handed to
// XoqueEsferaPlano: the candidates of each query, or the model's face count
// for a query that falls back to XoqueEsferaModelo. One addition a query; it
// only grows, and only tests read it (or reset it), to check that a query
// does the work the index promises and no more.
extern thread_local long long CarasProbadasIndice;

#endif
