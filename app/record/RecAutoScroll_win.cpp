#include "app/record/RecAutoScroll_win.h"

#include <commctrl.h>

TRecAutoScroll::TRecAutoScroll(TForm& Owner, int Id, int X, int Y, HWND List)
    : FOwner(Owner), FId(Id), FList(List) {
    FOwner.AddControl("BUTTON", "AS", BS_CHECKBOX | BS_PUSHLIKE, FId, X, Y, kSize, kSize);
    SetWindowSubclass(FList, ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TRecAutoScroll::~TRecAutoScroll() {
    if (IsWindow(FList))
        RemoveWindowSubclass(FList, ListProc, 1);
}

bool TRecAutoScroll::Down() const {
    return SendMessageA(Button(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TRecAutoScroll::SetDown(bool Down) {
    SendMessageA(Button(), BM_SETCHECK, Down ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRecAutoScroll::Enable(bool Live) {
    EnableWindow(Button(), Live);
}

void TRecAutoScroll::SampleAdded() {
    if (Down())
        ShowLastRow();
}

bool TRecAutoScroll::OnCommand(int Id, int Code) {
    if (Id != FId)
        return false;
    if (Code == BN_CLICKED) {
        SetDown(!Down());
        ShowLastRow();
    }
    return true;
}

void TRecAutoScroll::ShowLastRow() {
    const LRESULT count = SendMessageA(FList, LVM_GETITEMCOUNT, 0, 0);
    if (count > 0)
        SendMessageA(FList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
}

LRESULT CALLBACK TRecAutoScroll::ListProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR,
                                          DWORD_PTR Data) {
    const LRESULT result = DefSubclassProc(Wnd, Msg, W, L);
    // After the list has scrolled: a hand on the list ends following new samples.
    if (Msg == WM_VSCROLL || Msg == WM_MOUSEWHEEL)
        reinterpret_cast<TRecAutoScroll*>(Data)->SetDown(false);
    return result;
}
