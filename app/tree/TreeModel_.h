// The main window's tree as data: nodes with text, images, a record
// (TreeTypes_.h) and children, each node's children kept in the tree's sort
// order (TreeView1Compare: chambers by number, everything else by text), the
// selected node, the expanded state, and the three nodes the main window keeps
// (root, Records folder, Protocols folder). Views follow it through
// ITreeObserver; TreeView_win.h mirrors it in a tree view control.
#pragma once

#include "app/tree/TreeTypes_.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A locale-aware, case-sensitive text order: negative, 0 or positive.
using TTextCompare = std::function<int(const std::string&, const std::string&)>;
// The portable order: letters compared without case first, then lower case before upper case.
int DefaultCompareText(const std::string& A, const std::string& B);

class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    const std::string& Text() const { return FText; }
    int32_t ImageIndex() const { return FImageIndex; }
    int32_t SelectedIndex() const { return FSelectedIndex; }
    int32_t StateIndex() const { return FStateIndex; }
    bool Expanded() const { return FExpanded; }

    // Null for a top-level node.
    TTreeNode* Parent() const { return FParent; }
    int32_t Count() const { return static_cast<int32_t>(FChildren.size()); }
    TTreeNode* Item(int32_t Index) const {
        return FChildren[static_cast<std::size_t>(Index)].get();
    }
    // True when Ancestor is this node or one above it.
    bool IsWithin(const TTreeNode* Ancestor) const;

    // The node's record; the node owns it.
    TNodeData Data;
    int32_t Kind() const { return NodeKind(Data); }
    template <class T>
    T* As() {
        return std::get_if<T>(&Data);
    }
    template <class T>
    const T* As() const {
        return std::get_if<T>(&Data);
    }

private:
    friend class TTreeModel;
    TTreeNode(TTreeNode* Parent, const std::string& Text, TNodeData Record)
        : Data(std::move(Record)), FParent(Parent), FText(Text) {}

    TTreeNode* FParent;
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
    std::string FText;
    int32_t FImageIndex = 0; // a new node shows image 0 until it is given its own
    int32_t FSelectedIndex = 0;
    int32_t FStateIndex = imNone;
    bool FExpanded = false;
};

// Told about every change of the model, after it happened (NodeDeleting before).
class ITreeObserver {
public:
    // Node is at its place among its siblings; its subtree is empty.
    virtual void NodeAdded(TTreeNode& Node) = 0;
    // Its text or images changed.
    virtual void NodeChanged(TTreeNode& Node) = 0;
    // It went to another place among its siblings.
    virtual void NodeMoved(TTreeNode& Node) = 0;
    // It is about to go with its subtree.
    virtual void NodeDeleting(TTreeNode& Node) = 0;
    virtual void NodeExpanded(TTreeNode& Node) = 0;
    virtual void SelectionChanged(TTreeNode* Node) = 0;

protected:
    ~ITreeObserver() = default;
};

// Chamber nodes by chamber number, any other pair by CompareText of the texts.
int TreeView1Compare(const TTreeNode& Node1, const TTreeNode& Node2,
                     const TTextCompare& CompareText);

class TTreeModel {
public:
    explicit TTreeModel(TTextCompare CompareText = DefaultCompareText);
    TTreeModel(const TTreeModel&) = delete;
    TTreeModel& operator=(const TTreeModel&) = delete;
    ~TTreeModel();

    // Top-level nodes.
    int32_t Count() const { return FTop.Count(); }
    TTreeNode* Item(int32_t Index) const { return FTop.Item(Index); }
    // The index of Node among its siblings.
    int32_t IndexOf(const TTreeNode* Node) const;
    // The node after Node in display order (children first), null after the last;
    // GetNext(null) is the first node.
    TTreeNode* GetNext(const TTreeNode* Node) const;

    // A new child of Parent (null: top level) at its sorted place, with images 0
    // and no state image.
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& Text, TNodeData Data);
    // Deletes Node with its subtree; references to them (selection, root,
    // folders) are cleared.
    void Delete(TTreeNode* Node);
    // Sets the text and moves the node to its sorted place.
    void SetText(TTreeNode* Node, const std::string& Text);
    // Image, selected image and state image, in this order; nothing for no node.
    void SetNodeImages(TTreeNode* Node, int32_t ImageIndex, int32_t SelectedIndex,
                       int32_t StateIndex);
    // A node without children does not expand.
    void Expand(TTreeNode* Node, bool Recurse);
    void Collapse(TTreeNode* Node);
    void Select(TTreeNode* Node);
    TTreeNode* Selected() const { return FSelected; }

    // The nodes the main window keeps; null until created.
    TTreeNode* Root() const { return FRoot; }
    void SetRoot(TTreeNode* Node) { FRoot = Node; }
    TTreeNode* RecordsFolder() const { return FRecordsFolder; }
    void SetRecordsFolder(TTreeNode* Node) { FRecordsFolder = Node; }
    TTreeNode* ProtocolsFolder() const { return FProtocolsFolder; }
    void SetProtocolsFolder(TTreeNode* Node) { FProtocolsFolder = Node; }

    // Observer is told about every change until detached.
    void Attach(ITreeObserver& Observer);
    void Detach(ITreeObserver& Observer);

private:
    std::vector<std::unique_ptr<TTreeNode>>& Siblings(const TTreeNode* Node);
    std::size_t SortedPlace(const std::vector<std::unique_ptr<TTreeNode>>& Siblings,
                            const TTreeNode& Node) const;
    template <class F>
    void Notify(F&& Tell);

    TTextCompare FCompareText;
    TTreeNode FTop{nullptr, std::string(), TNodeData()}; // holds the top-level nodes
    TTreeNode* FSelected = nullptr;
    TTreeNode* FRoot = nullptr;
    TTreeNode* FRecordsFolder = nullptr;
    TTreeNode* FProtocolsFolder = nullptr;
    std::vector<ITreeObserver*> FObservers;
};
