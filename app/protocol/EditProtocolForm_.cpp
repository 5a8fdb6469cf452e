#include "app/protocol/EditProtocolForm_.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr std::size_t kLabelColumns = 40;
constexpr std::size_t kMaxColumn = 255;

std::string TrimRight(std::string S) {
    while (!S.empty() && S.back() == ' ')
        S.pop_back();
    return S;
}

// The label before the field's column, trimmed and padded again to column - 1.
std::string PaddedCaption(const TEditData& Field) {
    std::string caption = FieldCaption(Field);
    if (Field.Column > 0)
        caption.resize(std::max<std::size_t>(caption.size(), Field.Column - 1u), ' ');
    return caption;
}

} // namespace

std::string ShortString(const uint8_t (&S)[41]) {
    const std::size_t n = std::min<std::size_t>(S[0], kLabelColumns);
    return std::string(reinterpret_cast<const char*>(S + 1), n);
}

void SetShortString(uint8_t (&S)[41], const std::string& Text) {
    const std::size_t n = std::min(Text.size(), kLabelColumns);
    std::memset(S, 0, sizeof S);
    S[0] = static_cast<uint8_t>(n);
    std::memcpy(S + 1, Text.data(), n);
}

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& Lines) {
    std::string text;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i > 0)
            text += '\r';
        text += Lines[i];
    }
    return text;
}

bool HasFieldMark(const std::string& Text) {
    return Text.find(sFieldMark) != std::string::npos;
}

TEditDatas FindFields(const std::vector<std::string>& Lines) {
    const std::string text = JoinLines(Lines);
    std::vector<std::size_t> starts;
    for (std::size_t i = 0, at = 0; i < Lines.size(); at += Lines[i].size() + 1, ++i)
        starts.push_back(at);
    TEditDatas fields;
    std::size_t a = 0;
    while (a < text.size()) {
        const std::size_t f = text.find(sFieldMark, a);
        if (f == std::string::npos)
            break;
        const std::size_t line =
            static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), f) -
                                     starts.begin()) -
            1;
        const std::string& lineText = Lines[line];
        const std::size_t c = f - starts[line];
        const std::string label = lineText.substr(0, kLabelColumns);
        std::size_t dots = 0;
        while (c + dots < label.size() && label[c + dots] == '.')
            ++dots;
        if (c + 1 <= kMaxColumn) {
            TEditData field{};
            SetShortString(field.Label, label);
            field.Line = static_cast<int32_t>(line);
            field.Column = static_cast<uint8_t>(c + 1);
            field.DotCount = static_cast<uint8_t>(dots);
            field.CharPos = static_cast<int32_t>(f);
            fields.push_back(field);
        }
        a = starts[line] + c + 1 + dots;
    }
    return fields;
}

void DropFieldsOutsideText(TEditDatas& Fields, const std::vector<std::string>& Lines) {
    std::erase_if(Fields, [&Lines](const TEditData& F) {
        return F.Line < 0 || static_cast<std::size_t>(F.Line) >= Lines.size() || F.Column < 1 ||
               F.Column - 1u > Lines[static_cast<std::size_t>(F.Line)].size();
    });
}

std::string FieldCaption(const TEditData& Field) {
    const std::string label = ShortString(Field.Label);
    return TrimRight(label.substr(0, Field.Column > 0 ? Field.Column - 1u : 0));
}

std::string FieldCellText(const TEditData& Field) {
    const std::string value = ShortString(Field.Value);
    if (!value.empty())
        return value;
    const std::string label = ShortString(Field.Label);
    if (Field.Column < 1 || Field.Column - 1u >= label.size())
        return {};
    return label.substr(Field.Column - 1u, Field.DotCount);
}

std::vector<TFieldLine> ApplyFieldValues(TEditDatas& Fields,
                                         const std::vector<std::string>& Values) {
    // Per line, its fields with dots in column order.
    std::map<int32_t, std::vector<std::size_t>> lines;
    std::vector<std::string> values(Fields.size());
    for (std::size_t i = 0; i < Fields.size(); ++i) {
        const TEditData& f = Fields[i];
        values[i] = i < Values.size() ? Values[i].substr(0, f.DotCount) : std::string();
        const int32_t line = f.Line; // a packed field is no map key by reference
        if (f.DotCount > 0 && f.Column > 0)
            lines[line].push_back(i);
    }
    std::vector<TFieldLine> result;
    for (auto& [line, indexes] : lines) {
        std::sort(indexes.begin(), indexes.end(), [&Fields](std::size_t A, std::size_t B) {
            return Fields[A].Column < Fields[B].Column;
        });
        const TEditData& last = Fields[indexes.back()];
        TFieldLine out{line, PaddedCaption(last), {}};
        for (std::size_t n = 0; n + 1 < indexes.size(); ++n) {
            const TEditData& f = Fields[indexes[n]];
            const std::size_t at = f.Column - 1u;
            if (at + f.DotCount > out.Text.size())
                continue;
            std::string slot = values[indexes[n]];
            const int32_t length = static_cast<int32_t>(slot.size());
            slot.resize(f.DotCount, ' ');
            out.Text.replace(at, f.DotCount, slot);
            if (length > 0)
                out.Italic.push_back({static_cast<int32_t>(at), length});
        }
        const std::string& value = values[indexes.back()];
        if (!value.empty())
            out.Italic.push_back(
                {static_cast<int32_t>(out.Text.size()), static_cast<int32_t>(value.size())});
        out.Text += value;
        result.push_back(std::move(out));
    }
    for (std::size_t i = 0; i < Fields.size(); ++i) {
        if (Fields[i].DotCount == 0 || Fields[i].Column == 0)
            continue;
        SetShortString(Fields[i].Label, PaddedCaption(Fields[i]));
        SetShortString(Fields[i].Value, values[i]);
    }
    return result;
}
