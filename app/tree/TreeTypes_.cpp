#include "app/tree/TreeTypes_.h"

#include "app/base/MsgDlg_.h"
#include "app/base/Tools_.h"
#include "app/instruments/LinkApi_.h"
#include "app/tree/TreeModel_.h"

#include <algorithm>
#include <type_traits>

namespace {

constexpr int32_t kFirstUsbInterface = 256;
constexpr int32_t kLastInterface = 511;
// Keeps the key of a known USB instrument free for the library to choose.
constexpr TDevIndex kAnyUsbKey = 256;

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

bool Matches(const TNodeData& Child, const TNodeData& Probe) {
    if (NodeKind(Child) != NodeKind(Probe))
        return false;
    if (const auto* p = std::get_if<TInstrumentData>(&Probe)) {
        const auto* c = std::get_if<TInstrumentData>(&Child);
        if (!c)
            return false;
        if (p->Kind == nkUsbInstrument && p->SerialNumber > 0)
            return c->SerialNumber == p->SerialNumber && c->UsbProductId == p->UsbProductId;
        return c->InterfaceIndex == p->InterfaceIndex;
    }
    if (const auto* p = std::get_if<TChamberData>(&Probe)) {
        const auto* c = std::get_if<TChamberData>(&Child);
        return c && c->Chamber == p->Chamber;
    }
    return false;
}

// Chamber records of the chamber nodes under the instrument nodes.
template <class F>
int32_t CountChambers(const TTreeModel& View, F&& Counts) {
    const TTreeNode* root = View.Root();
    if (!root)
        return 0;
    int32_t count = 0;
    for (int32_t i = 0; i < root->Count(); ++i) {
        const TTreeNode* instrument = root->Item(i);
        if (!IsInstrumentKind(instrument->Kind()))
            continue;
        for (int32_t j = 0; j < instrument->Count(); ++j) {
            const TChamberData* c = ChamberData(instrument->Item(j));
            if (c && c->RecordWindow && Counts(*c->RecordWindow))
                ++count;
        }
    }
    return count;
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

TChamberData* ChamberData(TTreeNode* Node) {
    return const_cast<TChamberData*>(ChamberData(static_cast<const TTreeNode*>(Node)));
}

const TChamberData* ChamberData(const TTreeNode* Node) {
    if (!Node)
        return nullptr;
    const auto* c = Node->As<TChamberData>();
    return c && IsChamberKind(c->Kind) ? c : nullptr;
}

TInstrumentData* InstrumentData(TTreeNode* Node) {
    return const_cast<TInstrumentData*>(InstrumentData(static_cast<const TTreeNode*>(Node)));
}

const TInstrumentData* InstrumentData(const TTreeNode* Node) {
    if (!Node)
        return nullptr;
    const auto* d = Node->As<TInstrumentData>();
    return d && IsInstrumentKind(d->Kind) ? d : nullptr;
}

bool IsValidInterfaceIndex(int32_t InterfaceIndex) {
    return InterfaceIndex >= 0 && InterfaceIndex <= kLastInterface;
}

int32_t GetNodeTypeFromCom(IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    if (!IsValidInterfaceIndex(InterfaceIndex))
        FatalError(Boxes, "Invalid Comport in GetNodeTypeFromCom!");
    return InterfaceIndex < kFirstUsbInterface ? nkSerialInstrument : nkUsbInstrument;
}

std::string GetInterfaceNameFromCom(IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    if (InterfaceIndex == -1)
        return {};
    if (!IsValidInterfaceIndex(InterfaceIndex))
        FatalError(Boxes, "Invalid Comport in GetInterfaceNameFromCom!");
    if (InterfaceIndex < kFirstUsbInterface)
        return Format("COM%d", InterfaceIndex + 1);
    return Format("USB%d", InterfaceIndex - 255);
}

uint16_t UsbProductId(ILinkApi& Link, TDevIndex DeviceIndex) {
    constexpr int32_t kPathSize = 256;
    char path[kPathSize + 1] = {};
    int32_t size = kPathSize;
    if (Link.GetDevicePath(DeviceIndex, path, &size) != 0)
        return 0;
    // The path ends at the length the library gives, never past the buffer.
    path[std::clamp(size, 0, kPathSize)] = '\0';
    return Link.GetPIDFromDevicePath(path);
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
    if (!Text.empty() && Text[0] == '*')
        return Text.substr(std::min<std::size_t>(2, Text.size()));
    return Text;
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

TTreeNode* CreateRootNode(TTreeModel& View, const std::string& ComputerName,
                          const std::string& UserName) {
    TTreeNode* root = View.AddChild(nullptr, RootText(ComputerName, UserName), TPCData{});
    View.SetNodeImages(root, imRoot, imRoot, imNone);
    View.SetRoot(root);
    return root;
}

TTreeNode* FindOrAddNode(TTreeModel& View, TTreeNode* Parent, bool Add, TNodeData Probe) {
    if (Add)
        return View.AddChild(Parent, std::string(), std::move(Probe));
    const int32_t count = Parent ? Parent->Count() : View.Count();
    for (int32_t i = 0; i < count; ++i) {
        TTreeNode* child = Parent ? Parent->Item(i) : View.Item(i);
        if (Matches(child->Data, Probe))
            return child;
    }
    return nullptr;
}

TDevIndex UsbPortOfSerial(TTreeModel& View, int32_t Serial, uint16_t ProductId) {
    TInstrumentData probe;
    probe.Kind = nkUsbInstrument;
    probe.SerialNumber = Serial;
    probe.UsbProductId = ProductId;
    const TTreeNode* node = FindOrAddNode(View, View.Root(), false, probe);
    return node ? InstrumentData(node)->InterfaceIndex + 1 : kAnyUsbKey;
}

TTreeNode* CreateRecNode(TTreeModel& View, IMessageBoxes& Boxes, const std::string& Caption,
                         const std::string& FileName, bool AllowDuplicate, double FileAge) {
    if (!View.RecordsFolder() && View.Root()) {
        TTreeNode* folder = View.AddChild(View.Root(), sRecords, TRecNodeData{});
        View.SetNodeImages(folder, imRecordsFolder, imRecordsFolder, imNone);
        View.SetRecordsFolder(folder);
    }
    TTreeNode* folder = View.RecordsFolder();
    if (!folder) {
        ShowErrorOrWarn(Boxes, Format(sErrorIn, "CreateRecNode", sNodeNotFound), false);
        return nullptr;
    }
    if (!AllowDuplicate) {
        for (int32_t i = 0; i < folder->Count(); ++i) {
            const TRecData* rec = folder->Item(i)->As<TRecData>();
            if (rec && rec->FileName == FileName) {
                if (rec->RecordWindow)
                    rec->RecordWindow->Show();
                return nullptr;
            }
        }
    }
    TRecData rec;
    rec.FileName = FileName;
    rec.FileAge = FileAge;
    TTreeNode* node = View.AddChild(folder, Caption, std::move(rec));
    View.SetNodeImages(node, imRecordFile, imRecordFile, imNone);
    View.Expand(folder, false);
    return node;
}

void FreeAndDeleteNode(TTreeModel& View, TTreeNode* Node) {
    View.Delete(Node);
}

void FreeNodeData(TTreeNode* Node) {
    if (!Node)
        return;
    for (int32_t i = 0; i < Node->Count(); ++i)
        FreeNodeData(Node->Item(i));
    Node->Data = std::monostate{};
}

int32_t GetUnsavedProtCount(const TTreeModel& View) {
    const TTreeNode* folder = View.ProtocolsFolder();
    int32_t count = 0;
    for (int32_t i = 0; folder && i < folder->Count(); ++i) {
        const TProtData* p = folder->Item(i)->As<TProtData>();
        if (p && p->FileName.empty())
            ++count;
    }
    return count;
}

int32_t GetUnsavedRecCount(const TTreeModel& View) {
    return CountChambers(View, [](const IRecordWindow& W) { return W.Modified(); });
}

int32_t GetRecordingCount(const TTreeModel& View) {
    return CountChambers(View, [](const IRecordWindow& W) { return W.Recording(); });
}

int32_t GetUnsavedRecFileCount(const TTreeModel& View) {
    const TTreeNode* folder = View.RecordsFolder();
    int32_t count = 0;
    for (int32_t i = 0; folder && i < folder->Count(); ++i) {
        const TRecData* r = folder->Item(i)->As<TRecData>();
        if (r && r->RecordWindow && r->RecordWindow->Modified())
            ++count;
    }
    return count;
}
