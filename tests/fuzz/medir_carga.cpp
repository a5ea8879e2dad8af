// medir_carga.cpp - loads one file with one loader, for measuring by hand.
//
//   medir_carga obj <path> <format> [oraculo]   CargarModeloOBJ (or the fscanf reference)
//   medir_carga tga <path>                      CargarImagenTGA
//   medir_carga shader <path>                   CargarTextoShader
//   medir_carga malla <path> <megabytes>        writes a valid v/vt/vn OBJ file
//                                               of that size (face format 2 or 4)
//
// Prints what was loaded and how many bytes the result holds, then releases
// it. Run under /usr/bin/time -v to compare the loader's peak memory with the
// size of what it built (docs/entradas-hostiles.md).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imagen.h"
#include "malla_obj.h"
#include "modelo.h"
#include "obj_scanf.h"
#include "shader.h"

static int Uso()
{
    fprintf(stderr, "use: medir_carga obj <path> <format> [oraculo] | tga <path> | shader <path> |"
                    " malla <path> <megabytes>\n");
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 3) return Uso();
    if (strcmp(argv[1], "obj") == 0 && argc >= 4) {
        const bool oraculo = argc >= 5 && strcmp(argv[4], "oraculo") == 0;
        Modelo m =
            oraculo ? CargarModeloOBJScanf(argv[2], atoi(argv[3])) : CargarModeloOBJ(argv[2], atoi(argv[3]));
        const double bytes = (double)m.NumVertices * sizeof(Vector) + (double)m.NumCaras * sizeof(Cara) +
                             (double)m.NumCTexturas * sizeof(Vector) + (double)m.NumNormales * sizeof(Vector);
        printf("%s: %d vertices, %d faces, %d texture coordinates, %d normals; model %.1f MB\n",
               oraculo ? "fscanf reference" : "CargarModeloOBJ", m.NumVertices, m.NumCaras, m.NumCTexturas,
               m.NumNormales, bytes / 1e6);
        LiberarModelo(&m);
    } else if (strcmp(argv[1], "tga") == 0) {
        Imagen im = CargarImagenTGA(argv[2]);
        printf("image %d x %d x %d bits, pixels %s; %.1f MB\n", im.Ancho, im.Alto, im.Bpp,
               im.Pixeles ? "present" : "null", (double)im.Ancho * im.Alto * (im.Bpp / 8) / 1e6);
        free(im.Pixeles);
    } else if (strcmp(argv[1], "shader") == 0) {
        char *texto = CargarTextoShader(argv[2]);
        printf("shader text %s, %zu bytes\n", texto ? "read" : "null", texto ? strlen(texto) : (size_t)0);
        free(texto);
    } else if (strcmp(argv[1], "malla") == 0 && argc >= 4) {
        if (!EscribirMallaOBJ(argv[2], kVVtVn, (long long)(atof(argv[3]) * 1e6))) {
            fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
    } else {
        return Uso();
    }
    return 0;
}
