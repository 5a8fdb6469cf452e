// The series properties dialog's model: for humidity, temperature and D value
// whether the series is shown, its colour and its y scale (minimum and maximum,
// or the fixed y range in auto offset mode), always in raw units while the
// edits show display units. Each edit's value is clamped to its series' limits;
// the minimum and maximum keep a gap between them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

enum TSeriesIndex { siHumidity, siTemperature, siDValue };
inline constexpr int kSeriesCount = 3;
enum class TLimitEdit { Min, Max };

struct TSeriesValues {
    bool Visible = true;
    int32_t Color = 0; // $00BBGGRR
    int32_t YMin = 0;
    int32_t YMax = 0;
    int32_t Range = 0; // the y span in auto offset mode
    bool operator==(const TSeriesValues&) const = default;
};

// The units the dialog shows: humidity mode 0 aw / 1 %RH, temperature unit
// 0 degrees C / 1 degrees F, date format 0..2.
struct TResolvedUnits {
    uint8_t HumMode = 0;
    uint8_t TempUnit = 0;
    uint8_t DateFormat = 0;
    bool operator==(const TResolvedUnits&) const = default;
};

// Hints of a group's controls ("short|long").
struct TSeriesHints {
    std::string MinEdit;
    std::string MinUpDown;
    std::string MaxUpDown;
};

inline constexpr char sSeriesDialogCaption[] = "Enter y-scale and series properties";

class TSeriesPropModel {
public:
    explicit TSeriesPropModel(bool ExtendedMode) : FExtended(ExtendedMode) {}

    std::array<TSeriesValues, kSeriesCount> Series{};
    bool AutoOffset = false;

    // Codes the dialog has no texts for read as 0 for showing and for parsing alike.
    void SetUnits(const TResolvedUnits& Units);
    const TResolvedUnits& Units() const { return FUnits; }
    bool ExtendedMode() const { return FExtended; }

    // Captions and edit texts from the held values, then SetAutoOffset(AutoOffset).
    void Show();
    // Lays the groups out for the mode: the minimum edits show the range when On.
    void SetAutoOffset(bool On);

    std::string GroupCaption(int Series) const;
    // "range" in auto offset mode, else "min".
    std::string MinLabel() const { return FRangeShown ? "range" : "min"; }
    bool MaxShown() const { return !FRangeShown; }
    TSeriesHints Hints(int Series) const;
    const std::string& Text(int Series, TLimitEdit Edit) const;

    // A typed text taken: its value, or the upper limit when it is no number.
    void CommitEdit(int Series, TLimitEdit Edit, const std::string& Text);
    // An up-down click on the value the edit shows (Text, maybe typed and not
    // committed); raises EConvertError when it is no number, changing nothing.
    void UpDown(int Series, TLimitEdit Edit, const std::string& Text, bool Up);
    // Raw clamped to the series' limits; a range kept at its smallest, a minimum
    // and maximum kept a gap apart.
    void SetLimitValue(int32_t Raw, int Series, TLimitEdit Edit);

    int32_t LowerLimit(int Series) const;
    int32_t UpperLimit(int Series) const;
    int Decimals(int Series) const;
    // The up-down step in display units.
    double Step(int Series) const;
    int32_t SmallestRange(int Series) const;
    // Kept between minimum and maximum, at least 1 raw so the y span never vanishes.
    int32_t Gap(int Series) const;

private:
    bool IsRange(TLimitEdit Edit) const { return FRangeShown && Edit == TLimitEdit::Min; }
    double ToDisplay(int Series, int32_t Raw, bool Difference) const;
    int32_t ToRaw(int Series, double X, bool Difference) const;
    int32_t TextRaw(int Series, TLimitEdit Edit) const;
    void ShowValue(int Series, TLimitEdit Edit, int32_t Raw);

    bool FExtended;
    TResolvedUnits FUnits;
    bool FRangeShown = false;
    std::array<std::array<std::string, 2>, kSeriesCount> FTexts;
};
