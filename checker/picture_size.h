// The disc's picture against the bytes it needs: a CD drive reads all of it
// before the launcher's window shows.
#pragma once

#include <string>
#include <vector>

// A warning when the Bitmap file is several times larger than the same
// picture as an 8-bit bitmap (RLE8 where it pays) that looks the same, with
// what the difference costs on a CD drive. Reads the settings and the file.
void LintPictureSize(std::vector<std::string> &warnings);
