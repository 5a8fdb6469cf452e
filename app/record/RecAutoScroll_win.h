// The Auto Scroll button of a record window with its sample list: while it is
// down, every new sample brings the last row into view; scrolling the list by
// hand (scroll bar or wheel) releases it.
//
// The list control redraws its scroll bar on every change of its count or
// position, and under Wine each such drawing costs milliseconds: a new sample
// changes both with the list hidden from drawing, and then only what looks
// different is drawn.
#pragma once

#include "app/base/Form_win.h"

#include <windows.h>

class TRecAutoScroll {
public:
    // The button is Owner's control Id at X, Y; List the sample list it follows.
    TRecAutoScroll(TForm& Owner, int Id, int X, int Y, HWND List);
    static constexpr int kSize = 24;
    TRecAutoScroll(const TRecAutoScroll&) = delete;
    TRecAutoScroll& operator=(const TRecAutoScroll&) = delete;
    ~TRecAutoScroll();

    HWND Button() const { return FOwner.Control(FId); }
    bool Down() const;
    void SetDown(bool Down);
    // Enabled in live windows only.
    void Enable(bool Live);
    // The list's item count := Count and, while the button is down, its last
    // row in view.
    void SetCount(size_t Count);
    // True when Id is the button's; a click toggles it and shows the last row.
    bool OnCommand(int Id, int Code);

private:
    static LRESULT CALLBACK ListProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
    void ShowLastRow();
    SCROLLBARINFO BarLook(int Bar);

    TForm& FOwner;
    int FId;
    HWND FList;
    WNDPROC FListProc = nullptr;
    // What each scroll bar looked like when last asked (vertical, horizontal).
    struct TBarLook {
        bool Known = false;
        SCROLLINFO State{};
        RECT Window{};
        SCROLLBARINFO Look{};
    };
    TBarLook FBars[2];
};
