// The main window's tree view: mirrors the tree model (TreeModel_.h) in a
// common-controls tree view. Items are inserted, changed, moved, deleted,
// expanded and selected as the model's nodes are; image, selected image and
// state image come from one image list. Each item's lParam is its TTreeNode.
//
// The form that owns the control passes the control's WM_NOTIFY messages to
// HandleNotify, so a selection or an expansion made by the user reaches the
// model (and from there every other observer).
#pragma once

#include "app/tree/TreeModel_.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <unordered_map>

// The user's locale order of two texts, case-sensitive (CompareStringA); the
// order the main window's model is built with.
int LocaleCompareText(const std::string& A, const std::string& B);

class TTreeViewAdapter : private ITreeObserver {
public:
    // TreeView: an empty tree view control. It shows the model's nodes at once.
    TTreeViewAdapter(HWND TreeView, TTreeModel& Model);
    TTreeViewAdapter(const TTreeViewAdapter&) = delete;
    TTreeViewAdapter& operator=(const TTreeViewAdapter&) = delete;
    ~TTreeViewAdapter();

    HWND Handle() const { return FTree; }
    // The list for images and state images (state image n is image n of the list);
    // the control holds it until the adapter goes.
    void SetImages(HIMAGELIST Images);

    // Takes a selection change or an expansion of the control into the model;
    // true when Header was one of these.
    bool HandleNotify(const NMHDR& Header);

    TTreeNode* NodeOf(HTREEITEM Item) const;
    HTREEITEM ItemOf(const TTreeNode* Node) const;

private:
    void NodeAdded(TTreeNode& Node) override;
    void NodeChanged(TTreeNode& Node) override;
    void NodeMoved(TTreeNode& Node) override;
    void NodeDeleting(TTreeNode& Node) override;
    void NodeExpanded(TTreeNode& Node) override;
    void SelectionChanged(TTreeNode* Node) override;

    // Inserts Node and its subtree after its previous sibling.
    void Insert(TTreeNode& Node);
    void ShowExpanded(const TTreeNode& Node);
    void Forget(const TTreeNode& Node);

    HWND FTree;
    TTreeModel& FModel;
    std::unordered_map<const TTreeNode*, HTREEITEM> FItems;
};
