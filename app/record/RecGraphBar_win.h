// The graph tool bar of a record window: the time edits with their up-downs,
// the page box, Home, the four scroll buttons and End, Auto Range Time, Zoom
// In, Auto Range Y, Auto Offset, the series settings and the sample-count
// switch. It shows what TRecView holds and hands it the user's actions.
#pragma once

#include "app/base/Form_win.h"
#include "app/record/RecView_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TRecGraphBar {
public:
    static constexpr int kHeight = 24;

    // Controls of Owner with the ids FirstId .. FirstId + kControlCount - 1.
    TRecGraphBar(TForm& Owner, TRecView& View, int FirstId);
    TRecGraphBar(const TRecGraphBar&) = delete;
    TRecGraphBar& operator=(const TRecGraphBar&) = delete;
    ~TRecGraphBar();

    void Layout(int Left, int Top);
    // The model's state; Live: End is a check button and Auto Range Time
    // disables the time controls.
    void Show(bool Live);
    // The graph's cursor: the magnifier while Zoom In is on, else the cross.
    HCURSOR GraphCursor() const;
    // True when Id is one of the bar's controls.
    bool OnCommand(int Id, int Code, HWND Control);
    // The up-downs; true when handled, Result the notification's answer.
    bool OnNotify(const NMHDR& Header, LRESULT& Result);
    // Ctrl+T, Ctrl+I, Ctrl+F and Ctrl+Y; true when Key was one of them.
    bool ShortCut(WPARAM Key);

    // The series settings button; disabled while unset.
    std::function<void()> OnSeriesProperties;

    enum TControl : int {
        kEditMin,
        kUpDownMin,
        kEditMax,
        kUpDownMax,
        kPageBox,
        kHome,
        kBigRwd,
        kLittleRwd,
        kLittleFwd,
        kBigFwd,
        kEnd,
        kAutoX,
        kZoom,
        kAutoY,
        kAutoOffset,
        kProp,
        kShowSC,
        kControlCount
    };
    HWND Control(TControl C) const { return FOwner.Control(FFirstId + C); }

private:
    static LRESULT CALLBACK EditProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR Id,
                                     DWORD_PTR Data);
    bool EditChar(HWND Edit, WPARAM& Key);
    void Toggle(TControl C);

    TForm& FOwner;
    TRecView& FView;
    int FFirstId;
    HCURSOR FMagnifier;
    bool FLive = true;
    // What the page box was filled with: asking the box itself costs more than
    // the rest of Show, which runs for every new sample.
    std::vector<std::string> FPageBoxItems;
    // The state Show last put on the controls, which stays so until the user
    // acts on one of them; a new sample mostly shows the same state again.
    struct TShown {
        std::string MinText;
        std::string MaxText;
        int PageIndex = 0;
        bool PageOpen = false;
        bool Checks[6] = {};
        bool Manual = false;
        bool Prop = false;
        bool operator==(const TShown&) const = default;
    };
    std::optional<TShown> FShown;
};
