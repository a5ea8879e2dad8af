// Hostile paths that only Windows has, against the three loaders: the NUL
// device and a named pipe that nobody serves. Neither holds a model, an
// image or a text, and neither may make a load wait. Each load runs in a
// child process (a death test), so a crash fails the test instead of ending
// the suite; a load that never ended would meet ctest's time limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "imagen.h"
#include "modelo.h"
#include "shader.h"

namespace {

// 0 when every loader gives an empty result for `ruta`.
int CargarTodo(const char *ruta)
{
    int algo = 0;
    for (int formato = 0; formato <= 4; formato++) {
        Modelo m = CargarModeloOBJ(ruta, formato);
        algo |= m.NumVertices || m.NumCaras || m.NumCTexturas || m.NumNormales;
    }
    Imagen im = CargarImagenTGA(ruta);
    algo |= im.Pixeles != nullptr || im.Ancho || im.Alto || im.Bpp;
    algo |= CargarTextoShader(ruta) != nullptr;
    return algo;
}

}   // namespace

TEST(HostilesWindows, DispositivosYTuberiasNoDanNada)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    for (const char *ruta : {"NUL", "nul", "\\\\.\\pipe\\talo_sin_servidor"}) {
        SCOPED_TRACE(ruta);
        EXPECT_EXIT(std::exit(CargarTodo(ruta)), ::testing::ExitedWithCode(0), "");
    }
}
