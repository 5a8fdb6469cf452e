// One simulated instrument on a line: decodes the host's frames, answers them
// through its TInstrument, sends measurement and other events, follows the bus
// rules when it has a bus address, and misbehaves on demand (faults).
//
// Time is the simulator's own, in microseconds from its start; every byte it
// sends has the time at which it is on the line, so a caller takes only the
// bytes that are due.
#pragma once

#include "tools/sim/SimFraming.h"
#include "tools/sim/SimModel.h"

#include <cstdint>
#include <deque>
#include <random>

struct TFaults {
    bool Silence = false;      // sends nothing at all
    bool CorruptCheck = false; // every frame with a wrong check
    int TrickleMs = 0;         // this long between two bytes sent
    int LengthDelta = 0;       // replies with data: this many bytes more (or fewer)
    int Status = 0;            // replies carry this status byte and no data ...
    int StatusReqNo = -1;      // ... for this request number only (-1: all)
    int NoiseMs = 0;           // a burst of random bytes this often
};

struct TSimConfig {
    TInstrumentModel Model = TInstrumentModel::Default();
    int BusAddress = -1;               // -1: a point-to-point line
    bool Nibble = false;               // 5-bit line: every byte as two nibbles
    int PaceBaud = 0;                  // > 0: bytes leave at this line rate (10 bits a byte)
    std::uint8_t InitialMeasEvent = 0; // 0xFF: measurement events on from the start
    int EventRateMs = 1000;
    int ReplyDelayMs = 0; // from a request to its reply being ready
    // The stamp's seconds of a measurement record count the measurement events
    // sent: an event's is its own number (from 1), a request's those sent so far.
    bool EventSequence = false;
    TFaults Faults;
    std::uint32_t Seed = 1;
};

class TInstrumentSim {
public:
    explicit TInstrumentSim(TSimConfig Config);

    // Bytes from the host, arriving at NowUs.
    void Receive(const std::uint8_t* Data, int Count, std::uint64_t NowUs);
    // Time has passed: measurement events and noise fall due.
    void Advance(std::uint64_t NowUs);
    // The next byte on the line when it is due by NowUs.
    bool TakeDue(std::uint64_t NowUs, std::uint8_t& B);
    std::uint64_t NextDueUs() const; // UINT64_MAX when nothing waits
    // The host's purge: what already arrived at the host is gone.
    void DropDue(std::uint64_t NowUs);

    void SetFaults(const TFaults& Faults) { config_.Faults = Faults; }
    const TFaults& Faults() const { return config_.Faults; }
    void SetEventRateMs(int Ms) { config_.EventRateMs = Ms; }
    // Measurement events on (0xFF) or off, as command 0x200 does.
    void SetMeasEvent(std::uint8_t Value, std::uint64_t NowUs);
    // An event frame: sent now, or on a bus kept for the next selection.
    void SendEvent(std::uint16_t Code, std::uint8_t Param, const Bytes& Data, std::uint64_t NowUs);
    // Event code 0 after the instrument's restart (events off, runs anew).
    void SendRestart(std::uint64_t NowUs);

    TInstrument& Instrument() { return instrument_; }
    int FramesAnswered() const { return framesAnswered_; }
    int BadChecks() const { return badChecks_; }

private:
    struct TOut {
        std::uint64_t DueUs;
        std::uint8_t B;
    };
    struct TPendingReply {
        Bytes Wire;
        std::uint64_t ReadyUs = 0;
    };

    void Handle(const THostInput& In, std::uint64_t NowUs);
    void HandleFrame(const THostFrame& Frame, std::uint64_t NowUs);
    void HandleSelect(std::uint8_t Address, std::uint64_t NowUs);
    void HandleRelease(std::uint64_t NowUs);
    TAnswer Faulted(TAnswer Answer, std::uint16_t ReqNo) const;
    std::uint16_t CheckXor() const { return config_.Faults.CorruptCheck ? 0x5A5A : 0; }
    void Emit(const Bytes& Wire, std::uint64_t NowUs, std::uint64_t DelayUs = 0);
    void EmitNoise(std::uint64_t NowUs);
    double Seconds(std::uint64_t NowUs) const { return static_cast<double>(NowUs) / 1e6; }
    bool OnBus() const { return config_.BusAddress >= 0; }
    Bytes Sequenced(Bytes Record) const;

    TSimConfig config_;
    TInstrument instrument_;
    TRequestDecoder decoder_;
    std::uint8_t savedNibble_ = 0;
    std::deque<TOut> out_;
    std::uint64_t lineFreeUs_ = 0; // when the last byte sent is on the line
    std::uint64_t nextEventUs_ = 0;
    std::uint32_t measEventsSent_ = 0;
    std::uint64_t nextNoiseUs_ = 0;
    std::mt19937 random_;
    // Bus state.
    bool selected_ = false;
    bool broadcast_ = false;
    TPendingReply reply_;
    std::deque<Bytes> busEvents_; // kept until the next selection
    int framesAnswered_ = 0;
    int badChecks_ = 0;
};
