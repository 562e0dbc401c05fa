// Finding the launcher's own folder from its module path.
#include "launcher/startup.h"
#include "records/state.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <wchar.h>

TEST(KeepDirectoryPart, CutsAfterTheLastSeparatorAndUpperCases)
{
    struct Row {
        const wchar_t *path;
        int result;
        const wchar_t *expected;
    } rows[] = {
        {L"E:\\Setup\\Launch.exe", 1, L"E:\\SETUP\\"},
        {L"E:\\launch.exe", 1, L"E:\\"},
        {L"E:/Setup/Launch.exe", 1, L"E:/SETUP/"},
        {L"E:\\Setup/launch.exe", 1, L"E:\\SETUP/"},
        {L"C:\\Users\\\u0142ukasz\\\u0434\u0438\u0441\u043a \u5149\u76d8\\launcher.exe", 1,
         L"C:\\USERS\\\u0141UKASZ\\\u0414\u0418\u0421\u041a \u5149\u76d8\\"}, // łukasz\диск 光盘: every letter
        {L"\\launch.exe", 0, nullptr},
        {L"/launch.exe", 0, nullptr},
        {L"launch.exe", 0, nullptr},
        {L"x", 0, nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(Utf8(row.path));
        wchar_t path[256];
        wcscpy(path, row.path);
        EXPECT_EQ(row.result, KeepDirectoryPart(path, static_cast<DWORD>(wcslen(path))));
        if (row.expected) {
            EXPECT_STREQ(row.expected, path);
        }
    }
}

TEST(KeepDirectoryPart, AnEmptyPathHasNoFolder)
{
    wchar_t path[256] = L"";
    EXPECT_EQ(0, KeepDirectoryPart(path, 0));
}

TEST(LocateModuleDir, GivesTheFolderOfTheRunningModule)
{
    Launcher = LauncherState{};
    ASSERT_EQ(1, LocateModuleDir());
    wchar_t expected[MAX_PATH];
    GetModuleFileNameW(nullptr, expected, MAX_PATH);
    *(wcsrchr(expected, L'\\') + 1) = L'\0';
    CharUpperW(expected);
    EXPECT_STREQ(expected, Launcher.moduleDir);
}
