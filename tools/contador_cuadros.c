/* contador_cuadros.c - counts the frames a GLX program shows, from outside.
 *
 * Loaded with LD_PRELOAD into an unchanged program. Every glXSwapBuffers call
 * goes on to the real one and then appends the CLOCK_MONOTONIC time in
 * nanoseconds, one number per line, to the file named by TALO_CUADROS. The
 * first line of that file is written before the first frame's time: the
 * CLOCK_MONOTONIC launch time taken from TALO_CUADROS_T0 (set by whoever
 * starts the program, just before it does), so the file alone tells the
 * start-up time and the frame rate.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef void (*IntercambioGLX)(void *pantalla, unsigned long dibujable);

static int salida = -1;

static long long Ahora(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void Escribir(long long valor)
{
    char linea[32];
    int n = snprintf(linea, sizeof linea, "%lld\n", valor);
    if (salida >= 0 && write(salida, linea, (size_t)n) != n) {
        close(salida);
        salida = -2;
    }
}

void glXSwapBuffers(void *pantalla, unsigned long dibujable)
{
    static IntercambioGLX real;
    if (!real) real = (IntercambioGLX)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (salida == -1) {
        const char *ruta = getenv("TALO_CUADROS");
        const char *t0 = getenv("TALO_CUADROS_T0");
        salida = ruta ? open(ruta, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -2;
        Escribir(t0 ? atoll(t0) : 0);
    }
    if (real) real(pantalla, dibujable);
    Escribir(Ahora());
}
