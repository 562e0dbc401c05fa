// The start-up benchmark (scripts/bench runs it under Wine):
//
//   bench.exe [RUNS] [LAUNCHER.exe]
//
// Times, in turns, from process start to a visible window: the bare window
// (bare.exe), the same with the launcher's manifest and so themed buttons
// (bare_themed.exe), and launcher.exe on three discs (Install offered with a
// sound, Install without one, Start). Each ratio is the median of a run's
// time against the yardstick's of the same turn. Then the launcher's CPU
// time while its window sits idle for 5 s, the size of launcher.exe's
// sections without its resources, and the bytes read from the sample disc's
// image in drive D: until the window shows (VESK_DISC_READER names the Linux
// process that reads it). Prints a table and, last, one line with the
// ratios and figures.
#include "tests/support/e2e.h"

#include <algorithm>
#include <ctype.h>
#include <functional>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Case {
    const char *name;
    std::string program;
    const char *windowClass;
    std::vector<double> times;
};

// Starts the program from its folder; the milliseconds until its window is
// visible, or -1 when none came. shown, when given, runs as it becomes
// visible. The window is closed afterwards.
double TimeToWindow(const Case &c, const std::function<void()> &shown = nullptr)
{
    std::string folder = c.program.substr(0, c.program.find_last_of('\\') + 1);
    std::string commandLine = "\"" + c.program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = Now();
    if (!CreateProcessA(c.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return -1;
    HWND window = nullptr;
    double visible = -1;
    while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && Now() - start < 10000) {
        window = FindWindowA(c.windowClass, nullptr);
        if (window && IsWindowVisible(window)) {
            visible = Now() - start;
            if (shown)
                shown();
            break;
        }
        Sleep(1);
    }
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return visible;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// CPU time, in ms, that Linux has counted for the Unix process of a Wine
// program whose path holds marker (its disc's folder name): Wine's own
// process times are too coarse. -1 when there is no such process.
double UnixCpuMs(const std::string &marker)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    double ms = -1;
    do {
        std::string proc = std::string("Z:\\proc\\") + found.cFileName;
        if (!isdigit(static_cast<unsigned char>(found.cFileName[0])) ||
            ReadTextFile(proc + "\\cmdline").find(marker) == std::string::npos)
            continue;
        // After the command's name in parentheses: state, then twelve more
        // fields, then utime and stime in clock ticks of 10 ms.
        std::string stat = ReadTextFile(proc + "\\stat");
        unsigned long user = 0, system = 0;
        size_t close = stat.rfind(')');
        if (close != std::string::npos &&
            sscanf(stat.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                   &system) == 2)
            ms = 10.0 * static_cast<double>(user + system);
    } while (ms < 0 && FindNextFileA(search, &found));
    FindClose(search);
    return ms;
}

// CPU time the launcher spends while its window is shown and nobody touches it.
double IdleCpu(const Case &c, DWORD idleMs)
{
    std::string folder = c.program.substr(0, c.program.find_last_of('\\') + 1);
    std::string marker = folder.substr(folder.find_last_of('\\', folder.size() - 2) + 1);
    marker.pop_back(); // the folder's own name, without its backslash
    LauncherProcess launcher;
    if (!launcher.Start(c.program, folder + "probe.log"))
        return -1;
    HWND window = launcher.WaitForWindow(kLauncherClass);
    if (!window)
        return -1;
    WaitForInputIdle(launcher.handle(), 5000);
    Sleep(500); // the sound's start, which is not idleness
    double before = UnixCpuMs(marker);
    Sleep(idleMs);
    double after = UnixCpuMs(marker);
    PostMessageA(window, WM_CLOSE, 0, 0);
    launcher.WaitForExit();
    return before < 0 || after < 0 ? -1 : after - before;
}

// The sizes in memory of the executable's sections, resources apart.
std::string SectionSizes(const std::string &exe, double &totalKiB)
{
    std::string bytes = ReadTextFile(exe);
    totalKiB = 0;
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
        return "(cannot read " + exe + ")";
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(bytes.data());
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(bytes.data() + dos->e_lfanew);
    auto *section = IMAGE_FIRST_SECTION(nt);
    std::string list;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const char *field = reinterpret_cast<const char *>(section->Name);
        std::string name(field, strnlen(field, 8)); // eight bytes, not always terminated
        if (name == ".rsrc")
            continue;
        totalKiB += section->Misc.VirtualSize / 1024.0;
        char entry[64];
        snprintf(entry, sizeof entry, "%s%s %.1f", list.empty() ? "" : ", ", name.c_str(),
                 section->Misc.VirtualSize / 1024.0);
        list += entry;
    }
    return list;
}

