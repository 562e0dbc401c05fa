// Scratch folders and files, registry keys, disc files, windows of other
// programs and probe logs for the tests.
#include "tests/support/support.h"

#include <shlwapi.h>

#include <sstream>
#include <stdexcept>

std::wstring Wide(const std::string &utf8)
{
    std::wstring wide(utf8.size(), L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                     static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length));
    return wide;
}

std::string Utf8(const std::wstring &text)
{
    std::string utf8(text.size() * 3, '\0');
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0],
                                     static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length));
    return utf8;
}

std::string Upper(const std::string &utf8)
{
    std::wstring wide = Wide(utf8);
    CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return Utf8(wide);
}

std::string InCodePage(const std::string &utf8, UINT codePage)
{
    std::wstring wide = Wide(utf8);
    if (codePage == CP_UTF8 || wide.empty())
        return utf8;
    std::string bytes(wide.size() * 2, '\0');
    int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0],
                                     static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}

std::string BuildDir()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string dir = Utf8(std::wstring(path, length));
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

std::string WindowsDir()
{
    wchar_t dir[MAX_PATH];
    GetWindowsDirectoryW(dir, MAX_PATH);
    return Utf8(dir);
}

std::string ReadTextFile(const std::string &path)
{
    std::string text;
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

void WriteTextFile(const std::string &path, const std::string &text)
{
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    DWORD written = 0;
    bool wrote = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!wrote)
        throw std::runtime_error("cannot write " + path);
}

void MakeDirs(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/')
            CreateDirectoryW(Wide(path.substr(0, i)).c_str(), nullptr);
    }
}

void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = Utf8(found.cFileName);
            if (name == "." || name == "..")
                continue;
            std::wstring full = Wide(dir + name);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(dir + name + "\\");
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(Wide(dir).c_str());
}

