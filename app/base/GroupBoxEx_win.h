// TGroupBoxEx: a group box that reports the mouse entering and leaving it.
// Controls placed in it are its children; their notifications go on to its parent.
#pragma once

#include "app/base/Form_win.h"

#include <functional>
#include <string>

class TGroupBoxEx : public TWindow {
public:
    TGroupBoxEx(HWND Parent, int Id, const std::string& Caption, int X, int Y, int Width,
                int Height);

    std::function<void(TGroupBoxEx& Sender)> OnMouseEnter;
    std::function<void(TGroupBoxEx& Sender)> OnMouseLeave;

protected:
    // Fire the events; a descendant may react here without them.
    virtual void MouseEnter();
    virtual void MouseLeave();

    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    std::string FCaption;
    HWND FFrame = nullptr;
    bool FInside = false;
};