// Bytes the Linux process readerPid has read so far ("rchar" of its io
// counters); -1 when they can't be read.
long long BytesRead(const std::string &readerPid)
{
    std::string io = ReadTextFile("Z:\\proc\\" + readerPid + "\\io");
    size_t at = io.find("rchar: ");
    return readerPid.empty() || at == std::string::npos ? -1 : atoll(io.c_str() + at + 7);
}

long long FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The launcher on the sample disc's image in drive D:, started as AutoPlay
// starts it: the bytes its reader (fuseiso, readerPid) gave from each start
// until the window was visible, against the bytes of the files it needs. A
// CD drive reads about 1.5 to 3.6 MB/s, so bytes are its time to the window,
// and unlike times they hold from run to run. The first start after the
// disc went in reads its folders too; Linux keeps them after that.
struct DiscRead {
    const char *name;
    std::vector<const char *> files; // what it needs from the disc
    std::vector<long long> reads;    // each run's, -1 for one that failed
    long long needed = 0;
};

void MeasureDiscRead(DiscRead &row, const std::string &readerPid, int runs)
{
    Case fromDisc = {"sample disc", "D:\\launcher.exe", kLauncherClass, {}};
    for (const char *file : row.files)
        row.needed += FileSize(std::string("D:\\") + file);
    // Nothing else reads the disc meanwhile: what its reader gives is the launcher's.
    for (int run = 0; run < runs; ++run) {
        long long before = BytesRead(readerPid), atWindow = -1;
        bool shown = TimeToWindow(fromDisc, [&] { atWindow = BytesRead(readerPid); }) >= 0;
        row.reads.push_back(shown && before >= 0 && atWindow >= 0 ? atWindow - before : -1);
    }
}

