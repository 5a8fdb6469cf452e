// Shared text and number routines of the application: time and duration texts,
// measurement stamps, rounding, rectangle scaling, number parsing with the
// application's error texts, and small byte and bit helpers. No state but the
// locale's decimal separator.
#pragma once

#include "ProflinkH.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

// The runtime's conversion error (texts in Texte_.h).
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// printf-style text.
std::string Format(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));

// The locale's decimal separator for float texts and parsing; '.' until set.
char DecimalSeparator();
void SetDecimalSeparator(char Separator);

// "hh:mm:ss" (hours up to 99); "--:--:--" from 360000 seconds.
std::string SecsToHMS(int32_t Seconds);
// "mm:ss"; "--:--" from 6000 seconds.
std::string SecsToMS(int32_t Seconds);
// Seconds of a text h:m:s; each part as StrToIntMsg reads it. Raises
// EConvertError for a bad part and for a total outside 32 bits.
int32_t HMSToSecs(const std::string& Text);
// Days, hours, minutes and seconds followed by a double quote; a dash text from 2^31.
std::string DurationText(uint32_t Seconds);
// The same for Seconds / Divisor, seconds with one decimal.
std::string DurationDivText(uint32_t Seconds, uint32_t Divisor);
// Date (by DateFormat 0..2) and time of Stamp, or the time alone for a relative
// stamp; another DateFormat leaves Text as it was.
void SampleTimeText(uint8_t DateFormat, const TMeasStamp& Stamp, std::string& Text);

// Result of MeasTimeDiff when a stamp is no valid date and time.
inline constexpr int32_t kNoTimeDiff = 2147483647;
// Seconds from B to A, saturated to 32 bits.
int32_t MeasTimeDiff(const TMeasStamp& A, const TMeasStamp& B);

// Halves away from zero; saturated to 32 bits, NaN gives 0.
int32_t RoundHalfAway(double X);
// X rounded half away from zero to Digits decimals, without a 32-bit limit.
double RoundDecimals(int32_t Digits, double X);
// The multiple of Step nearest to Value, halves away from zero.
double RoundToStep(double Value, double Step);
// Number * Numerator / Denominator rounded half away from zero; -1 when
// Denominator is 0 or the result leaves 32 bits (as the platform's MulDiv).
int32_t MulDivRound(int32_t Number, int32_t Numerator, int32_t Denominator);

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};
// Dest := Src scaled by DstRes / SrcRes per axis, truncated toward zero.
void ScaleRect(const TRect& Src, TRect& Dest, double DstResX, double DstResY, double SrcResX,
               double SrcResY);
// Page margins (left, top, right, bottom) from the stored unit to the current
// one: thousandths of an inch when inch, else hundredths of a millimetre.
void ConvertMargins(TRect& Margins, bool InchNow, bool StoredInch);

// The runtime's conversions, raising EConvertError with its own texts:
// leading blanks, a sign, decimal digits or hexadecimal after "$" or "0x".
int32_t StrToInt(const std::string& S);
// Blanks around, a sign, digits with the locale's separator, an exponent.
double StrToFloat(const std::string& S);
// The same with the application's texts ("Conversion error! ...").
int32_t StrToIntMsg(const std::string& S);
double StrToFloatMsg(const std::string& S);

// Dest[i] := character i of S, or 0 past its end; no terminator when S fills Size.
void StrToCharArray(const std::string& S, char* Dest, int32_t Size);
// Progress 0..63 of an analysing or stable chamber, else 0.
int32_t StatusProgress(uint16_t Status);
// Bit (Bit mod 32) of the low 16 bits of Value.
bool IsBitSet(int32_t Value, uint8_t Bit);
// Puts A and B in order (descending or ascending); true when swapped.
bool OrderPair(int32_t& A, int32_t& B, bool Descending);
void ZeroFill(void* Buffer, std::size_t Count);
// Q - P in bytes.
std::ptrdiff_t PtrDiff(const void* P, const void* Q);
// Path without its folder (after the last '\', '/' or ':').
std::string ExtractFileName(const std::string& Path);

// A platform name query: fills Buffer of Count characters and sets Count to the
// characters to keep (Ok) or to the size it needs (TooSmall).
enum class TNameQuery { Ok, TooSmall, Failed };
using TNameReader = std::function<TNameQuery(char* Buffer, uint32_t& Count)>;
// Runs Read with FirstSize and again with the size it asks for; empty on failure.
std::string ReadPlatformName(const TNameReader& Read, uint32_t FirstSize);
