// The CSV export of a record window: which samples go out (range and
// reduction), the fields of a data line, the quoting of data and header
// fields, and the counts the export window shows.
#pragma once

#include "app/values/RecordData_.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TCsvReduction { None, Average, EveryNth };

inline constexpr int32_t kCsvMinN = 2;
inline constexpr int32_t kCsvMaxN = 1000;
// n within kCsvMinN..kCsvMaxN: n = 0 would never advance, n = 1 is no reduction.
int32_t ClampN(int32_t N);

// What the export window's controls say.
struct TCsvChoice {
    TCsvReduction Reduction = TCsvReduction::None;
    int32_t N = kCsvMinN;
    bool ColRecord = false;
    bool ColDateTime = true;
    bool ColHum = true;
    bool ColTemp = true;
    bool ColCond = false;
    bool RowProgInfo = false;
    bool RowRedMethod = false;
    bool RowRecInfo = false;
    bool RowUserInfo = false;
    bool RowColTitles = true;
    bool Selection = false; // range: the selection, else all samples

    bool HasDataColumn() const { return ColRecord || ColDateTime || ColHum || ColTemp || ColCond; }
    // Samples from one exported line to the next.
    int32_t Step() const;
};

// The record window as the export sees it.
struct TCsvSource {
    const TRecording* Data = nullptr;
    int64_t SelAnchor = -1; // -1: nothing selected
    int64_t SelEnd = -1;
    uint8_t HumMode = 0;
    uint8_t TempUnit = 0;
    uint8_t DateFmt = 0;
    bool ExtendedMode = false;
    int32_t SampleInterval = 1; // of the window's graph, seconds

    int64_t SampleCount() const { return Data ? static_cast<int64_t>(Data->Samples.size()) : 0; }
};

// "Selection" is offered only for a selection of more than one sample.
bool SelectionOffered(const TCsvSource& Source);

// First and last exported sample, ascending and within the samples; Last <
// First when there is none.
struct TCsvRange {
    int64_t First = 0;
    int64_t Last = -1;
    int64_t Count() const { return Last >= First ? Last - First + 1 : 0; }
};
TCsvRange ExportRange(const TCsvSource& Source, bool Selection);

// Data lines the file will hold: one per exported sample.
int64_t ReadingCount(const TCsvRange& Range, const TCsvChoice& Choice);

enum class TCsvQuantity { Humidity, Temperature };

// The average of a group as its value text needs it: the raw value and the
// status it is judged by.
struct TCsvMean {
    int32_t Raw = 0;
    uint16_t Status = 0;
};
// The mean of the valid values of samples First .. First + N - 1, none past
// Last, truncated toward zero. Status is that of the group's first valid
// sample; a group without one keeps its first sample's status, which the value
// texts show as "---", "off" or "Err".
TCsvMean TruncatedMean(const std::vector<TSample>& Samples, int64_t First, int32_t N, int64_t Last,
                       TCsvQuantity Quantity);

// The data lines of one export. Each value text is formed once and kept, and
// a time text once a minute, so a long export spends its time writing.
class TCsvLines {
public:
    // Range.Last bounds an averaged group.
    TCsvLines(const TCsvSource& Source, const TCsvChoice& Choice, const TCsvRange& Range);

    // The fields (unquoted) of the data line of sample K, in file order.
    std::vector<std::string> DataFields(int64_t K);
    // The same fields appended to Line, each enclosed in double quotes (an
    // embedded quote doubled), separated by commas; no line end.
    void DataLine(std::string& Line, int64_t K);

private:
    template <class F>
    void VisitFields(int64_t K, F&& Emit);
    const std::string& ValueText(TCsvQuantity Quantity, const TCsvMean& Mean);
    const std::string& TimeText(const TMeasStamp& Stamp);

    TCsvSource FSource;
    TCsvChoice FChoice;
    int64_t FLast;
    // Texts of shown values by raw value + 32768 (means of 16-bit values stay 16-bit).
    std::vector<std::string> FValueTexts[2];
    std::string FText;         // a text that is not kept
    std::string FMinuteText;   // of FMinuteStamp
    TMeasStamp FMinuteStamp{}; // seconds rounded down to the minute
    bool FHaveMinute = false;
};

void AppendQuoted(std::string& Line, const std::string& Field);

// A header cell of comma text: quoted only when it holds a blank, a control
// character, a double quote or a comma.
std::string CommaTextCell(const std::string& Cell);
