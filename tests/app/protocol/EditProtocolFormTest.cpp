// The dotted fields of a protocol: finding them, their grid cells, and writing
// the values back into the lines.
#include "app/protocol/EditProtocolForm_.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TFound {
    int32_t line;
    int column;
    int dots;
    int32_t charPos;
    bool operator==(const TFound&) const = default;
};

std::vector<TFound> Found(const TEditDatas& Fields) {
    std::vector<TFound> found;
    for (const TEditData& f : Fields)
        found.push_back({f.Line, f.Column, f.DotCount, f.CharPos});
    return found;
}

std::string Spaces(std::size_t N) {
    return std::string(N, ' ');
}

TEST(FieldFinder, FindsRunsOfFiveDotsAndCountsDotsWithinTheLabel) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<TFound> found;
    };
    const std::string beyond40 = std::string(42, 'x');
    const Case cases[] = {
        {"eight dots at column 10", {"Operator ........"}, {{0, 10, 8, 9}}},
        {"four dots are no field", {"a ....", "b ...."}, {}},
        {"second line, positions count one per break", {"Title", "Name .....x"}, {{1, 6, 5, 11}}},
        {"a run crossing column 40 counts the dots up to it",
         {std::string(35, 'x') + std::string(9, '.')},
         {{0, 36, 5, 35}}},
        {"dots only beyond column 40 give dot count 0",
         {beyond40 + "......"},
         {{0, 43, 0, 42}, {0, 44, 0, 43}}},
        {"two runs on a line", {"A ..... B ......"}, {{0, 3, 5, 2}, {0, 11, 6, 10}}},
        {"a field at column 255 is kept, one beyond is left out",
         {Spaces(254) + ".....", Spaces(255) + "....."},
         {{0, 255, 0, 254}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Found(FindFields(c.lines)), c.found);
    }
}

TEST(FieldFinder, LabelCaptionAndCellOfAFoundField) {
    const TEditDatas fields = FindFields({"Operator ........ end of a rather long line"});
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(ShortString(fields[0].Label), "Operator ........ end of a rather long l");
    EXPECT_EQ(ShortString(fields[0].Value), "");
    EXPECT_EQ(FieldCaption(fields[0]), "Operator");
    EXPECT_EQ(FieldCellText(fields[0]), "........");
}

TEST(FieldFinder, LinesSplitAsTheRichTextCountsThem) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_TRUE(HasFieldMark("x ....."));
    EXPECT_FALSE(HasFieldMark("x .... ...."));
}

TEST(FieldFinder, StoredRecordsOutsideTheTextAreDropped) {
    const std::vector<std::string> lines = {"Operator Smith", "abc"};
    TEditDatas fields(6, TEditData{});
    const struct {
        int32_t line;
        uint8_t column;
    } at[] = {{0, 10}, {1, 4}, {1, 5}, {2, 1}, {-1, 1}, {0, 0}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i].Line = at[i].line;
        fields[i].Column = at[i].column;
    }
    DropFieldsOutsideText(fields, lines);
    ASSERT_EQ(fields.size(), 2u);
    // + compares a copy: a packed field is no place for a reference.
    EXPECT_EQ(+fields[0].Line, 0);
    EXPECT_EQ(+fields[1].Column, 4);
}

TEST(ApplyFields, OneFieldReplacesItsLineFromTheLabel) {
    TEditDatas fields = FindFields({"Title", "Operator ........ (sign)"});
    const std::vector<TFieldLine> lines = ApplyFieldValues(fields, {"Smith"});
    EXPECT_EQ(lines, (std::vector<TFieldLine>{{1, "Operator Smith", {{9, 5}}}}));
    EXPECT_EQ(ShortString(fields[0].Label), "Operator ");
    EXPECT_EQ(ShortString(fields[0].Value), "Smith");
    EXPECT_EQ(FieldCaption(fields[0]), "Operator");
    EXPECT_EQ(FieldCellText(fields[0]), "Smith");

    // A second OK rewrites the line from the stored label.
    EXPECT_EQ(ApplyFieldValues(fields, {"Jones"}),
              (std::vector<TFieldLine>{{1, "Operator Jones", {{9, 5}}}}));
    EXPECT_EQ(ShortString(fields[0].Value), "Jones");
}

TEST(ApplyFields, TwoFieldsOnALineKeepBothValues) {
    TEditDatas fields = FindFields({"A ..... B ......"});
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(ApplyFieldValues(fields, {"x", "yy"}),
              (std::vector<TFieldLine>{{0, "A x     B yy", {{2, 1}, {10, 2}}}}));
    EXPECT_EQ(ShortString(fields[0].Value), "x");
    EXPECT_EQ(ShortString(fields[1].Value), "yy");
    // Again, with the first value emptied and the second changed.
    EXPECT_EQ(ApplyFieldValues(fields, {"", "zzz"}),
              (std::vector<TFieldLine>{{0, "A       B zzz", {{10, 3}}}}));
    EXPECT_EQ(ApplyFieldValues(fields, {"12345", "q"}),
              (std::vector<TFieldLine>{{0, "A 12345 B q", {{2, 5}, {10, 1}}}}));
}

TEST(ApplyFields, ValuesAreCutToTheDotCountAndFieldsWithoutDotsKeepTheirLine) {
    TEditDatas fields = FindFields({"Lot ...", "Lot .....", std::string(42, 'x') + "....."});
    ASSERT_EQ(fields.size(), 2u);
    const std::vector<TFieldLine> lines = ApplyFieldValues(fields, {"1234567", "zzz"});
    EXPECT_EQ(lines, (std::vector<TFieldLine>{{1, "Lot 12345", {{4, 5}}}}));
    EXPECT_EQ(ShortString(fields[0].Value), "12345");
    EXPECT_EQ(ShortString(fields[1].Value), "");
}

} // namespace
