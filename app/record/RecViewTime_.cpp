// The time window of a record window's graph: its two setters and everything
// that moves them.
#include "app/base/Tools_.h"
#include "app/record/RecView_.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr int64_t kMaxSeconds = std::numeric_limits<int32_t>::max();

// Round(P / 10), halves to even; P >= 0.
int64_t TenthRounded(int64_t P) {
    int64_t q = P / 10;
    const int64_t r = P % 10;
    if (r > 5 || (r == 5 && q % 2 != 0))
        ++q;
    return q;
}

} // namespace

const TTimePage kTimePages[kTimePageCount] = {
    {"6 min/Page, 30 s/Div", 360},           {"12 min/Page, 1 min/Div", 720},
    {"30 min/Page, 2.5 min/Div", 1800},      {"1 hour/Page, 5 min/Div", 3600},
    {"2 hours/Page, 10 min/Div", 7200},      {"4 hours/Page, 20 min/Div", 14400},
    {"6 hours/Page, 30 min/Div", 21600},     {"8 hours/Page, 40 min/Div", 28800},
    {"12 hours/Page, 1 hour/Div", 43200},    {"1 day/Page, 2 hours/Div", 86400},
    {"2 days/Page, 4 hours/Div", 172800},    {"7 days/Page, 14 hours/Div", 604800},
    {"14 days/Page, 28 hours/Div", 1209600}, {"28 days/Page, 56 hours/Div", 2419200},
};

std::string PageText(int32_t Seconds, int32_t XDivisions) {
    const auto s = static_cast<uint32_t>(std::max(Seconds, 0));
    return DurationText(s) + "/Page, " +
           DurationDivText(s, static_cast<uint32_t>(std::max(XDivisions + 1, 1))) + "/Div";
}

std::string MinutesText(int32_t Seconds) {
    // Not the runtime's formatting: its separator follows the locale.
    char text[32];
    const auto r =
        std::to_chars(text, text + sizeof text, Seconds / 60.0, std::chars_format::fixed, 1);
    return std::string(text, r.ptr);
}

bool ParseMinutes(const std::string& Text, int32_t& Seconds) {
    // The edits hold "." after their key filter, but a pasted text or one of
    // another locale may bring ","; both mean the same in every locale.
    std::string number;
    bool separator = false;
    bool digit = false;
    for (char c : Text) {
        if (c >= '0' && c <= '9') {
            digit = true;
            number += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            number += '.';
        } else {
            return false;
        }
    }
    if (!digit)
        return false;
    double minutes = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, minutes);
    if (ec == std::errc::result_out_of_range)
        minutes = std::numeric_limits<double>::infinity();
    else if (ec != std::errc{} || ptr != end)
        return false;
    const double seconds = RoundDecimals(1, minutes) * 60;
    Seconds = seconds >= static_cast<double>(kMaxSeconds)
                  ? static_cast<int32_t>(kMaxSeconds)
                  : static_cast<int32_t>(std::nearbyint(seconds));
    return true;
}

bool FilterTimeKey(const std::string& Text, char& Key) {
    if ((Key >= '0' && Key <= '9') || Key == '\b')
        return true;
    if (Key != '.' && Key != ',')
        return false;
    Key = '.';
    return Text.find('.') == std::string::npos;
}

int64_t TRecView::LastSampleTime() const {
    const auto count = static_cast<int64_t>(FRec.Data().Samples.size());
    return std::min((count - 1) * FGraph.Interval(), kMaxSeconds);
}

void TRecView::SetPageEntry() {
    if (FPageItems.size() <= kTimePageCount)
        return;
    const int64_t span = int64_t{FGraph.MaxTime()} - FGraph.MinTime();
    FPageItems[0] = PageText(static_cast<int32_t>(std::clamp<int64_t>(span, 0, kMaxSeconds)),
                             FGraph.GetXDivisions());
    FPageIndex = 0;
}

