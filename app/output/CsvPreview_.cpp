#include "app/output/CsvPreview_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"
#include "app/record/RecGraphValues_.h"
#include "app/tree/TreeTypes_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>
#include <cstring>

TCsvPreview::TCsvPreview() : FGrid(2, 1, 1) {
    FGrid.SetRowCount(2);
    FGrid.SetColWidth(0, 40);
}

void TCsvPreview::AddCell(int32_t Column, const std::string& Text, bool NewRow) {
    if (NewRow)
        FGrid.SetRowCount(FGrid.RowCount() + 1);
    if (Column >= FGrid.ColCount()) {
        FGrid.SetColCount(Column + 1);
        FGrid.SetCell(Column, 0, std::string(1, static_cast<char>(64 + Column)));
    }
    const int32_t last = FGrid.RowCount() - 1;
    FGrid.SetCell(0, last, std::to_string(last));
    FGrid.SetCell(Column, last, Text);
}

void TCsvPreview::AddFirstCell(int32_t Column, const std::string& Text) {
    AddCell(Column, Text, FGrid.RowCount() > 2);
}

std::string TCsvPreview::HeaderLine(int32_t Row) const {
    std::string line;
    for (int32_t col = 1; col < FGrid.ColCount(); ++col) {
        if (col > 1)
            line += ',';
        line += CommaTextCell(FGrid.Cell(col, Row));
    }
    return line;
}

bool HasMorliskBlocks(const TRecording& Data) {
    return std::any_of(Data.Headers.begin(), Data.Headers.end(), [](const TRecBlockHeader& H) {
        return FieldText(H.DevId) == kMorliskModel;
    });
}

namespace {

const char* ReductionText(TCsvReduction R) {
    switch (R) {
    case TCsvReduction::Average:
        return sCsvAverage;
    case TCsvReduction::EveryNth:
        return sCsvEveryNth;
    default:
        return sCsvNoReduction;
    }
}

// The time text of a sample, empty for an index that names none: block
// counts read from a file need not agree with its samples.
std::string TimeTextAt(const TCsvSource& Source, uint64_t Index) {
    std::string text;
    if (Index < Source.Data->Samples.size())
        SampleTimeText(Source.DateFmt, Source.Data->Samples[Index].Stamp, text);
    return text;
}

} // namespace

void TCsvPreview::AddRecordsInfo(const TCsvSource& Source, const TCsvChoice& Choice) {
    AddFirstCell(1, sCsvSampleRate);
    AddCell(2, std::to_string(Source.SampleInterval), false);
    const bool morlisk = HasMorliskBlocks(*Source.Data);
    std::vector<const char*> titles = {"Record"};
    if (morlisk)
        titles.push_back("Sample Nr.");
    titles.insert(titles.end(),
                  {"Start", "Stop", "Chamber Name", "SW Version", "Serialnumber", "Samples"});
    if (Choice.RowUserInfo)
        titles.insert(titles.end(), {"PC User", "Instrument User"});
    for (std::size_t i = 0; i < titles.size(); ++i)
        AddCell(static_cast<int32_t>(i) + 1, titles[i], i == 0);

    // The first sample of each block is the sum of the counts before it.
    uint64_t first = 0;
    for (const TRecBlockHeader& h : Source.Data->Headers) {
        std::vector<std::string> cells = {std::to_string(h.Block)};
        if (morlisk)
            cells.push_back(FieldText(h.DevId) == kMorliskModel
                                ? Format("%4.4d", static_cast<int>(h.InstrSampleNo))
                                : "");
        const bool hasSamples = h.Count > 0;
        cells.push_back(hasSamples ? TimeTextAt(Source, first) : "");
        cells.push_back(hasSamples ? TimeTextAt(Source, first + h.Count - 1) : "");
        cells.insert(cells.end(), {FieldText(h.Name), FieldText(h.SWVers), FieldText(h.SerialPart),
                                   std::to_string(h.Count)});
        if (Choice.RowUserInfo)
            cells.insert(cells.end(), {FieldText(h.OSUser), FieldText(h.DevUser)});
        for (std::size_t i = 0; i < cells.size(); ++i)
            AddCell(static_cast<int32_t>(i) + 1, cells[i], i == 0);
        first += h.Count;
    }
    AddCell(1, "", true);
}

void TCsvPreview::AddColumnTitles(const TCsvSource& Source, const TCsvChoice& Choice) {
    std::vector<std::string> titles;
    if (Choice.ColRecord)
        titles.push_back("Record");
    if (Choice.ColDateTime)
        titles.push_back("Date / Time");
    if (Choice.ColHum)
        titles.push_back(Format("%s [%s]", HumNameText(Source.HumMode).c_str(),
                                HumUnitText(Source.HumMode).c_str()));
    if (Choice.ColTemp)
        titles.push_back(Format("%s [%s]", TempNameText(Source.TempUnit).c_str(),
                                TempUnitText(Source.TempUnit).c_str()));
    if (Choice.ColCond)
        titles.insert(titles.end(), std::begin(kRecConditionTexts), std::end(kRecConditionTexts));
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string& text = Choice.RowColTitles ? titles[i] : std::string();
        if (i == 0)
            AddFirstCell(1, text);
        else
            AddCell(static_cast<int32_t>(i) + 1, text, false);
    }
}

void TCsvPreview::Build(const TCsvSource& Source, const TCsvChoice& Choice) {
    ClearGridCells(FGrid);
    FGrid.SetRowCount(2);
    FGrid.SetColCount(2);
    FGrid.SetCell(0, 1, "1");
    FGrid.SetCell(1, 0, "A");

    if (Choice.RowProgInfo) {
        AddFirstCell(1, Format(sCsvProgramInfo, kMainCaption, sAboutVersion));
        AddCell(1, "", true);
    }
    if (Choice.RowRedMethod) {
        AddFirstCell(1, sCsvReductionMethod);
        AddCell(2, ReductionText(Choice.Reduction), false);
        if (Choice.Reduction != TCsvReduction::None)
            AddCell(3, std::to_string(ClampN(Choice.N)), false);
        AddCell(1, "", true);
    }
    if (Choice.RowRecInfo)
        AddRecordsInfo(Source, Choice);
    AddColumnTitles(Source, Choice);
    FHeaderRows = FGrid.RowCount();

    if (!Choice.HasDataColumn())
        return;
    const TCsvRange range = ExportRange(Source, Choice.Selection);
    TCsvLines lines(Source, Choice, range);
    for (int64_t k = range.First; k <= range.Last && FGrid.RowCount() < kCsvPreviewRows;
         k += Choice.Step()) {
        const std::vector<std::string> fields = lines.DataFields(k);
        for (std::size_t i = 0; i < fields.size(); ++i)
            AddCell(static_cast<int32_t>(i) + 1, fields[i], i == 0);
    }
}

TCsvCounts CsvCounts(const TCsvPreview& Preview, const TCsvSource& Source,
                     const TCsvChoice& Choice) {
    const int64_t readings = ReadingCount(ExportRange(Source, Choice.Selection), Choice);
    return {Preview.HeaderRows() - 1 + readings, readings};
}
