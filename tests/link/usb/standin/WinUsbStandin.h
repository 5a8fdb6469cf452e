// Test controls of the stand-in winusb.dll, exported beside the six WinUsb_*
// entry points. A test finds them with GetProcAddress on the loaded library.
#pragma once

#include <windows.h>

#if defined(WINUSB_STANDIN_BUILD)
#define STANDIN_API __declspec(dllexport)
#else
#define STANDIN_API
#endif

// How a write submitted from now on behaves.
enum : LONG {
    kWriteNormal = 0,  // all bytes go to the device
    kWriteRefused = 1, // WinUsb_WritePipe fails at once with ERROR_GEN_FAILURE
    kWriteStalls = 2,  // PartialCount bytes go out, then it waits for an abort and
                       // ends 100 ms after it, as cancelled
};

// How a read behaves from now on.
enum : LONG {
    kReadNormal = 0,
    kReadIgnoresAbort = 1, // a read in progress ends only once the mode is back to normal
    kReadLateStart = 2,    // a read takes 100 ms to get under way; an abort before that
                           // misses it, as a real abort misses a read not yet issued
};

extern "C" {
STANDIN_API void StandinSetWriteMode(LONG Mode, LONG PartialCount);
STANDIN_API void StandinSetReadMode(LONG Mode);
// WinUsb_WritePipe calls so far.
STANDIN_API LONG StandinWriteCalls();
// Transfers started on a pipe while an earlier one on it had not yet ended.
STANDIN_API LONG StandinOverlappingTransfers();
// Transfers submitted and not yet ended.
STANDIN_API LONG StandinTransfersInFlight();
// Bytes of the reads that had ended when the latest read was submitted: a
// reader that has one read at a time under way has taken them by then.
STANDIN_API LONG StandinReadBytesTaken();
// The thread that submitted the latest read.
STANDIN_API DWORD StandinReadThread();
}
