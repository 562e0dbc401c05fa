// DLLs from the system folder only, whatever lies beside the program; and
// which Windows that folder belongs to.
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

// True for a 32-bit program on 64-bit Windows (WoW64), whose registry reads
// see the 32-bit view unless they ask for the other.
bool RunsUnderWow64();