void TRecView::SetMaxTime(int64_t Seconds) {
    TAction action(*this);
    int64_t t = std::clamp<int64_t>(Seconds, 0, kMaxSeconds);
    if (FAutoX && LastSampleTime() > kMinTimeSpan)
        t = LastSampleTime();
    FGraph.SetMaxTime(static_cast<int32_t>(t));
    FMaxText = MinutesText(static_cast<int32_t>(t));
    SetPageEntry();
    if (t - kMinTimeSpan < FGraph.MinTime())
        SetMinTime(t - kMinTimeSpan);
    FOffsetPending = true;
    FListPending = true;
}

void TRecView::SetMinTime(int64_t Seconds) {
    TAction action(*this);
    const int64_t t = FAutoX ? 0 : std::clamp<int64_t>(Seconds, 0, kMaxMinTime);
    FGraph.SetMinTime(static_cast<int32_t>(t));
    FMinText = MinutesText(static_cast<int32_t>(t));
    SetPageEntry();
    if (FGraph.MaxTime() < t + kMinTimeSpan)
        SetMaxTime(t + kMinTimeSpan);
    FListPending = true;
}

void TRecView::SetTime(int64_t Min, int64_t Max) {
    SetMinTime(Min);
    SetMaxTime(Max);
}

int32_t TRecView::GetPageSeconds() const {
    if (FPageOpen || FPageItems.size() > kTimePageCount || FPageIndex < 0 ||
        static_cast<std::size_t>(FPageIndex) >= kTimePageCount)
        return FGraph.MaxTime() - FGraph.MinTime();
    return kTimePages[FPageIndex].Seconds;
}

void TRecView::ApplyTimeEdit(bool MaxEdit, const std::string& Text) {
    TAction action(*this);
    FEnd = false;
    int32_t seconds = 0;
    if (!ParseMinutes(Text, seconds))
        seconds = MaxEdit ? FGraph.MaxTime() : FGraph.MinTime();
    if (MaxEdit)
        SetMaxTime(seconds);
    else
        SetMinTime(seconds);
}

void TRecView::TimeEditEnter(bool MaxEdit, const std::string& Text) {
    TAction action(*this);
    FAutoX = false;
    ApplyTimeEdit(MaxEdit, Text);
}

void TRecView::UpDown(bool MaxEdit, bool Up) {
    TAction action(*this);
    FAutoX = false;
    const int64_t bound = MaxEdit ? FGraph.MaxTime() : FGraph.MinTime();
    const int64_t t = Up ? bound + kTimeIncrement : std::max<int64_t>(bound - kTimeIncrement, 0);
    if (MaxEdit)
        SetMaxTime(t);
    else
        SetMinTime(t);
}

void TRecView::PageDropDown() {
    TAction action(*this);
    FPageOpen = true;
    FPageItems.clear();
    for (const TTimePage& page : kTimePages)
        FPageItems.push_back(page.Text);
    FPageIndex = -1;
}

void TRecView::PageCloseUp(int Chosen) {
    TAction action(*this);
    FPageOpen = false;
    if (Chosen >= 0 && static_cast<std::size_t>(Chosen) < kTimePageCount &&
        FPageItems.size() == kTimePageCount) {
        FPageIndex = Chosen;
        FAutoX = false;
        SetMaxTime(int64_t{FGraph.MinTime()} + kTimePages[Chosen].Seconds);
        if (FEnd)
            EndClick();
    }
    if (FPageItems.size() <= kTimePageCount)
        FPageItems.insert(FPageItems.begin(), std::string());
    SetPageEntry();
    FRepaintPending = true;
}

void TRecView::Scroll(TScroll Kind) {
    TAction action(*this);
    FEnd = false;
    FAutoX = false;
    const int64_t p = GetPageSeconds();
    int64_t d = 0;
    switch (Kind) {
    case TScroll::QuarterBack:
        d = p / -4;
        break;
    case TScroll::QuarterForward:
        d = p / 4;
        break;
    case TScroll::HalfBack:
        d = -(p / 2);
        break;
    case TScroll::HalfForward:
        d = p / 2;
        break;
    }
    const int64_t max = FGraph.MaxTime();
    SetMinTime(FGraph.MinTime() + d);
    SetMaxTime(max + d);
    if (FGraph.MinTime() == 0)
        SetMaxTime(p);
}

