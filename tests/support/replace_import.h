// Replaces one imported function in a test program, where the real system
// cannot produce the case (a refused post, a privilege not held). The
// program calls through the import's pointer; a test object that defines
// that pointer is linked instead of the DLL's, and only in that test program.
// The names are i386 ones: stdcall functions carry their argument bytes.
#ifndef VARNEL_TESTS_REPLACE_IMPORT_H
#define VARNEL_TESTS_REPLACE_IMPORT_H

#include <windows.h>

// The real USER32 function, past this program's replaced import.
template <typename Function> Function RealUser32(const char *name)
{
    return (Function)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

// What GetProcAddress would answer, for a program that replaces it: asked of
// the loader in NTDLL, beneath KERNEL32 (link ntdll). A name, or an ordinal.
struct LoaderName
{
    USHORT length, maximumLength;
    const char *buffer;
};
extern "C" LONG NTAPI LdrGetProcedureAddress(HMODULE, const LoaderName *, ULONG, void **);

inline FARPROC RealGetProcAddress(HMODULE module, LPCSTR name)
{
    void *found = NULL;
    if (HIWORD(name) == 0)
        LdrGetProcedureAddress(module, NULL, LOWORD(name), &found);
    else
    {
        LoaderName ansi = {(USHORT)lstrlenA(name), (USHORT)(lstrlenA(name) + 1), name};
        LdrGetProcedureAddress(module, &ansi, 0, &found);
    }
    return (FARPROC)found;
}

#define REPLACE_WINAPI_IMPORT(name, argumentBytes, replacement)                               \
    extern "C" {                                                                              \
    void *replaced_##name __asm__("__imp__" #name "@" #argumentBytes) = (void *)&replacement; \
    }

#define REPLACE_CDECL_IMPORT(name, replacement)                            \
    extern "C" {                                                           \
    void *replaced_##name __asm__("__imp__" #name) = (void *)&replacement; \
    }

#endif
