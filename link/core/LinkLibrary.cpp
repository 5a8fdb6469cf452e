#include "link/core/LinkLibrary.h"

namespace {

constexpr int kDevTextLen = 21;

} // namespace

TLinkResult TLinkLibrary::OpenSerialSlot(const TSerialSettings& Settings) {
    if (!TDeviceIndex::ForCom(Settings.Port).Serial())
        return errParam;
    table_.Take(Settings.Port).reset();
    if (Settings.MaxEvents <= 0 || Settings.MaxEventData <= 0)
        return errParam;
    std::unique_ptr<TLinkObject> link;
    const TLinkResult result = platform_.OpenSerial(Settings, link);
    if (result == 0)
        table_.PutSerial(Settings.Port, std::move(link)).reset();
    return result;
}

TLinkResult TLinkLibrary::OpenComEx(int Port, int MaxEvents, int MaxEventData, int Baud,
                                    int RxQueueSize, std::uint8_t Nibble) {
    TSerialSettings s;
    s.Port = Port;
    s.Baud = Baud;
    s.Nibble = Nibble != 0;
    s.RxQueueSize = RxQueueSize;
    s.MaxEvents = MaxEvents;
    s.MaxEventData = MaxEventData;
    return OpenSerialSlot(s);
}

TLinkResult TLinkLibrary::CloseCom(int Index) {
    if (!TDeviceIndex(Index).Serial())
        return errParam;
    table_.Take(Index).reset();
    return 0;
}

bool TLinkLibrary::IsComAvailable(int Port) {
    // The platform may not refuse a second open of a port we hold (Wine does not).
    if (TDeviceIndex::ForCom(Port).Serial() && table_.Hold(Port))
        return false;
    return platform_.ProbePort(Port);
}

TLinkResult TLinkLibrary::SendRequest(int Index, std::uint16_t ReqNo, std::uint8_t Param,
                                      const void* TxData, int TxLen, void* RxBuf, int RxLen,
                                      int* RxCount) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    if (RxBuf == nullptr)
        return errBuffer;
    return link->Dev().Request(ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
}

TLinkResult TLinkLibrary::SendCommand(int Index, std::uint16_t ReqNo, std::uint8_t Param,
                                      const void* TxData, int TxLen, void* RxBuf, int RxLen,
                                      int* RxCount) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    if (RxBuf == nullptr && RxLen != 0)
        return errBuffer;
    return link->Dev().Command(ReqNo, Param, TxData, TxLen, RxBuf, RxLen, RxCount);
}

TLinkResult TLinkLibrary::SetTimeout(int Index, int InterByteMs) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    return link->Dev().SetInterByteTimeout(InterByteMs);
}

TLinkResult TLinkLibrary::SetTimeouts(int Index, int InterByteMs, int TotalMs) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    return link->Dev().SetTimeoutPair(InterByteMs, TotalMs);
}

TLinkResult TLinkLibrary::ClearOutBuff(int Index) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    return link->Dev().ClearOutBuffer();
}

TLinkResult TLinkLibrary::SetRecEventProc(int Index, TRecEventProc Proc) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    link->Dev().SetEventProc(Proc);
    return 0;
}

TLinkResult TLinkLibrary::GetNumEvent(int Index, int* Count, int* Free, int* Lost) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    const int queued = link->Dev().EventCounts(Free, Lost);
    if (Count)
        *Count = queued;
    return 0;
}

TLinkResult TLinkLibrary::GetEvent(int Index, std::uint16_t* Code, std::uint8_t* Param, void* Buf,
                                   int BufSize, int* DataLen) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    TNPDev& dev = link->Dev();
    if (BufSize < 0 || BufSize > dev.MaxEventData())
        return errParam;
    if (Buf == nullptr)
        return errBuffer;
    return dev.TakeEvent(Code, Param, Buf, BufSize, DataLen);
}

TLinkResult TLinkLibrary::DevText(int Index, std::uint8_t Param, std::uint8_t Which, char* Buf) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    if (Buf == nullptr)
        return errBuffer;
    const TLinkResult result =
        link->Dev().Request(Param, Which, nullptr, 0, Buf, -kDevTextLen, nullptr);
    // Callers read the 21 bytes as text, whatever the result: a reply that
    // filled them, or stopped inside them, has no terminator of its own.
    Buf[kDevTextLen - 1] = '\0';
    return result;
}

TLinkResult TLinkLibrary::DevWord(int Index, std::uint8_t Which, std::uint16_t* Word) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    if (Word == nullptr)
        return errBuffer;
    return link->Dev().Request(2, Which, nullptr, 0, Word, 2, nullptr);
}

TLinkResult TLinkLibrary::GetTa(int Index, void* Buf) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    if (Buf == nullptr)
        return errBuffer;
    return link->Dev().Request(0xF1, 0, nullptr, 0, Buf, 4, nullptr);
}

TLinkResult TLinkLibrary::QueueSize(int Index, bool Largest, std::uint32_t* Size) {
    TLinkResult check = 0;
    const TLinkHold link = table_.Hold(Index, check);
    if (!link)
        return check;
    if (!TDeviceIndex(Index).Serial())
        return errParam;
    if (Size == nullptr)
        return errBuffer;
    const std::uint32_t size = Largest ? link->MaxRxQueue() : link->CurrentRxQueue();
    if (size == 0xFFFFFFFF)
        return errWrite;
    *Size = size;
    return 0;
}
