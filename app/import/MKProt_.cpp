#include "app/import/MKProt_.h"

#include "app/base/Tools_.h"

#include "link/core/QuorxComTools.h"

#include <algorithm>

namespace {

constexpr char kLineBreak[] = "\r\n";
// The signature line and the three lines after it end a protocol.
constexpr int32_t kLinesAfterSignature = 3;
// A signature line above this index leaves no room for a protocol.
constexpr int32_t kFirstSignatureLine = 4;

int32_t FindSignatureLine(TLineSpan Lines) {
    for (std::size_t i = 0; i < Lines.size(); ++i)
        if (Lines[i].find(kSignatureMark) != std::string::npos)
            return static_cast<int32_t>(i);
    return -1;
}

} // namespace

int32_t GetProtStartLine(TLineSpan Lines, int32_t First) {
    if (!Lines.empty() && Lines[0].starts_with(kNoEntryMark))
        return -2;
    for (std::size_t i = static_cast<std::size_t>(std::max(First, 0)); i < Lines.size(); ++i)
        if (Lines[i].find(kProtStartMark) != std::string::npos)
            return static_cast<int32_t>(i);
    return -1;
}

std::string ProtSignature(TLineSpan Lines, int32_t SigLine) {
    uint16_t a = 0;
    for (int32_t i = 0; i + 1 < SigLine; ++i) {
        const std::string& line = Lines[static_cast<std::size_t>(i)];
        a = Checksum16Cont(a, line.data(), static_cast<int>(line.size()));
        a = Checksum16Cont(a, kLineBreak, 2);
    }
    const std::string digits = Format("%4.4X", a);
    return digits + Format("%4.4X", Checksum16Cont(a, digits.data(), 4));
}

int32_t GetProtEndLine(TLineSpan Lines, bool& Valid) {
    Valid = false;
    const int32_t k = FindSignatureLine(Lines);
    if (k < 0 || static_cast<std::size_t>(k) + 1 == Lines.size())
        return -1;
    if (k < kFirstSignatureLine)
        return k + 1;
    const std::string& line = Lines[static_cast<std::size_t>(k)];
    const std::size_t at = line.find(kSignatureMark) + std::size(kSignatureMark) - 1;
    Valid = line.compare(at, 8, ProtSignature(Lines, k)) == 0 && line.size() - at >= 8;
    return k + 1;
}

void ImportMKProtLines(const TLines& Lines, const std::string& FileName, IProtImportSink& Sink) {
    // The protocols found are cut off the front by moving the start of the view.
    TLineSpan rest(Lines);
    int32_t s = GetProtStartLine(rest, 0);
    if (s == -2)
        Sink.Message(Format(sNoProtocolInFile, FileName.c_str()));
    while (s >= 0) {
        bool valid = false;
        const int32_t e = GetProtEndLine(rest, valid);
        // A signature line ahead of the start line belongs to no protocol.
        if (e < 5 || e <= s) {
            Sink.Message(Format(sCorruptProtocolFile, FileName.c_str()));
            return;
        }
        if (valid) {
            const auto base = static_cast<int32_t>(rest.data() - Lines.data());
            Sink.Protocol(Lines, base + s, base + e);
        } else {
            Sink.Message(Format(sWrongSignature, FileName.c_str()));
        }
        const std::size_t cut =
            std::min(rest.size(), static_cast<std::size_t>(e + kLinesAfterSignature));
        rest = rest.subspan(cut);
        s = rest.size() < 3 ? -1 : GetProtStartLine(rest, 0);
    }
}
