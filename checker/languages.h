// What users of each display language see, and the language section that
// serves this machine's.
#pragma once

#include <string>
#include <vector>

// What a language section shows its users, as the launcher decides it.
struct ShownLanguage {
    std::string section; // "Window" for [Window] alone
    std::string language; // the language in effect
    std::string title;
    std::vector<std::string> captions; // Install, Start, Quit, the third button
};
// [Window] alone, then every language section, each decided by the
// launcher's own start-up for the display language its name gives; with the
// warnings of each: captions wider than their buttons, edition warnings the
// launcher cannot use. Run before the report's own start-up, whose records
// it leaves behind.
std::vector<ShownLanguage> DecideEachLanguageSection(const wchar_t *launcherFile, std::vector<std::string> &warnings);
// The section chosen, for which display language and why, and what each
// section shows.
void ReportLanguage(const std::vector<ShownLanguage> &sections);
