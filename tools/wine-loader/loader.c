/* Wine's 32-bit loader, made again for the Wine environment (tools/install-deps).
 *
 * Debian's is a position-independent program, which qemu-i386 maps at
 * 0x400000: just where a Windows program without relocations, such as
 * varnel.exe, must be loaded. This one is linked far above that and does
 * what Debian's does: load Wine's 32-bit ntdll.so and hand it the command
 * line. */
#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>

/* No preloader reserved any memory: ntdll.so looks this up and finds none. */
void *wine_main_preload_info = NULL;

int main(int argc, char **argv, char **envp)
{
    void *ntdll = dlopen(NTDLL, RTLD_NOW);
    void (*wine_main)(int, char **, char **);

    if (!ntdll)
    {
        fprintf(stderr, "wine: could not load ntdll.so: %s\n", dlerror());
        exit(1);
    }
    wine_main = (void (*)(int, char **, char **))dlsym(ntdll, "__wine_main");
    if (!wine_main)
    {
        fprintf(stderr, "wine: __wine_main function not found in ntdll.so\n");
        exit(1);
    }
    pthread_detach(pthread_self());
    wine_main(argc, argv, envp);
    exit(1);
}
