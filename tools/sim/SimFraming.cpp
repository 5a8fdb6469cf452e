#include "tools/sim/SimFraming.h"

#include "link/core/QuorxFrame.h"

namespace {

void AppendStuffed(Bytes& Wire, const Bytes& Part) {
    Bytes stuffed;
    StuffBytes(Part.data(), static_cast<int>(Part.size()), stuffed);
    Wire.insert(Wire.end(), stuffed.begin(), stuffed.end());
}

void AppendCheck(Bytes& Wire, std::uint16_t Start, std::uint16_t CheckXor) {
    const std::uint16_t check =
        Checksum16Cont(Start, Wire.data(), static_cast<int>(Wire.size())) ^ CheckXor;
    AppendStuffed(Wire,
                  {static_cast<std::uint8_t>(check & 0xFF), static_cast<std::uint8_t>(check >> 8)});
}

} // namespace

void TRequestDecoder::Feed(std::uint8_t B, std::vector<THostInput>& Out) {
    if (state_ == SelectAddress) {
        state_ = Idle;
        THostInput in;
        in.Type = THostInputType::Select;
        in.Address = B;
        Out.push_back(std::move(in));
        return;
    }
    const bool inFrame = state_ == Body || state_ == CheckLow || state_ == CheckHigh;
    if (escape_) {
        escape_ = false;
        const unsigned v = B + 0xF0u;
        if (v > 0xFF) {
            state_ = Idle;
            return;
        }
        if (state_ == Body)
            frame_.Raw.push_back(B);
        Value(static_cast<std::uint8_t>(v), Out);
        return;
    }
    if (B == kFrameEscape && inFrame) {
        escape_ = true;
        if (state_ == Body)
            frame_.Raw.push_back(B);
        return;
    }
    if (IsControlByte(B)) {
        if (state_ == Body && B == kFrameEnd) {
            frame_.Raw.push_back(B);
            state_ = CheckLow;
            return;
        }
        state_ = Idle;
        if (B == kFrameRequest || B == kFrameCommand) {
            frame_ = THostFrame{};
            frame_.Kind = B;
            frame_.Raw.push_back(B);
            body_.clear();
            state_ = Body;
        } else if (B == kBusSelect) {
            state_ = SelectAddress;
        } else if (B == kBusRelease) {
            THostInput in;
            in.Type = THostInputType::Release;
            Out.push_back(std::move(in));
        }
        return;
    }
    if (state_ == Body)
        frame_.Raw.push_back(B);
    if (inFrame)
        Value(B, Out);
}

void TRequestDecoder::Value(std::uint8_t V, std::vector<THostInput>& Out) {
    switch (state_) {
    case Body:
        body_.push_back(V);
        break;
    case CheckLow:
        frame_.Check = V;
        state_ = CheckHigh;
        break;
    case CheckHigh:
        frame_.Check = static_cast<std::uint16_t>(frame_.Check | (V << 8));
        state_ = Idle;
        if (body_.size() >= 3) {
            frame_.ReqNo = static_cast<std::uint16_t>(body_[0] | (body_[1] << 8));
            frame_.Param = body_[2];
            frame_.Data.assign(body_.begin() + 3, body_.end());
            THostInput in;
            in.Type = THostInputType::Frame;
            in.Frame = std::move(frame_);
            Out.push_back(std::move(in));
        }
        break;
    default:
        break;
    }
}

Bytes ReplyFrame(const Bytes& Data, std::uint8_t Status, std::uint16_t CheckStart,
                 std::uint16_t CheckXor) {
    Bytes wire{kFrameReply};
    AppendStuffed(wire, Data);
    wire.push_back(kFrameEnd);
    AppendStuffed(wire, {Status});
    AppendCheck(wire, CheckStart, CheckXor);
    return wire;
}

Bytes EventFrame(std::uint16_t Code, std::uint8_t Param, const Bytes& Data,
                 std::uint16_t CheckXor) {
    Bytes wire{kFrameEvent};
    AppendStuffed(wire, {static_cast<std::uint8_t>(Code & 0xFF),
                         static_cast<std::uint8_t>(Code >> 8), Param});
    AppendStuffed(wire, Data);
    wire.push_back(kFrameEnd);
    AppendCheck(wire, 0, CheckXor);
    return wire;
}
