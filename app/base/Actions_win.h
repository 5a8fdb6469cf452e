// Menu items and tool buttons driven by an action table: an item or button
// whose command id is an action's id shows its caption (menus, with the
// shortcut text), enabled and checked states; clicking it sends WM_COMMAND with
// that id, which TForm turns into the action's execution.
#pragma once

#include "app/base/Actions_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <vector>

class TActionLinks : public IActionView {
public:
    explicit TActionLinks(TActionList& List);
    TActionLinks(const TActionLinks&) = delete;
    TActionLinks& operator=(const TActionLinks&) = delete;
    ~TActionLinks();

    // The menu (with its submenus) and the tool bar follow the actions from now on.
    void LinkMenu(HMENU Menu);
    void LinkToolBar(HWND ToolBar);

    void ActionChanged(const TAction& Action) override;

private:
    TActionList& FList;
    std::vector<HMENU> FMenus;
    std::vector<HWND> FToolBars;
};

// An accelerator table of every action with a shortcut, for TranslateAccelerator.
TAccelTable CreateActionAccelerators(const TActionList& List);
