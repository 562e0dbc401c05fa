// Starting programs: directory + program within the command line's 256 bytes,
// and the start through the shell that asks for consent when a program must
// run elevated, driven directly with the probe.
#include "base/process.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Makes a folder the current directory while it lives, and restores the
// previous one before the folder can be removed.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string &path)
    {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(Wide(path).c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryW(previous_); }
    CurrentDirectory(const CurrentDirectory &) = delete;
    CurrentDirectory &operator=(const CurrentDirectory &) = delete;

private:
    wchar_t previous_[MAX_PATH] = L"";
};

// Started programs inherit PROBE_LOG and so tell where they were started.
class ProbeLogVariable {
public:
    explicit ProbeLogVariable(const std::string &path) { SetEnvironmentVariableW(L"PROBE_LOG", Wide(path).c_str()); }
    ~ProbeLogVariable() { SetEnvironmentVariableW(L"PROBE_LOG", nullptr); }
    ProbeLogVariable(const ProbeLogVariable &) = delete;
    ProbeLogVariable &operator=(const ProbeLogVariable &) = delete;
};

void CopyProbe(const ScratchDir &dir, const std::string &relative)
{
    size_t folderEnd = relative.find_last_of('\\');
    if (folderEnd != std::string::npos)
        dir.MakeDir(relative.substr(0, folderEnd));
    std::string target = dir.path() + relative;
    ASSERT_TRUE(CopyFileW(Wide(BuildDir() + "probe.exe").c_str(), Wide(target).c_str(), FALSE)) << target;
}

// A logged command line as program and arguments; the shell may quote the
// program's name.
struct LoggedCommand {
    std::string program;
    std::string arguments;
};
LoggedCommand SplitLogged(const std::string &commandLine)
{
    size_t end;
    std::string program;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        program = commandLine.substr(1, end - 1);
        ++end;
    } else {
        end = commandLine.find(' ');
        program = commandLine.substr(0, end);
    }
    std::string arguments = end < commandLine.size() ? commandLine.substr(end + 1) : "";
    return {program, arguments};
}

TEST(CommandConsent, StartsTheProgramCreateProcessWouldTakeWithItsArgumentsAndDirectory)
{
    // Windows refuses CreateProcessA with ERROR_ELEVATION_REQUIRED for a
    // program that must run elevated, and the launcher then hands the same
    // command line to StartWithConsent. Wine runs every program without
    // elevation and never gives that error, so the fallback is driven directly.
    struct Row {
        const char *name;
        std::vector<std::string> probes;
        std::vector<std::string> folders;
        std::string commandLine; // after the scratch folder
        std::string program;     // after the scratch folder
        std::string arguments;
    } rows[] = {
        {"arguments after a name with a blank", {"Tolvane Demo\\setup.exe"}, {}, "Tolvane Demo\\setup.exe /S /LANG=en",
         "Tolvane Demo\\setup.exe", "/S /LANG=en"},
        {"arguments kept as written", {"Tolvane Demo\\setup.exe"}, {}, "Tolvane Demo\\setup.exe /D=\"C:\\a b\"  /S",
         "Tolvane Demo\\setup.exe", "/D=\"C:\\a b\"  /S"},
        {"no arguments", {"Tolvane Demo\\setup.exe"}, {}, "Tolvane Demo\\setup.exe", "Tolvane Demo\\setup.exe", ""},
        {"a folder named like the first word is no program", {"Tolvane Demo\\setup.exe"}, {"Tolvane"},
         "Tolvane Demo\\setup.exe /S", "Tolvane Demo\\setup.exe", "/S"},
        {"a program named by the first word comes first", {"Tolvane Demo\\setup.exe", "Tolvane.exe"}, {},
         "Tolvane Demo\\setup.exe /S", "Tolvane.exe", "Demo\\setup.exe /S"},
        {"a name without its extension", {"Tolvane Demo\\setup.exe"}, {}, "Tolvane Demo\\setup /S",
         "Tolvane Demo\\setup.exe", "/S"},
        {"a folder named in no single code page", {"Диск 光盘\\setup.exe"}, {}, "Диск 光盘\\setup.exe /S",
         "Диск 光盘\\setup.exe", "/S"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir("consent");
        for (const std::string &probe : row.probes)
            CopyProbe(dir, probe);
        for (const std::string &folder : row.folders)
            dir.MakeDir(folder);
        std::string workDir = dir.MakeDir("Work Dir");
        std::string log = dir / "probe.log";
        ProbeLogVariable logVariable(log);
        CurrentDirectory current(workDir);

        ASSERT_TRUE(StartWithConsent(Wide(dir.path() + row.commandLine).c_str(), 2000));
        std::vector<ProbeRun> runs = WaitForProbeRuns(log, 1);
        ASSERT_EQ(1u, runs.size());
        LoggedCommand logged = SplitLogged(runs[0].commandLine);
        EXPECT_EQ(dir.path() + row.program, logged.program) << runs[0].commandLine;
        EXPECT_EQ(row.arguments, logged.arguments) << runs[0].commandLine;
        EXPECT_EQ(workDir, runs[0].directory);
    }
}

TEST(CommandConsent, AMissingProgramFailsWithoutStartingAnything)
{
    ScratchDir dir("consent");
    std::string log = dir / "probe.log";
    ProbeLogVariable logVariable(log);
    CopyProbe(dir, "other.exe");
    EXPECT_FALSE(StartWithConsent(Wide(dir.path() + "setup.exe /S").c_str(), 0));
    EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesA(log.c_str())) << "something was started";
}

TEST(CommandLine, IsStartedOnlyWhenItFitsItsBufferWhole)
{
    ScratchDir dir("start");
    CopyProbe(dir, "setup.exe");
    std::string directory = dir.path();
    std::string program = "setup.exe /S ";
    struct Row {
        size_t length;
        bool started;
    } rows[] = {{255, true}, {256, false}, {300, false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.length);
        std::string log = dir / ("probe-" + std::to_string(row.length) + ".log");
        ProbeLogVariable logVariable(log);
        std::string withArguments = program + std::string(row.length - directory.size() - program.size(), 'x');
        ASSERT_EQ(row.length, directory.size() + withArguments.size());

        EXPECT_EQ(row.started, StartProgram(Wide(directory).c_str(), Ansi{withArguments.c_str()}, true, 2000));
        if (row.started) {
            std::vector<ProbeRun> runs = WaitForProbeRuns(log, 1);
            ASSERT_EQ(1u, runs.size());
            EXPECT_EQ(directory + withArguments, runs[0].commandLine);
        } else {
            EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesA(log.c_str())) << "a command line cut short was started";
        }
    }
}

} // namespace
