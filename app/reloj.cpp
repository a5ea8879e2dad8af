// reloj.cpp - the millisecond clock of the frame-rate counter.
//
// Elapsed (wall) time on the monotonic clock, not processor time: a frame
// that waits on the GPU or the X server must count. Truncated to a 32-bit
// signed value; the counter only takes differences of nearby readings.
#include <time.h>

#include <cstdint>

#include "globales.h"

int RelojMilisegundos()
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    int64_t ms = (int64_t)t.tv_sec * 1000 + t.tv_nsec / 1000000;
    return (int)(uint32_t)ms;
}
