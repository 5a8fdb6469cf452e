#include "app/instruments/InstrConnFrm_.h"

#include "app/base/Tools_.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <tuple>

namespace {

// The lines of a text as a string list takes them: broken at CR LF, CR or LF,
// with no empty line after a final break.
std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < Text.size()) {
        const std::size_t end = Text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(Text.substr(start));
            break;
        }
        lines.push_back(Text.substr(start, end - start));
        start = end + 1;
        if (Text[end] == '\r' && start < Text.size() && Text[start] == '\n')
            ++start;
    }
    return lines;
}

// The number after "COM" up to the first TAB (or the line's end), when it is one.
std::optional<uint32_t> LinePort(const std::string& Line) {
    if (Line.compare(0, 3, "COM") != 0)
        return std::nullopt;
    const std::size_t tab = std::min(Line.find('\t'), Line.size());
    const char* first = Line.data() + 3;
    const char* last = Line.data() + tab;
    uint32_t port = 0;
    const auto [end, error] = std::from_chars(first, last, port);
    if (first == last || error != std::errc() || end != last)
        return std::nullopt;
    return port;
}

} // namespace

void SplitTab(std::string& Line, std::string& Head) {
    const std::size_t tab = Line.find('\t');
    if (tab == std::string::npos) {
        Head = Line;
        Line.clear();
        return;
    }
    Head = Line.substr(0, tab);
    Line.erase(0, tab + 1);
}

int32_t PortFromItem(const std::string& Item) {
    const std::size_t blank = Item.find(' ');
    if (blank == std::string::npos || blank <= 3)
        return 0;
    try {
        return StrToInt(Item.substr(3, blank - 3));
    } catch (const EConvertError&) {
        return 0;
    }
}

int ComPortCompare(const std::string& A, const std::string& B) {
    const auto key = [](const std::string& Line) {
        const std::optional<uint32_t> port = LinePort(Line);
        return std::tuple<bool, uint32_t, const std::string&>(!port, port.value_or(0), Line);
    };
    const auto a = key(A);
    const auto b = key(B);
    if (a < b)
        return -1;
    return b < a ? 1 : 0;
}

std::vector<std::string> FillComList(ILinkApi& Api) {
    std::vector<char> buffer(kComListSize, '\0');
    uint32_t size = kComListSize;
    if (Api.GetCOMInfoList(buffer.data(), &size) != 0)
        return {};
    std::vector<std::string> lines =
        SplitLines(std::string(buffer.data(), std::min(size, kComListSize)));
    std::sort(lines.begin(), lines.end(),
              [](const std::string& A, const std::string& B) { return ComPortCompare(A, B) < 0; });
    std::vector<std::string> items;
    for (std::string line : lines) {
        std::string name;
        std::string description;
        SplitTab(line, name);
        SplitTab(line, description);
        const std::string item = name + " " + description;
        const int32_t port = PortFromItem(item);
        if (TDeviceIndex::ForCom(port).Serial() && Api.IsComAvailable(port))
            items.push_back(item);
    }
    return items;
}
