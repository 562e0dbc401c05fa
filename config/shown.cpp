// What the user sees and hears, in their own language: the language section
// of VESK.INI that their display languages choose, whose keys replace
// [Window]'s for what is seen and heard, and the captions and the warning
// written on the disc in place of the built-in ones.
#include "config/config.h"
#include "base/profile.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

#include <string.h>
#include <wchar.h>

#include <initializer_list>

namespace {

// [Window.<tag>] for the first display language that has one: its whole tag
// first (pt-BR), then its language alone (pt).
void ChooseLanguageSection(const ProfileFile &file)
{
    wchar_t user[256];
    const wchar_t *languages = DisplayLanguages(user);
    char sections[2048];
    file.ReadText(nullptr, nullptr, "", sections, sizeof sections);
    for (const wchar_t *tag = languages; *tag; tag += wcslen(tag) + 1) {
        for (wchar_t end : {L'\0', L'-'}) {
            // A language's name is ASCII letters, digits and hyphens.
            char section[sizeof Plan.section] = "Window.";
            size_t at = 7;
            for (const wchar_t *c = tag; *c && *c != end && *c < 0x80 && at + 1 < sizeof section; ++c)
                section[at++] = static_cast<char>(*c);
            for (const char *name = sections; *name; name += strlen(name) + 1) {
                if (lstrcmpiA(name, section) != 0)
                    continue;
                TextCopy(Plan.section, section);
                size_t i = 0;
                for (; tag[i] && i + 1 < sizeof Plan.displayLanguage; ++i)
                    Plan.displayLanguage[i] = static_cast<char>(tag[i]);
                Plan.displayLanguage[i] = '\0';
                Plan.match = end ? SectionMatch::LanguageAlone : SectionMatch::WholeTag;
                return;
            }
        }
    }
}

// The chosen section's value of key, when it has one that is set (not
// beginning with "?").
bool ReadSectionKey(const ProfileFile &file, const char *key, char *out, DWORD size)
{
    return Plan.section[0] && file.ReadText(Plan.section, key, "?", out, size) < size && out[0] != '?';
}

struct CaptionKey {
    const char *key;
    char *field;
    DWORD size;
};
const CaptionKey kCaptionKeys[] = {
    {"InstallCaption", Launcher.captionAction, sizeof Launcher.captionAction},
    {"StartCaption", Launcher.captionStart, sizeof Launcher.captionStart},
    {"QuitCaption", Launcher.captionQuit, sizeof Launcher.captionQuit},
    {"ExtraCaption", Launcher.captionExtra, sizeof Launcher.captionExtra},
    {"ConflictText", Launcher.conflictFormat, sizeof Launcher.conflictFormat},
};

} // namespace

const char *const SectionKeys[] = {"Title", "Language", "Bitmap", "Audio", "BitmapText", "InstallCaption",
                                   "StartCaption", "QuitCaption", "ExtraCaption", "ConflictText", "DemoTitle",
                                   "FreeTitle", "SimpleTitle", "BaseTitle", "PremiumTitle"};
const size_t SectionKeyCount = sizeof SectionKeys / sizeof SectionKeys[0];

const wchar_t *DisplayLanguages(wchar_t (&user)[256])
{
    if (Plan.displayLanguages)
        return Plan.displayLanguages;
    // Windows before Vista names none: there [Window] alone serves.
    const DWORD languageNames = 0x8; // MUI_LANGUAGE_NAME
    auto preferred = SystemFunction<BOOL(WINAPI *)(DWORD, ULONG *, wchar_t *, ULONG *)>(
        "kernel32.dll", "GetUserPreferredUILanguages");
    ULONG count = 0, size = ARRAYSIZE(user) - 1;
    if (!preferred || !preferred(languageNames, &count, user, &size))
        user[0] = L'\0';
    return user;
}

bool IsWarningFormat(const char *text)
{
    int marks = 0;
    for (const char *percent = strchr(text, '%'); percent; percent = strchr(percent + 2, '%')) {
        if (percent[1] != 's')
            return false;
        ++marks;
    }
    return marks == 2;
}

void ReadShownTexts(const ProfileFile &file)
{
    Plan.shownFromDisc = 0;
    ChooseLanguageSection(file);
    char value[256];
    Plan.sectionSetsLanguage = ReadSectionKey(file, "Language", value, sizeof Plan.sectionLanguage);
    if (Plan.sectionSetsLanguage)
        TextCopy(Plan.sectionLanguage, value);
    UINT windowCodePage = TextCodePage(LanguageOf(Settings.Language));
    Plan.sectionCodePage = TextCodePage(LanguageOf(Plan.sectionSetsLanguage ? Plan.sectionLanguage : Settings.Language));

    if (ReadSectionKey(file, "Title", Plan.sectionTitle, sizeof Plan.sectionTitle)) {
        Plan.title = {Plan.sectionTitle, Plan.sectionCodePage};
        Plan.shownFromDisc |= ShownTitle;
    }
    // The rest of what is seen and heard takes the section's place in Settings.
    const CaptionKey replaced[] = {{"Bitmap", Settings.Bitmap, sizeof Settings.Bitmap},
                                   {"Audio", Settings.Audio, sizeof Settings.Audio},
                                   {"BitmapText", Settings.BitmapText, sizeof Settings.BitmapText}};
    for (const CaptionKey &k : replaced) {
        if (!ReadSectionKey(file, k.key, value, k.size))
            continue;
        TextCopy(k.field, k.size, value);
        if (k.field == Settings.BitmapText) {
            Plan.bitmapText = {Settings.BitmapText, Plan.sectionCodePage};
            Plan.shownFromDisc |= ShownBitmapText;
        }
    }

    // A caption comes from the section; where the section sets Language,
    // from that language's built-in texts; else from [Window] (read with the
    // other keys); else from the built-in texts of the language in effect
    // (SetCaptionsByLanguage).
    for (size_t i = 0; i < 5; ++i) {
        const CaptionKey &k = kCaptionKeys[i];
        bool isWarning = k.field == Launcher.conflictFormat;
        if (ReadSectionKey(file, k.key, value, k.size) && (!isWarning || IsWarningFormat(value))) {
            TextCopy(k.field, k.size, value);
            Plan.captions[i] = {k.field, Plan.sectionCodePage};
        } else if (!Plan.sectionSetsLanguage && k.field[0] != '?' && (!isWarning || IsWarningFormat(k.field))) {
            Plan.captions[i] = {k.field, windowCodePage};
        } else {
            continue;
        }
        Plan.shownFromDisc |= 1u << i;
    }
}

bool ReadShownEditionTitle(const char *titleKey, char (&title)[64])
{
    if (!Plan.section[0])
        return false;
    ProfileFile file(Plan.configPath);
    bool found = ReadSectionKey(file, titleKey, title, sizeof title);
    file.Close();
    return found;
}
