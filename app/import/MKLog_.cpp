#include "app/import/MKLog_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {

bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const auto a = static_cast<unsigned char>(A[i]);
        const auto b = static_cast<unsigned char>(B[i]);
        if (std::tolower(a) != std::tolower(b))
            return false;
    }
    return true;
}

// Value split at its first TAB; without one, First is empty and Second the whole value.
void SplitAtTab(const std::string& Value, std::string& First, std::string& Second) {
    const std::size_t tab = Value.find('\t');
    First = tab == std::string::npos ? std::string() : Value.substr(0, tab);
    Second = tab == std::string::npos ? Value : Value.substr(tab + 1);
}

std::string RequiredValue(const TLines& Lines, const char* Name, const std::string& FileName) {
    std::string value;
    if (!MKLogHeaderValue(Lines, Name, value) || value.empty())
        throw std::runtime_error(Format(sNoExpectedData, FileName.c_str()));
    return value;
}

// Numbers of the logs have a point as decimal separator, whatever the locale says.
class TPointSeparator {
public:
    TPointSeparator() : FSaved(DecimalSeparator()) { SetDecimalSeparator('.'); }
    TPointSeparator(const TPointSeparator&) = delete;
    TPointSeparator& operator=(const TPointSeparator&) = delete;
    ~TPointSeparator() { SetDecimalSeparator(FSaved); }

private:
    char FSaved;
};

bool IsBlank(const std::string& Line) {
    return Line.find_first_not_of(" \t\r") == std::string::npos;
}

// The fields of one data line: every TAB ends a field.
class TFields {
public:
    void Split(const std::string& Line) {
        FLine = Line;
        FStarts.clear();
        FStarts.push_back(0);
        for (std::size_t p = Line.find('\t'); p != std::string::npos; p = Line.find('\t', p + 1))
            FStarts.push_back(p + 1);
    }
    // False for a column that is missing in the title line or in this line.
    bool Get(int32_t Column, std::string& Field) const {
        if (Column < 0 || static_cast<std::size_t>(Column) >= FStarts.size())
            return false;
        const std::size_t start = FStarts[static_cast<std::size_t>(Column)];
        const std::size_t next = static_cast<std::size_t>(Column) + 1;
        const std::size_t end = next < FStarts.size() ? FStarts[next] - 1 : FLine.size();
        Field.assign(FLine.substr(start, end - start));
        return true;
    }

private:
    std::string_view FLine;
    std::vector<std::size_t> FStarts;
};

void ApplyFlags(int32_t Flags, TSample& S) {
    if (IsBitSet(Flags, 0))
        S.Meas.Status |= csHumidityValid | csTemperatureValid;
    if (IsBitSet(Flags, 1))
        S.Meas.Status |= csAnalysing;
    if (IsBitSet(Flags, 2))
        S.Meas.Status |= csStable;
    if (IsBitSet(Flags, 3))
        S.Meas.Status |= csNoReader;
    if (IsBitSet(Flags, 5))
        S.Mark = smBlockStart;
    else if (IsBitSet(Flags, 6))
        S.Mark = smStopped;
}

TSample BuildSample(const TFields& Fields, const TLogRead& Read, uint16_t Block) {
    const Tcolumns& c = Read.Columns;
    TSample s = {};
    std::string field;
    if (Fields.Get(c[CTTimeAbs], field))
        s.Stamp.Seconds = static_cast<uint32_t>(HMSToSecs(field));
    const int32_t humColumn = Read.HumMode == 1 ? c[CTRH] : c[CTaw];
    if (Fields.Get(humColumn, field))
        s.Meas.Humidity = static_cast<int16_t>(HumToRaw(Read.HumMode, StrToFloatMsg(field)));
    const int32_t tempColumn = Read.TempUnit == 1 ? c[CTF] : c[CTC];
    if (Fields.Get(tempColumn, field))
        s.Meas.Temperature =
            static_cast<int16_t>(TempToRaw(Read.TempUnit, false, StrToFloatMsg(field)));
    if (Fields.Get(c[CTDntX], field))
        s.Meas.Third = static_cast<int16_t>(DValueToRaw(StrToFloatMsg(field)));
    s.Meas.Status = csPresent | csSensorOn;
    // A Flags title at the very first column is never read.
    if (c[CTFlags] > 0 && Fields.Get(c[CTFlags], field))
        ApplyFlags(StrToIntMsg(field), s);
    s.Block = Block;
    return s;
}

} // namespace

bool MKLogHeaderValue(const TLines& Lines, const std::string& Name, std::string& Value) {
    for (const std::string& line : Lines) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos &&
            SameTextAscii(std::string_view(line).substr(0, tab), Name)) {
            Value = line.substr(tab + 1);
            return true;
        }
    }
    return false;
}

void GetMKLogHeaderInfo(const TLines& Lines, TMKLogHeader& Header, const std::string& FileName) {
    std::memset(&Header, 0, sizeof Header);
    const std::string instrument = RequiredValue(Lines, "Instrument", FileName);
    const std::string software = RequiredValue(Lines, "Software", FileName);
    const std::string sensor = RequiredValue(Lines, "Sensor", FileName);
    const std::string sampleNr = RequiredValue(Lines, "Sample_nr", FileName);
    std::string first, second;
    SplitAtTab(instrument, first, second);
    StrToCharArray(first, Header.InstrName, sizeof Header.InstrName);
    StrToCharArray(second, Header.InstrSerial, sizeof Header.InstrSerial);
    StrToCharArray(software, Header.SWVers, sizeof Header.SWVers);
    SplitAtTab(sensor, first, second);
    StrToCharArray(first, Header.Sensor1, sizeof Header.Sensor1);
    StrToCharArray(second, Header.Sensor2, sizeof Header.Sensor2);
    const std::string number = sampleNr.substr(1);
    const int32_t value = StrToInt(number);
    // The block header keeps 16 bits; a larger number would come back as another.
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw EConvertError(Format(sInvalidInteger, number.c_str()));
    Header.SampleNr = static_cast<int16_t>(value);
}

