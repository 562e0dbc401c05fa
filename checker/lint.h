// What the disc checker looks at beyond the launcher's own decisions: the
// folder and VESK.INI it was given, each key as written against as read, and
// the files the configuration names.
#pragma once

#include "base/process.h"
#include "records/plan.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// The names a profile reader lists: sections of a file, or keys of a
// section.
std::vector<std::string> ProfileNames(const char *section, const wchar_t *path);
// The value of key in section as written in VESK.INI, however long; false
// when the key is not there.
bool WrittenValue(const char *section, const char *key, std::string &value);
// A file, not a folder, is there.
bool IsFile(const std::wstring &path);
// The disc's folder, full and ending with a backslash: the argument, or the
// checker's own folder without one. False, with the problem, when it is no
// folder or its path is too long.
bool DiscFolder(const wchar_t *argument, wchar_t (&disc)[MAX_PATH], std::string &problem);
// False, with the problem, when the disc has no VESK.INI that can be read.
bool ConfigReadable(const wchar_t *disc, std::string &problem);

// How the launcher reads VESK.INI's bytes, and every text of a UTF-8 file
// whose letters the disc language's code page lacks.
void ReportEncoding(std::vector<std::string> &warnings);
// Every key of VESK.INI: the value the launcher holds, or its default, and
// where it is read otherwise than it looks.
void ReportSettings(std::vector<std::string> &warnings);
// Whether the vendor keys that the launcher creates exist already.
std::string VendorKeysNow();
// The files the configuration names, the command lines' limits, autorun.inf;
// with strict also a picture whose words screen readers are not given.
void LintDisc(const wchar_t *disc, bool strict, std::vector<std::string> &warnings);

// A program of the disc that a press may start, whatever this machine
// offers (Install's also where Start is offered): the key that names it,
// its value, and the start as the launcher makes it.
struct DiscProgram {
    const char *key;
    std::string value;
    ProgramStart start;
};
std::vector<DiscProgram> DiscPrograms();

// The installation that makes Start appear on this machine, as detection
// looks for it: the record where detection reads it, naming folder, and
// the files there, each with the text it must hold. known is false when
// detection has no place to read a record from; counts false when no
// installation passes the content checks.
struct InstallationForStart {
    InstallationForStart();
    const wchar_t *folder = L"C:\\Program Files\\Tolvane\\";
    bool known = false;
    bool counts = false;
    std::vector<std::pair<std::wstring, std::wstring>> files;
    DetectionFindings found = {};
};
