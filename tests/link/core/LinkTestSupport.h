// What the link tests share: byte literals, a port the test scripts read by
// read, and a serial link to the in-process instrument simulator on a fake clock.
#pragma once

#include "link/core/QuorxCom.h"
#include "tools/sim/SimLine.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

inline Bytes B(std::initializer_list<int> V) {
    Bytes out;
    for (int x : V)
        out.push_back(static_cast<std::uint8_t>(x));
    return out;
}

inline Bytes Concat(std::initializer_list<Bytes> Parts) {
    Bytes out;
    for (const Bytes& p : Parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes TextBytes(const std::string& S) {
    return Bytes(S.begin(), S.end());
}

// Each Read hands out (up to Max bytes of) the next offered chunk; OnWrite
// sees every write and may offer answers.
class TScriptPort : public IBytePort {
public:
    bool Write(const std::uint8_t* Data, int Count) override {
        if (ThrowOnWrite)
            throw std::runtime_error("port failure");
        if (FailWrites)
            return false;
        const Bytes bytes(Data, Data + Count);
        Written.insert(Written.end(), bytes.begin(), bytes.end());
        if (OnWrite)
            OnWrite(bytes);
        return true;
    }
    int Read(std::uint8_t* Buf, int Max) override {
        MaxAsked = Max;
        if (Chatty)
            Offer({0x41});
        if (chunks_.empty())
            return 0;
        Bytes& front = chunks_.front();
        if (front.empty()) {
            chunks_.pop_front();
            return 0;
        }
        const int n = std::min<int>(Max, static_cast<int>(front.size()));
        std::copy_n(front.begin(), n, Buf);
        front.erase(front.begin(), front.begin() + n);
        if (front.empty())
            chunks_.pop_front();
        return n;
    }
    void Purge() override {
        ++Purges;
        chunks_.clear();
    }
    void PurgeInput() override {
        ++InputPurges;
        chunks_.clear();
    }
    bool ReadModemStatus(std::uint32_t& Status) override {
        Status = ModemStatus;
        return ModemReadable;
    }

    void Offer(const Bytes& Chunk) {
        if (!Chunk.empty())
            chunks_.push_back(Chunk);
    }
    // A read that finds nothing.
    void OfferGap() { chunks_.push_back({}); }
    bool Empty() const { return chunks_.empty(); }
    // Every byte a read of its own.
    void OfferBytewise(const Bytes& Data) {
        for (std::uint8_t b : Data)
            chunks_.push_back({b});
    }

    Bytes Written;
    std::function<void(const Bytes&)> OnWrite;
    int Purges = 0;
    int InputPurges = 0;
    int MaxAsked = 0;
    bool FailWrites = false;
    bool ThrowOnWrite = false;
    bool Chatty = false; // a data byte waits at every read
    bool ModemReadable = true;
    std::uint32_t ModemStatus = 0;

private:
    std::deque<Bytes> chunks_;
};

// Raw frame bytes followed by their stuffed check, however odd the bytes.
inline Bytes WithCheck(Bytes Raw, std::uint16_t Start = 0) {
    const std::uint16_t check = Checksum16Cont(Start, Raw.data(), static_cast<int>(Raw.size()));
    const std::uint8_t c[2] = {static_cast<std::uint8_t>(check & 0xFF),
                               static_cast<std::uint8_t>(check >> 8)};
    Bytes stuffed;
    StuffBytes(c, 2, stuffed);
    Raw.insert(Raw.end(), stuffed.begin(), stuffed.end());
    return Raw;
}

inline TLinkSetup SerialSetup(int MaxEvents = 100, int MaxEventData = 5001) {
    TLinkSetup s;
    s.Number = 3;
    s.MaxEvents = MaxEvents;
    s.MaxEventData = MaxEventData;
    return s;
}

// A link to one simulated instrument; the clock starts where a test wants it.
struct TSimRig {
    explicit TSimRig(TSimConfig Config = {}, std::uint32_t ClockStart = 5000,
                     TLinkSetup Setup = SerialSetup())
        : Clock(ClockStart), Sim(std::move(Config)), Line(Clock), Dev(Line, Clock) {
        Line.Attach(Sim);
        Dev.LinkOpened(Setup);
    }
    // Fake milliseconds a call took.
    template <class F>
    std::uint32_t Timed(F Call) {
        const std::uint32_t start = Clock.Now();
        Call();
        return TicksSince(start, Clock.Now());
    }

    TFakeClock Clock;
    TInstrumentSim Sim;
    TSimLine Line;
    TNPDev Dev;
};

inline TSimConfig WithFault(const TFaults& Faults) {
    TSimConfig c;
    c.Faults = Faults;
    return c;
}
