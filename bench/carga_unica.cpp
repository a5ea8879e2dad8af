// carga_unica - one load of one file in a process of its own, so that a
// whole-process timer sees what a program that starts, loads a model and
// exits pays: start-up, page faults of fresh memory, the load, the release.
//
//   carga_unica talo <file> <format>   CargarModeloOBJ
//   carga_unica tinyobj <file>         tinyobjloader's LoadObj, default options
//   carga_unica leer <file>            the file read into a new buffer
//   carga_unica malla <file> <form> <megabytes>
//                                      writes the exporter-style sheet of
//                                      malla_obj.h; form v/vt/vn, v//vn, v/vt
//
// bench/procesos_nuevos.py runs the three loads in turn and prints the ratios.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <tiny_obj_loader.h>

#include "leer_fichero.h"
#include "malla_obj.h"
#include "modelo.h"

static int Uso()
{
    fprintf(stderr, "use: carga_unica talo <file> <format> | tinyobj <file> | leer <file> |"
                    " malla <file> <form> <megabytes>\n");
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 3) return Uso();
    const std::string que = argv[1];
    if (que == "talo" && argc == 4) {
        Modelo m = CargarModeloOBJ(argv[2], atoi(argv[3]));
        printf("%d vertices, %d faces\n", m.NumVertices, m.NumCaras);
        LiberarModelo(&m);
    } else if (que == "tinyobj") {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> formas;
        std::vector<tinyobj::material_t> materiales;
        std::string aviso, error;
        if (!tinyobj::LoadObj(&attrib, &formas, &materiales, &aviso, &error, argv[2])) return 1;
        printf("%zu vertices\n", attrib.vertices.size() / 3);
    } else if (que == "leer") {
        LeerEntero(argv[2]);
    } else if (que == "malla" && argc == 5) {
        const char *const kFormas[] = {"v/vt/vn", "v//vn", "v/vt"};
        for (int i = 0; i < 3; i++)
            if (strcmp(argv[3], kFormas[i]) == 0)
                return EscribirMallaOBJ(argv[2], (FormaOBJ)i, (long long)(atof(argv[4]) * 1e6)) ? 0 : 1;
        return Uso();
    } else {
        return Uso();
    }
    return 0;
}
