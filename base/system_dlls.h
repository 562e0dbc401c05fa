// DLLs from the system folder only, whatever lies beside the program.
#pragma once

#include <windows.h>

// Keeps every DLL loaded from now on to the system folder; the first thing
// the launcher does.
void RestrictDllSearch();
// Loads a DLL from the system folder, whatever lies beside the launcher.
HMODULE LoadSystemLibrary(const char *name);
// A function of a system DLL, loaded when first needed; null when missing.
template <typename Function>
Function SystemFunction(const char *dll, const char *name)
{
    HMODULE module = LoadSystemLibrary(dll);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}