std::string Thousands(long long n)
{
    std::string digits = std::to_string(n < 0 ? -n : n), grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return (n < 0 ? "-" : "") + grouped;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 15;
    std::string launcherExe = argc > 2 ? argv[2] : BuildDir() + "launcher.exe";
    if (runs < 1)
        return 2;

    // Three discs, each with its own copy of the launcher.
    Disc withSound, silent, installed;
    for (const Disc *disc : {&withSound, &silent, &installed})
        CopyFileA(launcherExe.c_str(), disc->Launcher().c_str(), FALSE);
    withSound.WriteIni(MinimalIni("Audio=startup.wav\r\n"));
    CopyFileA((BuildDir() + "demo-disc\\startup.wav").c_str(), (withSound.root() + "startup.wav").c_str(), FALSE);
    silent.WriteIni(MinimalIni());
    installed.WriteIni(MinimalIni("Bitmap=back.bmp\r\n", "", "RegTopKey=C\r\n"));
    installed.Write("back.bmp", BmpFile(300, 140, [](int x, int y) { return RGB(x % 256, y, 128); }));
    ScratchDir installation("inst");
    installed.CopyProbeTo(installation / "app.exe");
    RegistryKey top(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
    RegistryKey record(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
    record.SetString("InstallDir", installation.path());

    std::vector<Case> cases = {
        {"bare window", BuildDir() + "bare.exe", "VeskBareWindow", {}},
        {"bare, themed buttons", BuildDir() + "bare_themed.exe", "VeskBareWindow", {}},
        {"Install, with sound", withSound.Launcher(), kLauncherClass, {}},
        {"Install, no sound", silent.Launcher(), kLauncherClass, {}},
        {"Start", installed.Launcher(), kLauncherClass, {}},
    };
    // Once each first: the files come into the cache, Wine's desktop is up.
    for (const Case &c : cases)
        TimeToWindow(c);
    for (int run = 0; run < runs; ++run) {
        for (Case &c : cases)
            c.times.push_back(TimeToWindow(c));
    }

    // Each run's time against the bare window's of the same turn: what the
    // machine did meanwhile weighs on both alike.
    auto ratio = [&](const Case &c, const Case &to) {
        std::vector<double> ratios;
        for (size_t i = 0; i < c.times.size(); ++i)
            ratios.push_back(c.times[i] / to.times[i]);
        return Median(ratios);
    };
    const Case &bare = cases[0], &themed = cases[1];
    printf("%-22s %10s %10s %8s %8s\n", "start to window", "median ms", "min ms", "ratio", "themed");
    std::string ratios, themedRatios;
    bool failed = false;
    for (const Case &c : cases) {
        bool none = std::find(c.times.begin(), c.times.end(), -1.0) != c.times.end();
        failed = failed || none;
        printf("%-22s %10.1f %10.1f %8.2f %8.2f%s\n", c.name, Median(c.times),
               *std::min_element(c.times.begin(), c.times.end()), ratio(c, bare), ratio(c, themed),
               none ? "  (a run showed no window)" : "");
        if (c.windowClass == kLauncherClass) {
            char text[96];
            snprintf(text, sizeof text, "%s%s %.2f", ratios.empty() ? "" : ", ", c.name, ratio(c, bare));
            ratios += text;
            snprintf(text, sizeof text, "%s%.2f", themedRatios.empty() ? "" : ", ", ratio(c, themed));
            themedRatios += text;
        }
    }
    double idle = IdleCpu(cases[2], 5000);
    printf("idle CPU over 5 s: %.0f ms (Linux counts in ticks of 10 ms)\n", idle);
    double kib = 0;
    std::string sections = SectionSizes(launcherExe, kib);
    printf("sections without resources: %.1f KiB (%s); launcher.exe %s bytes\n", kib, sections.c_str(),
           Thousands(FileSize(launcherExe)).c_str());

    // The sample disc as it comes (Install, the built-in picture), the
    // first start after the disc went in, then again; then with its
    // application installed (Start, the disc's installed.bmp).
    DiscRead discReads[] = {{"Install", {"launcher.exe", "VESK.INI"}, {}},
                            {"Start", {"launcher.exe", "installed.bmp", "VESK.INI"}, {}}};
    const char *reader = getenv("VESK_DISC_READER");
    std::string discLine = "no sample disc image in D:";
    if (reader && *reader && FileSize("D:\\launcher.exe") > 0) {
        MeasureDiscRead(discReads[0], reader, 3);
        ScratchDir sample("sample");
        sample.Write("TolvaneDemo.exe", "installed");
        sample.Write("repository\\welcome.course", "installed");
        sample.Write("repository\\first-steps.course", "installed");
        RegistryKey sampleTop(HKEY_CURRENT_USER, "Software\\Quillmoor\\Tolvane");
        RegistryKey sampleRecord(HKEY_CURRENT_USER, "Software\\Quillmoor\\Tolvane\\Settings");
        sampleRecord.SetString("InstallDir", sample.path());
        MeasureDiscRead(discReads[1], reader, 3);
        discLine = "bytes read from the disc:";
        for (const DiscRead &row : discReads) {
            std::string reads;
            for (long long n : row.reads) {
                reads += (reads.empty() ? "" : ", ") + Thousands(n);
                failed = failed || n < 0;
            }
            printf("read from the sample disc until the window, %s: %s bytes; the files it needs %s (", row.name,
                   reads.c_str(), Thousands(row.needed).c_str());
            for (size_t i = 0; i < row.files.size(); ++i)
                printf("%s%s %s", i ? ", " : "", row.files[i],
                       Thousands(FileSize(std::string("D:\\") + row.files[i])).c_str());
            printf(")\n");
            discLine += std::string(&row == discReads ? " " : "; ") + row.name + " " + reads;
        }
    }
    printf("ratios to the bare window: %s (to the themed one: %s); idle CPU %.0f ms; sections %.1f KiB; %s\n",
           ratios.c_str(), themedRatios.c_str(), idle, kib, discLine.c_str());
    return failed ? 1 : 0;
}
