// QuorxComDll: the instrument link library's exports and result codes.
//
// Every export takes the device index of a link first (1..256 a serial link, the
// COM port number; 257..512 a USB link, 256 + its key) and returns a result code:
// 0 success, 1..255 the status byte of the instrument's reply, 256..289 an error
// of the link. Callers own every buffer they pass.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define QUORX_CALL __stdcall
#if defined(QUORXCOMDLL_BUILD)
#define QUORXCOM_API __declspec(dllexport)
#else
#define QUORXCOM_API __declspec(dllimport)
#endif
#else
#define QUORX_CALL
#define QUORXCOM_API
#endif

typedef int32_t TLinkResult;
typedef int32_t TDevIndex;

enum : TLinkResult {
    errNotOpen = 256,      // no device under this index; port cannot be opened
    errWrite = 257,        // serial write short; receive queue size unreadable
    errTimeout = 258,      // no complete reply within the total time-out
    errParam = 259,        // invalid argument
    errChecksum = 260,     // reply check mismatch
    errBuffer = 261,       // buffer missing or too small, or too much data
    errLength = 262,       // reply length differs from an exact RxLen
    errAnswer = 263,       // reply content wrong
    errNoEvent = 264,      // event queue empty
    errMemory = 265,       // event data cannot be stored
    errModem = 266,        // modem did not answer, or carrier stayed after hang-up
    errCommState = 267,    // port state or modem status cannot be read or set
    errNotReady = 268,     // modem link without carrier
    errCarrier = 269,      // modem command refused while the carrier is present
    errNotModem = 270,     // modem operation on a link not in modem mode
    errNilStore = 271,     // receive store position missing (internal)
    errByteTimeout = 272,  // no further byte within the inter-byte time-out
    errDevDetail = 273,    // enumeration: interface detail unreadable
    errEmptyPath = 274,    // enumeration: interface with an empty path
    errListFull = 275,     // enumeration: caller's buffer too small
    errUsbOpen = 276,      // USB device path cannot be opened
    errUsbInit = 277,      // WinUSB initialisation failed
    errDevCreate = 278,    // USB device object cannot be created
    errBadHandle = 279,    // device handle invalid
    errBadUsbHandle = 280, // WinUSB handle invalid after initialisation
    errKeyInUse = 281,     // wanted USB key already used
    errBusNoAnswer = 288,  // bus instrument gave no answer within 1000 ms
    errNotBus = 289,       // bus operation on a link not in bus mode
};

// Threads: different links may be used from different threads at once. On one
// link, a transaction (SendRequest, SendCommand, ClearOutBuff, GetDevId,
// GetDevSWVers, GetProfileCap, GetReqMCap, GetTa) may run in any thread: a
// second one waits for the first, SetTimeout and SetTimeouts wait for it and
// act on the next, the opener's timer leaves the link alone meanwhile, and
// GetNumEvent, GetEvent and SetRecEventProc may run at the same time. A link
// may be closed (CloseCom, CloseUSBDevice) while other threads are inside calls
// on it: those calls end as they would have and the link is freed when the
// last of them returns; calls that start after the close answer errNotOpen.
// Opening a link (OpenCom..., InitializeDevice) must not run at the same time
// as another open or close of the same port or key.

// Called by the link's 100 ms timer, in the thread that opened the link, while
// events are queued.
typedef void(QUORX_CALL* TRecEventProc)(TDevIndex Index);

// Layout of the platform's GUID, passed by value.
typedef struct TQuorxGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} TQuorxGuid;

