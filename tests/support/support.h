// Test support: scratch folders and files, registry keys removed afterwards,
// disc files (VESK.INI, bitmaps), windows of other programs and probe logs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Paths are UTF-8 here, turned into UTF-16 for Windows' wide calls, so that
// a folder may be named with any letter; for ASCII names, as ever.
std::wstring Wide(const std::string &utf8);
std::string Utf8(const std::wstring &text);
// Upper-cased as Windows upper-cases a path: every letter.
std::string Upper(const std::string &utf8);
// A text in the bytes of a code page, from UTF-8; CP_UTF8: as it is.
std::string InCodePage(const std::string &utf8, UINT codePage);

// Folder of the running test executable, where the build puts launcher.exe
// and probe.exe; ends with a backslash.
std::string BuildDir();

// The Windows folder, without a final backslash.
std::string WindowsDir();

std::string ReadTextFile(const std::string &path);
void WriteTextFile(const std::string &path, const std::string &text);
// Makes a folder and every missing folder above it.
void MakeDirs(const std::string &path);
// Removes a folder, named with its last backslash, and everything in it.
void RemoveTree(const std::string &dir);

// Every file and folder below folder (named with its last backslash), with
// its size and time of writing: what a write would change.
std::string FolderListing(const std::string &folder);

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
// goes; it is deleted first too, so each test starts without it. view is 0
// for the program's own registry view, or KEY_WOW64_64KEY.
class RegistryKey {
public:
    RegistryKey(HKEY root, const std::string &subKey, REGSAM view = 0);
    ~RegistryKey();
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;

    void SetString(const std::string &name, const std::string &value, DWORD type = REG_SZ) const;
    // Stored in UTF-16, as installers store folders, from UTF-8.
    void SetUnicodeString(const std::string &name, const std::string &utf8) const;
    void SetBytes(const std::string &name, const void *data, DWORD size, DWORD type) const;
    void SetDword(const std::string &name, DWORD value) const;

private:
    HKEY root_;
    std::string subKey_;
    REGSAM view_;
};

bool KeyExists(HKEY root, const std::string &subKey);
void DeleteKeyTree(HKEY root, const std::string &subKey, REGSAM view = 0);

// A registry key made absent for a test and put back afterwards, with
// everything below it: moved aside beside itself, and whatever the test left
// in its place removed.
class KeySetAside {
public:
    KeySetAside(HKEY root, const std::string &subKey);
    ~KeySetAside();
    KeySetAside(const KeySetAside &) = delete;
    KeySetAside &operator=(const KeySetAside &) = delete;

private:
    HKEY root_;
    std::string subKey_;
    std::string aside_;
};

// The vendor's keys ("SOFTWARE\Quillmoor" in both hives, which the launcher
// creates and under which the settings of the installed edition live), as a
// test needs them: the first guard of a test sets them aside, so that the
// test starts without them whatever earlier tests, runs or installations
// left; the last guard to go removes what the test made and puts back what
// was there. Make one before anything that creates keys below them (a
// launcher run, a RegistryKey below them), so that it goes after.
class VendorKeysSetAside {
public:
    VendorKeysSetAside();
    ~VendorKeysSetAside();
    VendorKeysSetAside(const VendorKeysSetAside &) = delete;
    VendorKeysSetAside &operator=(const VendorKeysSetAside &) = delete;

private:
    std::unique_ptr<KeySetAside> user_, machine_; // held by the first guard only
};

// A file or folder made absent for a test and put back afterwards: moved
// aside, and whatever the test left in its place removed.
class PathSetAside {
public:
    explicit PathSetAside(const std::string &path);
    ~PathSetAside();
    PathSetAside(const PathSetAside &) = delete;
    PathSetAside &operator=(const PathSetAside &) = delete;

private:
    std::string path_;
    std::string aside_;
};

// A minimal VESK.INI: the six required values and whatever follows in each
// section.
std::string MinimalIni(const std::string &extraWindow = "", const std::string &extraProgram = "",
                       const std::string &extraRegIni = "");
// The required values with the given title and more lines in two sections.
std::string IniWithTitle(const std::string &title, const std::string &window = "", const std::string &program = "");

// The headers of an uncompressed 24-bit BMP file of width x height; the
// rows follow, bottom-up, each padded to a multiple of 4 bytes.
std::string BmpHeaders(int width, int height);

// A 24-bit BMP file whose pixel(x, y), counted from the top left, is the
// COLORREF there.
template <typename Pixel>
std::string BmpFile(int width, int height, Pixel pixel)
{
    std::string bytes = BmpHeaders(width, height);
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    for (int y = height - 1; y >= 0; --y) { // stored bottom-up
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            COLORREF colour = pixel(x, y);
            row[3 * x] = static_cast<char>(GetBValue(colour));
            row[3 * x + 1] = static_cast<char>(GetGValue(colour));
            row[3 * x + 2] = static_cast<char>(GetRValue(colour));
        }
        bytes += row;
    }
    return bytes;
}

// A visible top-level window of a class of its own, as another program (an
// installer, the running application) would have it open; its caption is
// its class name.
class ForeignWindow {
public:
    explicit ForeignWindow(const std::string &className);
    ~ForeignWindow();
    ForeignWindow(const ForeignWindow &) = delete;
    ForeignWindow &operator=(const ForeignWindow &) = delete;

    HWND handle() const { return window_; }

private:
    std::string className_;
    HWND window_;
};

// Handles whatever is queued for the test's windows (activation and focus
// under Wine pass through the queue).
void PumpMessages();

// The lines of a probe log: each started probe leaves "CMD ...", "EXE ...",
// "SHOW ..." and "DIR ...", in UTF-8.
struct ProbeRun {
    std::string commandLine;
    std::string directory;
    std::string startup; // dwFlags and wShowWindow of its start-up record
    std::string program; // the probe's own file: which copy ran
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
