// TEditAlign: an edit field with a text alignment. A new alignment re-creates
// the window (the platform reads the alignment style only at creation), keeping
// its text, bounds, styles, font, id, place among its siblings and focus.
#pragma once

#include <windows.h>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TEditAlign {
public:
    TEditAlign(HWND Parent, int Id, int X, int Y, int Width, int Height,
               DWORD Style = WS_TABSTOP | ES_AUTOHSCROLL, DWORD ExStyle = WS_EX_CLIENTEDGE,
               TAlignment Alignment = taLeftJustify);
    TEditAlign(const TEditAlign&) = delete;
    TEditAlign& operator=(const TEditAlign&) = delete;
    ~TEditAlign();

    // Changes with every re-creation.
    HWND Handle() const { return FHandle; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

private:
    void RecreateWnd();

    HWND FParent;
    int FId;
    HWND FHandle = nullptr;
    TAlignment FAlignment;
};
