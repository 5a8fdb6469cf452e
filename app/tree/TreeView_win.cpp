#include "app/tree/TreeView_win.h"

namespace {

// A state image index as item state bits: 1..15 show that image, anything else none.
UINT StateImageBits(int32_t StateIndex) {
    return StateIndex > 0 && StateIndex <= 15 ? INDEXTOSTATEIMAGEMASK(StateIndex) : 0;
}

// Text, images and state image of Node into Item.
void FillItem(TVITEMA& Item, TTreeNode& Node, std::string& Text) {
    Text = Node.Text();
    Item.mask |= TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    Item.pszText = Text.data();
    Item.iImage = Node.ImageIndex();
    Item.iSelectedImage = Node.SelectedIndex();
    Item.state = StateImageBits(Node.StateIndex());
    Item.stateMask = TVIS_STATEIMAGEMASK;
}

// Items in the order of their nodes in the model (lParam of the sort).
int CALLBACK CompareByModel(LPARAM A, LPARAM B, LPARAM Model) {
    const auto& model = *reinterpret_cast<const TTreeModel*>(Model);
    return model.IndexOf(reinterpret_cast<const TTreeNode*>(A)) -
           model.IndexOf(reinterpret_cast<const TTreeNode*>(B));
}

} // namespace

int LocaleCompareText(const std::string& A, const std::string& B) {
    const int result = CompareStringA(LOCALE_USER_DEFAULT, 0, A.data(), static_cast<int>(A.size()),
                                      B.data(), static_cast<int>(B.size()));
    return result == 0 ? DefaultCompareText(A, B) : result - CSTR_EQUAL;
}

TTreeViewAdapter::TTreeViewAdapter(HWND TreeView, TTreeModel& Model)
    : FTree(TreeView), FModel(Model) {
    for (int32_t i = 0; i < FModel.Count(); ++i)
        Insert(*FModel.Item(i));
    SelectionChanged(FModel.Selected());
    FModel.Attach(*this);
}

TTreeViewAdapter::~TTreeViewAdapter() {
    FModel.Detach(*this);
    // The list's owner may destroy it before the control.
    SetImages(nullptr);
}

void TTreeViewAdapter::SetImages(HIMAGELIST Images) {
    SendMessageA(FTree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
    SendMessageA(FTree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(Images));
}

bool TTreeViewAdapter::HandleNotify(const NMHDR& Header) {
    if (Header.hwndFrom != FTree)
        return false;
    // The item fields are the same in the ANSI and the wide notification.
    const auto& tv = reinterpret_cast<const NMTREEVIEWA&>(Header);
    switch (Header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        FModel.Select(NodeOf(tv.itemNew.hItem));
        return true;
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
        if (TTreeNode* node = NodeOf(tv.itemNew.hItem)) {
            if (tv.action & TVE_EXPAND)
                FModel.Expand(node, false);
            else if (tv.action & TVE_COLLAPSE)
                FModel.Collapse(node);
        }
        return true;
    default:
        return false;
    }
}

TTreeNode* TTreeViewAdapter::NodeOf(HTREEITEM Item) const {
    if (!Item)
        return nullptr;
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = Item;
    if (!SendMessageA(FTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    // Only items of ours: a node that went is no longer in the map.
    auto* node = reinterpret_cast<TTreeNode*>(item.lParam);
    return FItems.contains(node) ? node : nullptr;
}

HTREEITEM TTreeViewAdapter::ItemOf(const TTreeNode* Node) const {
    const auto found = FItems.find(Node);
    return found == FItems.end() ? nullptr : found->second;
}

void TTreeViewAdapter::Insert(TTreeNode& Node) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = Node.Parent() ? ItemOf(Node.Parent()) : TVI_ROOT;
    const int32_t index = FModel.IndexOf(&Node);
    const TTreeNode* previous = index <= 0      ? nullptr
                                : Node.Parent() ? Node.Parent()->Item(index - 1)
                                                : FModel.Item(index - 1);
    ins.hInsertAfter = previous ? ItemOf(previous) : TVI_FIRST;
    std::string text;
    FillItem(ins.item, Node, text);
    ins.item.mask |= TVIF_PARAM;
    ins.item.lParam = reinterpret_cast<LPARAM>(&Node);
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(FTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (!item)
        return;
    FItems[&Node] = item;
    for (int32_t i = 0; i < Node.Count(); ++i)
        Insert(*Node.Item(i));
    ShowExpanded(Node);
}

void TTreeViewAdapter::ShowExpanded(const TTreeNode& Node) {
    if (const HTREEITEM item = ItemOf(&Node))
        SendMessageA(FTree, TVM_EXPAND, Node.Expanded() ? TVE_EXPAND : TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(item));
}

void TTreeViewAdapter::Forget(const TTreeNode& Node) {
    FItems.erase(&Node);
    for (int32_t i = 0; i < Node.Count(); ++i)
        Forget(*Node.Item(i));
}

void TTreeViewAdapter::NodeAdded(TTreeNode& Node) {
    Insert(Node);
    // The control shows a parent's first child collapsed; the model decides.
    if (Node.Parent())
        ShowExpanded(*Node.Parent());
}

void TTreeViewAdapter::NodeChanged(TTreeNode& Node) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE;
    item.hItem = ItemOf(&Node);
    if (!item.hItem)
        return;
    std::string text;
    FillItem(item, Node, text);
    SendMessageA(FTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeViewAdapter::NodeMoved(TTreeNode& Node) {
    // Sorting the siblings by their places in the model moves the item and keeps every handle.
    TVSORTCB sort{};
    sort.hParent = Node.Parent() ? ItemOf(Node.Parent()) : TVI_ROOT;
    sort.lpfnCompare = CompareByModel;
    sort.lParam = reinterpret_cast<LPARAM>(&FModel);
    SendMessageA(FTree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void TTreeViewAdapter::NodeDeleting(TTreeNode& Node) {
    const HTREEITEM item = ItemOf(&Node);
    if (!item)
        return;
    // The control may select another item meanwhile and tell the model so.
    SendMessageA(FTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    Forget(Node);
}

void TTreeViewAdapter::NodeExpanded(TTreeNode& Node) {
    ShowExpanded(Node);
}

void TTreeViewAdapter::SelectionChanged(TTreeNode* Node) {
    SendMessageA(FTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ItemOf(Node)));
}
