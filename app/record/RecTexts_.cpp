#include "app/record/RecTexts_.h"

#include "app/base/Tools_.h"
#include "app/tree/TreeModel_.h"
#include "app/tree/TreeNodes_.h"
#include "app/values/MeasValues_.h"

#include <cmath>

std::string BuildCaption(IMessageBoxes& Boxes, const TTreeNode& Node) {
    if (Node.Kind() == nkRecordFile)
        return Node.Text();
    const TChamberData* chamber = ChamberData(&Node);
    if (!chamber || !IsChamberKind(Node.Kind()))
        return "";
    const TInstrumentData* instrument = InstrumentData(Node.Parent());
    const std::string interfaceName =
        instrument ? GetInterfaceNameFromCom(Boxes, instrument->InterfaceIndex) : "";
    std::string caption = Format(sCaptionInterface, Node.Text().c_str(), interfaceName.c_str());
    if (!chamber->RecordFileName.empty())
        caption =
            Format(sCaptionFile, caption.c_str(), ExtractFileName(chamber->RecordFileName).c_str());
    return caption;
}

const TRecBlockHeader* BlockOf(const TRecording& Data, const TSample& Sample) {
    if (Sample.Block < 1 || Sample.Block > Data.Headers.size())
        return nullptr;
    return &Data.Headers[Sample.Block - 1u];
}

void StatusPanels(const TRecording& Data, int64_t Anchor, std::array<std::string, 4>& Panels) {
    const int total = static_cast<int>(Data.Samples.size());
    if (Anchor >= 0 && Anchor < total) {
        const TSample& sample = Data.Samples[static_cast<std::size_t>(Anchor)];
        const TRecBlockHeader* block = BlockOf(Data, sample);
        Panels[0] = Format(sSamplesTotal, total) + " / " +
                    Format(sSelectedRecord, block ? static_cast<int>(block->Count) : 0);
        Panels[2] = Format(sSampleNumber, static_cast<int>(Anchor));
        Panels[1] = Format(sRecordOf, static_cast<int>(sample.Block),
                           static_cast<int>(Data.Headers.size()));
        if (block && block->DevUser[0])
            Panels[3] = Format(sUser, FieldText(block->DevUser).c_str());
    } else if (Anchor < 0 && total > 0 && !Data.Headers.empty()) {
        Panels = {Format(sSamplesTotal, total), "", "", ""};
    }
}

std::string LiveValuesText(const std::string& Hum, const std::string& HumUnit,
                           const std::string& Temp, const std::string& TempUnit) {
    return Format(sLiveValues, Hum.c_str(), HumUnit.c_str(), Temp.c_str(), TempUnit.c_str());
}

std::array<std::string, 6> StatisticsTexts(const TRecStatistics& Stats, uint8_t HumMode,
                                           uint8_t TempUnit, bool ExtendedMode) {
    const int hd = HumDecimals(HumMode, ExtendedMode);
    const int td = TempDecimals(TempUnit, ExtendedMode);
    const auto hum = [&](double Raw) {
        return Format("%4.*f", hd, HumToReal(HumMode, static_cast<int32_t>(Raw), ExtendedMode));
    };
    const auto temp = [&](double Raw) {
        return Format("%4.*f", td,
                      TempToReal(TempUnit, static_cast<int32_t>(Raw), false, ExtendedMode));
    };
    // The mean to the nearest integer, halves to even.
    return {hum(Stats.Min[0]),  hum(std::nearbyint(Stats.Mean[0])),  hum(Stats.Max[0]),
            temp(Stats.Min[1]), temp(std::nearbyint(Stats.Mean[1])), temp(Stats.Max[1])};
}

std::string SampleTimeCaption(const TRecording& Data, const TSample& Sample, uint8_t DateFormat) {
    std::string text;
    SampleTimeText(DateFormat, Sample.Stamp, text);
    if (Sample.Stamp.Year == 0) {
        const TRecBlockHeader* block = BlockOf(Data, Sample);
        text = Format("%4.4d", block ? static_cast<int>(block->InstrSampleNo) : 0) + "  /  " + text;
    }
    return text;
}

std::string RowText(const TRecording& Data, const TSample& Sample, int Column,
                    const TListUnits& Units) {
    const TChamberMeas& m = Sample.Meas;
    switch (Column) {
    case 1:
        return SampleTimeCaption(Data, Sample, Units.DateFormat);
    case 2:
        return HumValueText(Units.HumMode, m.Status, m.Humidity, Units.ExtendedMode);
    case 3:
        return TempValueText(Units.TempUnit, m.Status, m.Temperature, Units.ExtendedMode);
    case 4:
        return DValueText(m.Status, m.Third);
    default:
        return "";
    }
}

std::string ColumnWidthText(const TRecording& Data, int Column, const TListUnits& Units) {
    if (!Data.Samples.empty())
        return RowText(Data, Data.Samples.back(), Column, Units);
    const bool ext = Units.ExtendedMode;
    switch (Column) {
    case 1:
        return "00.00.0000 00:00:00";
    case 2:
        return Format("%.*f", HumDecimals(Units.HumMode, ext),
                      HumToReal(Units.HumMode, 10000, ext));
    case 3:
        return Format("%.*f", TempDecimals(Units.TempUnit, ext),
                      TempToReal(Units.TempUnit, 10000, false, ext));
    case 4:
        return Format("%.*f", DValueDecimals(), DValueToReal(1000));
    default:
        return "";
    }
}
