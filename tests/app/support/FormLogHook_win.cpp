// A CBT hook that a test sets on the main thread of a program it started: each
// top-level window made there appends its class name and a line break to the
// file that QUORX_FORM_LOG names, in the order they are made.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) LRESULT CALLBACK FormLogHook(int Code, WPARAM W, LPARAM L) {
    if (Code == HCBT_CREATEWND && !(reinterpret_cast<CBT_CREATEWNDA*>(L)->lpcs->style & WS_CHILD)) {
        char path[MAX_PATH];
        const DWORD length = GetEnvironmentVariableA("QUORX_FORM_LOG", path, sizeof path);
        char cls[256];
        if (length > 0 && length < sizeof path &&
            GetClassNameA(reinterpret_cast<HWND>(W), cls, sizeof cls)) {
            if (FILE* log = std::fopen(path, "a")) {
                std::fprintf(log, "%s\n", cls);
                std::fclose(log);
            }
        }
    }
    return CallNextHookEx(nullptr, Code, W, L);
}
