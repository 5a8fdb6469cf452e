// A serial line inside one process: the host's byte port on one end, one or
// more simulated instruments on the other, and a fake clock, so tests run
// transactions, time-outs and bus selections without real time passing.
#pragma once

#include "link/core/LinkPort.h"
#include "tools/sim/SimInstrument.h"

#include <cstdint>
#include <deque>
#include <vector>

// Time moves only by Sleep, or by AutoAdvanceMs at every Now (time spent
// computing); starts anywhere, to test the wrap of the tick counter.
class TFakeClock : public IClock {
public:
    explicit TFakeClock(std::uint32_t Start = 0) : now_(Start) {}
    std::uint32_t Now() override;
    void Sleep(std::uint32_t Ms) override { now_ += Ms; }
    void Advance(std::uint32_t Ms) { now_ += Ms; }
    void SetAutoAdvanceMs(std::uint32_t Ms) { autoAdvanceMs_ = Ms; }

private:
    std::uint32_t now_;
    std::uint32_t autoAdvanceMs_ = 0;
};

// The next due byte of any instrument, earliest first.
bool TakeDueFrom(const std::vector<TInstrumentSim*>& Sims, std::uint64_t NowUs, std::uint8_t& B);

class TSimLine : public IBytePort {
public:
    explicit TSimLine(IClock& Clock);
    void Attach(TInstrumentSim& Sim) { sims_.push_back(&Sim); }

    bool Write(const std::uint8_t* Data, int Count) override;
    int Read(std::uint8_t* Buf, int Max) override;
    void Purge() override;
    bool ReadModemStatus(std::uint32_t& Status) override;

    // Bytes on the line from elsewhere (noise, a scripted peer), waiting at once.
    void InjectToHost(const Bytes& Data) {
        injected_.insert(injected_.end(), Data.begin(), Data.end());
    }
    void SetModemStatus(bool Readable, std::uint32_t Status) {
        modemReadable_ = Readable;
        modemStatus_ = Status;
    }
    void SetWriteFails(bool Fails) { writeFails_ = Fails; }
    // Everything the host wrote.
    const Bytes& Written() const { return written_; }
    void ClearWritten() { written_.clear(); }
    // The line's time from its creation, unwrapped from the 32-bit clock.
    std::uint64_t NowUs();

private:
    IClock& clock_;
    std::uint32_t lastMs_;
    std::uint64_t elapsedMs_ = 0;
    std::vector<TInstrumentSim*> sims_;
    std::deque<std::uint8_t> injected_;
    Bytes written_;
    bool modemReadable_ = true;
    std::uint32_t modemStatus_ = 0x80;
    bool writeFails_ = false;
};
