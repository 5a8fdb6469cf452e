// The text logs of the Morlisk instrument ("*LOG.txt"): header lines "name TAB
// value", a column title line from the sixth line on, then one TAB-separated
// data line per sample. One log becomes one block of a record: its header from
// the header lines, its samples from the data lines. Errors are raised as
// exceptions carrying the texts below (EConvertError for numbers).
#pragma once

#include "app/import/TextLines_.h"
#include "app/record/RecStatistics_.h"
#include "app/values/RecordData_.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

inline constexpr char sNoExpectedData[] = "%s does not contains expected data!";
inline constexpr char sNoDatapoints[] = "%s contains no datapoints!";
inline constexpr char sOtherSampleRate[] = "%s has a different samplerate then the first file!";
inline constexpr char sNoColumnTitles[] = "%s has no column titles!";
inline constexpr char sInvalidSampleRate[] = "%s has no valid samplerate!";

inline constexpr char kMorliskDevId[] = "MORLISK";
inline constexpr char kMorliskUser[] = "---";
// The interval of a log with one data line.
inline constexpr int32_t kSingleLineInterval = 2;
// The title line is looked for from this line on.
inline constexpr int32_t kFirstTitleLine = 5;

// The header values of one log.
struct TMKLogHeader {
    char InstrName[41];
    char InstrSerial[21];
    char SWVers[21];
    char Sensor1[21];
    char Sensor2[21];
    int16_t SampleNr;
};

// A log the import refuses as a whole (no samples, a wrong interval): the
// record window lets go of its modified flag before it closes.
class ELogRejected : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of the first line whose text before its first TAB is Name (case
// ignored): everything after that TAB. False when no line has that name.
bool MKLogHeaderValue(const TLines& Lines, const std::string& Name, std::string& Value);
// Header zeroed, then filled; raises sNoExpectedData for the first name that is
// missing or empty, and the platform's integer error for a sample number that
// is no integer or does not fit 16 bits.
void GetMKLogHeaderInfo(const TLines& Lines, TMKLogHeader& Header, const std::string& FileName);
// Appends the block of Header to Data; the new number of blocks. Raises
// sTooManyBlocks when Data holds the most blocks a record can hold.
int32_t AddLogBlockHeader(TRecording& Data, const TMKLogHeader& Header, const std::string& OSUser);

// The twelve column titles, in order.
enum TColTitle : int {
    CTTimeAbs,
    CTTimeRel,
    CTaw,
    CTRH,
    CTawnc,
    CTRHnc,
    CTC,
    CTF,
    CTCch,
    CTFch,
    CTDntX,
    CTFlags,
    kColTitleCount
};
inline constexpr std::array<const char*, kColTitleCount> colinfos = {"Time abs.",
                                                                     "Time rel.",
                                                                     "aw",
                                                                     "%RH",
                                                                     "aw nc",
                                                                     "%RH nc",
                                                                     "\xB0"
                                                                     "C",
                                                                     "\xB0"
                                                                     "F",
                                                                     "\xB0"
                                                                     "Cch",
                                                                     "\xB0"
                                                                     "Fch",
                                                                     "DntX",
                                                                     "Flags"};

// The column of each title: the TABs before its first occurrence anywhere in
// the title line (so "aw" inside an earlier "aw nc" takes that column); -1 when
// it does not occur.
using Tcolumns = std::array<int32_t, kColTitleCount>;
Tcolumns BuildColumns(const std::string& TitleLine);
// Index of the first line from kFirstTitleLine on that holds "Time abs."; raises
// sNoColumnTitles when there is none.
int32_t FindTitleLine(const TLines& Lines, const std::string& FileName);

// The units a log's columns give its record: %RH when it has a "%RH" column,
// else aw; degrees F when it has a "°F" column, else degrees C.
uint8_t LogHumMode(const Tcolumns& Columns);
uint8_t LogTempUnit(const Tcolumns& Columns);

// Told the total the import will reach and each position the bar moves to;
// positions are reported only when the shown step changes.
class ILogProgress {
public:
    virtual void Start(const std::string& FileName, int32_t Max) = 0;
    virtual void Position(int32_t Position) = 0;

protected:
    ~ILogProgress() = default;
};

// Steps of the progress bar: a position is reported only when it moves the bar.
inline constexpr int32_t kProgressSteps = 1000;

// What reading the samples needs besides the lines.
struct TLogRead {
    int32_t TitleLine = 0;
    Tcolumns Columns{};
    uint8_t HumMode = 0;  // the record window's effective humidity mode
    uint8_t TempUnit = 0; // and temperature unit
};

// The data lines after the title line as samples of Data's last block (blank
// lines skipped), their statistics entered into Stats; sets the block's count
// and interval. Raises ELogRejected for no samples and for an interval that is
// not above 0 or differs from the first block's, the conversion errors of the
// fields otherwise.
void ImportLogSamples(TRecording& Data, TRecStatistics& Stats, const TLines& Lines,
                      const TLogRead& Read, const std::string& FileName, ILogProgress& Progress);
