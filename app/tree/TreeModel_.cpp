#include "app/tree/TreeModel_.h"

#include <algorithm>
#include <cctype>

namespace {

int Lower(char C) {
    return std::tolower(static_cast<unsigned char>(C));
}

} // namespace

int DefaultCompareText(const std::string& A, const std::string& B) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (Lower(A[i]) != Lower(B[i]))
            return Lower(A[i]) < Lower(B[i]) ? -1 : 1;
    }
    if (A.size() != B.size())
        return A.size() < B.size() ? -1 : 1;
    // Equal but for case: the first lower-case letter sorts first.
    for (std::size_t i = 0; i < n; ++i) {
        if (A[i] != B[i])
            return std::islower(static_cast<unsigned char>(A[i])) ? -1 : 1;
    }
    return 0;
}

bool TTreeNode::IsWithin(const TTreeNode* Ancestor) const {
    for (const TTreeNode* n = this; n; n = n->FParent) {
        if (n == Ancestor)
            return true;
    }
    return false;
}

int TreeView1Compare(const TTreeNode& Node1, const TTreeNode& Node2,
                     const TTextCompare& CompareText) {
    const TChamberData* c1 = Node1.As<TChamberData>();
    const TChamberData* c2 = Node2.As<TChamberData>();
    if (c1 && c2 && IsChamberKind(c1->Kind) && IsChamberKind(c2->Kind))
        return c1->Chamber < c2->Chamber ? -1 : c1->Chamber > c2->Chamber ? 1 : 0;
    return CompareText(Node1.Text(), Node2.Text());
}

TTreeModel::TTreeModel(TTextCompare CompareText) : FCompareText(std::move(CompareText)) {}

TTreeModel::~TTreeModel() = default;

std::vector<std::unique_ptr<TTreeNode>>& TTreeModel::Siblings(const TTreeNode* Node) {
    return Node->FParent ? Node->FParent->FChildren : FTop.FChildren;
}

int32_t TTreeModel::IndexOf(const TTreeNode* Node) const {
    const auto& list = Node->FParent ? Node->FParent->FChildren : FTop.FChildren;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == Node)
            return static_cast<int32_t>(i);
    }
    return -1;
}

TTreeNode* TTreeModel::GetNext(const TTreeNode* Node) const {
    if (!Node)
        return FTop.FChildren.empty() ? nullptr : FTop.FChildren.front().get();
    if (!Node->FChildren.empty())
        return Node->FChildren.front().get();
    for (const TTreeNode* n = Node; n; n = n->FParent) {
        const auto& list = n->FParent ? n->FParent->FChildren : FTop.FChildren;
        const auto next = static_cast<std::size_t>(IndexOf(n)) + 1;
        if (next < list.size())
            return list[next].get();
    }
    return nullptr;
}

std::size_t TTreeModel::SortedPlace(const std::vector<std::unique_ptr<TTreeNode>>& Siblings,
                                    const TTreeNode& Node) const {
    // After every sibling that does not sort behind it: equal nodes keep their order.
    std::size_t i = 0;
    while (i < Siblings.size() && TreeView1Compare(Node, *Siblings[i], FCompareText) >= 0)
        ++i;
    return i;
}

template <class F>
void TTreeModel::Notify(F&& Tell) {
    // A copy: an observer may detach while it is told.
    const std::vector<ITreeObserver*> observers = FObservers;
    for (ITreeObserver* o : observers)
        Tell(*o);
}

TTreeNode* TTreeModel::AddChild(TTreeNode* Parent, const std::string& Text, TNodeData Data) {
    auto& list = Parent ? Parent->FChildren : FTop.FChildren;
    std::unique_ptr<TTreeNode> node(new TTreeNode(Parent, Text, std::move(Data)));
    TTreeNode* added = node.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(SortedPlace(list, *added)),
                std::move(node));
    Notify([added](ITreeObserver& o) { o.NodeAdded(*added); });
    return added;
}

void TTreeModel::Delete(TTreeNode* Node) {
    if (!Node)
        return;
    Notify([Node](ITreeObserver& o) { o.NodeDeleting(*Node); });
    for (TTreeNode** ref : {&FRoot, &FRecordsFolder, &FProtocolsFolder}) {
        if (*ref && (*ref)->IsWithin(Node))
            *ref = nullptr;
    }
    const bool selected = FSelected && FSelected->IsWithin(Node);
    TTreeNode* parent = Node->FParent;
    auto& list = Siblings(Node);
    list.erase(list.begin() + IndexOf(Node));
    if (parent && parent->FChildren.empty())
        parent->FExpanded = false;
    if (selected) {
        FSelected = nullptr;
        Notify([](ITreeObserver& o) { o.SelectionChanged(nullptr); });
    }
}

void TTreeModel::SetText(TTreeNode* Node, const std::string& Text) {
    if (!Node || Node->FText == Text)
        return;
    Node->FText = Text;
    Notify([Node](ITreeObserver& o) { o.NodeChanged(*Node); });
    auto& list = Siblings(Node);
    const auto from = static_cast<std::size_t>(IndexOf(Node));
    std::unique_ptr<TTreeNode> own = std::move(list[from]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(from));
    const std::size_t to = SortedPlace(list, *Node);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(to), std::move(own));
    if (to != from)
        Notify([Node](ITreeObserver& o) { o.NodeMoved(*Node); });
}

void TTreeModel::SetNodeImages(TTreeNode* Node, int32_t ImageIndex, int32_t SelectedIndex,
                               int32_t StateIndex) {
    if (!Node)
        return;
    Node->FImageIndex = ImageIndex;
    Node->FSelectedIndex = SelectedIndex;
    Node->FStateIndex = StateIndex;
    Notify([Node](ITreeObserver& o) { o.NodeChanged(*Node); });
}

void TTreeModel::Expand(TTreeNode* Node, bool Recurse) {
    if (!Node || Node->FChildren.empty())
        return;
    if (!Node->FExpanded) {
        Node->FExpanded = true;
        Notify([Node](ITreeObserver& o) { o.NodeExpanded(*Node); });
    }
    if (Recurse) {
        for (const auto& child : Node->FChildren)
            Expand(child.get(), true);
    }
}

void TTreeModel::Collapse(TTreeNode* Node) {
    if (!Node || !Node->FExpanded)
        return;
    Node->FExpanded = false;
    Notify([Node](ITreeObserver& o) { o.NodeExpanded(*Node); });
}

void TTreeModel::Select(TTreeNode* Node) {
    if (Node == FSelected)
        return;
    FSelected = Node;
    Notify([Node](ITreeObserver& o) { o.SelectionChanged(Node); });
}

void TTreeModel::Attach(ITreeObserver& Observer) {
    FObservers.push_back(&Observer);
}

void TTreeModel::Detach(ITreeObserver& Observer) {
    std::erase(FObservers, &Observer);
}
