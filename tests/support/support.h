// Test support: scratch folders and files, registry keys removed afterwards,
// and running launcher.exe as its own process on a prepared disc folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Folder of the running test executable, where the build puts launcher.exe
// and probe.exe; ends with a backslash.
std::string BuildDir();

std::string ReadTextFile(const std::string &path);
void WriteTextFile(const std::string &path, const std::string &text);

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchDir {
public:
    explicit ScratchDir(const std::string &tag = "t");
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &path() const { return path_; } // ends with a backslash
    std::string operator/(const std::string &relative) const { return path_ + relative; }
    // Writes a file, making its folders; returns its full path.
    std::string Write(const std::string &relative, const std::string &text) const;
    std::string MakeDir(const std::string &relative) const;

private:
    std::string path_;
};

// A registry key that is deleted, with everything below it, when the guard
// goes; it is deleted first too, so each test starts without it.
class RegistryKey {
public:
    RegistryKey(HKEY root, const std::string &subKey);
    ~RegistryKey();
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;

    void SetString(const std::string &name, const std::string &value, DWORD type = REG_SZ) const;
    void SetBytes(const std::string &name, const void *data, DWORD size, DWORD type) const;
    void SetDword(const std::string &name, DWORD value) const;

private:
    HKEY root_;
    std::string subKey_;
};

bool KeyExists(HKEY root, const std::string &subKey);
void DeleteKeyTree(HKEY root, const std::string &subKey);

// The lines of a probe log: each started probe leaves "CMD ...", "SHOW ..."
// and "DIR ...".
struct ProbeRun {
    std::string commandLine;
    std::string directory;
    std::string startup; // dwFlags and wShowWindow of its start-up record
};
std::vector<ProbeRun> ReadProbeLog(const std::string &logPath);
// Waits until the log holds at least count runs; returns what it holds then.
std::vector<ProbeRun> WaitForProbeRuns(const std::string &logPath, size_t count, DWORD timeoutMs = 10000);

// Polls condition every few milliseconds until it holds or timeoutMs passed.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}
