// The Morlisk protocol file: start lines, the signature and the protocols of one file.
#include "app/import/MKProt_.h"

#include "app/base/Tools_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kFile = "C:\\prot\\run_PRO.txt";
const std::string kStart(40, '*');

// The smallest intact protocol: the signature F69F4F6F is
// Checksum16Cont(0, "****...****\r\nA\r\nB\r\n") = $F69F, then
// Checksum16Cont($F69F, "F69F") = $4F6F.
const TLines kMinimal = {kStart, "A", "B", "not covered", "SIG:F69F4F6F", "end"};

// A protocol of our own, its signature worked out by hand from the frame check's
// step (start 0, each line followed by CR LF): over the five lines the check is
// $96E7; continued over the four characters "96E7" it is $45EB.
const TLines kOwn = {kStart,
                     "Morlisk MK-7 Protocol",
                     "Sample    12",
                     "aw        0.7512",
                     "T         24.80 \xB0"
                     "C",
                     "Operator ......",
                     "SIG:96E745EB",
                     "----",
                     "",
                     ""};

// One protocol as a file holds it: Pre, the start line, a title, Body, the line before
// the signature line, the signature line and three lines after it; Signature
// empty: the right one, computed over the lines from Pre on.
TLines Protocol(const TLines& Pre, const TLines& Body, std::string Signature = "") {
    TLines lines = Pre;
    lines.push_back(kStart);
    lines.push_back("Morlisk protocol");
    lines.insert(lines.end(), Body.begin(), Body.end());
    lines.push_back("Signature:");
    lines.push_back("SIG:");
    if (Signature.empty())
        Signature = ProtSignature(lines, static_cast<int32_t>(lines.size() - 1));
    lines.back() += Signature;
    lines.insert(lines.end(), {"after 1", "after 2", "after 3"});
    return lines;
}

TLines Join(std::initializer_list<TLines> Parts) {
    TLines lines;
    for (const TLines& p : Parts)
        lines.insert(lines.end(), p.begin(), p.end());
    return lines;
}

// The event of a protocol found at Lines[First..Last].
std::string Found(const TLines& Lines, int32_t First, int32_t Last) {
    return Format("protocol %d..%d: %s", First, Last,
                  Lines[static_cast<std::size_t>(Last - 1)].c_str());
}

class TSinkLog : public IProtImportSink {
public:
    void Protocol(const TLines& Lines, int32_t First, int32_t Last) override {
        Events.push_back(Found(Lines, First, Last));
    }
    void Message(const std::string& Text) override { Events.push_back(Text); }
    std::vector<std::string> Events;
};

std::vector<std::string> Import(const TLines& Lines) {
    TSinkLog sink;
    ImportMKProtLines(Lines, kFile, sink);
    return sink.Events;
}

const std::string kWrong = Format(sWrongSignature, kFile.c_str());
const std::string kCorrupt = Format(sCorruptProtocolFile, kFile.c_str());

TEST(MKProtStart, FirstStartLineOrNoEntry) {
    const struct {
        TLines Lines;
        int32_t First;
        int32_t Result;
    } cases[] = {
        {{}, 0, -1},
        {{"a", "b"}, 0, -1},
        {{"a", "x" + kStart + "x", kStart}, 0, 1},
        {{"a", kStart, "b", kStart}, 2, 3},
        {{"a", std::string(39, '*')}, 0, -1},
        {{"* NO ENTRY */ today", kStart}, 0, -2},
        {{" * NO ENTRY */", kStart}, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Lines));
        EXPECT_EQ(GetProtStartLine(c.Lines, c.First), c.Result);
    }
}

TEST(MKProtSignature, KnownProtocolsAreValid) {
    for (const TLines& lines : {kMinimal, kOwn}) {
        SCOPED_TRACE(lines[1]);
        bool valid = false;
        const int32_t sigLine = static_cast<int32_t>(lines.size() == 6 ? 4 : 6);
        EXPECT_EQ(GetProtEndLine(lines, valid), sigLine + 1);
        EXPECT_TRUE(valid);
    }
}

TEST(MKProtSignature, OnlyTheLineBeforeTheSignatureIsNotCovered) {
    const int32_t sigLine = 6;
    for (int32_t i = 0; i < sigLine; ++i) {
        SCOPED_TRACE(i);
        TLines lines = kOwn;
        lines[static_cast<std::size_t>(i)] += ".";
        bool valid = true;
        EXPECT_EQ(GetProtEndLine(lines, valid), sigLine + 1);
        EXPECT_EQ(valid, i == sigLine - 1);
    }
}

