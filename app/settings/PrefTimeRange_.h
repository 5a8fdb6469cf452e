// The time range of the preferences' graph page: the minimum and maximum edits
// (whole seconds shown as minutes with one decimal), their up-downs, the page
// box and the AutoX and End buttons they release. The range always spans at
// least kMinTimeSpan seconds; the minimum stays at or below kMaxMinTime.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The record window's pages: text and seconds.
struct TPrefTimePage {
    const char* Text;
    int32_t Seconds;
};
inline constexpr TPrefTimePage kPrefTimePages[] = {
    {"6 min/Page, 30 s/Div", 360},           {"12 min/Page, 1 min/Div", 720},
    {"30 min/Page, 2.5 min/Div", 1800},      {"1 hour/Page, 5 min/Div", 3600},
    {"2 hours/Page, 10 min/Div", 7200},      {"4 hours/Page, 20 min/Div", 14400},
    {"6 hours/Page, 30 min/Div", 21600},     {"8 hours/Page, 40 min/Div", 28800},
    {"12 hours/Page, 1 hour/Div", 43200},    {"1 day/Page, 2 hours/Div", 86400},
    {"2 days/Page, 4 hours/Div", 172800},    {"7 days/Page, 14 hours/Div", 604800},
    {"14 days/Page, 28 hours/Div", 1209600}, {"28 days/Page, 56 hours/Div", 2419200},
};
inline constexpr int kPrefTimePageCount = 14;
// The up-downs' step: six minutes.
inline constexpr int32_t kTimeUpDownStep = 360;

// "1d 00h 00' 00"/Page, 0d 02h 00' 00.0"/Div" for a span of Seconds.
std::string PageText(int32_t Seconds);

class TTimeRangeModel {
public:
    // The edits show Min and Max; the page box holds the span as entry 0 before
    // the table (so Enter in it keeps the span). Held bounds are what a time
    // edit without a number falls back to.
    void Show(int32_t Min, int32_t Max);

    const std::string& MinText() const { return FMinText; }
    const std::string& MaxText() const { return FMaxText; }
    const std::vector<std::string>& PageItems() const { return FPageItems; }
    int PageIndex() const { return FPageIndex; }
    bool AutoX = false;
    bool End = false;

    // Seconds of an edit's text; raises EConvertError when it is no number.
    static int32_t EditSeconds(const std::string& Text);
    int32_t MinSeconds() const { return EditSeconds(FMinText); }
    int32_t MaxSeconds() const { return EditSeconds(FMaxText); }

    void SetMinTime(int64_t Seconds);
    void SetMaxTime(int64_t Seconds);

    // The user's text in an edit, taken when it is left or Enter pressed (Enter
    // releases AutoX first). A text without a number takes the held bound.
    void EditExit(bool IsMax, const std::string& Text);
    void EditEnter(bool IsMax, const std::string& Text);
    // An up-down click on the edit's Text; raises EConvertError when it is no
    // number, changing nothing.
    void UpDown(bool IsMax, const std::string& Text, bool Up);

    // The page box: opening its list shows the table; closing it with a choice
    // moves the maximum to minimum + the page; either way the span becomes entry 0.
    void PageDropDown();
    void PageSelect(int Index) { FPageIndex = Index; }
    void PageCloseUp();
    int32_t PageSeconds() const;

private:
    void ApplyTimeEdit(bool IsMax, const std::string& Text);
    void SetSpanEntry();
    void PutSpanFirst();

    std::string FMinText;
    std::string FMaxText;
    int32_t FHeldMin = 0;
    int32_t FHeldMax = 0;
    std::vector<std::string> FPageItems;
    int FPageIndex = -1;
    bool FDroppedDown = false;
};
