// The message dialog of the program: a window of class "TMessageForm" with the
// request's caption, icon, text, buttons (captions as given, the default one
// focused) and check box, shown modally.
#pragma once

#include "app/base/MsgDlg_.h"

#include <windows.h>

inline constexpr char kMessageFormClass[] = "TMessageForm";

class TWinMessageBoxes : public IMessageBoxes {
public:
    // The form that owner-centred dialogs centre on and that is disabled while
    // one is shown (the main window); without one, the active window.
    void SetOwner(HWND Owner) { FOwner = Owner; }

    TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& Request) override;

private:
    HWND FOwner = nullptr;
};
