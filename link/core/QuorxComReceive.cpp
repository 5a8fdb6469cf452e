// The receive side of TNPDev: reading the port and the state machine that
// turns the byte stream into replies and queued events.
#include "link/core/QuorxCom.h"
#include "link/core/QuorxFrame.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

void TNPDev::ReadInput() {
    const int max = UsbLink() ? kUsbReadMax : kSerialReadMax;
    const int n = port_.Read(readBuf_.data(), max);
    if (n <= 0)
        return;
    CompactReceiveText();
    const auto* first = readBuf_.data();
    const auto* last = first + std::min(n, max);
    if (!nibble_) {
        rxText_.insert(rxText_.end(), first, last);
        return;
    }
    for (const auto* p = first; p != last; ++p) {
        std::uint8_t b;
        if (NibbleDecode(*p, savedNibble_, b))
            rxText_.push_back(b);
    }
}

TLinkResult TNPDev::StoreBytes(std::uint8_t*& Pos, const void* Source, int Count) {
    if (Pos == nullptr || Source == nullptr)
        return errNilStore;
    CopyBytes(Pos, Source, Count);
    Pos += Count;
    return 0;
}

void TNPDev::ResetReceive() {
    receive_ = TReceive{};
}

// A reply is written into the buffer of the wait that saw it start; one that
// a wait left half-received belongs to no later wait and is dropped. An event
// frame in progress goes on.
void TNPDev::DropPartialReply() {
    if (!receive_.IsReply)
        return;
    ResetReceive();
    receive_.State = TRxState::Discard;
}

// Before a transaction: what an earlier one left is taken as the timer takes
// it, events queued and replies discarded, so none of it answers this one.
void TNPDev::SettleReceiver() {
    DropPartialReply();
    if (PendingInput() > 0)
        ParseInput(true, nullptr, 0, nullptr, nullptr, 0);
}

void TNPDev::ClearReceiveText() {
    rxText_.clear();
    rxPos_ = 0;
}

// Parsed bytes are dropped once they are at least half of the text, so each
// byte is moved at most once on average.
void TNPDev::CompactReceiveText() {
    if (rxPos_ == rxText_.size()) {
        ClearReceiveText();
    } else if (rxPos_ >= rxText_.size() - rxPos_) {
        rxText_.erase(rxText_.begin(), rxText_.begin() + static_cast<std::ptrdiff_t>(rxPos_));
        rxPos_ = 0;
    }
}

bool TNPDev::PendingHas(std::uint8_t B) const {
    for (std::size_t i = rxPos_; i < rxText_.size(); ++i)
        if (rxText_[i] == B)
            return true;
    return false;
}

TLinkResult TNPDev::ParseInput(bool EventMode, void* RxBuf, int RxLen, int* RxCount, bool* Done,
                               std::uint16_t StartValue) {
    TLinkResult result = 0;
    TReceive& rx = receive_;
    while (result == 0 && rxPos_ < rxText_.size()) {
        const std::uint8_t r = rxText_[rxPos_];
        if (r == kFrameEscape && !rx.EscapePending) {
            rx.EscapePending = true;
            if (rx.State < TRxState::CheckLow)
                Checksum16Step(rx.Check, r);
            ++rxPos_;
            continue;
        }
        std::uint32_t v = r;
        const bool stuffed = rx.EscapePending;
        if (stuffed) {
            rx.EscapePending = false;
            v = r + 0xF0u;
            if (v > 0xFF)
                rx.State = TRxState::Start;
        } else if (IsControlByte(r)) {
            rx.State = TRxState::Start;
        }
        if (rx.State == TRxState::Start && !stuffed &&
            (v == kFrameRequest || v == kFrameCommand || v == kFrameReply || v == kFrameEvent)) {
            ResetReceive();
            rx.Check = StartValue;
        }
        if (rx.State < TRxState::CheckLow)
            Checksum16Step(rx.Check, r);
        ++rxPos_;
        result = StepFrame(v, stuffed, EventMode, RxBuf, RxLen, Done);
        if (result != 0) {
            ResetReceive();
            break;
        }
        if (rx.State == TRxState::Complete) {
            const bool reply = rx.IsReply;
            result = FinishFrame(RxLen, RxCount, Done);
            if (reply)
                break; // a later frame must not overwrite the reply and its result
        }
    }
    CompactReceiveText();
    return result;
}

