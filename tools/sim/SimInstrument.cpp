#include "tools/sim/SimInstrument.h"

#include "link/core/QuorxFrame.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t kUsPerMs = 1000;
constexpr std::uint16_t kMeasRequest = 0x201;
constexpr std::uint16_t kMeasEvent = 0x100;
// Events that wait on a bus for the next selection; older ones are dropped.
constexpr std::size_t kBusEventsKept = 16;
// Between events sent on a selection and the 0xF8 that ends it, so the host
// parses the events before it sees the answer.
constexpr std::uint64_t kBusEventGapUs = 30 * kUsPerMs;
// A reply nobody polled for this long after it was ready is forgotten.
constexpr std::uint64_t kBusReplyHoldUs = 2000 * kUsPerMs;

} // namespace

TInstrumentSim::TInstrumentSim(TSimConfig Config)
    : config_(std::move(Config)), instrument_(config_.Model), random_(config_.Seed) {
    SetMeasEvent(config_.InitialMeasEvent, 0);
}

void TInstrumentSim::Receive(const std::uint8_t* Data, int Count, std::uint64_t NowUs) {
    std::vector<THostInput> inputs;
    for (int i = 0; i < Count; ++i) {
        std::uint8_t b = Data[i];
        if (config_.Nibble && !NibbleDecode(b, savedNibble_, b))
            continue;
        decoder_.Feed(b, inputs);
    }
    for (const THostInput& in : inputs)
        Handle(in, NowUs);
}

void TInstrumentSim::Handle(const THostInput& In, std::uint64_t NowUs) {
    switch (In.Type) {
    case THostInputType::Frame:
        HandleFrame(In.Frame, NowUs);
        break;
    case THostInputType::Select:
        if (OnBus())
            HandleSelect(In.Address, NowUs);
        break;
    case THostInputType::Release:
        if (OnBus())
            HandleRelease(NowUs);
        break;
    }
}

void TInstrumentSim::HandleFrame(const THostFrame& Frame, std::uint64_t NowUs) {
    if (OnBus() && !selected_ && !broadcast_)
        return;
    const std::uint8_t address =
        broadcast_ ? 126 : static_cast<std::uint8_t>(std::max(0, config_.BusAddress));
    if (!Frame.CheckMatches(OnBus() ? Checksum16(&address, 1) : 0)) {
        ++badChecks_;
        return;
    }
    const std::uint8_t before = instrument_.MeasEvent();
    TAnswer answer =
        instrument_.Answer(Frame.Kind, Frame.ReqNo, Frame.Param, Frame.Data, Seconds(NowUs));
    if (instrument_.MeasEvent() != before)
        SetMeasEvent(instrument_.MeasEvent(), NowUs);
    ++framesAnswered_;
    if (broadcast_)
        return; // a broadcast gets no reply
    if (Frame.ReqNo == kMeasRequest)
        answer.Data = Sequenced(std::move(answer.Data));
    answer = Faulted(std::move(answer), Frame.ReqNo);
    const std::uint16_t start = OnBus() ? Checksum16Cont(Frame.Check, &address, 1) : 0;
    const Bytes wire = ReplyFrame(answer.Data, answer.Status, start, CheckXor());
    const std::uint64_t delay = static_cast<std::uint64_t>(config_.ReplyDelayMs) * kUsPerMs;
    if (OnBus())
        reply_ = {wire, NowUs + delay};
    else
        Emit(wire, NowUs, delay);
}

TAnswer TInstrumentSim::Faulted(TAnswer Answer, std::uint16_t ReqNo) const {
    const TFaults& f = config_.Faults;
    if (f.Status != 0 && (f.StatusReqNo < 0 || f.StatusReqNo == ReqNo))
        return {static_cast<std::uint8_t>(f.Status), {}};
    if (f.LengthDelta < 0 && !Answer.Data.empty()) {
        const auto cut = std::min(Answer.Data.size(), static_cast<std::size_t>(-f.LengthDelta));
        Answer.Data.resize(Answer.Data.size() - cut);
    } else if (f.LengthDelta > 0 && !Answer.Data.empty()) {
        Answer.Data.insert(Answer.Data.end(), static_cast<std::size_t>(f.LengthDelta), 0x55);
    }
    return Answer;
}

