// launcher.exe loads no code from the folder it runs from, nor from the
// current folder: DLLs planted there under the names of system DLLs that
// Windows would look for there first are never loaded, and the launcher
// works as usual meanwhile, its sound and what it gives screen readers
// included.
#include "tests/support/accessible.h"
#include "tests/support/e2e.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The system DLLs that the launcher, or a system DLL on its behalf, loads by
// name, and that Windows does not protect (no KnownDLLs); shell32 is one on
// Windows, but here nothing may bring in a planted one either.
//
// Known difference between Wine and Windows: Wine's user32 imports
// version.dll and imm32.dll, so Wine loads them from the program's folder
// before any code of the launcher runs. Windows' user32 imports neither
// (and imm32 is a KnownDLL), so those two are planted only in the current
// folder, which Wine, like Windows, searches after the system folder.
const std::vector<std::string> kBesideTheLauncher = {"winmm",    "uxtheme", "msimg32", "msacm32",
                                                     "comctl32", "dwmapi",  "shell32", "oleacc"};
const std::vector<std::string> kInTheCurrentFolder = {"winmm",  "uxtheme", "msimg32", "msacm32", "comctl32",
                                                      "dwmapi", "shell32", "oleacc",  "version", "imm32"};

// Makes Wine prefer a DLL that the search finds over its own, as Windows
// does for every DLL that is not a KnownDLL; for programs started meanwhile.
class PreferFoundDlls {
public:
    explicit PreferFoundDlls(const std::vector<std::string> &names)
    {
        std::string overrides;
        for (const std::string &name : names)
            overrides += (overrides.empty() ? "" : ";") + name + "=n,b";
        SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides.c_str());
    }
    ~PreferFoundDlls() { SetEnvironmentVariableA("WINEDLLOVERRIDES", nullptr); }
    PreferFoundDlls(const PreferFoundDlls &) = delete;
    PreferFoundDlls &operator=(const PreferFoundDlls &) = delete;
};

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The full paths, in lower case, of the modules a process has loaded.
std::vector<std::string> ModulesOf(DWORD pid)
{
    std::vector<std::string> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return modules;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        modules.push_back(Lower(module.szExePath));
    CloseHandle(snapshot);
    return modules;
}

// Whether a module is the system DLL name: from System32, or under WoW64
// from SysWOW64, which GetSystemDirectory does not name (a 32-bit program's
// accesses to System32 are redirected there, and Windows and Wine name the
// module by either folder).
bool IsSystemFile(const std::string &module, const char *name)
{
    char system[MAX_PATH], wow64[MAX_PATH];
    UINT systemLength = GetSystemDirectoryA(system, sizeof system);
    UINT wow64Length = GetSystemWow64DirectoryA(wow64, sizeof wow64);
    return (systemLength && systemLength < sizeof system && module == Lower(std::string(system) + "\\" + name)) ||
           (wow64Length && wow64Length < sizeof wow64 && module == Lower(std::string(wow64) + "\\" + name));
}

// The launcher on a disc with a sound, started in a current folder of its
// own or in the disc's root (as AutoPlay starts it), with a DLL planted
// under each name in folder; none of them may be loaded.
void ExpectNoneLoaded(const std::vector<std::string> &names, bool besideTheLauncher)
{
    Disc disc;
    ScratchDir current("cwd");
    std::string folder = besideTheLauncher ? disc.root() : current.path();
    disc.WriteIni(MinimalIni("Audio=startup.wav\r\n"));
    // The sound is looked for in the current folder.
    ASSERT_TRUE(CopyFileA((BuildDir() + "demo-disc\\startup.wav").c_str(), (folder + "startup.wav").c_str(), FALSE));
    for (const std::string &name : names)
        ASSERT_TRUE(CopyFileA((BuildDir() + "planted.dll").c_str(), (folder + name + ".dll").c_str(), FALSE));

    LauncherProcess launcher;
    {
        PreferFoundDlls prefer(names);
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog(), folder));
    }
    HWND window = launcher.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);
    // A screen reader asks what the window says.
    EXPECT_EQ(S_OK, ReadAccessible(window).found);
    // The sound plays and the window answers: their libraries are loaded,
    // from the system folder.
    std::vector<std::string> modules;
    for (const char *library : {"winmm.dll", "oleacc.dll"}) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                modules = ModulesOf(launcher.pid());
                return std::any_of(modules.begin(), modules.end(),
                                   [&](const std::string &module) { return IsSystemFile(module, library); });
            },
            10000))
            << "no " << library << " from the system folder among " << testing::PrintToString(modules);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, launcher.WaitForExit());

    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + name + ".dll.loaded").c_str()))
            << "the planted " << name << ".dll was loaded";
    }
    for (const std::string &module : modules) {
        bool dll = module.size() > 4 && module.compare(module.size() - 4, 4, ".dll") == 0;
        EXPECT_FALSE(dll && module.rfind(Lower(folder), 0) == 0) << module;
    }
}

TEST(PlantedDlls, NoneBesideTheLauncherIsLoaded)
{
    ExpectNoneLoaded(kBesideTheLauncher, true);
}

TEST(PlantedDlls, NoneInTheCurrentFolderIsLoaded)
{
    ExpectNoneLoaded(kInTheCurrentFolder, false);
}

} // namespace
