// escribir_sala_atlas - writes the atlas tests' OBJ room for the programs'
// screenshot test: escribir_sala_atlas FOLDER [tonos]. Prints the room
// file's path.
#include <cstdio>
#include <cstring>

#include "fixtura_atlas.h"

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: escribir_sala_atlas FOLDER [tonos]\n");
        return 2;
    }
    const std::string ruta =
        EscribirOBJ(CrearSalaOBJ(argc > 2 && std::strcmp(argv[2], "tonos") == 0), argv[1]);
    if (ruta.empty()) return 1;
    std::printf("%s\n", ruta.c_str());
    return 0;
}
