// The 100 ms event timer of a link: a window timer of the thread that created
// it, on a message-only window of that thread, so it fires only while that
// thread dispatches messages and never inside one of its transactions.
#pragma once

#include <windows.h>

class TNPDev;

class TEventTimer {
public:
    explicit TEventTimer(TNPDev& Dev);
    ~TEventTimer();
    TEventTimer(const TEventTimer&) = delete;
    TEventTimer& operator=(const TEventTimer&) = delete;

    void Enable();

private:
    UINT_PTR id_;
    HWND window_;
    bool enabled_ = false;
};
