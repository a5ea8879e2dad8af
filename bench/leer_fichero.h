// leer_fichero.h - the plain read that the loader benchmarks are held
// against: open, fstat, malloc of the file's size, read until done, free.
// The cost of just getting a file's bytes into fresh memory.
#ifndef TALO_LEER_FICHERO_H
#define TALO_LEER_FICHERO_H

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "datos_bench.h"

inline void LeerEntero(const std::string &ruta)
{
    int fd = open(ruta.c_str(), O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) abort();
    char *buf = (char *)malloc((size_t)st.st_size);
    size_t hecho = 0;
    while (hecho < (size_t)st.st_size) {
        ssize_t n = read(fd, buf + hecho, (size_t)st.st_size - hecho);
        if (n <= 0) break;
        hecho += (size_t)n;
    }
    benchmark::DoNotOptimize(buf[hecho / 2]);
    free(buf);
    close(fd);
}

inline void BmLeer(benchmark::State &st, std::string ruta)
{
    for (auto _ : st) LeerEntero(ruta);
    st.SetBytesProcessed(st.iterations() * TamFichero(ruta));
}

#endif
