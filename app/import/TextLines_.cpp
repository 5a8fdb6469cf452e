#include "app/import/TextLines_.h"

TLines SplitTextLines(const std::string& Text) {
    TLines lines;
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find('\n', start);
        const std::size_t next = end == std::string::npos ? Text.size() : end + 1;
        if (end == std::string::npos)
            end = Text.size();
        else if (end > start && Text[end - 1] == '\r')
            --end;
        lines.emplace_back(Text, start, end - start);
        start = next;
    }
    return lines;
}
