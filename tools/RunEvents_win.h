// For the console tools: dispatches this thread's messages, and so the event
// timers of the links it opened, for Ms.
#pragma once

#include <windows.h>

inline void RunEvents(DWORD Ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < Ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}
