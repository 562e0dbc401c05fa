// The disc checker's report: the same calls write it as text for a person
// or as one JSON object for a program. Every text given is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class ReportFormat { Text, Json };

void BeginReport(ReportFormat format);
// Writes the report to standard output; false when it could not be written.
bool EndReport();

// A group of entries: a heading in text, a nested object named key in JSON.
void BeginGroup(const char *key, const char *heading);
void EndGroup();
// One entry: "label: value (note)" in text, "key": "value" in JSON; without
// a label, in JSON only.
void Entry(const char *key, const std::string &label, const std::string &value, const std::string &note = "");
// A member whose value is null, in JSON only.
void NullEntry(const char *key);
// A list of texts: after the label in text, an array in JSON.
void List(const char *key, const char *label, const std::vector<std::string> &items);
// A list of objects: a heading in text, an array named key in JSON.
void BeginObjects(const char *key, const char *heading);
void EndObjects();
// One object of that list: its fields in JSON, null where a field has no
// value, a literal (true, false, a number) as it is; the line in text.
struct Field {
    const char *key;
    std::optional<std::string> value;
    bool literal = false;
};
Field Literal(const char *key, bool value);
Field Literal(const char *key, long value);
void Object(const std::vector<Field> &fields, const std::string &line);
// A line of text only, such as a verdict's sentence; not in JSON.
void Say(const std::string &text);

// Texts of the launcher's records as UTF-8: single-byte texts of a code page
// (the system's when none is given), or Unicode.
std::string Utf8(const char *text, unsigned codePage = 0);
std::string Utf8(const wchar_t *text);
