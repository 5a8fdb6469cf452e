#include "app/main/InfoWin_.h"

#include "app/base/Tools_.h"
#include "app/tree/TreeNodes_.h"

void RenameChamber(TTreeModel& Tree, TTreeNode* Node, const std::string& NewName,
                   std::string& ShownName) {
    ShownName.clear();
    TChamberData* chamber = ChamberData(Node);
    if (!chamber)
        return;
    const std::string defaultName =
        DefaultChamberName(chamber->Chamber, FieldText(chamber->SerialPart));
    std::string name = NewName.substr(0, kChamberNameLength);
    if (name.empty()) {
        name = defaultName;
        SetFieldText(chamber->Name, name);
    } else {
        if (name[0] == '*')
            name[0] = '_';
        SetFieldText(chamber->Name, name);
        const std::string prefix = Format("(%d) ", chamber->Chamber);
        if (name.rfind(prefix, 0) != 0 && name != defaultName)
            name = prefix + name;
    }
    const IRecordWindow* window = chamber->RecordWindow;
    Tree.SetText(Node, window && window->Modified() ? sUnsavedMark + name : name);
    ShownName = name;
}

TInfoWinCtl::TInfoWinCtl(TTreeModel& Tree) : FTree(Tree) {
    FTree.Attach(*this);
}

TInfoWinCtl::~TInfoWinCtl() {
    FTree.Detach(*this);
}

void TInfoWinCtl::FormShow(IInfoWinView& View) {
    const TChamberData* chamber = ChamberData(FNode);
    if (!chamber)
        return;
    View.ShowChamber({FieldText(chamber->IdPart), std::to_string(chamber->Chamber),
                      FieldText(chamber->SWVers), FieldText(chamber->SerialPart),
                      FieldText(chamber->Name), chamber->InfoText});
    FChanged = false;
}

void TInfoWinCtl::ButtonOKClick(const std::string& Name, const std::string& Notes) {
    TChamberData* chamber = ChamberData(FNode);
    if (!chamber)
        return;
    if (FChanged) {
        std::string shown;
        RenameChamber(FTree, FNode, Name, shown);
    }
    chamber->InfoText = Notes;
}

void TInfoWinCtl::NodeDeleting(TTreeNode& Node) {
    if (FNode && FNode->IsWithin(&Node))
        FNode = nullptr;
}
