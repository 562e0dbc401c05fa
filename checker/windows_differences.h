// Where Windows reads a disc otherwise than Wine. The checker usually runs
// under Wine on a disc maker's Linux machine, so its verdict is Wine's; these
// are the ways the same disc fails only on Windows.
#pragma once

#include <string>
#include <vector>

// Each difference found, as a warning that begins "(on Windows only)":
// appended to warnings, where --strict counts it, and to windowsOnly, which
// the JSON report lists apart as windows_only. Reads what start-up found
// and the disc's files.
void LintWindowsDifferences(const wchar_t *disc, std::vector<std::string> &warnings,
                            std::vector<std::string> &windowsOnly);
