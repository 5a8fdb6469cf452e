#include "link/timer/EventTimer_win.h"

#include "link/core/QuorxCom.h"

#include <map>
#include <mutex>

namespace {

constexpr UINT kTickMs = 100;
const char kWindowClass[] = "QuorxComEventTimer";

// Timer id -> device. A tick looks its device up afresh, so a link closed by
// its own event procedure, or by any thread before, is never touched again.
struct TTimerRegistry {
    std::mutex lock;
    std::map<UINT_PTR, TNPDev*> devices;
    std::map<HWND, int> timersPerWindow;
    UINT_PTR nextId = 1;
};

TTimerRegistry& Registry() {
    static TTimerRegistry* registry = new TTimerRegistry; // outlives every link
    return *registry;
}

// The tick's work on its device runs under the registry's lock, so a link that
// another thread frees meanwhile waits in ~TEventTimer until the tick is done.
bool TickDevice(UINT_PTR Id, TNPDev::TTickCall& Call) {
    TTimerRegistry& r = Registry();
    std::lock_guard<std::mutex> hold(r.lock);
    const auto it = r.devices.find(Id);
    if (it == r.devices.end())
        return false;
    Call = it->second->TickInput();
    return true;
}

LRESULT CALLBACK TimerWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg != WM_TIMER)
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
    TNPDev::TTickCall call;
    if (!TickDevice(WParam, call))
        KillTimer(Wnd, WParam);
    else if (call.Proc)
        call.Proc(call.Index); // may close the link: it gets only the index
    return 0;
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&TimerWindowProc), &module);
    return module;
}

HWND ThreadWindow() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = TimerWindowProc;
        wc.hInstance = ThisModule();
        wc.lpszClassName = kWindowClass;
        RegisterClassA(&wc);
    });
    thread_local HWND window = nullptr;
    if (window == nullptr || !IsWindow(window))
        window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ThisModule(), nullptr);
    return window;
}

} // namespace

TEventTimer::TEventTimer(TNPDev& Dev) : window_(ThreadWindow()) {
    TTimerRegistry& r = Registry();
    std::lock_guard<std::mutex> hold(r.lock);
    id_ = r.nextId++;
    r.devices[id_] = &Dev;
    ++r.timersPerWindow[window_];
}

TEventTimer::~TEventTimer() {
    bool lastOfWindow = false;
    {
        TTimerRegistry& r = Registry();
        std::lock_guard<std::mutex> hold(r.lock);
        r.devices.erase(id_);
        lastOfWindow = --r.timersPerWindow[window_] == 0;
        if (lastOfWindow)
            r.timersPerWindow.erase(window_);
    }
    if (enabled_)
        KillTimer(window_, id_);
    // Only the owning thread may destroy its window; elsewhere it stays until
    // that thread ends.
    if (lastOfWindow && GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId())
        DestroyWindow(window_);
}

void TEventTimer::Enable() {
    if (!enabled_ && window_ != nullptr)
        enabled_ = SetTimer(window_, id_, kTickMs, nullptr) != 0;
}
