// comun.h - helpers shared by the test programs, the reference code, the
// fuzz targets and the benchmarks: float bits and bitwise sameness, a
// private temporary directory removed at exit, writing a file into it.
#ifndef TALO_PRUEBAS_COMUN_H
#define TALO_PRUEBAS_COMUN_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "vector.h"

// Tests that replace malloc or limit the address space do not run under
// AddressSanitizer, which owns the allocator and reserves huge ranges.
#if defined(__SANITIZE_ADDRESS__)
#define TALO_CON_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALO_CON_ASAN 1
#endif
#endif

inline uint32_t Bits(float f)
{
    uint32_t b;
    memcpy(&b, &f, sizeof b);
    return b;
}

// The same three floats bit for bit.
inline bool MismosBits(Vector a, Vector b)
{
    return Bits(a.x) == Bits(b.x) && Bits(a.y) == Bits(b.y) && Bits(a.z) == Bits(b.z);
}

// Same float bit for bit; any two NaNs count as the same (their payloads
// depend on operand order inside the FPU, which nothing here pins down).
inline bool Mismo(float a, float b) { return (std::isnan(a) && std::isnan(b)) || Bits(a) == Bits(b); }

inline bool Mismo(Vector a, Vector b) { return Mismo(a.x, b.x) && Mismo(a.y, b.y) && Mismo(a.z, b.z); }

inline std::string &DirTemporalActual()
{
    static std::string dir;
    return dir;
}

inline void BorrarDirTemporal()
{
    std::error_code e;
    if (!DirTemporalActual().empty()) std::filesystem::remove_all(DirTemporalActual(), e);
}

// A private directory for the files this program writes, in the system's
// temporary folder, removed at exit. Its name is new: created, not found.
inline const std::string &DirTemporal()
{
    std::string &dir = DirTemporalActual();
    if (dir.empty()) {
        namespace fs = std::filesystem;
        std::random_device azar;
        for (int intento = 0; dir.empty(); intento++) {
            if (intento == 100) abort();
            const fs::path p = fs::temp_directory_path() / ("talo_prueba_" + std::to_string(azar()));
            std::error_code e;
            if (fs::create_directory(p, e)) dir = p.generic_string();
        }
        atexit(BorrarDirTemporal);
    }
    return dir;
}

// Writes `bytes` to `nombre` inside the temporary directory; returns the path.
inline std::string EscribirTemporal(const std::string &nombre, const std::string &bytes)
{
    std::string ruta = DirTemporal() + "/" + nombre;
    FILE *f = fopen(ruta.c_str(), "wb");
    if (!f) abort();
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return ruta;
}

#endif
