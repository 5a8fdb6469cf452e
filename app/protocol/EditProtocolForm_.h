// The dotted fields of a protocol ("....." after a caption) and how filled-in
// values go back into its text, free of the platform: TEditProtForm
// (EditProtocolForm_win.h) shows the fields in its grid and carries the plan
// out on the rich text.
#pragma once

#include "app/tree/TreeTypes_.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr char sEditProtCaption[] = "Type in editable values";
inline constexpr char sFieldMark[] = ".....";

// Short strings of TEditData: a length byte, then up to 40 characters.
std::string ShortString(const uint8_t (&S)[41]);
void SetShortString(uint8_t (&S)[41], const std::string& Text);

// Text lines as the rich text control counts them: CR LF, CR and LF each end one.
std::vector<std::string> SplitLines(const std::string& Text);
// The lines joined with CR, one character per break, as the control's positions count.
std::string JoinLines(const std::vector<std::string>& Lines);
// True when the text holds a field mark.
bool HasFieldMark(const std::string& Text);

// The fields of a text: each run of at least five dots, its line and column, the
// line's first 40 characters as its label and the dots within them as its
// longest value. A field beyond column 255, which its record cannot hold, is
// left out.
TEditDatas FindFields(const std::vector<std::string>& Lines);
// Records that a file brought must lie within its text: line, and a column no
// further than one past the line's end.
void DropFieldsOutsideText(TEditDatas& Fields, const std::vector<std::string>& Lines);

// The caption cell: the label before the column, without trailing blanks.
std::string FieldCaption(const TEditData& Field);
// The value cell: the value, or while it is empty the dots of the label.
std::string FieldCellText(const TEditData& Field);

// One line of the text after the values were applied; the values are italic.
struct TFieldLine {
    struct TSpan {
        int32_t Start = 0; // 0-based column
        int32_t Length = 0;
        bool operator==(const TSpan&) const = default;
    };
    int32_t Line = 0;
    std::string Text;
    std::vector<TSpan> Italic;
    bool operator==(const TFieldLine&) const = default;
};

// Applies Values (one per field, as typed) to the fields and says how their
// lines read afterwards. Each line is built from the label of its last field,
// with the values of the fields before it written over their dots, so every
// value of a line is kept; a value is cut to its field's dot count. Fields
// without dots leave their line alone. Each field's label becomes the text
// before its column, its value the value applied.
std::vector<TFieldLine> ApplyFieldValues(TEditDatas& Fields,
                                         const std::vector<std::string>& Values);
