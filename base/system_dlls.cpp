// DLLs from the system folder only. An autoplay program runs from wherever
// its files are, a disc, a USB stick or a Downloads folder, where anyone may
// have left a DLL beside it; Windows would look there first for every DLL
// that is not one of its KnownDLLs.
#include "base/system_dlls.h"
#include "base/text.h"

namespace {

template <typename Function>
Function Kernel32Function(const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

} // namespace

void RestrictDllSearch()
{
    // Windows 8, and 7 or Vista with update KB2533623: the system folder alone,
    // for every DLL loaded from now on, also by system DLLs on our behalf.
    auto setDefault = Kernel32Function<BOOL(WINAPI *)(DWORD)>("SetDefaultDllDirectories");
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Older Windows: at least not the current folder.
        if (auto setDirectory = Kernel32Function<BOOL(WINAPI *)(LPCSTR)>("SetDllDirectoryA"))
            setDirectory("");
    }
    // A system DLL that another loads by name when it first draws, by a way
    // that skips the restriction above (Wine's delayed imports, or a Windows
    // without it): loaded first from the system folder, it is the one found.
    LoadSystemLibrary("msimg32.dll");
}

HMODULE LoadSystemLibrary(const char *name)
{
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !TextAppend(path, L"\\") || !TextAppend(path, Ansi{name}))
        return nullptr;
    // A full path, and its own dependencies looked for beside it.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RunsUnderWow64()
{
    // Asked once; a plain flag, as a guarded static would bring the thread
    // library into the launcher. Older Windows lack the function, and are
    // all 32-bit.
    static int wow64 = -1;
    if (wow64 < 0) {
        auto isWow64 = Kernel32Function<BOOL(WINAPI *)(HANDLE, PBOOL)>("IsWow64Process");
        BOOL answer = FALSE;
        wow64 = isWow64 && isWow64(GetCurrentProcess(), &answer) && answer;
    }
    return wow64 != 0;
}
