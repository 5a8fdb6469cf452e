#include "app/base/Tools_.h"

#include "app/base/Texte_.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

char gDecimalSeparator = '.';

constexpr char kDashDuration[] = "-d --h -' --\"";

int32_t Saturate32(double X) {
    if (std::isnan(X))
        return 0;
    if (X >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (X <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(X);
}

int32_t Saturate32(int64_t X) {
    return static_cast<int32_t>(std::clamp<int64_t>(X, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

double RoundHalfAwayFloat(double X) {
    const double t = std::trunc(X);
    if (std::fabs(X - t) >= 0.5)
        return X >= 0 ? t + 1 : t - 1;
    return t;
}

bool IsLeapYear(int Year) {
    return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}

int DaysInMonth(int Year, int Month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Month == 2 && IsLeapYear(Year) ? 29 : kDays[Month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t Y, int64_t M, int64_t D) {
    Y -= M <= 2;
    const int64_t era = (Y >= 0 ? Y : Y - 399) / 400;
    const int64_t yoe = Y - era * 400;
    const int64_t doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Seconds of a stamp since the epoch; false when it is no valid date and time.
bool StampSeconds(const TMeasStamp& S, int64_t& Out) {
    if (S.Year < 1 || S.Year > 9999 || S.Month < 1 || S.Month > 12 || S.Day < 1 ||
        S.Day > DaysInMonth(S.Year, S.Month) || S.Seconds >= 86400)
        return false;
    Out = DaysFromCivil(S.Year, S.Month, S.Day) * 86400 + S.Seconds;
    return true;
}

bool ParseInt(const std::string& S, int32_t& Out) {
    std::size_t i = 0;
    const std::size_t n = S.size();
    while (i < n && S[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (S[i] == '+' || S[i] == '-')) {
        negative = S[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && S[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        return false;
    // Hexadecimal spans all 32 bits (the runtime reads $FFFFFFFF as -1).
    const uint64_t limit = hex ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const char c = S[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > limit)
            return false;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    Out = static_cast<int32_t>(bits);
    return true;
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

bool ParseFloat(const std::string& S, double& Out) {
    std::size_t begin = S.find_first_not_of(' ');
    if (begin == std::string::npos)
        return false;
    const std::size_t end = S.find_last_not_of(' ') + 1;
    // Check the grammar here; from_chars alone would take "inf" and "nan".
    std::string text;
    std::size_t i = begin;
    if (S[i] == '+' || S[i] == '-') {
        if (S[i] == '-')
            text += '-';
        ++i;
    }
    bool digits = false;
    for (; i < end && IsDigit(S[i]); ++i, digits = true)
        text += S[i];
    if (i < end && S[i] == gDecimalSeparator) {
        text += '.';
        for (++i; i < end && IsDigit(S[i]); ++i, digits = true)
            text += S[i];
    }
    if (!digits)
        return false;
    if (i < end && (S[i] == 'e' || S[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < end && (S[i] == '+' || S[i] == '-'))
            text += S[i++];
        if (i == end || !IsDigit(S[i]))
            return false;
        for (; i < end && IsDigit(S[i]); ++i)
            text += S[i];
    }
    if (i != end)
        return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), Out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

[[noreturn]] void RaiseConversionError(const std::string& S, const char* Kind) {
    throw EConvertError(Format(sConversionError, S.c_str(), Kind));
}

} // namespace

std::string Format(const char* Fmt, ...) {
    va_list args;
    va_start(args, Fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, Fmt, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(out.data(), out.size() + 1, Fmt, args);
    va_end(args);
    return out;
}

char DecimalSeparator() {
    return gDecimalSeparator;
}

void SetDecimalSeparator(char Separator) {
    gDecimalSeparator = Separator;
}

std::string SecsToHMS(int32_t Seconds) {
    if (Seconds >= 360000)
        return "--:--:--";
    return Format("%2.2d:%2.2d:%2.2d", Seconds / 3600, (Seconds / 60) % 60, Seconds % 60);
}

std::string SecsToMS(int32_t Seconds) {
    if (Seconds >= 6000)
        return "--:--";
    return Format("%2.2d:%2.2d", Seconds / 60, Seconds % 60);
}

int32_t HMSToSecs(const std::string& Text) {
    // A missing colon leaves the parts after it empty; their conversion fails.
    const std::size_t first = Text.find(':');
    const std::size_t second = first == std::string::npos ? first : Text.find(':', first + 1);
    const std::string h = first == std::string::npos ? std::string() : Text.substr(0, first);
    const std::string m =
        second == std::string::npos ? std::string() : Text.substr(first + 1, second - first - 1);
    const std::string s = second == std::string::npos ? std::string() : Text.substr(second + 1);
    const int64_t total =
        int64_t{StrToIntMsg(h)} * 3600 + int64_t{StrToIntMsg(m)} * 60 + int64_t{StrToIntMsg(s)};
    if (total != Saturate32(total))
        RaiseConversionError(Text, sIntegerKind);
    return static_cast<int32_t>(total);
}

std::string DurationText(uint32_t Seconds) {
    if (Seconds >= 2147483648u)
        return kDashDuration;
    return Format("%ud %2.2uh %2.2u' %2.2u\"", Seconds / 86400, (Seconds / 3600) % 24,
                  (Seconds / 60) % 60, Seconds % 60);
}

std::string DurationDivText(uint32_t Seconds, uint32_t Divisor) {
    if (Seconds >= 2147483648u || Divisor == 0)
        return kDashDuration;
    // In 64 bits, so any divisor works; every part still fits 32 bits.
    const uint64_t s = Seconds;
    const uint64_t d = Divisor;
    const auto part = [](uint64_t v) { return static_cast<unsigned>(v); };
    const double secs = static_cast<double>((s / d) % 60) + static_cast<double>(s % d) / d;
    std::string text = Format("%ud %2.2uh %2.2u' %2.1f\"", part(s / (d * 86400)),
                              part((s / (d * 3600)) % 24), part((s / (d * 60)) % 60), secs);
    std::replace(text.begin(), text.end(), '.', gDecimalSeparator);
    return text;
}

void SampleTimeText(uint8_t DateFormat, const TMeasStamp& Stamp, std::string& Text) {
    const std::string time = SecsToHMS(static_cast<int32_t>(Stamp.Seconds));
    if (Stamp.Day == 0 && Stamp.Month == 0 && Stamp.Year == 0) {
        Text = time;
        return;
    }
    switch (DateFormat) {
    case 0:
        Text = Format("%2.2d.%2.2d.%4.4d %s", Stamp.Day, Stamp.Month, Stamp.Year, time.c_str());
        break;
    case 1:
        Text = Format("%2.2d.%2.2d.%4.4d %s", Stamp.Month, Stamp.Day, Stamp.Year, time.c_str());
        break;
    case 2:
        Text = Format("%4.4d.%2.2d.%2.2d %s", Stamp.Year, Stamp.Month, Stamp.Day, time.c_str());
        break;
    default:
        break;
    }
}

int32_t MeasTimeDiff(const TMeasStamp& A, const TMeasStamp& B) {
    int64_t a = 0;
    int64_t b = 0;
    if (!StampSeconds(A, a) || !StampSeconds(B, b))
        return kNoTimeDiff;
    return Saturate32(a - b);
}

// Within 32 bits the cast truncates as trunc does, without a library call:
// the graph rounds a few values for every pixel column it draws.
int32_t RoundHalfAway(double X) {
    if (std::isnan(X) || X >= 2147483647.0 || X <= -2147483648.0)
        return Saturate32(X);
    const int64_t t = static_cast<int64_t>(X);
    const double fraction = X - static_cast<double>(t);
    return static_cast<int32_t>(fraction >= 0.5 ? t + 1 : fraction <= -0.5 ? t - 1 : t);
}

double RoundDecimals(int32_t Digits, double X) {
    const double p = std::pow(10.0, Digits);
    return RoundHalfAwayFloat(X * p) / p;
}

double RoundToStep(double Value, double Step) {
    return Step * RoundHalfAwayFloat(Value / Step);
}

int32_t MulDivRound(int32_t Number, int32_t Numerator, int32_t Denominator) {
    if (Denominator == 0)
        return -1;
    int64_t p = int64_t{Number} * Numerator;
    int64_t d = Denominator;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    const int64_t q = p >= 0 ? (p + d / 2) / d : (p - d / 2) / d;
    if (q > 2147483647 || q < -2147483647)
        return -1;
    return static_cast<int32_t>(q);
}

void ScaleRect(const TRect& Src, TRect& Dest, double DstResX, double DstResY, double SrcResX,
               double SrcResY) {
    Dest.Left = Saturate32(std::trunc(Src.Left * DstResX / SrcResX));
    Dest.Top = Saturate32(std::trunc(Src.Top * DstResY / SrcResY));
    Dest.Right = Saturate32(std::trunc(Src.Right * DstResX / SrcResX));
    Dest.Bottom = Saturate32(std::trunc(Src.Bottom * DstResY / SrcResY));
}

void ConvertMargins(TRect& Margins, bool InchNow, bool StoredInch) {
    if (InchNow == StoredInch)
        return;
    const int32_t num = StoredInch ? 2540 : 1000;
    const int32_t den = StoredInch ? 1000 : 2540;
    for (int32_t* v : {&Margins.Left, &Margins.Top, &Margins.Right, &Margins.Bottom})
        *v = MulDivRound(*v, num, den);
}

int32_t StrToInt(const std::string& S) {
    int32_t value = 0;
    if (!ParseInt(S, value))
        throw EConvertError(Format(sInvalidInteger, S.c_str()));
    return value;
}

double StrToFloat(const std::string& S) {
    double value = 0;
    if (!ParseFloat(S, value))
        throw EConvertError(Format(sInvalidFloat, S.c_str()));
    return value;
}

int32_t StrToIntMsg(const std::string& S) {
    try {
        return StrToInt(S);
    } catch (const EConvertError&) {
        RaiseConversionError(S, sIntegerKind);
    }
}

double StrToFloatMsg(const std::string& S) {
    try {
        return StrToFloat(S);
    } catch (const EConvertError&) {
        RaiseConversionError(S, sFloatKind);
    }
}

void StrToCharArray(const std::string& S, char* Dest, int32_t Size) {
    for (int32_t i = 0; i < Size; ++i)
        Dest[i] = static_cast<std::size_t>(i) < S.size() ? S[static_cast<std::size_t>(i)] : '\0';
}

int32_t StatusProgress(uint16_t Status) {
    if (Status & (csAnalysing | csStable))
        return (Status >> 8) & 0x3F;
    return 0;
}

bool IsBitSet(int32_t Value, uint8_t Bit) {
    return ((static_cast<uint32_t>(Value) & 0xFFFFu) >> (Bit % 32)) & 1u;
}

bool OrderPair(int32_t& A, int32_t& B, bool Descending) {
    if (Descending ? A < B : B < A) {
        std::swap(A, B);
        return true;
    }
    return false;
}

void ZeroFill(void* Buffer, std::size_t Count) {
    std::memset(Buffer, 0, Count);
}

std::ptrdiff_t PtrDiff(const void* P, const void* Q) {
    return static_cast<const char*>(Q) - static_cast<const char*>(P);
}

std::string ExtractFileName(const std::string& Path) {
    const std::size_t slash = Path.find_last_of("\\/:");
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string ReadPlatformName(const TNameReader& Read, uint32_t FirstSize) {
    // The name may grow between two queries; a few rounds are enough.
    uint32_t size = FirstSize;
    for (int round = 0; round < 3; ++round) {
        std::string buffer(size, '\0');
        uint32_t count = size;
        switch (Read(buffer.data(), count)) {
        case TNameQuery::Ok:
            buffer.resize(std::min(count, size));
            return buffer;
        case TNameQuery::TooSmall:
            if (count <= size)
                return {};
            size = count;
            break;
        case TNameQuery::Failed:
            return {};
        }
    }
    return {};
}
