#include "app/main/TreeCommands_.h"

#include "app/main/InfoWin_.h"
#include "app/tree/TreeNodes_.h"

#include <exception>
#include <variant>

namespace {

using enum TTreeCommand;

// Everything a node without a record leaves enabled would act on nothing.
constexpr TTreeCommand kWithoutRecord[] = {CloseCom, ShowOverview, EditProt,  Print,     SaveAs,
                                           Save,     ShowRec,      PageSetup, PrintSetup};

bool SerialChamber(const TTreeNode& Node) {
    return IsChamberKind(Node.Kind()) && Node.Parent() &&
           Node.Parent()->Kind() == nkSerialInstrument;
}

// The table of the commands that the node's kind enables.
void EnableByKind(const TTreeNode& Node, TTreeSelection& S) {
    const int32_t kind = Node.Kind();
    const bool chamber = IsChamberKind(kind);
    const bool instrumentOrChamber = chamber || IsInstrumentKind(kind);
    const bool document = chamber || kind == nkRecordFile || kind == nkProtocol;
    S.Commands[CloseCom] = kind == nkSerialInstrument || SerialChamber(Node);
    S.Commands[ShowOverview] = instrumentOrChamber;
    S.Commands[Print] = document;
    S.Commands[PageSetup] = document;
    S.Commands[ShowRec] = chamber;
    S.Commands[Info1] = chamber;
    S.Commands[Info] = instrumentOrChamber;
}

void SelectInstrument(const TInstrumentData& D, TTreeSelection& S) {
    S.DevicePanel = FieldText(D.DevId);
    S.Show = D.OverviewWindow;
}

void SelectProtocol(TProtData& D, TTreeSelection& S) {
    S.Commands[SaveAs] = S.Commands[Save] = D.FileName.empty();
    S.Show = D.ProtocolWindow;
}

void SelectChamber(TTreeNode& Node, const TChamberData& D, TTreeSelection& S) {
    S.InfoNode = &Node;
    if (!D.RecordWindow)
        return;
    S.Show = D.RecordWindow;
    S.Commands[PrintPreview] = true;
    S.Commands[SaveAs] = S.Commands[Save] = D.RecordWindow->HasSamples();
}

void SelectRecordFile(TRecData& D, TTreeSelection& S) {
    S.Commands[PrintPreview] = D.RecordWindow != nullptr;
    S.Show = D.RecordWindow;
    S.Commands[SaveAs] = S.Commands[Save] = true;
}

} // namespace

TTreeSelection TreeSelection(TTreeNode* Node) {
    TTreeSelection s;
    if (!Node || std::holds_alternative<std::monostate>(Node->Data)) {
        for (TTreeCommand c : kWithoutRecord)
            s.Commands[c] = false;
        return s;
    }
    s.Commands[Save] = s.Commands[SaveAs] = s.Commands[PrintPreview] = false;
    EnableByKind(*Node, s);
    if (const TInstrumentData* d = InstrumentData(Node))
        SelectInstrument(*d, s);
    else if (auto* p = Node->As<TProtData>())
        SelectProtocol(*p, s);
    else if (const TChamberData* c = ChamberData(Node))
        SelectChamber(*Node, *c, s);
    else if (auto* r = Node->As<TRecData>())
        SelectRecordFile(*r, s);
    s.Commands[PrintSetup] = s.Commands[PageSetup];
    return s;
}

TTreeOpen TreeOpenTarget(const TTreeNode* Node) {
    if (!Node)
        return TTreeOpen::Nothing;
    const int32_t kind = Node->Kind();
    if (IsInstrumentKind(kind))
        return TTreeOpen::Overview;
    if (kind == nkProtocol)
        return TTreeOpen::Protocol;
    if (IsChamberKind(kind))
        return TTreeOpen::Recorder;
    return TTreeOpen::Nothing;
}

bool CanEditNode(const TTreeNode* Node) {
    return ChamberData(Node) != nullptr;
}

std::string EditNodeText(const TTreeNode* Node) {
    const TChamberData* chamber = ChamberData(Node);
    return chamber ? FieldText(chamber->Name) : std::string();
}

std::string RenameEditedNode(TTreeModel& Tree, TTreeNode* Node, const std::string& Text) {
    if (!Node)
        return Text;
    if (CanEditNode(Node)) {
        std::string shown;
        RenameChamber(Tree, Node, Text, shown);
    }
    return Node->Text();
}

void ShowNodeWindow(TTreeModel& Tree, TTreeNode& Node, IChildWindow& Window) {
    try {
        Window.Show();
    } catch (const std::exception&) {
        DeleteTreeNode(Tree, &Node);
    }
}