int32_t AddLogBlockHeader(TRecording& Data, const TMKLogHeader& Header, const std::string& OSUser) {
    TRecBlockHeader h = {};
    std::memcpy(h.SWVers, Header.SWVers, sizeof h.SWVers);
    std::memcpy(h.SerialPart, Header.InstrSerial, sizeof h.SerialPart);
    std::memcpy(h.Name, Header.InstrName, sizeof h.Name);
    StrToCharArray(kMorliskUser, h.DevUser, sizeof h.DevUser);
    StrToCharArray(OSUser, h.OSUser, sizeof h.OSUser);
    h.InstrSampleNo = static_cast<uint16_t>(Header.SampleNr);
    StrToCharArray(kMorliskDevId, h.DevId, sizeof h.DevId);
    if (!AppendBlock(Data, h))
        throw std::runtime_error(sTooManyBlocks);
    return static_cast<int32_t>(Data.Headers.size());
}

Tcolumns BuildColumns(const std::string& TitleLine) {
    Tcolumns columns;
    for (std::size_t i = 0; i < colinfos.size(); ++i) {
        const std::size_t at = TitleLine.find(colinfos[i]);
        columns[i] = at == std::string::npos
                         ? -1
                         : static_cast<int32_t>(std::count(
                               TitleLine.begin(),
                               TitleLine.begin() + static_cast<std::ptrdiff_t>(at), '\t'));
    }
    return columns;
}

int32_t FindTitleLine(const TLines& Lines, const std::string& FileName) {
    for (std::size_t i = kFirstTitleLine; i < Lines.size(); ++i)
        if (Lines[i].find(colinfos[CTTimeAbs]) != std::string::npos)
            return static_cast<int32_t>(i);
    throw std::runtime_error(Format(sNoColumnTitles, FileName.c_str()));
}

uint8_t LogHumMode(const Tcolumns& Columns) {
    return Columns[CTRH] >= 0 ? 1 : 0;
}

uint8_t LogTempUnit(const Tcolumns& Columns) {
    return Columns[CTF] >= 0 ? 1 : 0;
}

void ImportLogSamples(TRecording& Data, TRecStatistics& Stats, const TLines& Lines,
                      const TLogRead& Read, const std::string& FileName, ILogProgress& Progress) {
    const TPointSeparator point;
    std::vector<TSample>& samples = Data.Samples;
    const std::size_t first = static_cast<std::size_t>(Read.TitleLine) + 1;
    const std::size_t lines = Lines.size() > first ? Lines.size() - first : 0;
    const int64_t max = static_cast<int64_t>(samples.size() + lines);
    Progress.Start(FileName, static_cast<int32_t>(std::min<int64_t>(max, INT32_MAX)));
    samples.reserve(samples.size() + lines);
    const std::size_t m = samples.size();
    const auto block = static_cast<uint16_t>(Data.Headers.size());
    TFields fields;
    int64_t step = -1;
    for (std::size_t i = first; i < Lines.size(); ++i) {
        if (IsBlank(Lines[i]))
            continue;
        const std::size_t k = samples.size();
        const int64_t now = max > 0 ? static_cast<int64_t>(k) * kProgressSteps / max : 0;
        if (now != step) {
            step = now;
            Progress.Position(static_cast<int32_t>(k));
        }
        fields.Split(Lines[i]);
        const TSample s = BuildSample(fields, Read, block);
        if (k > 0 && (s.Mark & smBlockStart))
            samples[k - 1].Mark = smStopped;
        samples.push_back(s);
        Stats.Update({s.Stamp, s.Meas});
        ++Stats.Count;
    }
    const std::size_t count = samples.size() - m;
    if (count == 0)
        throw ELogRejected(Format(sNoDatapoints, FileName.c_str()));
    TRecBlockHeader& last = Data.Headers.back();
    TRecBlockHeader& firstBlock = Data.Headers.front();
    last.Count = static_cast<uint32_t>(count);
    int32_t interval = kSingleLineInterval;
    if (count >= 2) {
        // In 64 bits: a log may cross midnight, and its times are any 32-bit seconds.
        const int64_t t = int64_t{static_cast<int32_t>(samples[m + 1].Stamp.Seconds)} -
                          int64_t{static_cast<int32_t>(samples[m].Stamp.Seconds)};
        if (t <= 0 || t > INT32_MAX)
            throw ELogRejected(Format(sInvalidSampleRate, FileName.c_str()));
        interval = static_cast<int32_t>(t);
        if (Data.Headers.size() >= 2 && static_cast<uint32_t>(interval) != firstBlock.Interval)
            throw ELogRejected(Format(sOtherSampleRate, FileName.c_str()));
    }
    if (Data.Headers.size() == 1)
        firstBlock.Interval = static_cast<uint32_t>(interval);
    else
        last.Interval = firstBlock.Interval;
}