// A stuffed byte is data even where its value is a control byte: the sender
// stuffed it so that it could never start or close a frame.
TLinkResult TNPDev::StepFrame(std::uint32_t V, bool Stuffed, bool EventMode, void* RxBuf, int RxLen,
                              bool* Done) {
    TReceive& rx = receive_;
    Ttelegr& telegram = rx.Frame.Telegram;
    const auto b = static_cast<std::uint8_t>(V & 0xFF);
    switch (rx.State) {
    case TRxState::Start:
        if (Stuffed) {
            rx.InFrame = false;
            rx.State = TRxState::Discard;
        } else if (V == kFrameEvent) {
            rx.Frame.StartCode = kFrameEvent;
            rx.InFrame = true;
            rx.IsReply = false;
            rx.State = TRxState::CodeLow;
        } else if (V == kFrameReply && !EventMode) {
            rx.Frame.StartCode = kFrameReply;
            rx.InFrame = true;
            rx.IsReply = true;
            rx.State = TRxState::Data;
            if (Done)
                *Done = false;
        } else if (V == kFrameEnd && rx.InFrame) {
            rx.InFrame = false;
            rx.State = rx.IsReply ? TRxState::Status : TRxState::CheckLow;
        } else {
            // Any other control byte, or a bad escape, loses the frame it interrupts.
            rx.InFrame = false;
            rx.State = TRxState::Discard;
        }
        break;
    case TRxState::CodeLow:
    case TRxState::CodeHigh:
    case TRxState::Param:
        if (rx.IsReply) {
            rx.State = TRxState::Discard;
            break;
        }
        if (rx.State == TRxState::CodeLow) {
            telegram.Code = b;
            rx.State = TRxState::CodeHigh;
        } else if (rx.State == TRxState::CodeHigh) {
            telegram.Code = static_cast<std::uint16_t>(telegram.Code | (b << 8));
            rx.State = TRxState::Param;
        } else {
            telegram.Param = b;
            rx.State = TRxState::Data;
        }
        break;
    case TRxState::Data:
        if (rx.IsReply) {
            const long long limit = std::llabs(static_cast<long long>(RxLen));
            if (RxBuf == nullptr || RxLen == 0 || rx.Count >= limit)
                return errBuffer;
            auto* pos = static_cast<std::uint8_t*>(RxBuf) + rx.Count;
            const TLinkResult stored = StoreBytes(pos, &b, 1);
            if (stored != 0)
                return stored;
        } else if (rx.Count < MaxEventData()) {
            try {
                telegram.Data.push_back(b);
            } catch (const std::bad_alloc&) {
                return errMemory;
            }
        }
        if (rx.Count < INT32_MAX)
            ++rx.Count;
        break;
    case TRxState::Status:
        if (rx.IsReply) {
            telegram.Status = b;
            rx.State = TRxState::CheckLow;
        } else {
            rx.State = TRxState::Discard;
        }
        break;
    case TRxState::CheckLow:
        rx.Frame.ReceivedCheck = b;
        rx.State = TRxState::CheckHigh;
        break;
    case TRxState::CheckHigh:
        rx.Frame.ReceivedCheck = static_cast<std::uint16_t>(rx.Frame.ReceivedCheck | (b << 8));
        rx.State = TRxState::Complete;
        break;
    default:
        break;
    }
    return 0;
}

TLinkResult TNPDev::FinishFrame(int RxLen, int* RxCount, bool* Done) {
    TReceive& rx = receive_;
    TLinkResult result = rx.Check != rx.Frame.ReceivedCheck ? errChecksum : 0;
    if (rx.IsReply) {
        if (RxCount)
            *RxCount = rx.Count;
        if (result == 0)
            result = rx.Frame.Telegram.Status;
        if (result == 0 && RxLen > 0 && rx.Count != RxLen)
            result = errLength;
        if (Done)
            *Done = true;
    } else if (result == errChecksum) {
        result = 0; // a damaged event is dropped without a word
    } else {
        Ttelegr& telegram = rx.Frame.Telegram;
        telegram.Status = rx.Count > MaxEventData() ? errBuffer : 0;
        try {
            events_.QueueEvent(std::move(telegram));
        } catch (const std::bad_alloc&) {
            result = errMemory;
        }
    }
    ResetReceive();
    rx.State = TRxState::Discard;
    return result;
}
