// A platform whose serial links a test makes itself, so that the library's
// exports (plain, modem and bus opens among them) run without a port; and a
// link to simulated instruments sharing one in-process line.
#pragma once

#include "link/core/LinkLibrary.h"
#include "tools/sim/SimLine.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class TFakeLinkPlatform : public ILinkPlatform {
public:
    using TMake = std::function<std::unique_ptr<TLinkObject>(const TSerialSettings&)>;
    explicit TFakeLinkPlatform(TMake Make) : make_(std::move(Make)) {}

    TLinkResult OpenSerial(const TSerialSettings& S, std::unique_ptr<TLinkObject>& Link) override {
        ++Opens;
        Last = S;
        if (const auto it = OpenResults.find(S.Port); it != OpenResults.end())
            return it->second;
        Link = make_(S);
        return 0;
    }
    bool ProbePort(int Port) override {
        Probed = Port;
        return PortFree;
    }

    std::map<int, TLinkResult> OpenResults; // ports whose opens fail, with the failure
    TSerialSettings Last;
    int Opens = 0;
    int Probed = 0;
    bool PortFree = true;

private:
    TMake make_;
};

// How the platform sets up a device it opened with S.
inline TLinkSetup SetupOf(const TSerialSettings& S) {
    TLinkSetup setup;
    setup.Number = S.Port;
    setup.Modem = S.Modem;
    setup.Bus = S.Bus;
    setup.Nibble = S.Nibble;
    setup.MaxEvents = S.MaxEvents;
    setup.MaxEventData = S.MaxEventData;
    return setup;
}

// A link to its own simulated instruments, one for a plain line or one per
// bus address, on a clock of its own.
class TSimLink : public TLinkObject {
public:
    TSimLink(const TSerialSettings& S, const std::vector<TSimConfig>& Configs)
        : clock_(1000), line_(clock_), dev_(line_, clock_) {
        for (const TSimConfig& c : Configs) {
            sims_.push_back(std::make_unique<TInstrumentSim>(c));
            line_.Attach(*sims_.back());
        }
        dev_.LinkOpened(SetupOf(S));
    }
    TSimLink(const TSerialSettings& S, const TSimConfig& Config)
        : TSimLink(S, std::vector<TSimConfig>{Config}) {}

    TNPDev& Dev() override { return dev_; }
    std::uint32_t CurrentRxQueue() override { return 4096; }
    std::uint32_t MaxRxQueue() override { return QueueReadable ? 65536 : 0xFFFFFFFF; }

    TInstrumentSim& Sim(std::size_t K = 0) { return *sims_.at(K); }
    TSimLine& Line() { return line_; }
    TFakeClock& Clock() { return clock_; }
    bool QueueReadable = true;

private:
    TFakeClock clock_;
    std::vector<std::unique_ptr<TInstrumentSim>> sims_;
    TSimLine line_;
    TNPDev dev_;
};
