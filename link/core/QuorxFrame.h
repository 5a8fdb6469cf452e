// Bytes on the wire of the instrument frame protocol: the control bytes, the
// host's request and command frames, the nibble coding of 5-bit lines, and the
// reading of a text reply.
#pragma once

#include "link/core/QuorxComTools.h"

#include <cstdint>
#include <string>

enum : std::uint8_t {
    kFrameEscape = 0xF0,  // next byte b stands for the data byte 0xF0 + b
    kFrameRequest = 0xF1, // host to instrument
    kFrameCommand = 0xF2, // host to instrument
    kFrameReply = 0xF3,   // instrument to host
    kFrameEvent = 0xF5,   // instrument to host
    kFrameEnd = 0xF6,     // end of data
    kBusSelect = 0xF7,    // followed by the bus address: select, or poll
    kBusAnswer = 0xF8,    // the addressed instrument is there (nothing to send yet)
    kBusRelease = 0xFD,
};

// Every unescaped byte of this range ends what the receiver was doing.
inline bool IsControlByte(std::uint8_t B) {
    return B >= 0xF1 && B <= 0xFE;
}

struct TOutFrame {
    Bytes Wire;          // as sent (before nibble coding)
    std::uint16_t Check; // check of the frame, the start value of a bus reply's check
};

// Kind (request or command), request number, parameter and data, stuffed, then
// 0xF6 and the stuffed check over every byte sent before it, from CheckStart.
TOutFrame BuildFrame(std::uint8_t Kind, std::uint16_t ReqNo, std::uint8_t Param, const void* TxData,
                     int TxLen, std::uint16_t CheckStart);

// Each byte as its low nibble, then its high nibble with bit 0x10 set.
Bytes NibbleEncode(const Bytes& Wire);

// One received nibble byte: a low nibble is kept in SavedLow (false); a high
// nibble completes the byte Out (true).
bool NibbleDecode(std::uint8_t C, std::uint8_t& SavedLow, std::uint8_t& Out);

// The text of a reply: its bytes up to the first NUL, never beyond the RxCount
// bytes received nor the BufSize bytes of the buffer.
std::string ReplyText(const void* RxBuf, int RxCount, int BufSize);