#ifdef __cplusplus
extern "C" {
#endif

// Open and close (serial)
QUORXCOM_API TLinkResult QUORX_CALL OpenCom(int32_t Port, int32_t MaxEvents, int32_t MaxEventData);
QUORXCOM_API TLinkResult QUORX_CALL OpenComEx(int32_t Port, int32_t MaxEvents, int32_t MaxEventData,
                                              int32_t Baud, int32_t RxQueueSize, uint8_t Nibble);
QUORXCOM_API TLinkResult QUORX_CALL CloseCom(TDevIndex Index);
QUORXCOM_API uint8_t QUORX_CALL IsComAvailable(int32_t Port);

// Transactions
QUORXCOM_API TLinkResult QUORX_CALL SendRequest(TDevIndex Index, uint16_t ReqNo, uint8_t Param,
                                                const void* TxData, int32_t TxLen, void* RxBuf,
                                                int32_t RxLen, int32_t* RxCount);
QUORXCOM_API TLinkResult QUORX_CALL SendCommand(TDevIndex Index, uint16_t ReqNo, uint8_t Param,
                                                const void* TxData, int32_t TxLen, void* RxBuf,
                                                int32_t RxLen, int32_t* RxCount);
QUORXCOM_API TLinkResult QUORX_CALL SetTimeout(TDevIndex Index, int32_t InterByteMs);
QUORXCOM_API TLinkResult QUORX_CALL SetTimeouts(TDevIndex Index, int32_t InterByteMs,
                                                int32_t TotalMs);
QUORXCOM_API TLinkResult QUORX_CALL ClearOutBuff(TDevIndex Index);

// Events
QUORXCOM_API TLinkResult QUORX_CALL SetRecEventProc(TDevIndex Index, TRecEventProc Proc);
QUORXCOM_API TLinkResult QUORX_CALL GetNumEvent(TDevIndex Index, int32_t* Count, int32_t* Free,
                                                int32_t* Lost);
QUORXCOM_API TLinkResult QUORX_CALL GetEvent(TDevIndex Index, uint16_t* Code, uint8_t* Param,
                                             void* Buf, int32_t BufSize, int32_t* DataLen);

// Device information
QUORXCOM_API TLinkResult QUORX_CALL GetDevId(TDevIndex Index, char* Buf);     // 21 bytes
QUORXCOM_API TLinkResult QUORX_CALL GetDevSWVers(TDevIndex Index, char* Buf); // 21 bytes
QUORXCOM_API TLinkResult QUORX_CALL GetProfileCap(TDevIndex Index, uint16_t* Cap);
QUORXCOM_API TLinkResult QUORX_CALL GetReqMCap(TDevIndex Index, uint16_t* Cap);
QUORXCOM_API TLinkResult QUORX_CALL GetTa(TDevIndex Index, void* Buf); // 4 bytes
QUORXCOM_API TLinkResult QUORX_CALL RxQueue(TDevIndex Index, uint32_t* Size);
QUORXCOM_API TLinkResult QUORX_CALL RxQueueMax(TDevIndex Index, uint32_t* Size);

// Bus and modem
QUORXCOM_API TLinkResult QUORX_CALL OpenComExModem(int32_t Port, int32_t MaxEvents,
                                                   int32_t MaxEventData, int32_t Baud,
                                                   int32_t RxQueueSize, const char* InitString);
QUORXCOM_API TLinkResult QUORX_CALL GetModemStatus(TDevIndex Index, uint8_t* Status);
QUORXCOM_API TLinkResult QUORX_CALL SendModemCommand(TDevIndex Index, const char* Cmd);
QUORXCOM_API TLinkResult QUORX_CALL ModemHangUp(TDevIndex Index);
QUORXCOM_API TLinkResult QUORX_CALL OpenComBEx(int32_t Port, uint8_t Addr, int32_t MaxEvents,
                                               int32_t MaxEventData, int32_t Baud,
                                               uint8_t TwoStopBits, int32_t RxQueueSize,
                                               int32_t Reserved);
QUORXCOM_API TLinkResult QUORX_CALL OpenComB(int32_t Port, uint8_t Addr, int32_t MaxEvents,
                                             int32_t MaxEventData);
QUORXCOM_API TLinkResult QUORX_CALL SetQuorxBAddr(TDevIndex Index, int32_t Addr);

// USB devices (handles are the platform's HANDLE)
QUORXCOM_API TLinkResult QUORX_CALL OpenUSBDevice(const char* Path, void** hDevice);
QUORXCOM_API TLinkResult QUORX_CALL USBInitialize(void* hDevice, void** hWinUsb);
QUORXCOM_API TLinkResult QUORX_CALL InitializeDevice(void* hDevice, void* hWinUsb, TDevIndex* Index,
                                                     int32_t MaxEvents, int32_t MaxEventData,
                                                     const char* Path, int32_t PathLen);
QUORXCOM_API TLinkResult QUORX_CALL GetDevicePath(TDevIndex Index, char* Buf, int32_t* Size);
QUORXCOM_API TLinkResult QUORX_CALL CloseUSBDevice(TDevIndex Index);

// Enumeration
QUORXCOM_API TLinkResult QUORX_CALL GetCOMInfoList(char* Buf, uint32_t* Size);
QUORXCOM_API TLinkResult QUORX_CALL GetDevicePathList(TQuorxGuid InterfaceGuid, char* Buf,
                                                      uint32_t* Size);
QUORXCOM_API int32_t QUORX_CALL GetSerNumFromDevicePath(const char* Path);
QUORXCOM_API uint16_t QUORX_CALL GetPIDFromDevicePath(const char* Path);

#ifdef __cplusplus
}
#endif
