#include "app/settings/PrefTimeRange_.h"

#include "app/base/Tools_.h"
#include "app/settings/EditNumber_.h"
#include "app/settings/PreferencesGraph_.h"

#include <algorithm>

namespace {

constexpr int64_t kMaxSeconds = 2147483647;

std::string MinutesText(int64_t Seconds) {
    return EditText(1, static_cast<double>(Seconds) / 60);
}

int32_t SecondsOf(double Minutes) {
    return RoundHalfAway(RoundDecimals(1, Minutes) * 60);
}

} // namespace

std::string PageText(int32_t Seconds) {
    const auto s = static_cast<uint32_t>(Seconds);
    return DurationText(s) + "/Page, " + DurationDivText(s, 12) + "/Div";
}

void TTimeRangeModel::Show(int32_t Min, int32_t Max) {
    FHeldMin = Min;
    FHeldMax = Max;
    FMinText = MinutesText(Min);
    FMaxText = MinutesText(Max);
    FDroppedDown = false;
    PutSpanFirst();
}

int32_t TTimeRangeModel::EditSeconds(const std::string& Text) {
    return SecondsOf(EditNumber(Text));
}

void TTimeRangeModel::SetMinTime(int64_t Seconds) {
    int64_t s = std::clamp<int64_t>(Seconds, 0, kMaxMinTime);
    if (AutoX)
        s = 0;
    FMinText = MinutesText(s);
    SetSpanEntry();
    if (s + kMinTimeSpan > MaxSeconds())
        SetMaxTime(s + kMinTimeSpan);
}

void TTimeRangeModel::SetMaxTime(int64_t Seconds) {
    const int64_t s = std::clamp<int64_t>(Seconds, 0, kMaxSeconds);
    FMaxText = MinutesText(s);
    SetSpanEntry();
    if (MinSeconds() > s - kMinTimeSpan)
        SetMinTime(s - kMinTimeSpan);
}

void TTimeRangeModel::EditExit(bool IsMax, const std::string& Text) {
    ApplyTimeEdit(IsMax, Text);
}

void TTimeRangeModel::EditEnter(bool IsMax, const std::string& Text) {
    AutoX = false;
    ApplyTimeEdit(IsMax, Text);
}

void TTimeRangeModel::ApplyTimeEdit(bool IsMax, const std::string& Text) {
    End = false;
    double minutes = 0;
    const int64_t s =
        ParseEditNumber(Text, minutes) ? SecondsOf(minutes) : (IsMax ? FHeldMax : FHeldMin);
    if (IsMax)
        SetMaxTime(s);
    else
        SetMinTime(s);
}

void TTimeRangeModel::UpDown(bool IsMax, const std::string& Text, bool Up) {
    const int64_t current = EditSeconds(Text);
    AutoX = false;
    int64_t s = 0;
    if (Up)
        s = kMaxSeconds - kTimeUpDownStep < current ? kMaxSeconds : current + kTimeUpDownStep;
    else
        s = current < kTimeUpDownStep ? 0 : current - kTimeUpDownStep;
    if (IsMax)
        SetMaxTime(s);
    else
        SetMinTime(s);
}

void TTimeRangeModel::PageDropDown() {
    FPageItems.clear();
    for (const TPrefTimePage& p : kPrefTimePages)
        FPageItems.push_back(p.Text);
    FPageIndex = -1;
    FDroppedDown = true;
}

void TTimeRangeModel::PageCloseUp() {
    FDroppedDown = false;
    if (FPageIndex >= 0) {
        AutoX = false;
        SetMaxTime(int64_t{MinSeconds()} + PageSeconds());
    }
    PutSpanFirst();
}

int32_t TTimeRangeModel::PageSeconds() const {
    if (FPageItems.size() > kPrefTimePageCount || FDroppedDown || FPageIndex < 0 ||
        FPageIndex >= kPrefTimePageCount)
        return MaxSeconds() - MinSeconds();
    return kPrefTimePages[FPageIndex].Seconds;
}

void TTimeRangeModel::SetSpanEntry() {
    if (FPageItems.size() > kPrefTimePageCount)
        FPageItems[0] = PageText(MaxSeconds() - MinSeconds());
}

// Always the span and then the table: one entry alone would read as the first
// page of the table when Enter is pressed.
void TTimeRangeModel::PutSpanFirst() {
    FPageItems.assign(1, PageText(MaxSeconds() - MinSeconds()));
    for (const TPrefTimePage& p : kPrefTimePages)
        FPageItems.push_back(p.Text);
    FPageIndex = 0;
}
