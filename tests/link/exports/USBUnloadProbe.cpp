// usb_unload_probe MODE PATH: opens a USB link to PATH through QuorxComDll,
// loaded at run time, and asks the instrument for its id. Then, with the link
// still open, it unloads the library (MODE "unload") or ends at once ("end");
// or it closes the link and unloads the library, which must then be gone
// ("closed"). Exit code 0; 2 when the link could not be set up; 3 when
// unloading took longer than a second; 4 when the library stayed loaded.
#include "common/ProcBinding_win.h"
#include "QuorxComDllH.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string mode = argv[1];
    const char* path = argv[2];
    const HMODULE dll = LoadLibraryA("QuorxComDll.dll");
    decltype(&OpenUSBDevice) open = nullptr;
    decltype(&USBInitialize) initialize = nullptr;
    decltype(&InitializeDevice) initializeDevice = nullptr;
    decltype(&GetDevId) getDevId = nullptr;
    decltype(&CloseUSBDevice) close = nullptr;
    if (dll == nullptr || !BindProc(dll, "OpenUSBDevice", open) ||
        !BindProc(dll, "USBInitialize", initialize) ||
        !BindProc(dll, "InitializeDevice", initializeDevice) ||
        !BindProc(dll, "GetDevId", getDevId) || !BindProc(dll, "CloseUSBDevice", close))
        return 2;
    void* device = nullptr;
    void* winUsb = nullptr;
    int index = 0;
    char text[21];
    if (open(path, &device) != 0 || initialize(device, &winUsb) != 0 ||
        initializeDevice(device, winUsb, &index, 100, 5001, path,
                         static_cast<int>(std::strlen(path))) != 0 ||
        getDevId(index, text) != 0) {
        std::printf("no link to %s\n", path);
        return 2;
    }
    if (mode == "end")
        return 0;
    if (mode == "closed" && close(index) != 0)
        return 2;
    const DWORD start = GetTickCount();
    FreeLibrary(dll);
    if (GetTickCount() - start > 1000)
        return 3;
    if (mode == "closed" && GetModuleHandleA("QuorxComDll.dll") != nullptr)
        return 4;
    return 0;
}
