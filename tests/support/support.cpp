// Scratch folders and files, registry keys and probe logs for the tests.
#include "tests/support/support.h"

#include <shlwapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

std::string BuildDir()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

std::string ReadTextFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteTextFile(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

static void MakeDirs(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

static void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

ScratchDir::ScratchDir(const std::string &tag)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static unsigned counter = 0;
    for (;;) {
        std::ostringstream name;
        name << temp << "vesk-" << tag << "-" << GetCurrentProcessId() << "-" << GetTickCount() << "-" << ++counter;
        if (CreateDirectoryA(name.str().c_str(), nullptr)) {
            path_ = name.str() + "\\";
            return;
        }
    }
}

ScratchDir::~ScratchDir()
{
    RemoveTree(path_);
}

std::string ScratchDir::Write(const std::string &relative, const std::string &text) const
{
    std::string full = path_ + relative;
    MakeDirs(full.substr(0, full.find_last_of('\\')));
    WriteTextFile(full, text);
    return full;
}

std::string ScratchDir::MakeDir(const std::string &relative) const
{
    std::string full = path_ + relative;
    MakeDirs(full);
    return full;
}

void DeleteKeyTree(HKEY root, const std::string &subKey)
{
    SHDeleteKeyA(root, subKey.c_str());
}

bool KeyExists(HKEY root, const std::string &subKey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

RegistryKey::RegistryKey(HKEY root, const std::string &subKey) : root_(root), subKey_(subKey)
{
    DeleteKeyTree(root_, subKey_);
    HKEY key;
    if (RegCreateKeyExA(root_, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create key " + subKey_);
    RegCloseKey(key);
}

RegistryKey::~RegistryKey()
{
    DeleteKeyTree(root_, subKey_);
}

void RegistryKey::SetBytes(const std::string &name, const void *data, DWORD size, DWORD type) const
{
    HKEY key;
    if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open key " + subKey_);
    LONG result = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        throw std::runtime_error("cannot set value " + name);
}

void RegistryKey::SetString(const std::string &name, const std::string &value, DWORD type) const
{
    SetBytes(name, value.c_str(), static_cast<DWORD>(value.size() + 1), type);
}

void RegistryKey::SetDword(const std::string &name, DWORD value) const
{
    SetBytes(name, &value, sizeof value, REG_DWORD);
}

std::vector<ProbeRun> ReadProbeLog(const std::string &logPath)
{
    std::vector<ProbeRun> runs;
    std::istringstream lines(ReadTextFile(logPath));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("CMD ", 0) == 0)
            runs.push_back({line.substr(4), "", ""});
        else if (line.rfind("SHOW ", 0) == 0 && !runs.empty())
            runs.back().startup = line.substr(5);
        else if (line.rfind("DIR ", 0) == 0 && !runs.empty())
            runs.back().directory = line.substr(4);
    }
    return runs;
}

std::vector<ProbeRun> WaitForProbeRuns(const std::string &logPath, size_t count, DWORD timeoutMs)
{
    std::vector<ProbeRun> runs;
    WaitUntil(
        [&] {
            runs = ReadProbeLog(logPath);
            return runs.size() >= count && !runs.back().directory.empty();
        },
        timeoutMs);
    return runs;
}