// Select or poll: the addressed instrument sends its reply when it has one
// ready, else 0xF8 (on a fresh selection after the events it kept); 126 selects
// every instrument for a broadcast, which none answers.
void TInstrumentSim::HandleSelect(std::uint8_t Address, std::uint64_t NowUs) {
    if (!reply_.Wire.empty() && NowUs > reply_.ReadyUs + kBusReplyHoldUs)
        reply_ = {};
    if (Address != config_.BusAddress) {
        selected_ = false;
        broadcast_ = Address == 126;
        reply_ = {};
        return;
    }
    const bool fresh = !selected_;
    selected_ = true;
    broadcast_ = false;
    const Bytes answer{kBusAnswer};
    if (!reply_.Wire.empty()) {
        if (NowUs >= reply_.ReadyUs) {
            Emit(reply_.Wire, NowUs);
            reply_ = {};
        } else {
            Emit(answer, NowUs);
        }
        return;
    }
    std::uint64_t gap = 0;
    if (fresh && !busEvents_.empty()) {
        for (const Bytes& e : busEvents_)
            Emit(e, NowUs);
        busEvents_.clear();
        gap = kBusEventGapUs;
    }
    Emit(answer, NowUs, gap);
}

void TInstrumentSim::HandleRelease(std::uint64_t NowUs) {
    if (selected_)
        Emit({kBusAnswer}, NowUs);
    selected_ = false;
    broadcast_ = false;
    reply_ = {};
}

void TInstrumentSim::SetMeasEvent(std::uint8_t Value, std::uint64_t NowUs) {
    instrument_.SetMeasEvent(Value);
    nextEventUs_ = NowUs + static_cast<std::uint64_t>(std::max(1, config_.EventRateMs)) * kUsPerMs;
}

void TInstrumentSim::SendEvent(std::uint16_t Code, std::uint8_t Param, const Bytes& Data,
                               std::uint64_t NowUs) {
    const Bytes wire = EventFrame(Code, Param, Data, CheckXor());
    if (!OnBus()) {
        Emit(wire, NowUs);
        return;
    }
    if (config_.Faults.Silence)
        return;
    if (busEvents_.size() >= kBusEventsKept)
        busEvents_.pop_front();
    busEvents_.push_back(wire);
}

void TInstrumentSim::SendRestart(std::uint64_t NowUs) {
    instrument_.Restart(Seconds(NowUs));
    SendEvent(0, 0, {}, NowUs);
}

void TInstrumentSim::Advance(std::uint64_t NowUs) {
    const std::uint64_t rate =
        static_cast<std::uint64_t>(std::max(1, config_.EventRateMs)) * kUsPerMs;
    if (instrument_.MeasEvent() != 0 && NowUs >= nextEventUs_) {
        ++measEventsSent_;
        SendEvent(kMeasEvent, 255, Sequenced(RecordBytes(instrument_.Measure(Seconds(NowUs)))),
                  NowUs);
        // After a long pause the next event comes one period later, not in a burst.
        nextEventUs_ = std::max(nextEventUs_ + rate, NowUs + rate / 2);
    }
    if (config_.Faults.NoiseMs > 0 && NowUs >= nextNoiseUs_) {
        EmitNoise(NowUs);
        nextNoiseUs_ = NowUs + static_cast<std::uint64_t>(config_.Faults.NoiseMs) * kUsPerMs;
    }
}

Bytes TInstrumentSim::Sequenced(Bytes Record) const {
    if (config_.EventSequence && Record.size() == sizeof(TMEASall))
        std::memcpy(Record.data() + offsetof(TMEASall, Stamp) + offsetof(TMeasStamp, Seconds),
                    &measEventsSent_, sizeof measEventsSent_);
    return Record;
}

void TInstrumentSim::EmitNoise(std::uint64_t NowUs) {
    std::uniform_int_distribution<int> length(1, 8);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes burst(static_cast<std::size_t>(length(random_)));
    for (auto& b : burst)
        b = static_cast<std::uint8_t>(byte(random_));
    Emit(burst, NowUs);
}

void TInstrumentSim::Emit(const Bytes& Wire, std::uint64_t NowUs, std::uint64_t DelayUs) {
    if (config_.Faults.Silence)
        return;
    const Bytes line = config_.Nibble ? NibbleEncode(Wire) : Wire;
    const std::uint64_t pace = config_.PaceBaud > 0 ? 10'000'000ull / config_.PaceBaud : 0;
    const std::uint64_t trickle = static_cast<std::uint64_t>(config_.Faults.TrickleMs) * kUsPerMs;
    const std::uint64_t perByte = std::max(pace, trickle);
    std::uint64_t t = std::max(NowUs + DelayUs, lineFreeUs_);
    for (std::uint8_t b : line) {
        t += perByte;
        out_.push_back({t, b});
    }
    lineFreeUs_ = t;
}

bool TInstrumentSim::TakeDue(std::uint64_t NowUs, std::uint8_t& B) {
    if (out_.empty() || out_.front().DueUs > NowUs)
        return false;
    B = out_.front().B;
    out_.pop_front();
    return true;
}

std::uint64_t TInstrumentSim::NextDueUs() const {
    return out_.empty() ? std::numeric_limits<std::uint64_t>::max() : out_.front().DueUs;
}

void TInstrumentSim::DropDue(std::uint64_t NowUs) {
    while (!out_.empty() && out_.front().DueUs <= NowUs)
        out_.pop_front();
}
