// Finding the launcher's own folder from its module path.
#include "launcher/startup.h"
#include "records/state.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(KeepDirectoryPart, CutsAfterTheLastSeparatorAndUpperCases)
{
    struct Row {
        const char *path;
        int result;
        const char *expected;
    } rows[] = {
        {"E:\\Setup\\Launch.exe", 1, "E:\\SETUP\\"},
        {"E:\\launch.exe", 1, "E:\\"},
        {"E:/Setup/Launch.exe", 1, "E:/SETUP/"},
        {"E:\\Setup/launch.exe", 1, "E:\\SETUP/"},
        {"\\launch.exe", 0, nullptr},
        {"/launch.exe", 0, nullptr},
        {"launch.exe", 0, nullptr},
        {"x", 0, nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.path);
        char path[256];
        strcpy(path, row.path);
        EXPECT_EQ(row.result, KeepDirectoryPart(path, static_cast<DWORD>(strlen(path))));
        if (row.expected) {
            EXPECT_STREQ(row.expected, path);
        }
    }
}

TEST(KeepDirectoryPart, AnEmptyPathHasNoFolder)
{
    char path[256] = "";
    EXPECT_EQ(0, KeepDirectoryPart(path, 0));
}

TEST(LocateModuleDir, GivesTheFolderOfTheRunningModule)
{
    Launcher = LauncherState{};
    ASSERT_EQ(1, LocateModuleDir());
    char expected[MAX_PATH];
    GetModuleFileNameA(nullptr, expected, sizeof expected);
    *(strrchr(expected, '\\') + 1) = '\0';
    CharUpperA(expected);
    EXPECT_STREQ(expected, Launcher.moduleDir);
}
