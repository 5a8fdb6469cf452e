#include "app/tree/NodeUnits_.h"

#include "app/tree/TreeNodes_.h"
#include "app/values/MeasValues_.h"

#include <variant>

namespace {

// A record window's unit choice that keeps the node's own unit.
constexpr int32_t kChoiceFromInstrument = -1;

uint8_t NodeUnit(const TTreeNode* Node, int32_t TUnitOverrides::*Override,
                 uint8_t TDevUnits::*Unit) {
    if (!Node)
        return kNoUnit;
    const IRecordWindow* window = nullptr;
    const TDevUnits* units = nullptr;
    if (const TChamberData* c = ChamberData(Node)) {
        window = c->RecordWindow;
        const TInstrumentData* instrument = InstrumentData(Node->Parent());
        units = instrument ? &instrument->Units : nullptr;
    } else if (const TRecData* r = Node->As<TRecData>()) {
        window = r->RecordWindow;
        units = &r->Units;
    } else {
        return kNoUnit;
    }
    if (window) {
        const int32_t chosen = window->UnitOverrides().*Override;
        if (chosen != kChoiceFromInstrument)
            return static_cast<uint8_t>(chosen);
    }
    return units ? units->*Unit : kNoUnit;
}

} // namespace

uint8_t NodeHumMode(const TTreeNode* Node) {
    return NodeUnit(Node, &TUnitOverrides::HumMode, &TDevUnits::HumidityMode);
}

uint8_t NodeTempUnit(const TTreeNode* Node) {
    return NodeUnit(Node, &TUnitOverrides::TempUnit, &TDevUnits::TemperatureUnit);
}

uint8_t NodeDateFmt(const TTreeNode* Node) {
    return NodeUnit(Node, &TUnitOverrides::DateFmt, &TDevUnits::DateFormat);
}

uint8_t NodeDValueMode(const TTreeNode*) {
    return 0;
}

std::string NodeHumText(uint8_t Mode, const TNodeData& NodeData, bool ExtendedMode) {
    const auto* c = std::get_if<TChamberData>(&NodeData);
    if (!c || !IsChamberKind(c->Kind))
        return sNoValue;
    return HumValueText(Mode, c->Live.Meas.Status, c->Live.Meas.Humidity, ExtendedMode);
}

std::string NodeTempText(uint8_t Unit, const TNodeData& NodeData, bool ExtendedMode) {
    const auto* c = std::get_if<TChamberData>(&NodeData);
    if (!c || !IsChamberKind(c->Kind))
        return sNoValue;
    return TempValueText(Unit, c->Live.Meas.Status, c->Live.Meas.Temperature, ExtendedMode);
}
