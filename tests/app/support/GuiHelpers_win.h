// Helpers for the window tests: act on a window from a thread of the test's
// own, as a person would, while the test's thread runs a modal loop.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

// The first child of Parent with the class and text given (null: any).
inline HWND FindChild(HWND Parent, const char* ClassName, const char* Text) {
    return FindWindowExA(Parent, nullptr, ClassName, Text);
}

inline std::string WindowText(HWND Wnd) {
    char text[1024] = {};
    SendMessageA(Wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Clicks the button with caption Text in Window; false when there is none.
inline bool ClickButton(HWND Window, const char* Text) {
    const HWND button = FindChild(Window, "Button", Text);
    if (!button)
        return false;
    SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

// The window that has the keyboard focus in the thread of Window.
inline HWND FocusOf(HWND Window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(Window, nullptr), &info);
    return info.hwndFocus;
}

// Presses a key in Window's thread: posted to its focus, as the keyboard would.
inline void PressKey(HWND Window, WPARAM Key) {
    const HWND focus = FocusOf(Window);
    PostMessageA(focus ? focus : Window, WM_KEYDOWN, Key, 1);
    PostMessageA(focus ? focus : Window, WM_KEYUP, Key, 0xC0000001);
}

// Waits in a thread of its own (up to 5 s) for a visible top-level window of
// class ClassName and caption Caption, then runs Action on it.
class TWindowActor {
public:
    TWindowActor(const char* ClassName, const char* Caption, std::function<void(HWND)> Action)
        : FThread([this, cls = std::string(ClassName), cap = std::string(Caption),
                   action = std::move(Action)] {
              const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
              while (std::chrono::steady_clock::now() < until) {
                  const HWND wnd = FindWindowA(cls.c_str(), cap.c_str());
                  if (wnd && IsWindowVisible(wnd)) {
                      action(wnd);
                      FFound = true;
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    TWindowActor(const TWindowActor&) = delete;
    TWindowActor& operator=(const TWindowActor&) = delete;
    ~TWindowActor() { Join(); }

    // Waits for the thread; true when the window was found and acted on.
    bool Join() {
        if (FThread.joinable())
            FThread.join();
        return FFound;
    }

private:
    std::atomic<bool> FFound{false};
    std::thread FThread;
};

// Runs the messages that are waiting in this thread.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Waits up to TimeoutMs for Done, running this thread's messages meanwhile;
// the milliseconds it took, or -1.
inline int WaitFor(int TimeoutMs, const std::function<bool()>& Done) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (Done())
            return static_cast<int>(GetTickCount64() - start);
        if (GetTickCount64() - start > static_cast<ULONGLONG>(TimeoutMs))
            return -1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
}
