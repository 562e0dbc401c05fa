// Writes the disc checker's report as indented text or as one JSON object.
// The report is gathered whole and written at the end, so that a JSON reader
// never meets half an object.
#include "checker/report.h"

#include <windows.h>

namespace {

ReportFormat format = ReportFormat::Text;
std::string out;
std::vector<bool> firstInGroup; // JSON: nothing written yet in each open object

// Text starts at the margin; JSON members stand inside the outer braces.
std::string Indent()
{
    size_t depth = firstInGroup.size() - (format == ReportFormat::Text ? 1 : 0);
    return std::string(2 * depth, ' ');
}

std::string Quoted(const std::string &text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c < 0x20) {
            const char hex[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += hex[c >> 4];
            quoted += hex[c & 15];
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

// Starts a member of the open JSON object.
void Member(const char *key)
{
    if (!firstInGroup.back())
        out += ",";
    firstInGroup.back() = false;
    out += "\n" + Indent() + Quoted(key) + ": ";
}

} // namespace

void BeginReport(ReportFormat chosen)
{
    format = chosen;
    out.clear();
    firstInGroup.assign(1, true);
    if (format == ReportFormat::Json)
        out += "{";
}

bool EndReport()
{
    if (format == ReportFormat::Json)
        out += "\n}\n";
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    return WriteFile(output, out.data(), static_cast<DWORD>(out.size()), &written, nullptr) &&
           written == out.size();
}

// A heading in text; in JSON a member opened with bracket, "{" or "[".
static void Open(const char *key, const char *heading, const char *bracket)
{
    if (format == ReportFormat::Json) {
        Member(key);
        out += bracket;
    } else {
        out += "\n" + Indent() + heading + "\n";
    }
    firstInGroup.push_back(true);
}

static void Close(const char *bracket)
{
    firstInGroup.pop_back();
    if (format == ReportFormat::Json)
        out += "\n" + Indent() + bracket;
}

void BeginGroup(const char *key, const char *heading)
{
    Open(key, heading, "{");
}

void EndGroup()
{
    Close("}");
}

void Entry(const char *key, const std::string &label, const std::string &value, const std::string &note)
{
    if (format == ReportFormat::Json) {
        Member(key);
        out += Quoted(value);
    } else if (!label.empty()) {
        out += Indent() + label + ": " + value + (note.empty() ? "" : " (" + note + ")") + "\n";
    }
}

void NullEntry(const char *key)
{
    if (format == ReportFormat::Json) {
        Member(key);
        out += "null";
    }
}

void List(const char *key, const char *label, const std::vector<std::string> &items)
{
    if (format == ReportFormat::Json) {
        Member(key);
        out += "[";
        for (size_t i = 0; i < items.size(); ++i)
            out += (i ? ", " : "") + Quoted(items[i]);
        out += "]";
        return;
    }
    // Short items on one line, long ones (sentences) one to a line.
    bool short_ = true;
    for (const std::string &item : items)
        short_ = short_ && item.size() <= 30;
    if (items.empty() || short_) {
        out += Indent() + label + ":";
        for (size_t i = 0; i < items.size(); ++i)
            out += (i ? ", " : " ") + items[i];
        out += items.empty() ? " none\n" : "\n";
        return;
    }
    out += Indent() + label + ":\n";
    for (const std::string &item : items)
        out += Indent() + "- " + item + "\n";
}

void BeginObjects(const char *key, const char *heading)
{
    Open(key, heading, "[");
}

void EndObjects()
{
    Close("]");
}

void Object(const std::vector<Field> &fields, const std::string &line)
{
    if (format == ReportFormat::Text) {
        out += Indent() + line + "\n";
        return;
    }
    // An element of the array, not a member: the same comma, no key.
    if (!firstInGroup.back())
        out += ",";
    firstInGroup.back() = false;
    out += "\n" + Indent() + "{";
    for (size_t i = 0; i < fields.size(); ++i)
        out += (i ? ", " : "") + Quoted(fields[i].key) + ": " +
               (!fields[i].value ? "null" : fields[i].literal ? *fields[i].value : Quoted(*fields[i].value));
    out += "}";
}

Field Literal(const char *key, bool value)
{
    return {key, std::string(value ? "true" : "false"), true};
}

Field Literal(const char *key, long value)
{
    return {key, std::to_string(value), true};
}

void Say(const std::string &text)
{
    if (format == ReportFormat::Text)
        out += Indent() + text + "\n";
}

std::string Utf8(const wchar_t *text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return "";
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size - 1));
    return utf8;
}

std::string Utf8(const char *text, unsigned codePage)
{
    int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return "";
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], size);
    return Utf8(wide.c_str());
}
