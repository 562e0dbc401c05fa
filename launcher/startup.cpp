// The start-up chain: finds the launcher's folder, reads the configuration,
// loads what the window needs and decides whether Install or Start is offered.
#include "launcher/launcher.h"
#include "config/config.h"
#include "install/install.h"
#include "ui/ui.h"

int KeepDirectoryPart(char *path, DWORD length)
{
    // Index 0 is never examined: a folder must keep a name before its separator.
    int i = static_cast<int>(length) - 1;
    while (i >= 1 && path[i] != '\\' && path[i] != '/')
        --i;
    if (i < 1)
        return 0;
    path[i + 1] = '\0';
    CharUpperBuffA(path, lstrlenA(path));
    return 1;
}

int LocateModuleDir()
{
    DWORD length = GetModuleFileNameA(Launcher.appInstance, Launcher.moduleDir, sizeof Launcher.moduleDir);
    // A full buffer means the path was cut: its folder is unknown.
    if (length == 0 || length >= sizeof Launcher.moduleDir) {
        Launcher.moduleDir[0] = '\0';
        return 0;
    }
    return KeepDirectoryPart(Launcher.moduleDir, length);
}

int InitLauncher()
{
    if (!LocateModuleDir())
        return 0;
    if (!LoadLauncherSettings())
        return 0;
    if (!LoadFontMetrics())
        return 0;
    DetectInstallation(); // never ends start-up: a failure means "not installed"
    // The picture depends on what detection found.
    if (!LoadBackdrop())
        return 0;
    PlayStartupSound();
    return 1;
}