void TRecView::Home() {
    TAction action(*this);
    FEnd = false;
    FAutoX = false;
    const int64_t p = GetPageSeconds();
    SetTime(0, p);
}

void TRecView::EndButton(bool Down) {
    TAction action(*this);
    if (FRec.Live)
        FEnd = Down;
    EndClick();
}

void TRecView::ReleaseEnd() {
    TAction action(*this);
    FEnd = false;
}

void TRecView::EndClick() {
    TAction action(*this);
    FAutoX = false;
    const int64_t l = LastSampleTime();
    const int64_t p = GetPageSeconds();
    // The last sample stays put from 80 % to below 98 % of the page, else it
    // goes to 90 %; compared exactly, in hundredths of the page.
    if (100 * int64_t{FGraph.MinTime()} + 98 * p <= 100 * l) {
        SetMaxTime(l + TenthRounded(p));
        SetMinTime(FGraph.MaxTime() - p);
    }
    if (10 * int64_t{FGraph.MinTime()} + 8 * p > 10 * l) {
        if (l < p) {
            SetTime(0, p);
        } else {
            SetMaxTime(l + TenthRounded(p));
            SetMinTime(FGraph.MaxTime() - p);
        }
    }
}

void TRecView::AutoXButton(bool Down) {
    TAction action(*this);
    FAutoX = Down;
    AutoXExecute(false);
}

void TRecView::AutoXExecute(bool FromZoom) {
    TAction action(*this);
    if (FromZoom) {
        FAutoX = false;
    } else {
        if (FAutoX) {
            FEnd = false;
            FStoredMin = FGraph.MinTime();
            FStoredMax = FGraph.MaxTime();
            SetTime(0, LastSampleTime());
        } else {
            SetTime(FStoredMin, FStoredMax);
        }
        FZoom = false;
        ZoomInExecute(false);
    }
    FListPending = true;
}

void TRecView::AutoXNewSample() {
    TAction action(*this);
    SetTime(0, LastSampleTime());
}

void TRecView::ZoomButton(bool Down) {
    TAction action(*this);
    FZoom = Down;
    ZoomInExecute(true);
}

void TRecView::ZoomInExecute(bool FromAction) {
    FGraph.ZoomMarker = -1.0;
    FHost.ZoomChanged();
    FRepaintPending = true;
    if (FromAction && FAutoX)
        AutoXExecute(true);
}

void TRecView::MouseDown(bool Left, int32_t X) {
    FMouseX = X;
    if (!FZoom)
        return;
    TAction action(*this);
    FRepaintPending = true;
    if (!Left) {
        FGraph.ZoomMarker = -1.0;
        return;
    }
    const double spp = FGraph.GetSecPerPixel();
    if (FGraph.ZoomMarker < 0) {
        FGraph.ZoomMarker = RoundDecimals(1, spp * (X + 1) + FGraph.MinTime());
        return;
    }
    FEnd = false;
    const double t = spp * X + FGraph.MinTime();
    const double marker = FGraph.ZoomMarker;
    if (t > marker) {
        SetMaxTime(RoundHalfAway(t));
        SetMinTime(RoundHalfAway(marker));
    } else {
        SetMaxTime(RoundHalfAway(marker));
        SetMinTime(RoundHalfAway(t));
    }
    FGraph.ZoomMarker = -1.0;
}

int64_t TRecView::PickSample() const {
    // The graph's interval is at least 1: an interval of 0 from a file must
    // not divide.
    const double at = FGraph.GetSecPerPixel() * (FMouseX + 1) + FGraph.MinTime();
    const double i = std::nearbyint(at / FGraph.Interval());
    const auto count = static_cast<double>(FRec.Data().Samples.size());
    return i >= 0 && i < count ? static_cast<int64_t>(i) : -1;
}
