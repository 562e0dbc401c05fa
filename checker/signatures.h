// The Authenticode signatures of the programs a disc starts, as this Windows
// judges them.
#pragma once

#include <string>
#include <vector>

// Reports launcher.exe, the installer and the third button's program: not
// signed, signed and trusted or not, or a broken signature. A broken one is
// a warning; with strict, an unsigned one too.
void ReportSignatures(const wchar_t *disc, bool strict, std::vector<std::string> &warnings);
