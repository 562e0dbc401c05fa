// What users of each display language see: the language section this
// machine's (or --language's) chooses, and what every language section of
// VESK.INI gives its users, each asked of the launcher's own start-up for
// that display language; captions wider than their buttons, and edition
// warnings written on the disc that the launcher cannot use.
#include "checker/languages.h"
#include "checker/lint.h"
#include "checker/report.h"
#include "config/config.h"
#include "launcher/startup.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "ui/ui.h"

#include <string.h>
#include <wchar.h>

namespace {

const char *const kCaptionNames[] = {"Install", "Start", "Quit", "Third button", "Edition warning"};

std::string Shown(const ShownText &text)
{
    return text.text ? Utf8(text.text, text.codePage) : "";
}

// The width of a caption drawn with the button's font, in pixels.
int TextWidth(const ShownText &caption)
{
    wchar_t text[64];
    TextToWide(text, caption.text, caption.codePage);
    HDC screen = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ previous = SelectObject(screen, Launcher.buttonFont);
    SIZE size = {};
    GetTextExtentPoint32W(screen, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(screen, previous);
    DeleteDC(screen);
    return size.cx;
}

// What the launcher has decided shows, for the record of one section.
ShownLanguage Captured(const std::string &section)
{
    ShownLanguage shown;
    shown.section = section;
    shown.language = Plan.language ? Plan.language->name : "";
    shown.title = Shown(Plan.title);
    for (int i = 0; i < 4; ++i)
        shown.captions.push_back(Shown(Plan.captions[i]));
    return shown;
}

// Captions written on the disc that Windows cuts, as the window lays them out.
void LintCaptionWidths(const std::string &where, std::vector<std::string> &warnings)
{
    if (!Launcher.buttonFont)
        return;
    for (int i = 0; i < 4; ++i) {
        if (!(Plan.shownFromDisc & (1u << i)))
            continue;
        int width = TextWidth(Plan.captions[i]);
        if (width > ButtonWidth())
            warnings.push_back(std::string(kCaptionNames[i]) + " caption \"" + Shown(Plan.captions[i]) + "\" (" +
                               where + ") is " + std::to_string(width) + " pixels wide with the window's font, "
                               "wider than its button (" + std::to_string(ButtonWidth()) +
                               " pixels): Windows shows what fits");
    }
}

// The records as at the launcher's start, for a start-up decided afresh.
void Reset()
{
    HINSTANCE instance = Launcher.appInstance;
    Settings = LauncherSettings{};
    Launcher = LauncherState{};
    Launcher.appInstance = instance;
}

void Release()
{
    for (HGDIOBJ made : {static_cast<HGDIOBJ>(Launcher.buttonFont), static_cast<HGDIOBJ>(Launcher.backdropBitmap)})
        DeleteObject(made);
    Launcher.buttonFont = nullptr;
    Launcher.backdropBitmap = nullptr;
}

} // namespace

std::vector<ShownLanguage> DecideEachLanguageSection(const wchar_t *launcherFile, std::vector<std::string> &warnings)
{
    std::vector<ShownLanguage> sections;
    // [Window] alone, as for a display language without a section, then each
    // language section, for the display language its name gives.
    std::vector<std::string> names = {"Window"};
    Reset();
    DecideStartup(launcherFile, L"\0");
    if (!Plan.configPath[0])
        return sections;
    for (const std::string &name : ProfileNames(nullptr, Plan.configPath)) {
        if (name.size() > 7 && _strnicmp(name.c_str(), "Window.", 7) == 0)
            names.push_back(name);
    }
    for (const std::string &name : names) {
        std::wstring tag = name == "Window" ? L"" : std::wstring(name.begin() + 7, name.end());
        tag.push_back(L'\0');
        if (name != "Window") {
            Reset();
            DecideStartup(launcherFile, tag.c_str());
        }
        if (!Plan.settingsLoaded)
            break;
        // A warning written on the disc that no formatting function is given.
        std::string written;
        if (WrittenValue(name.c_str(), "ConflictText", written) && written.compare(0, 1, "?") != 0 &&
            !IsWarningFormat(written.c_str()))
            warnings.push_back("[" + name + "] ConflictText=" + Utf8(written.c_str(), Plan.sectionCodePage) +
                               " is not used: an edition warning written on the disc must hold exactly two %s "
                               "(the installed edition's title, then Title) and no other %, as it never reaches "
                               "a formatting function as a format; the launcher shows " +
                               (name == "Window" ? "the built-in warning" : "the next one in order"));
        LintCaptionWidths(name == "Window" ? "[Window]" : "[" + name + "], display language " +
                                                              std::string(name.begin() + 7, name.end()),
                          warnings);
        sections.push_back(Captured(name));
        Release();
    }
    Reset();
    return sections;
}

void ReportLanguage(const std::vector<ShownLanguage> &sections)
{
    wchar_t user[256];
    std::string languages;
    for (const wchar_t *tag = DisplayLanguages(user); *tag; tag += wcslen(tag) + 1)
        languages += (languages.empty() ? "" : ", ") + Utf8(tag);
    std::string why;
    switch (Plan.match) {
    case SectionMatch::WholeTag:
        why = "the display language " + std::string(Plan.displayLanguage) + " has a section of its own";
        break;
    case SectionMatch::LanguageAlone:
        why = "the display language " + std::string(Plan.displayLanguage) + " has no section of its own; [" +
              Plan.section + "], its language's, serves";
        break;
    default:
        why = languages.empty() ? "this Windows names no display language: [Window] serves"
                                : "no display language (" + languages + ") has a section: [Window] serves";
    }
    BeginGroup("language", "Language");
    Entry("section", "Section", Plan.section[0] ? std::string(Plan.section) : "Window");
    Entry("tag", "Display language", Plan.section[0] ? std::string(Plan.displayLanguage) : languages);
    Entry("why", "Why", why);
    Entry("in", "Language in effect", Plan.language ? Plan.language->name : "");
    EndGroup();

    BeginObjects("languageSections", "What each language section shows");
    for (const ShownLanguage &shown : sections) {
        std::string line = "[" + shown.section + "]: \"" + shown.title + "\", " + shown.captions[0] + " | " +
                           shown.captions[1] + " | " + shown.captions[3] + " | " + shown.captions[2] + ", " +
                           shown.language;
        Object({{"section", shown.section}, {"title", shown.title}, {"language", shown.language},
                {"install", shown.captions[0]}, {"start", shown.captions[1]}, {"quit", shown.captions[2]},
                {"extra", shown.captions[3]}},
               line);
    }
    EndObjects();
}
