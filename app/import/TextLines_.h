// The lines of an imported text file: a line ends at LF, and a CR right before
// the LF belongs to the break; a break at the end of the text starts no further line.
#pragma once

#include <string>
#include <vector>

using TLines = std::vector<std::string>;

TLines SplitTextLines(const std::string& Text);
