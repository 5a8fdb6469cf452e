// The instrument's side of the frame protocol: decoding what the host sends
// (request and command frames, bus select and release) and building the reply
// and event frames the instrument sends back.
#pragma once

#include "link/core/QuorxComTools.h"

#include <cstdint>
#include <vector>

struct THostFrame {
    std::uint8_t Kind = 0; // 0xF1 request, 0xF2 command
    std::uint16_t ReqNo = 0;
    std::uint8_t Param = 0;
    Bytes Data;
    Bytes Raw;               // kind through 0xF6 as received, for the check
    std::uint16_t Check = 0; // as received
    bool CheckMatches(std::uint16_t Start) const {
        return Checksum16Cont(Start, Raw.data(), static_cast<int>(Raw.size())) == Check;
    }
};

enum class THostInputType { Frame, Select, Release };

struct THostInput {
    THostInputType Type = THostInputType::Frame;
    THostFrame Frame;
    std::uint8_t Address = 0; // Select
};

// Byte by byte; a bad escape, a frame shorter than its header or a foreign
// control byte inside a frame drops that frame.
class TRequestDecoder {
public:
    void Feed(std::uint8_t B, std::vector<THostInput>& Out);

private:
    enum TState { Idle, Body, CheckLow, CheckHigh, SelectAddress };
    void Value(std::uint8_t V, std::vector<THostInput>& Out);

    TState state_ = Idle;
    bool escape_ = false;
    THostFrame frame_;
    Bytes body_;
};

// 0xF3, data, 0xF6, status, check (stuffed; the check over the bytes as sent
// from 0xF3 through the status byte, from CheckStart). CheckXor spoils it.
Bytes ReplyFrame(const Bytes& Data, std::uint8_t Status, std::uint16_t CheckStart,
                 std::uint16_t CheckXor = 0);

// 0xF5, code, parameter, data, 0xF6, check from 0.
Bytes EventFrame(std::uint16_t Code, std::uint8_t Param, const Bytes& Data,
                 std::uint16_t CheckXor = 0);
