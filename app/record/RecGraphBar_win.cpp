#include "app/record/RecGraphBar_win.h"

#include <commctrl.h>

#include <array>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

constexpr int kButton = 22;
constexpr int kEditWidth = 44;
constexpr int kUpDownWidth = 16;
constexpr int kPageWidth = 150;

struct TButtonDef {
    TRecGraphBar::TControl Control;
    const char* Caption;
    bool Check;
};
constexpr TButtonDef kButtons[] = {
    {TRecGraphBar::kHome, "|<", false},     {TRecGraphBar::kBigRwd, "<<", false},
    {TRecGraphBar::kLittleRwd, "<", false}, {TRecGraphBar::kLittleFwd, ">", false},
    {TRecGraphBar::kBigFwd, ">>", false},   {TRecGraphBar::kEnd, ">|", true},
    {TRecGraphBar::kAutoX, "T", true},      {TRecGraphBar::kZoom, "Z", true},
    {TRecGraphBar::kAutoY, "Y", true},      {TRecGraphBar::kAutoOffset, "F", true},
    {TRecGraphBar::kProp, "S", false},      {TRecGraphBar::kShowSC, "#", true},
};

// The magnifier ("magnglass"): a ring with a handle to the lower right, its
// hot spot in the middle of the ring.
HCURSOR CreateMagnifier() {
    constexpr int n = 32;
    constexpr int rowBytes = n / 8;
    std::array<uint8_t, n * rowBytes> andMask, xorMask;
    andMask.fill(0xFF);
    xorMask.fill(0x00);
    auto black = [&](int X, int Y) {
        if (X >= 0 && X < n && Y >= 0 && Y < n)
            andMask[static_cast<size_t>(Y * rowBytes + X / 8)] &=
                static_cast<uint8_t>(~(0x80 >> (X % 8)));
    };
    constexpr int cx = 11, cy = 11;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double r = std::hypot(x - cx, y - cy);
            if (r >= 7 && r <= 9)
                black(x, y);
        }
    for (int i = 17; i <= 27; ++i)
        for (int w = -1; w <= 1; ++w)
            black(i + w, i);
    return CreateCursor(GetModuleHandleA(nullptr), cx, cy, n, n, andMask.data(), xorMask.data());
}

