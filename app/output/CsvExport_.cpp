#include "app/output/CsvExport_.h"

#include "app/base/Tools_.h"
#include "app/record/RecGraphValues_.h"
#include "app/values/MeasValues_.h"

#include <algorithm>
#include <cstring>

int32_t ClampN(int32_t N) {
    return std::clamp(N, kCsvMinN, kCsvMaxN);
}

int32_t TCsvChoice::Step() const {
    return Reduction == TCsvReduction::None ? 1 : ClampN(N);
}

bool SelectionOffered(const TCsvSource& Source) {
    return Source.SelAnchor >= 0 && Source.SelEnd >= 0 && Source.SelAnchor != Source.SelEnd;
}

TCsvRange ExportRange(const TCsvSource& Source, bool Selection) {
    const int64_t last = Source.SampleCount() - 1;
    if (!Selection || !SelectionOffered(Source))
        return {0, last};
    const int64_t a = std::min(Source.SelAnchor, Source.SelEnd);
    const int64_t b = std::max(Source.SelAnchor, Source.SelEnd);
    return {std::min(a, last + 1), std::min(b, last)};
}

int64_t ReadingCount(const TCsvRange& Range, const TCsvChoice& Choice) {
    const int64_t step = Choice.Step();
    return (Range.Count() + step - 1) / step;
}

namespace {

uint16_t ValidBit(TCsvQuantity Q) {
    return Q == TCsvQuantity::Humidity ? csHumidityValid : csTemperatureValid;
}

// A value its text shows as a number.
bool Shown(uint16_t Status, uint16_t Valid) {
    return (Status & csPresent) && (Status & csSensorOn) && (Status & Valid);
}

int32_t RawOf(const TSample& S, TCsvQuantity Q) {
    return Q == TCsvQuantity::Humidity ? S.Meas.Humidity : S.Meas.Temperature;
}

} // namespace

TCsvMean TruncatedMean(const std::vector<TSample>& Samples, int64_t First, int32_t N, int64_t Last,
                       TCsvQuantity Quantity) {
    const int64_t end = std::min({First + ClampN(N) - 1, Last, int64_t(Samples.size()) - 1});
    if (First < 0 || First > end)
        return {};
    const uint16_t valid = ValidBit(Quantity);
    TCsvMean mean{RawOf(Samples[std::size_t(First)], Quantity),
                  Samples[std::size_t(First)].Meas.Status};
    int64_t sum = 0;
    int64_t count = 0;
    for (int64_t i = First; i <= end; ++i) {
        const TSample& s = Samples[std::size_t(i)];
        if (!Shown(s.Meas.Status, valid))
            continue;
        if (count == 0)
            mean.Status = s.Meas.Status;
        sum += RawOf(s, Quantity);
        ++count;
    }
    if (count > 0)
        mean.Raw = static_cast<int32_t>(sum / count); // C++ division truncates toward zero
    return mean;
}

TCsvLines::TCsvLines(const TCsvSource& Source, const TCsvChoice& Choice, const TCsvRange& Range)
    : FSource(Source), FChoice(Choice), FLast(Range.Last) {}

const std::string& TCsvLines::ValueText(TCsvQuantity Quantity, const TCsvMean& Mean) {
    const bool hum = Quantity == TCsvQuantity::Humidity;
    const auto text = [&] {
        return hum ? HumValueText(FSource.HumMode, Mean.Status, Mean.Raw, FSource.ExtendedMode)
                   : TempValueText(FSource.TempUnit, Mean.Status, Mean.Raw, FSource.ExtendedMode);
    };
    if (!Shown(Mean.Status, ValidBit(Quantity)) || Mean.Raw < INT16_MIN || Mean.Raw > INT16_MAX)
        return FText = text();
    std::vector<std::string>& texts = FValueTexts[hum ? 0 : 1];
    if (texts.empty())
        texts.resize(65536);
    std::string& kept = texts[std::size_t(Mean.Raw + 32768)];
    if (kept.empty())
        kept = text();
    return kept;
}

const std::string& TCsvLines::TimeText(const TMeasStamp& Stamp) {
    // Below 100 hours the text ends with the two digits of the seconds.
    if (Stamp.Seconds >= 360000) {
        FText.clear();
        SampleTimeText(FSource.DateFmt, Stamp, FText);
        return FText;
    }
    TMeasStamp minute = Stamp;
    minute.Seconds -= Stamp.Seconds % 60;
    if (!FHaveMinute || std::memcmp(&minute, &FMinuteStamp, sizeof minute) != 0) {
        FMinuteStamp = minute;
        FMinuteText.clear();
        SampleTimeText(FSource.DateFmt, minute, FMinuteText);
        FHaveMinute = true;
    }
    FText = FMinuteText;
    if (FText.size() >= 2) {
        const uint32_t seconds = Stamp.Seconds % 60;
        FText[FText.size() - 2] = static_cast<char>('0' + seconds / 10);
        FText[FText.size() - 1] = static_cast<char>('0' + seconds % 10);
    }
    return FText;
}

// Calls Emit with each field of the data line of sample K, in file order.
template <class F>
void TCsvLines::VisitFields(int64_t K, F&& Emit) {
    const TSample& s = FSource.Data->Samples[std::size_t(K)];
    if (FChoice.ColRecord) {
        FText = std::to_string(s.Block);
        Emit(FText);
    }
    if (FChoice.ColDateTime)
        Emit(TimeText(s.Stamp));
    const bool average = FChoice.Reduction == TCsvReduction::Average;
    const auto value = [&](TCsvQuantity Q) {
        return average ? TruncatedMean(FSource.Data->Samples, K, FChoice.N, FLast, Q)
                       : TCsvMean{RawOf(s, Q), s.Meas.Status};
    };
    if (FChoice.ColHum)
        Emit(ValueText(TCsvQuantity::Humidity, value(TCsvQuantity::Humidity)));
    if (FChoice.ColTemp)
        Emit(ValueText(TCsvQuantity::Temperature, value(TCsvQuantity::Temperature)));
    if (FChoice.ColCond) {
        static const std::string bits[2] = {"0", "1"};
        const uint16_t status = s.Meas.Status;
        for (size_t c = 0; c < kRecConditionCount; ++c)
            Emit(bits[ConditionHolds(status, c) ? 1 : 0]);
    }
}

std::vector<std::string> TCsvLines::DataFields(int64_t K) {
    std::vector<std::string> fields;
    VisitFields(K, [&](const std::string& F) { fields.push_back(F); });
    return fields;
}

void TCsvLines::DataLine(std::string& Line, int64_t K) {
    bool first = true;
    VisitFields(K, [&](const std::string& F) {
        if (!first)
            Line += ',';
        first = false;
        AppendQuoted(Line, F);
    });
}

void AppendQuoted(std::string& Line, const std::string& Field) {
    Line += '"';
    std::size_t at = 0;
    for (std::size_t q; (q = Field.find('"', at)) != std::string::npos; at = q + 1)
        Line.append(Field, at, q + 1 - at) += '"';
    Line.append(Field, at, std::string::npos) += '"';
}

std::string CommaTextCell(const std::string& Cell) {
    const bool quote = std::any_of(Cell.begin(), Cell.end(), [](char C) {
        return static_cast<unsigned char>(C) <= ' ' || C == '"' || C == ',';
    });
    if (!quote)
        return Cell;
    std::string out;
    AppendQuoted(out, Cell);
    return out;
}
