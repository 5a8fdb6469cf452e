#include "app/main/RecWindows_.h"

#include "app/base/Tools_.h"
#include "app/main/TreeCommands_.h"
#include "app/tree/TreeNodes_.h"

#include <stdexcept>
#include <utility>

namespace {

// The record's reference to its record window: a chamber's or a record file's.
IRecordWindow** WindowField(TTreeNode& Node) {
    if (TChamberData* c = ChamberData(&Node))
        return &c->RecordWindow;
    if (TRecData* r = Node.As<TRecData>())
        return &r->RecordWindow;
    return nullptr;
}

// Whether a node is still in the tree: a window's questions run a message loop
// in which events and timers may delete nodes.
class TNodeWatch : private ITreeObserver {
public:
    TNodeWatch(TTreeModel& Tree, TTreeNode* Node) : FTree(Tree), FNode(Node) {
        FTree.Attach(*this);
    }
    TNodeWatch(const TNodeWatch&) = delete;
    TNodeWatch& operator=(const TNodeWatch&) = delete;
    ~TNodeWatch() { FTree.Detach(*this); }

    // Null once the node went.
    TTreeNode* Node() const { return FNode; }

private:
    void NodeAdded(TTreeNode&) override {}
    void NodeChanged(TTreeNode&) override {}
    void NodeMoved(TTreeNode&) override {}
    void NodeDeleting(TTreeNode& Node) override {
        if (FNode && FNode->IsWithin(&Node))
            FNode = nullptr;
    }
    void NodeExpanded(TTreeNode&) override {}
    void SelectionChanged(TTreeNode*) override {}

    TTreeModel& FTree;
    TTreeNode* FNode;
};

} // namespace

TRecWindows::TRecWindows(TTreeModel& Tree, IMessageBoxes& Boxes,
                         std::function<std::string()> TempFileDir)
    : FTree(Tree), FBoxes(Boxes), FTempFileDir(std::move(TempFileDir)) {}

IRecordWindow& TRecWindows::CreateRecWindow(TTreeNode& Node, bool Live) {
    if (!FFactory)
        throw std::logic_error("No record windows");
    IRecordWindow& window = FFactory->Create(Node, Live);
    IRecordWindow** field = WindowField(Node);
    if (field)
        *field = &window;
    try {
        FFactory->SetDefaultSettings(window);
        if (ChamberData(&Node)) {
            FFactory->SetCaption(window, FFactory->BuildCaption(window));
            const std::string dir = FTempFileDir();
            if (FFactory->OpenTempFiles(window, dir).empty())
                throw std::runtime_error(Format(sCannotCreateTempFile, dir.c_str()));
        } else {
            FFactory->SetCaption(window, Node.Text());
        }
    } catch (...) {
        if (field && *field == &window)
            *field = nullptr;
        FFactory->Free(window);
        throw;
    }
    return window;
}

void TRecWindows::AcShowRecExecute() {
    if (TTreeNode* node = FTree.Selected(); ChamberData(node))
        ShowRec(*node);
}

void TRecWindows::ShowRec(TTreeNode& Node) {
    if (IRecordWindow* window = ChamberData(&Node)->RecordWindow) {
        ShowNodeWindow(FTree, Node, *window);
        return;
    }
    if (!FFactory)
        return;
    try {
        CreateRecWindow(Node, true);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FBoxes, e.what(), false);
    }
}

void TRecWindows::AssignRecordFile(TTreeNode& Chamber, TTreeNode& RecordFile) {
    const TChamberData* chamber = ChamberData(&Chamber);
    const TRecData* record = RecordFile.As<TRecData>();
    if (!chamber || !record || !FFactory)
        return;
    if (FieldText(chamber->SerialPart) != FieldText(record->InstrumentId) &&
        !AskYesNo(FBoxes, sOtherInstrument, false))
        return;
    const std::string fileName = record->FileName;
    const TNodeWatch target(FTree, &Chamber);
    const TNodeWatch source(FTree, &RecordFile);
    if (IRecordWindow* open = chamber->RecordWindow) {
        open->Close();
        // The user kept it.
        if (!target.Node() || ChamberData(target.Node())->RecordWindow)
            return;
    }
    FTree.Select(target.Node());
    ShowRec(*target.Node());
    IRecordWindow* window = target.Node() ? ChamberData(target.Node())->RecordWindow : nullptr;
    if (!window)
        return;
    try {
        FFactory->LoadRecordFile(*window, fileName);
        FFactory->Activate(*window);
        FFactory->SetDataReplaced(*window);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FBoxes, e.what(), false);
        return;
    }
    if (source.Node())
        if (IRecordWindow* old = source.Node()->As<TRecData>()->RecordWindow)
            old->Close();
    if (target.Node())
        FTree.Select(target.Node());
}
