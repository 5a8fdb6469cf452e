#include "app/output/CsvSettings_.h"

#include "app/settings/PreferencesValues_.h"

TCsvChoice LoadCsvChoice(IRegistryStore& Registry) {
    TCsvChoice c;
    // Three radio buttons set in turn: the last one stored as on wins, none
    // on reads as no reduction. Each is read so its default is written back.
    ReadValue(Registry, kCsvNor);
    const bool average = ReadValue(Registry, kCsvAver);
    const bool skip = ReadValue(Registry, kCsvSkip);
    c.Reduction = skip      ? TCsvReduction::EveryNth
                  : average ? TCsvReduction::Average
                            : TCsvReduction::None;
    c.N = ClampN(ReadValue(Registry, kCsvN));
    c.ColRecord = ReadValue(Registry, kCsvColRec);
    c.ColDateTime = ReadValue(Registry, kCsvColDateTime);
    c.ColHum = ReadValue(Registry, kCsvColAw);
    c.ColTemp = ReadValue(Registry, kCsvColTemp);
    c.ColCond = ReadValue(Registry, kCsvColCond);
    c.RowProgInfo = ReadValue(Registry, kCsvProgInfo);
    c.RowRedMethod = ReadValue(Registry, kCsvRedMethod);
    c.RowRecInfo = ReadValue(Registry, kCsvRecInfo);
    c.RowUserInfo = ReadValue(Registry, kCsvUserInfo);
    c.RowColTitles = ReadValue(Registry, kCsvColTitles);
    return c;
}

void StoreCsvChoice(IRegistryStore& Registry, const TCsvChoice& Choice) {
    WriteValue(Registry, kCsvNor, Choice.Reduction == TCsvReduction::None);
    WriteValue(Registry, kCsvAver, Choice.Reduction == TCsvReduction::Average);
    WriteValue(Registry, kCsvSkip, Choice.Reduction == TCsvReduction::EveryNth);
    WriteValue(Registry, kCsvN, ClampN(Choice.N));
    WriteValue(Registry, kCsvColRec, Choice.ColRecord);
    WriteValue(Registry, kCsvColDateTime, Choice.ColDateTime);
    WriteValue(Registry, kCsvColAw, Choice.ColHum);
    WriteValue(Registry, kCsvColTemp, Choice.ColTemp);
    WriteValue(Registry, kCsvColCond, Choice.ColCond);
    WriteValue(Registry, kCsvProgInfo, Choice.RowProgInfo);
    WriteValue(Registry, kCsvRedMethod, Choice.RowRedMethod);
    WriteValue(Registry, kCsvRecInfo, Choice.RowRecInfo);
    WriteValue(Registry, kCsvUserInfo, Choice.RowUserInfo);
    WriteValue(Registry, kCsvColTitles, Choice.RowColTitles);
}