TEST(MKProtSignature, SignatureLineCases) {
    const struct {
        const char* Name;
        std::string SigLine;
        int32_t End;
        bool Valid;
    } cases[] = {
        {"text around", "Checked SIG:F69F4F6F ok", 5, true},
        {"lower case", "SIG:f69f4f6f", 5, false},
        {"too short", "SIG:F69F4F6", 5, false},
        {"none", "SIGNATURE F69F4F6F", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TLines lines = kMinimal;
        lines[4] = c.SigLine;
        bool valid = !c.Valid;
        EXPECT_EQ(GetProtEndLine(lines, valid), c.End);
        EXPECT_EQ(valid, c.Valid);
    }
    // The last line of the list cannot be a signature line: nothing follows it.
    TLines last = kMinimal;
    last.pop_back();
    bool valid = true;
    EXPECT_EQ(GetProtEndLine(last, valid), -1);
    EXPECT_FALSE(valid);
    // Within the first four lines: too short to check.
    const TLines early = {kStart, "A", "SIG:00000000", "x", "y", "z"};
    EXPECT_EQ(GetProtEndLine(early, valid), 3);
    EXPECT_FALSE(valid);
}

TEST(MKProtImport, EveryProtocolOfTheFileInOrder) {
    // Junk before a start line is covered by the signature.
    const TLines lines = Join({Protocol({"junk", "more junk"}, {"first"}),
                               Protocol({}, {"second", "2"}), Protocol({"x"}, {"third"})});
    EXPECT_EQ(Import(lines), (std::vector<std::string>{Found(lines, 2, 7), Found(lines, 10, 16),
                                                       Found(lines, 20, 25)}));
}

TEST(MKProtImport, WrongSignaturesSkipOnlyTheirProtocol) {
    const TLines good = Protocol({}, {"good"});
    TLines lower = Protocol({}, {"lower"});
    const std::string upper = lower[4];
    for (char& c : lower[4])
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c - 'A' + 'a');
    ASSERT_NE(lower[4], upper);
    const TLines broken = Protocol({}, {"broken"}, "00000000");
    for (const TLines& first : {lower, broken}) {
        const TLines lines = Join({first, good});
        EXPECT_EQ(Import(lines), (std::vector<std::string>{kWrong, Found(lines, 8, 13)}));
    }
}

TEST(MKProtImport, CorruptDataEndsTheFileOnce) {
    const TLines good = Protocol({}, {"good"});
    const struct {
        const char* Name;
        TLines Lines;
    } cases[] = {
        {"signature within the first four lines", Join({{kStart, "SIG:12345678", "a", "b"}, good})},
        {"signature line last", {kStart, "a", "b", "c", "d", "SIG:12345678"}},
        {"no signature line", {kStart, "a", "b", "c", "d", "e"}},
        // A signature line ahead of the start line belongs to no protocol: the
        // range would run backwards into the window's fatal range check.
        {"signature before the start line", Join({{"a", "b", "c", "d", "e", "SIG:0", "f"}, good})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Import(c.Lines), std::vector<std::string>{kCorrupt});
    }
    // After an intact protocol a corrupt rest still reports once.
    EXPECT_EQ(Import(Join({good, {kStart, "SIG:1", "x"}})),
              (std::vector<std::string>{Found(good, 0, 5), kCorrupt}));
}

TEST(MKProtImport, FilesWithoutProtocols) {
    EXPECT_EQ(Import({"a", "b", "c"}), std::vector<std::string>{});
    EXPECT_EQ(Import({}), std::vector<std::string>{});
    EXPECT_EQ(Import(Join({{"* NO ENTRY */"}, Protocol({}, {"x"})})),
              std::vector<std::string>{Format(sNoProtocolInFile, kFile.c_str())});
    // Left behind by a protocol, the mark ends the file silently.
    const TLines good = Protocol({}, {"good"});
    EXPECT_EQ(Import(Join({good, {"* NO ENTRY */", kStart, "a"}})),
              std::vector<std::string>{Found(good, 0, 5)});
    // Fewer than three lines left end it too.
    EXPECT_EQ(Import(Join({good, {kStart, "a"}})), std::vector<std::string>{Found(good, 0, 5)});
}

TEST(MKProtImport, LinesOfTheFile) {
    // The import reads the lines as a file holds them, CR LF or LF.
    std::string text;
    for (const std::string& line : kOwn)
        text += line + "\r\n";
    EXPECT_EQ(Import(SplitTextLines(text)),
              std::vector<std::string>{"protocol 0..7: SIG:96E745EB"});
}

} // namespace
