#include "app/base/Actions_win.h"

#include <commctrl.h>

namespace {

void ShowInMenu(HMENU Menu, const TAction& A) {
    if (GetMenuState(Menu, static_cast<UINT>(A.Id), MF_BYCOMMAND) == static_cast<UINT>(-1))
        return;
    std::string text = A.Caption;
    const std::string shortCut = ShortCutToText(A.ShortCut);
    if (!shortCut.empty())
        text += "\t" + shortCut;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_STATE;
    mii.fState = (A.Enabled ? MFS_ENABLED : MFS_GRAYED) | (A.Checked ? MFS_CHECKED : MFS_UNCHECKED);
    mii.dwTypeData = text.data();
    SetMenuItemInfoA(Menu, static_cast<UINT>(A.Id), FALSE, &mii);
}

void ShowInToolBar(HWND ToolBar, const TAction& A) {
    const auto id = static_cast<WPARAM>(A.Id);
    if (SendMessageA(ToolBar, TB_COMMANDTOINDEX, id, 0) < 0)
        return;
    SendMessageA(ToolBar, TB_ENABLEBUTTON, id, MAKELPARAM(A.Enabled, 0));
    SendMessageA(ToolBar, TB_CHECKBUTTON, id, MAKELPARAM(A.Checked, 0));
}

} // namespace

TActionLinks::TActionLinks(TActionList& List) : FList(List) {
    FList.Attach(*this);
}

TActionLinks::~TActionLinks() {
    FList.Detach(*this);
}

void TActionLinks::LinkMenu(HMENU Menu) {
    FMenus.push_back(Menu);
    for (const TAction& a : FList.Items())
        ShowInMenu(Menu, a);
}

void TActionLinks::LinkToolBar(HWND ToolBar) {
    FToolBars.push_back(ToolBar);
    for (const TAction& a : FList.Items())
        ShowInToolBar(ToolBar, a);
}

void TActionLinks::ActionChanged(const TAction& Action) {
    for (HMENU m : FMenus)
        ShowInMenu(m, Action);
    for (HWND t : FToolBars)
        ShowInToolBar(t, Action);
}

TAccelTable CreateActionAccelerators(const TActionList& List) {
    std::vector<ACCEL> keys;
    for (const TAction& a : List.Items()) {
        if (!a.ShortCut.Key)
            continue;
        BYTE flags = FVIRTKEY;
        if (a.ShortCut.Shift)
            flags |= FSHIFT;
        if (a.ShortCut.Ctrl)
            flags |= FCONTROL;
        if (a.ShortCut.Alt)
            flags |= FALT;
        keys.push_back({flags, a.ShortCut.Key, static_cast<WORD>(a.Id)});
    }
    if (keys.empty())
        return {};
    return TAccelTable(CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size())));
}
