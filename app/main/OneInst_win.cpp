#include "app/main/OneInst_win.h"

#include "common/WinRes_win.h"

namespace {

UINT gMessage = 0;
THandle gMutex;

} // namespace

UINT SingleInstanceMessage() {
    return gMessage;
}

bool ProcessSingleInstanceInit(const std::vector<std::string>& Args) {
    gMessage = RegisterWindowMessageA(kSingleInstanceName);
    return EnsureSingleInstance(Args);
}

void ProcessSingleInstanceDone() {
    if (!gMutex)
        return;
    ReleaseMutex(gMutex.Get());
    gMutex.Reset();
}

bool EnsureSingleInstance(const std::vector<std::string>& Args) {
    gMutex.Reset(CreateMutexA(nullptr, FALSE, kSingleInstanceName));
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    ForwardToFirstInstance(Args);
    return false;
}

void ForwardToFirstInstance(const std::vector<std::string>& Args) {
    // A window that hangs must not hold the second start forever.
    SendMessageTimeoutA(HWND_BROADCAST, gMessage, GetCurrentThreadId(), 0, SMTO_ABORTIFHUNG,
                        kForwardTimeoutMs, nullptr);
    HWND first = nullptr;
    TTickWait wait(GetTickCount(), kForwardTimeoutMs);
    while (!wait.Expired(GetTickCount())) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, gMessage, gMessage, PM_REMOVE)) {
            first = reinterpret_cast<HWND>(msg.wParam);
            break;
        }
        Sleep(10);
    }
    if (!first || !IsWindow(first))
        return;
    std::vector<uint8_t> block = PackCmdLine(Args);
    COPYDATASTRUCT data{};
    data.dwData = gMessage;
    data.cbData = static_cast<DWORD>(block.size());
    data.lpData = block.data();
    // The window that answered may stop answering before this arrives.
    SendMessageTimeoutA(first, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                        kForwardTimeoutMs, nullptr);
}

bool AnswerSecondInstance(HWND MainWindow, UINT Msg, WPARAM W) {
    if (gMessage == 0 || Msg != gMessage)
        return false;
    PostThreadMessageA(static_cast<DWORD>(W), gMessage, reinterpret_cast<WPARAM>(MainWindow), 0);
    return true;
}

const COPYDATASTRUCT* SecondInstanceData(LPARAM L) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(L);
    if (gMessage == 0 || !data || data->dwData != gMessage)
        return nullptr;
    return data;
}
