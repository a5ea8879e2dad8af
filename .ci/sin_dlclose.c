/* sin_dlclose.c - keeps every shared object loaded until the process ends.
 *
 * Preloaded (LD_PRELOAD) only for the sanitizer run of the test suite.
 * Mesa unloads its software rasteriser (swrast_dri.so) when the display is
 * closed, before LeakSanitizer looks at the heap at exit; the allocations
 * the driver keeps for the life of the process then show with no module in
 * their stacks, and no suppression can name them. With dlclose a no-op the
 * stacks say swrast_dri.so, and .ci/lsan-mesa.supp suppresses exactly that.
 */
int dlclose(void *objeto)
{
    (void)objeto;
    return 0;
}
