// The disc checker's JSON report, read with a JSON parser: escaped letters
// decoded, and each member found where it stands, not wherever its name does.
#include "tests/support/e2e.h"

#include <nlohmann/json.hpp>

namespace {

const nlohmann::json *At(const nlohmann::json &report, const std::string &pointer)
{
    nlohmann::json::json_pointer place(pointer);
    return report.contains(place) ? &report.at(place) : nullptr;
}

nlohmann::json Parse(const std::string &json)
{
    return nlohmann::json::parse(json, nullptr, false); // discarded when no JSON
}

} // namespace

std::string JsonText(const std::string &json, const std::string &pointer)
{
    nlohmann::json report = Parse(json);
    const nlohmann::json *value = At(report, pointer);
    if (!value)
        return "";
    return value->is_string() ? value->get<std::string>() : value->dump();
}

std::vector<std::string> JsonList(const std::string &json, const std::string &pointer)
{
    nlohmann::json report = Parse(json);
    std::vector<std::string> items;
    const nlohmann::json *list = At(report, pointer);
    if (list && list->is_array()) {
        for (const nlohmann::json &item : *list)
            items.push_back(item.is_string() ? item.get<std::string>() : item.dump());
    }
    return items;
}
