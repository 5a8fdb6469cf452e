// The simulated instrument itself: what it is (identity, chambers, units,
// user) and how it answers the profile's and the link's requests, with
// measurement values that move plausibly while a chamber analyses.
#pragma once

#include "link/core/QuorxComTools.h"
#include "ProflinkH.h"

#include <array>
#include <cstdint>
#include <string>

// Status bytes of the simulator's own choosing.
enum : std::uint8_t {
    kStatusUnknownRequest = 1,
    kStatusBadParam = 2,
};

struct TChamberModel {
    bool Present = false;
    std::int16_t Humidity = 7500;    // raw target: aw 0.7500
    std::int16_t Temperature = 2500; // raw target: 25.00 C
    std::int16_t Third = 0;
    std::string Version = "1.07";
    std::string Identity = "QC";
    std::uint32_t Serial = 0;
};

struct TInstrumentModel {
    std::string DeviceId = "ZEPHORA";
    std::string SwVersion = "3.21";
    std::uint16_t ProfileCap = 2;
    std::uint16_t ReqMCap = 1;
    std::array<std::uint8_t, 4> Ta = {1, 2, 3, 4};
    TDevUnits Units = {0, 0, 0};
    std::string User = "LABUSER";
    std::array<TChamberModel, 10> Chambers;
    int StableAfterS = 120; // a chamber analyses this long after a (re)start, then is stable
    bool Drift = true;      // values wander towards their targets while analysing

    // Chamber 0 present; chamber n with serial SerialBase + n and its own targets.
    static TInstrumentModel Default(std::uint32_t SerialBase = 1000100);
    void SetPresent(const std::array<bool, 10>& Present);
};

struct TAnswer {
    std::uint8_t Status = 0;
    Bytes Data;
};

class TInstrument {
public:
    explicit TInstrument(TInstrumentModel Model) : model_(std::move(Model)) {}

    TInstrumentModel& Model() { return model_; }
    const TInstrumentModel& Model() const { return model_; }

    // Seconds count from the simulator's start.
    TAnswer Answer(std::uint8_t Kind, std::uint16_t ReqNo, std::uint8_t Param, const Bytes& Data,
                   double Seconds);
    TMEASall Measure(double Seconds) const;
    TStab Stability(int Chamber, double Seconds) const;

    std::uint8_t MeasEvent() const { return measEvent_; }
    void SetMeasEvent(std::uint8_t Value) { measEvent_ = Value; }
    // A power-up: measurement events off, every chamber starts analysing anew.
    void Restart(double Seconds);
    // Chambers that appear start analysing now.
    void SetPresent(const std::array<bool, 10>& Present, double Seconds);

private:
    TChamberMeas MeasureChamber(int N, double Seconds) const;
    std::string IdSerial(int N) const;
    TAnswer Text(const std::string& Text) const;
    template <class F>
    TAnswer PerSlot(std::uint8_t Param, F One, TAnswer All) const;

    TInstrumentModel model_;
    std::uint8_t measEvent_ = 0;
    std::array<double, 10> runStart_{};
};

// Bytes of a record, as on the wire.
template <class T>
Bytes RecordBytes(const T& Record) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&Record);
    return Bytes(p, p + sizeof(T));
}
