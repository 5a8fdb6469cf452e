#include "app/protocol/ProtTree_.h"

#include "app/base/MsgDlg_.h"
#include "app/base/Tools_.h"
#include "app/tree/TreeNodes_.h"

#include <exception>

namespace {

bool HasChildText(const TTreeNode* Folder, const std::string& Text) {
    for (int32_t i = 0; Folder && i < Folder->Count(); ++i)
        if (Folder->Item(i)->Text() == Text)
            return true;
    return false;
}

} // namespace

std::string UniqueProtName(const TTreeNode* Folder, const std::string& Name) {
    std::string candidate = Name;
    for (int32_t n = 1; HasChildText(Folder, candidate); ++n)
        candidate = Format("%s - %d", Name.c_str(), n);
    return candidate;
}

TTreeNode* AddProtTree(TTreeModel& Tree, IMessageBoxes& Boxes, TDevIndex DeviceIndex,
                       int32_t Chamber, const std::string& Name, const std::string& FileName,
                       IProtocolWindow* Window) {
    if (!Tree.ProtocolsFolder() && Tree.Root()) {
        TTreeNode* folder = Tree.AddChild(Tree.Root(), sProtocols, TProtNodeData{});
        Tree.SetNodeImages(folder, imProtocolsFolder, imProtocolsFolder, imNone);
        Tree.SetProtocolsFolder(folder);
    }
    TTreeNode* folder = Tree.ProtocolsFolder();
    if (!folder) {
        ShowErrorOrWarn(Boxes, Format(sErrorIn, "AddProtTree", sNodeNotFound), false);
        return nullptr;
    }
    TProtData prot;
    prot.InterfaceIndex =
        DeviceIndex > 0 ? static_cast<uint8_t>(InterfaceIndexOf(DeviceIndex)) : 255;
    prot.Chamber = static_cast<uint8_t>(Chamber);
    prot.ProtocolWindow = Window;
    prot.FileName = FileName;
    TTreeNode* node = nullptr;
    try {
        node = Tree.AddChild(folder, UniqueProtName(folder, Name), std::move(prot));
        Tree.SetNodeImages(node, imProtocol, imProtocol, imNone);
        Tree.Expand(folder, false);
    } catch (const std::exception&) {
        // The record goes with its node: a node left without it would be freed twice.
        DeleteTreeNode(Tree, node);
        return nullptr;
    }
    return node;
}