bool Checked(HWND Button) {
    return SendMessageA(Button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND Button, bool Down) {
    SendMessageA(Button, BM_SETCHECK, Down ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string WindowText(HWND Wnd) {
    char text[64] = {};
    GetWindowTextA(Wnd, text, sizeof text);
    return text;
}

void SetTextIfChanged(HWND Wnd, const std::string& Text) {
    if (WindowText(Wnd) != Text)
        SetWindowTextA(Wnd, Text.c_str());
}

} // namespace

TRecGraphBar::TRecGraphBar(TForm& Owner, TRecView& View, int FirstId)
    : FOwner(Owner), FView(View), FFirstId(FirstId), FMagnifier(CreateMagnifier()) {
    for (TControl edit : {kEditMin, kEditMax}) {
        HWND e = FOwner.AddControl("EDIT", "", ES_RIGHT | WS_BORDER | WS_TABSTOP, FFirstId + edit,
                                   0, 0, kEditWidth, 20);
        SetWindowSubclass(e, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
        HWND ud =
            FOwner.AddControl(UPDOWN_CLASSA, "", 0, FFirstId + edit + 1, 0, 0, kUpDownWidth, 20);
        SendMessageA(ud, UDM_SETRANGE32, 0, 100);
        SendMessageA(ud, UDM_SETPOS32, 0, 50);
    }
    HWND page = FOwner.AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                                  FFirstId + kPageBox, 0, 0, kPageWidth, 300);
    SetWindowSubclass(page, EditProc, 2, reinterpret_cast<DWORD_PTR>(this));
    for (const TButtonDef& b : kButtons)
        FOwner.AddControl("BUTTON", b.Caption, (b.Check ? BS_CHECKBOX | BS_PUSHLIKE : 0),
                          FFirstId + b.Control, 0, 0, kButton, kButton);
}

TRecGraphBar::~TRecGraphBar() {
    for (TControl c : {kEditMin, kEditMax, kPageBox})
        if (HWND w = Control(c))
            RemoveWindowSubclass(w, EditProc, c == kPageBox ? 2 : 1);
    if (FMagnifier)
        DestroyCursor(FMagnifier);
}

void TRecGraphBar::Layout(int Left, int Top) {
    int x = Left;
    auto place = [&](TControl C, int Width, int Height) {
        MoveWindow(Control(C), x, Top + (kHeight - Height) / 2, Width, Height, TRUE);
        x += Width;
    };
    place(kEditMin, kEditWidth, 20);
    place(kUpDownMin, kUpDownWidth, 20);
    x += 4;
    place(kEditMax, kEditWidth, 20);
    place(kUpDownMax, kUpDownWidth, 20);
    x += 4;
    MoveWindow(Control(kPageBox), x, Top + 1, kPageWidth, 300, TRUE);
    x += kPageWidth + 4;
    for (const TButtonDef& b : kButtons) {
        if (b.Control == kAutoX || b.Control == kAutoY || b.Control == kProp)
            x += 4;
        place(b.Control, kButton, kButton);
    }
}

void TRecGraphBar::Show(bool Live) {
    FLive = Live;
    const TShown now = {FView.MinText(),
                        FView.MaxText(),
                        FView.PageIndex(),
                        FView.PageOpen(),
                        {Live && FView.End(), FView.AutoX(), FView.Zoom(), FView.AutoY(),
                         FView.AutoOffset(), FView.ShowSampleCount()},
                        FView.TimeControlsEnabled(),
                        static_cast<bool>(OnSeriesProperties)};
    if (FShown == now && FView.PageItems() == FPageBoxItems)
        return;
    FShown = now;
    SetTextIfChanged(Control(kEditMin), FView.MinText());
    SetTextIfChanged(Control(kEditMax), FView.MaxText());
    HWND page = Control(kPageBox);
    const auto& items = FView.PageItems();
    if (items != FPageBoxItems) {
        SendMessageA(page, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : items)
            SendMessageA(page, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        FPageBoxItems = items;
    }
    if (!FView.PageOpen() && SendMessageA(page, CB_GETCURSEL, 0, 0) != FView.PageIndex())
        SendMessageA(page, CB_SETCURSEL, static_cast<WPARAM>(FView.PageIndex()), 0);
    const TControl checks[] = {kEnd, kAutoX, kZoom, kAutoY, kAutoOffset, kShowSC};
    for (size_t i = 0; i < std::size(checks); ++i)
        SetChecked(Control(checks[i]), now.Checks[i]);
    for (TControl c : {kEditMin, kUpDownMin, kEditMax, kUpDownMax, kPageBox, kHome, kBigRwd,
                       kLittleRwd, kLittleFwd, kBigFwd, kEnd})
        EnableWindow(Control(c), now.Manual);
    EnableWindow(Control(kProp), now.Prop);
}

HCURSOR TRecGraphBar::GraphCursor() const {
    return FView.Zoom() && FMagnifier ? FMagnifier : LoadCursor(nullptr, IDC_CROSS);
}

void TRecGraphBar::Toggle(TControl C) {
    const bool down = !Checked(Control(C));
    switch (C) {
    case kEnd:
        FView.EndButton(FLive && down);
        break;
    case kAutoX:
        FView.AutoXButton(down);
        break;
    case kZoom:
        FView.ZoomButton(down);
        break;
    case kAutoY:
        FView.AutoYButton(down);
        break;
    case kAutoOffset:
        FView.AutoOffsetButton(down);
        break;
    case kShowSC:
        FView.ShowSampleCountButton(down);
        break;
    default:
        break;
    }
}

bool TRecGraphBar::OnCommand(int Id, int Code, HWND Control) {
    const int c = Id - FFirstId;
    if (c < 0 || c >= kControlCount)
        return false;
    FShown.reset();
    switch (c) {
    case kEditMin:
    case kEditMax:
        if (Code == EN_KILLFOCUS)
            FView.ApplyTimeEdit(c == kEditMax, WindowText(Control));
        return true;
    case kPageBox:
        if (Code == CBN_DROPDOWN) {
            FView.PageDropDown();
            Show(FLive);
            SendMessageA(Control, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        } else if (Code == CBN_CLOSEUP) {
            FView.PageCloseUp(static_cast<int>(SendMessageA(Control, CB_GETCURSEL, 0, 0)));
        }
        return true;
    default:
        break;
    }
    if (Code != BN_CLICKED)
        return true;
    switch (c) {
    case kHome:
        FView.Home();
        break;
    case kBigRwd:
        FView.Scroll(TScroll::HalfBack);
        break;
    case kLittleRwd:
        FView.Scroll(TScroll::QuarterBack);
        break;
    case kLittleFwd:
        FView.Scroll(TScroll::QuarterForward);
        break;
    case kBigFwd:
        FView.Scroll(TScroll::HalfForward);
        break;
    case kProp:
        if (OnSeriesProperties)
            OnSeriesProperties();
        break;
    default:
        Toggle(static_cast<TControl>(c));
        break;
    }
    return true;
}

bool TRecGraphBar::OnNotify(const NMHDR& Header, LRESULT& Result) {
    const int c = static_cast<int>(Header.idFrom) - FFirstId;
    if ((c != kUpDownMin && c != kUpDownMax) || Header.code != UDN_DELTAPOS)
        return false;
    FShown.reset();
    const auto& delta = reinterpret_cast<const NMUPDOWN&>(Header);
    SetFocus(Control(static_cast<TControl>(c - 1)));
    FView.UpDown(c == kUpDownMax, delta.iDelta > 0);
    Result = 1; // the up-down keeps its own position
    return true;
}

bool TRecGraphBar::ShortCut(WPARAM Key) {
    switch (Key) {
    case 'T':
        Toggle(kAutoX);
        return true;
    case 'I':
        Toggle(kZoom);
        return true;
    case 'F':
        Toggle(kAutoOffset);
        return true;
    case 'Y':
        if (OnSeriesProperties)
            OnSeriesProperties();
        return true;
    default:
        return false;
    }
}

bool TRecGraphBar::EditChar(HWND Edit, WPARAM& Key) {
    const bool max = Edit == Control(kEditMax);
    if (Key == VK_RETURN) {
        FView.TimeEditEnter(max, WindowText(Edit));
        return false;
    }
    char key = static_cast<char>(Key);
    if (!FilterTimeKey(WindowText(Edit), key))
        return false;
    Key = static_cast<unsigned char>(key);
    return true;
}

LRESULT CALLBACK TRecGraphBar::EditProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR Id,
                                        DWORD_PTR Data) {
    auto* bar = reinterpret_cast<TRecGraphBar*>(Data);
    if (Id == 1 && Msg == WM_CHAR && !bar->EditChar(Wnd, W))
        return 0;
    if (Id == 2 && Msg == WM_KEYDOWN && !SendMessageA(Wnd, CB_GETDROPPEDSTATE, 0, 0) &&
        (W == VK_DOWN || W == VK_RIGHT || W == VK_UP)) {
        SendMessageA(Wnd, CB_SHOWDROPDOWN, TRUE, 0);
        return 0;
    }
    if (Id == 2 && Msg == WM_KEYDOWN && W == VK_RETURN) {
        SendMessageA(Wnd, CB_SHOWDROPDOWN, FALSE, 0);
        return 0;
    }
    return DefSubclassProc(Wnd, Msg, W, L);
}
