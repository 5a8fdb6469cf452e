// The lines of an imported text file: a line ends at LF, and a CR right before
// the LF belongs to the break; a break at the end of the text starts no further line.
#pragma once

#include "app/record/Files_.h"

#include <string>
#include <vector>

using TLines = std::vector<std::string>;

inline constexpr char sCannotOpenFile[] = "Cannot open file \"%s\".";
inline constexpr char sCannotReadFile[] = "Error reading file \"%s\".";

TLines SplitTextLines(const std::string& Text);
// The lines of the file FileName; raises std::runtime_error with the texts
// above when it cannot be opened or read whole.
TLines LoadTextLines(IFileSystem& Files, const std::string& FileName);
