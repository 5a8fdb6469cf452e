#include "tools/sim/SimModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextMax = 20; // characters of a TDevText

std::string Clip(const std::string& S) {
    return S.substr(0, kTextMax);
}

Bytes Word(std::uint16_t W) {
    return {static_cast<std::uint8_t>(W & 0xFF), static_cast<std::uint8_t>(W >> 8)};
}

} // namespace

TInstrumentModel TInstrumentModel::Default(std::uint32_t SerialBase) {
    TInstrumentModel m;
    for (int n = 0; n < 10; ++n) {
        TChamberModel& c = m.Chambers[static_cast<std::size_t>(n)];
        c.Present = n == 0;
        c.Serial = SerialBase + static_cast<std::uint32_t>(n);
        c.Humidity = static_cast<std::int16_t>(7500 - 350 * n);
        c.Temperature = static_cast<std::int16_t>(2500 + 10 * n);
    }
    return m;
}

void TInstrumentModel::SetPresent(const std::array<bool, 10>& Present) {
    for (std::size_t n = 0; n < 10; ++n)
        Chambers[n].Present = Present[n];
}

void TInstrument::Restart(double Seconds) {
    measEvent_ = 0;
    runStart_.fill(Seconds);
}

void TInstrument::SetPresent(const std::array<bool, 10>& Present, double Seconds) {
    for (std::size_t n = 0; n < 10; ++n)
        if (Present[n] && !model_.Chambers[n].Present)
            runStart_[n] = Seconds;
    model_.SetPresent(Present);
}

TChamberMeas TInstrument::MeasureChamber(int N, double Seconds) const {
    const auto n = static_cast<std::size_t>(N);
    const TChamberModel& c = model_.Chambers[n];
    TChamberMeas m{};
    if (!c.Present)
        return m;
    const double elapsed = std::max(0.0, Seconds - runStart_[n]);
    const bool stable = elapsed >= model_.StableAfterS;
    // Away from the target by a swing that fades out until the chamber is stable.
    const double fade =
        model_.Drift && !stable ? 1.0 - elapsed / std::max(1, model_.StableAfterS) : 0.0;
    m.Humidity = static_cast<std::int16_t>(
        std::lround(c.Humidity + 300.0 * fade * std::cos(elapsed / 7.0 + N)));
    m.Temperature = static_cast<std::int16_t>(
        std::lround(c.Temperature + 50.0 * fade * std::sin(elapsed / 11.0 + 2 * N)));
    m.Third = c.Third;
    m.Elapsed = static_cast<std::uint32_t>(elapsed);
    const int progress =
        stable ? 63 : static_cast<int>(63.0 * elapsed / std::max(1, model_.StableAfterS));
    m.Status =
        static_cast<std::uint16_t>(csPresent | csSensorOn | csHumidityValid | csTemperatureValid |
                                   (stable ? csStable : csAnalysing) | (progress << 8));
    return m;
}

TMEASall TInstrument::Measure(double Seconds) const {
    TMEASall all{};
    all.Stamp.Seconds = static_cast<std::uint32_t>(std::max(0.0, Seconds));
    for (int n = 0; n < 10; ++n)
        all.Chamber[n] = MeasureChamber(n, Seconds);
    return all;
}

TStab TInstrument::Stability(int Chamber, double Seconds) const {
    const TChamberMeas m = MeasureChamber(Chamber, Seconds);
    TStab s{};
    if (m.Status & csStable) {
        s.Humidity = m.Humidity;
        s.Temperature = m.Temperature;
        s.Seconds = static_cast<std::uint32_t>(model_.StableAfterS);
    }
    return s;
}

std::string TInstrument::IdSerial(int N) const {
    const TChamberModel& c = model_.Chambers[static_cast<std::size_t>(N)];
    return c.Present ? Clip(c.Identity + " " + std::to_string(c.Serial)) : std::string();
}

TAnswer TInstrument::Text(const std::string& S) const {
    TAnswer a;
    const std::string t = Clip(S);
    a.Data.assign(t.begin(), t.end());
    a.Data.push_back(0);
    return a;
}

template <class F>
TAnswer TInstrument::PerSlot(std::uint8_t Param, F One, TAnswer All) const {
    if (Param == 255)
        return All;
    if (Param >= 10)
        return {kStatusBadParam, {}};
    return One(static_cast<int>(Param));
}

TAnswer TInstrument::Answer(std::uint8_t Kind, std::uint16_t ReqNo, std::uint8_t Param,
                            const Bytes& Data, double Seconds) {
    const auto version = [this](int n) {
        const TChamberModel& c = model_.Chambers[static_cast<std::size_t>(n)];
        return c.Present ? c.Version : std::string();
    };
    const auto allTexts = [this](auto textOf) {
        TAnswer a;
        for (int n = 0; n < 10; ++n) {
            const Bytes one = Text(textOf(n)).Data;
            a.Data.insert(a.Data.end(), one.begin(), one.end());
        }
        return a;
    };
    switch (ReqNo) {
    case 0:
        return {0, {'9', '5', '1', '6', '8'}};
    case 1:
        if (Param > 1)
            return {kStatusBadParam, {}};
        return Text(Param == 0 ? model_.DeviceId : model_.SwVersion);
    case 2:
        if (Param > 1)
            return {kStatusBadParam, {}};
        return {0, Word(Param == 0 ? model_.ProfileCap : model_.ReqMCap)};
    case 0xF1:
        return {0, Bytes(model_.Ta.begin(), model_.Ta.end())};
    case 0x100:
        return PerSlot(
            Param, [&](int n) { return Text(version(n)); }, allTexts(version));
    case 0x200:
        if (Kind == 0xF2) {
            if (Data.size() != 1)
                return {kStatusBadParam, {}};
            measEvent_ = Data[0];
            return {};
        }
        return {0, {measEvent_}};
    case 0x201:
        return PerSlot(
            Param,
            [&](int n) {
                const TMeas one{Measure(Seconds).Stamp, MeasureChamber(n, Seconds)};
                return TAnswer{0, RecordBytes(one)};
            },
            TAnswer{0, RecordBytes(Measure(Seconds))});
    case 0x202: {
        TStabAll all{};
        std::uint16_t present = 0;
        for (int n = 0; n < 10; ++n) {
            const TStab s = Stability(n, Seconds);
            std::copy_n(reinterpret_cast<const std::uint8_t*>(&s), sizeof s, all.Data + 8 * n);
            if (model_.Chambers[static_cast<std::size_t>(n)].Present)
                present = static_cast<std::uint16_t>(present | (1u << n));
        }
        all.Data[80] = static_cast<std::uint8_t>(present & 0xFF);
        all.Data[81] = static_cast<std::uint8_t>(present >> 8);
        return PerSlot(
            Param,
            [&](int n) {
                return TAnswer{0, RecordBytes(Stability(n, Seconds))};
            },
            TAnswer{0, RecordBytes(all)});
    }
    case 0x203:
        return PerSlot(
            Param, [&](int n) { return Text(IdSerial(n)); },
            allTexts([this](int n) { return IdSerial(n); }));
    case 0x204:
        return {0, RecordBytes(model_.Units)};
    case 0x205:
        return Text(model_.User);
    default:
        return {kStatusUnknownRequest, {}};
    }
}
