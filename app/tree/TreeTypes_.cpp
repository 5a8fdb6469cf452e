#include "app/tree/TreeTypes_.h"

#include "app/base/MsgDlg_.h"
#include "app/base/Tools_.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <variant>

namespace {

// The characters Trim removes: blanks and control characters.
bool IsTrimmed(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string Trim(const std::string& S) {
    std::size_t begin = 0;
    std::size_t end = S.size();
    while (begin < end && IsTrimmed(S[begin]))
        ++begin;
    while (end > begin && IsTrimmed(S[end - 1]))
        --end;
    return S.substr(begin, end - begin);
}

} // namespace

bool IsChamberKind(int32_t Kind) {
    switch (Kind) {
    case nkZephoraChamber0:
    case nkZephoraChamber:
    case nkKivanterChamber0:
    case nkKivanterChamber:
    case nkZephoraNChamber:
        return true;
    default:
        return false;
    }
}

bool IsInstrumentKind(int32_t Kind) {
    return Kind == nkSerialInstrument || Kind == nkUsbInstrument;
}

int32_t ChamberKindOf(const std::string& DevId, int32_t Chamber) {
    if (DevId == "ZEPHORA")
        return Chamber == 0 ? nkZephoraChamber0 : nkZephoraChamber;
    if (DevId == "KIVANTER")
        return Chamber == 0 ? nkKivanterChamber0 : nkKivanterChamber;
    if (DevId == "ZEPHORAN")
        return nkZephoraNChamber;
    return 0;
}

int32_t ChamberImage(int32_t Kind, bool Present) {
    switch (Kind) {
    case nkZephoraChamber0:
        return Present ? 2 : 4;
    case nkZephoraChamber:
        return Present ? 3 : 5;
    case nkKivanterChamber0:
        return Present ? 16 : 18;
    case nkKivanterChamber:
        return Present ? 17 : 19;
    case nkZephoraNChamber:
        return Present ? 23 : 24;
    default:
        return imUnknownChamber;
    }
}

int32_t InstrumentImage(int32_t Kind, bool Connected) {
    if (Kind == nkUsbInstrument)
        return Connected ? imUsbInstrument : imUsbInstrumentLost;
    return Connected ? imSerialInstrument : imSerialInstrumentLost;
}

int32_t RecordingStateImage(bool Recording, bool Present) {
    if (!Recording)
        return imNone;
    return Present ? imRecording : imRecordingAbsent;
}

int32_t NodeKind(const TNodeData& Data) {
    return std::visit(
        [](const auto& Record) -> int32_t {
            if constexpr (std::is_same_v<std::decay_t<decltype(Record)>, std::monostate>)
                return -1;
            else
                return Record.Kind;
        },
        Data);
}

bool IsValidInterfaceIndex(int32_t InterfaceIndex) {
    return TInterfaceIndex(InterfaceIndex).Valid();
}

int32_t GetNodeTypeFromCom(IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    if (!IsValidInterfaceIndex(InterfaceIndex))
        FatalError(Boxes, "Invalid Comport in GetNodeTypeFromCom!");
    return TInterfaceIndex(InterfaceIndex).Serial() ? nkSerialInstrument : nkUsbInstrument;
}

std::string GetInterfaceNameFromCom(IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    if (InterfaceIndex == -1)
        return {};
    if (!IsValidInterfaceIndex(InterfaceIndex))
        FatalError(Boxes, "Invalid Comport in GetInterfaceNameFromCom!");
    const TDeviceIndex device = TInterfaceIndex(InterfaceIndex).Device();
    if (device.Serial())
        return Format("COM%d", device.ComNumber());
    return Format("USB%d", device.UsbKey());
}

std::string RootText(const std::string& ComputerName, const std::string& UserName) {
    return ComputerName + " [" + UserName + "]";
}

std::string InstrumentText(IMessageBoxes& Boxes, int32_t InterfaceIndex, int32_t SerialNumber) {
    return GetInterfaceNameFromCom(Boxes, InterfaceIndex) + " " + Format("%.07d", SerialNumber);
}

std::string DefaultChamberName(int32_t Chamber, const std::string& SerialPart) {
    return Format(sChamberName, Chamber, SerialPart.c_str()).substr(0, 40);
}

std::string RemoveUnsavedMark(const std::string& Text) {
    return Text.starts_with(sUnsavedMark) ? Text.substr(2) : Text;
}

std::string ProposedFileName(const std::string& Caption) {
    std::string name = RemoveUnsavedMark(Caption);
    for (char& c : name)
        if (std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos)
            c = '_';
    return name;
}

void SerialPart(const char (&IdSerial)[21], char (&Serial)[21]) {
    const std::string text = FieldText(IdSerial);
    const std::size_t blank = text.find(' ');
    // From the blank to the 20th character, as the instrument's text is at most 20 long.
    SetFieldText(Serial, Trim(blank == std::string::npos ? text : text.substr(blank, 20 - blank)));
}

void IdPart(const char (&IdSerial)[21], char (&Id)[21]) {
    const std::string text = FieldText(IdSerial);
    const std::size_t blank = text.find(' ');
    SetFieldText(Id, blank == std::string::npos ? std::string() : text.substr(0, blank));
}
