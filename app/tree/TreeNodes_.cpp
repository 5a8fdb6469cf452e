#include "app/tree/TreeNodes_.h"

#include "app/base/MsgDlg_.h"
#include "app/base/Tools_.h"

#include <utility>
#include <variant>

namespace {

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
    return node ? DeviceIndexOf(InstrumentData(node)->InterfaceIndex) : TDeviceIndex::kAnyUsb;
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

void DeleteTreeNode(TTreeModel& View, TTreeNode* Node) {
    if (!Node)
        return;
    TTreeNode* parent = Node->Parent();
    View.Delete(Node);
    const bool folder =
        parent && (parent == View.RecordsFolder() || parent == View.ProtocolsFolder());
    if (folder && parent->Count() == 0)
        View.Delete(parent);
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

void ShowRecordingState(TTreeModel& View, TTreeNode* Node, bool Recording) {
    const TChamberData* chamber = ChamberData(Node);
    if (!chamber)
        return;
    const bool present = (chamber->Live.Meas.Status & csPresent) != 0;
    View.SetNodeImages(Node, Node->ImageIndex(), Node->SelectedIndex(),
                       RecordingStateImage(Recording, present));
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
