// The library's exports over its device table, independent of the platform:
// the Win32 export unit forwards each exported function to the member of the
// same name. Every member returns the export's result code and never throws
// past the export unit's guard.
#pragma once

#include "link/core/DevTable.h"

#include <cstdint>
#include <memory>

struct TSerialSettings {
    int Port = 0;
    int Baud = 19200;
    bool StopBitsTwo = false;
    bool Modem = false;
    bool Bus = false;
    bool Nibble = false;
    int RxQueueSize = 0;
    int MaxEvents = 0;
    int MaxEventData = 0;
};

// What the platform provides: serial links and the availability probe.
class ILinkPlatform {
public:
    virtual ~ILinkPlatform() = default;
    // Opens and configures the port and sets up its device (its event timer
    // running unless on a bus): 0 with Link set, errNotOpen when the port cannot
    // be opened, errCommState when its line settings are refused.
    virtual TLinkResult OpenSerial(const TSerialSettings& Settings,
                                   std::unique_ptr<TLinkObject>& Link) = 0;
    // Whether the port can be opened exclusively now (no dialogs).
    virtual bool ProbePort(int Port) = 0;
};

class TLinkLibrary {
public:
    explicit TLinkLibrary(ILinkPlatform& Platform) : platform_(Platform) {}

    TDevTable& Table() { return table_; }

    TLinkResult OpenComEx(int Port, int MaxEvents, int MaxEventData, int Baud, int RxQueueSize,
                          std::uint8_t Nibble);
    TLinkResult OpenCom(int Port, int MaxEvents, int MaxEventData) {
        return OpenComEx(Port, MaxEvents, MaxEventData, 19200, 0, 0);
    }
    // Opens a serial link of any mode into its slot; on failure the slot is empty.
    TLinkResult OpenSerialSlot(const TSerialSettings& Settings);
    TLinkResult CloseCom(int Index);
    bool IsComAvailable(int Port);

    TLinkResult SendRequest(int Index, std::uint16_t ReqNo, std::uint8_t Param, const void* TxData,
                            int TxLen, void* RxBuf, int RxLen, int* RxCount);
    TLinkResult SendCommand(int Index, std::uint16_t ReqNo, std::uint8_t Param, const void* TxData,
                            int TxLen, void* RxBuf, int RxLen, int* RxCount);
    TLinkResult SetTimeout(int Index, int InterByteMs);
    TLinkResult SetTimeouts(int Index, int InterByteMs, int TotalMs);
    TLinkResult ClearOutBuff(int Index);

    TLinkResult SetRecEventProc(int Index, TRecEventProc Proc);
    TLinkResult GetNumEvent(int Index, int* Count, int* Free, int* Lost);
    TLinkResult GetEvent(int Index, std::uint16_t* Code, std::uint8_t* Param, void* Buf,
                         int BufSize, int* DataLen);

    TLinkResult GetDevId(int Index, char* Buf) { return DevText(Index, 1, 0, Buf); }
    TLinkResult GetDevSWVers(int Index, char* Buf) { return DevText(Index, 1, 1, Buf); }
    TLinkResult GetProfileCap(int Index, std::uint16_t* Cap) { return DevWord(Index, 0, Cap); }
    TLinkResult GetReqMCap(int Index, std::uint16_t* Cap) { return DevWord(Index, 1, Cap); }
    TLinkResult GetTa(int Index, void* Buf);
    TLinkResult RxQueue(int Index, std::uint32_t* Size) { return QueueSize(Index, false, Size); }
    TLinkResult RxQueueMax(int Index, std::uint32_t* Size) { return QueueSize(Index, true, Size); }

    // Process detach: every link freed.
    void FreeAll() { table_.FreeAll(); }

private:
    TLinkResult DevText(int Index, std::uint8_t Param, std::uint8_t Which, char* Buf);
    TLinkResult DevWord(int Index, std::uint8_t Param, std::uint16_t* Word);
    TLinkResult QueueSize(int Index, bool Largest, std::uint32_t* Size);

    ILinkPlatform& platform_;
    TDevTable table_;
};
