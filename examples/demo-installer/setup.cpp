// The sample disc's installer. It copies the demo application and the disc's
// courses into the user's local application data and leaves the installation
// record that the disc's VESK.INI names, so that the launcher offers Start on
// its next run. A real installer leaves the same record.
//
//   setup.exe           asks, installs, says when it is done
//   setup.exe /S        installs without asking or telling
//   setup.exe /remove   removes the installation and its record, silently
//
// Exit codes: 0 done, 1 cancelled, 2 failed.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

const char kCaption[] = "Tolvane Demo Setup";
// VESK.INI: "Ini file name=Quillmoor" and "Section name=Tolvane" make the
// launcher read HKEY_CURRENT_USER\Software\Quillmoor\Tolvane\Settings
// ("RegTopKey=C"), value "InstallDir" ("Key install dir=InstallDir").
const char kRecordKey[] = "Software\\Quillmoor\\Tolvane\\Settings";
const char kProductKey[] = "Software\\Quillmoor\\Tolvane";
const char kInstallDirValue[] = "InstallDir";
// The edition this disc installs: the launcher compares the title of the
// edition recorded here with the Title of a disc before offering Install.
const char kEditionValue[] = "Demo";
const char kProgram[] = "TolvaneDemo.exe";

std::string DiscFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// <local application data>\Tolvane Demo\, or empty when the system has none.
std::string InstallFolder()
{
    char base[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base)))
        return "";
    return std::string(base) + "\\Tolvane Demo\\";
}

bool CopyCourses(const std::string &disc, const std::string &target)
{
    CreateDirectoryA((target + "repository").c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((disc + "repository\\*.course").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true; // a disc without courses
    bool copied = true;
    do {
        std::string name = found.cFileName;
        copied = CopyFileA((disc + "repository\\" + name).c_str(), (target + "repository\\" + name).c_str(), FALSE) &&
                 copied;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return copied;
}

bool WriteRecord(const std::string &target)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const BYTE *folder = reinterpret_cast<const BYTE *>(target.c_str());
    bool written =
        RegSetValueExA(key, kInstallDirValue, 0, REG_SZ, folder, static_cast<DWORD>(target.size() + 1)) ==
            ERROR_SUCCESS &&
        RegSetValueExA(key, kEditionValue, 0, REG_SZ, reinterpret_cast<const BYTE *>(""), 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

// The record is written last: an installation cut short is not offered as
// installed.
const char *Install(const std::string &disc, const std::string &target)
{
    if (!CreateDirectoryA(target.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return "The installation folder cannot be created.";
    if (!CopyFileA((disc + "program\\" + kProgram).c_str(), (target + kProgram).c_str(), FALSE))
        return "The program cannot be copied from the disc.";
    if (!CopyCourses(disc, target))
        return "The courses cannot be copied from the disc.";
    if (!WriteRecord(target))
        return "The installation record cannot be written.";
    return nullptr;
}

void Remove(const std::string &target)
{
    // The record goes first: what is left of the files no longer counts.
    RegDeleteKeyA(HKEY_CURRENT_USER, kRecordKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey); // only when nothing else is under it
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((target + "repository\\*.course").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((target + "repository\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA((target + "repository").c_str());
    DeleteFileA((target + kProgram).c_str());
    RemoveDirectoryA(target.c_str());
}

bool HasSwitch(const char *commandLine, const char *name)
{
    std::string line = commandLine;
    for (size_t start = 0; start < line.size();) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos)
            end = line.size();
        if (lstrcmpiA(line.substr(start, end - start).c_str(), name) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    bool silent = HasSwitch(commandLine, "/S");
    std::string target = InstallFolder();
    if (target.empty()) {
        if (!silent)
            MessageBoxA(nullptr, "This system has no folder for local application data.", kCaption, MB_ICONERROR);
        return 2;
    }
    if (HasSwitch(commandLine, "/remove")) {
        Remove(target);
        return 0;
    }

    std::string question = "Tolvane Demo will be installed in\n" + target + "\n\nInstall it now?";
    if (!silent && MessageBoxA(nullptr, question.c_str(), kCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return 1;
    if (const char *failure = Install(DiscFolder(), target)) {
        if (!silent)
            MessageBoxA(nullptr, failure, kCaption, MB_ICONERROR);
        return 2;
    }
    if (!silent)
        MessageBoxA(nullptr, "Tolvane Demo is installed.\n\nRun the disc again and press Start to begin.", kCaption,
                    MB_ICONINFORMATION);
    return 0;
}
