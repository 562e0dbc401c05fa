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

// Where starting directory + value would run the wrong file if Windows
// searched the whole line: a program planted beside each folder whose name
// has a blank, at each point where that search stops.
const char *const kPlantedBesideTheFolders[] = {"My.exe", "My Discs\\Tolvane.exe", "My Discs\\Tolvane"};
const char kDiscFolder[] = "My Discs\\Tolvane Disc\\";

TEST(ProgramStart, TheProgramIsLookedForWithinTheValueAlone)
{
    struct Row {
        const char *name;
        std::string value;
        std::vector<std::string> probes; // in the disc folder, beside the planted ones
        std::vector<std::string> folders;
        std::string program; // in the disc folder; empty: none is found
        std::string arguments;
    } rows[] = {
        {"a program and its arguments", "setup.exe /S", {"setup.exe"}, {}, "setup.exe", "/S"},
        {"arguments kept as written", "setup.exe /D=\"C:\\a b\"  /S", {"setup.exe"}, {}, "setup.exe",
         "/D=\"C:\\a b\"  /S"},
        {"a blank in the program's own name", "Tolvane Setup.exe /S", {"Tolvane Setup.exe"}, {},
         "Tolvane Setup.exe", "/S"},
        {"a folder named like its first word is no program", "Tolvane Setup.exe", {"Tolvane Setup.exe"},
         {"Tolvane"}, "Tolvane Setup.exe", ""},
        {"within the value the shortest run of words comes first", "Tolvane Setup.exe /S",
         {"Tolvane Setup.exe", "Tolvane.exe"}, {}, "Tolvane.exe", "Setup.exe /S"},
        {"a name without its extension", "setup /S", {"setup.exe"}, {}, "setup.exe", "/S"},
        {"only planted programs: none", "setup.exe /S", {}, {}, "", ""},
        {"an empty value: none", "", {}, {}, "", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir("find");
        for (const char *planted : kPlantedBesideTheFolders)
            CopyProbe(dir, planted);
        for (const std::string &probe : row.probes)
            CopyProbe(dir, kDiscFolder + probe);
        for (const std::string &folder : row.folders)
            dir.MakeDir(kDiscFolder + folder);
        std::string folder = dir.path() + kDiscFolder;

        ProgramStart start = FindProgramStart(Wide(folder).c_str(), Ansi{row.value.c_str()});
        EXPECT_TRUE(start.fits);
        EXPECT_EQ(folder + row.value, Utf8(start.commandLine)) << "the command line as it always was";
        EXPECT_EQ(row.program.empty() ? "" : folder + row.program, Utf8(start.programFile));
        EXPECT_EQ(row.arguments, Utf8(start.arguments()));
    }
}

// The arguments of a logged command line: what follows the program's name,
// which the shell may have quoted.
std::string ArgumentsOf(const std::string &commandLine, const std::string &program)
{
    size_t end = !commandLine.empty() && commandLine[0] == '"' ? commandLine.find('"', 1) + 1 : program.size();
    size_t begin = commandLine.find_first_not_of(' ', end);
    return begin == std::string::npos ? "" : commandLine.substr(begin);
}

TEST(CommandConsent, StartsTheProgramFoundWithItsArgumentsAndDirectory)
{
    // Windows refuses CreateProcess with ERROR_ELEVATION_REQUIRED for a
    // program that must run elevated, and the launcher then hands the same
    // start to StartWithConsent. Wine runs every program without elevation
    // and never gives that error, so the fallback is driven directly.
    struct Row {
        const char *name;
        std::string value;
        std::string program;
        std::string arguments;
    } rows[] = {
        {"arguments kept as written", "Tolvane Setup.exe /D=\"C:\\a b\"  /S", "Tolvane Setup.exe",
         "/D=\"C:\\a b\"  /S"},
        {"no arguments", "Tolvane Setup.exe", "Tolvane Setup.exe", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir("consent");
        for (const char *planted : kPlantedBesideTheFolders)
            CopyProbe(dir, planted);
        CopyProbe(dir, kDiscFolder + row.program);
        std::string workDir = dir.MakeDir("Work Dir");
        std::string log = dir / "probe.log";
        ProbeLogVariable logVariable(log);
        CurrentDirectory current(workDir);
        std::string folder = dir.path() + kDiscFolder;

        ASSERT_TRUE(StartWithConsent(FindProgramStart(Wide(folder).c_str(), Ansi{row.value.c_str()}), 2000));
        std::vector<ProbeRun> runs = WaitForProbeRuns(log, 1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(folder + row.program, runs[0].program);
        EXPECT_EQ(row.arguments, ArgumentsOf(runs[0].commandLine, runs[0].program)) << runs[0].commandLine;
        EXPECT_EQ(workDir, runs[0].directory);
    }
}

TEST(CommandConsent, AMissingProgramFailsWithoutStartingAnything)
{
    ScratchDir dir("consent");
    std::string log = dir / "probe.log";
    ProbeLogVariable logVariable(log);
    for (const char *planted : kPlantedBesideTheFolders)
        CopyProbe(dir, planted);
    dir.MakeDir(kDiscFolder);
    EXPECT_FALSE(StartWithConsent(FindProgramStart(Wide(dir.path() + kDiscFolder).c_str(), Ansi{"setup.exe /S"}), 0));
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

        ProgramStart start = FindProgramStart(Wide(directory).c_str(), Ansi{withArguments.c_str()});
        EXPECT_EQ(row.started, start.fits);
        EXPECT_EQ(row.started, StartProgram(start, true, 2000));
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