std::string FolderListing(const std::string &folder)
{
    std::string listing;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return listing;
    do {
        std::string name = Utf8(found.cFileName);
        if (name == "." || name == "..")
            continue;
        listing += folder + name + " " + std::to_string(found.nFileSizeLow) + " " +
                   std::to_string(found.ftLastWriteTime.dwLowDateTime) + "\n";
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listing += FolderListing(folder + name + "\\");
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return listing;
}

ScratchDir::ScratchDir(const std::string &tag)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        std::ostringstream name;
        name << Utf8(temp) << "vesk-" << tag << "-" << GetCurrentProcessId() << "-" << GetTickCount() << "-"
             << ++counter;
        if (CreateDirectoryW(Wide(name.str()).c_str(), nullptr)) {
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

void DeleteKeyTree(HKEY root, const std::string &subKey, REGSAM view)
{
    if (!view) {
        SHDeleteKeyA(root, subKey.c_str());
        return;
    }
    HKEY key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
        return;
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(root, subKey.c_str(), view, 0);
}

bool KeyExists(HKEY root, const std::string &subKey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

RegistryKey::RegistryKey(HKEY root, const std::string &subKey, REGSAM view)
    : root_(root), subKey_(subKey), view_(view)
{
    DeleteKeyTree(root_, subKey_, view_);
    HKEY key;
    if (RegCreateKeyExA(root_, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create key " + subKey_);
    RegCloseKey(key);
}

RegistryKey::~RegistryKey()
{
    DeleteKeyTree(root_, subKey_, view_);
}

namespace {

const char kVendorKey[] = "SOFTWARE\\Quillmoor";
int vendorKeysGuards = 0; // of the running test

// Copies a key with everything below it; false when there was nothing to copy.
bool CopyKeyTree(HKEY fromRoot, const std::string &from, HKEY toRoot, const std::string &to)
{
    HKEY source, target;
    if (RegOpenKeyExA(fromRoot, from.c_str(), 0, KEY_READ, &source) != ERROR_SUCCESS)
        return false;
    LONG result = RegCreateKeyExA(toRoot, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegCopyTreeA(source, nullptr, target);
        RegCloseKey(target);
    }
    RegCloseKey(source);
    if (result != ERROR_SUCCESS)
        throw std::runtime_error("cannot copy key " + from + " to " + to);
    return true;
}

} // namespace

VendorKeysSetAside::VendorKeysSetAside()
{
    if (vendorKeysGuards++ > 0)
        return;
    user_ = std::make_unique<KeySetAside>(HKEY_CURRENT_USER, kVendorKey);
    machine_ = std::make_unique<KeySetAside>(HKEY_LOCAL_MACHINE, kVendorKey);
}

VendorKeysSetAside::~VendorKeysSetAside()
{
    --vendorKeysGuards; // the first guard's keys go back as its members go
}

PathSetAside::PathSetAside(const std::string &path) : path_(path)
{
    while (!path_.empty() && path_.back() == '\\')
        path_.pop_back();
    if (GetFileAttributesW(Wide(path_).c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    aside_ = path_ + ".set-aside-" + std::to_string(GetCurrentProcessId());
    if (!MoveFileW(Wide(path_).c_str(), Wide(aside_).c_str()))
        throw std::runtime_error("cannot set aside " + path_);
}

PathSetAside::~PathSetAside()
{
    DWORD attributes = GetFileAttributesW(Wide(path_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path_ + "\\");
        else
            DeleteFileW(Wide(path_).c_str());
    }
    if (!aside_.empty())
        MoveFileW(Wide(aside_).c_str(), Wide(path_).c_str());
}

KeySetAside::KeySetAside(HKEY root, const std::string &subKey) : root_(root), subKey_(subKey)
{
    std::string aside = subKey_ + ".set-aside-" + std::to_string(GetCurrentProcessId());
    DeleteKeyTree(root_, aside);
    if (CopyKeyTree(root_, subKey_, root_, aside)) {
        aside_ = aside;
        DeleteKeyTree(root_, subKey_);
    }
}

KeySetAside::~KeySetAside()
{
    DeleteKeyTree(root_, subKey_);
    if (aside_.empty())
        return;
    CopyKeyTree(root_, aside_, root_, subKey_);
    DeleteKeyTree(root_, aside_);
}

void RegistryKey::SetBytes(const std::string &name, const void *data, DWORD size, DWORD type) const
{
    HKEY key;
    if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, &key) != ERROR_SUCCESS)
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

void RegistryKey::SetUnicodeString(const std::string &name, const std::string &utf8) const
{
    HKEY key;
    if (RegOpenKeyExA(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, &key) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open key " + subKey_);
    std::wstring value = Wide(utf8);
    LONG result = RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        throw std::runtime_error("cannot set value " + name);
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
            runs.push_back({line.substr(4), "", "", ""});
        else if (line.rfind("EXE ", 0) == 0 && !runs.empty())
            runs.back().program = line.substr(4);
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

std::string MinimalIni(const std::string &extraWindow, const std::string &extraProgram, const std::string &extraRegIni)
{
    return "[Window]\r\n"
           "Title=Tolvane Test Disc\r\n" +
           extraWindow +
           "[Program]\r\n"
           "Application name=app.exe\r\n"
           "Installer=setup.exe\r\n" +
           extraProgram +
           "[RegIni]\r\n"
           "Ini file name=TolvaneTestRecord\r\n"
           "Key install dir=InstallDir\r\n"
           "Section name=Setup\r\n" +
           extraRegIni;
}

std::string IniWithTitle(const std::string &title, const std::string &window, const std::string &program)
{
    return "[Window]\r\nTitle=" + title + "\r\n" + window +
           "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe\r\n" + program +
           "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=Dir\r\nSection name=Main\r\n";
}

std::string BmpHeaders(int width, int height)
{
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * height;
    return std::string(reinterpret_cast<const char *>(&file), sizeof file) +
           std::string(reinterpret_cast<const char *>(&info), sizeof info);
}

ForeignWindow::ForeignWindow(const std::string &className) : className_(className)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className_.c_str();
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, className_.c_str(), className_.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300,
                              200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

ForeignWindow::~ForeignWindow()
{
    DestroyWindow(window_);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // leave it for the test to see
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
