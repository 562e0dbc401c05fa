// What the disc checker looks at beyond the launcher's own decisions: the
// folder and VESK.INI it was given, each key as written against as read, and
// the files the configuration names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
