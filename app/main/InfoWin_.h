// A chamber's name and notes: the renaming rule of chamber nodes (used by the
// information dialog, the tree's in-place rename and the tree file), and the
// information dialog's logic. The dialog is InfoWin_win.h.
#pragma once

#include "app/tree/TreeModel_.h"

#include <cstdint>
#include <string>

inline constexpr char sChamberInfo[] = "Chamber Info";
// The most characters of a chamber name.
inline constexpr std::size_t kChamberNameLength = 40;

// Gives chamber node Node the name NewName: cut to 40 characters, a leading "*"
// turned into "_" (it would read as the unsaved mark), stored in the chamber's
// name field; the node text is the name with "(n) " in front unless it already
// begins so or is the default name; an empty name gives the default name
// "Chamber n - serial". A record window with unsaved samples puts "* " before the
// node text. ShownName is the node text without that mark; for any other node it
// is empty and nothing changes.
void RenameChamber(TTreeModel& Tree, TTreeNode* Node, const std::string& NewName,
                   std::string& ShownName);

// What the dialog shows of a chamber.
struct TChamberInfoTexts {
    std::string Instrument; // the id part
    std::string Chamber;    // the chamber number, decimal
    std::string SWVers;
    std::string SerNum; // the serial part
    std::string Name;   // the stored chamber name
    std::string Notes;  // the info text
    bool operator==(const TChamberInfoTexts&) const = default;
};

class IInfoWinView {
public:
    virtual void ShowChamber(const TChamberInfoTexts& Texts) = 0;

protected:
    ~IInfoWinView() = default;
};

// The dialog's node and its changed flag. The node is let go when it leaves the
// tree: the dialog is modal, but timers and events run meanwhile and may delete it.
class TInfoWinCtl : private ITreeObserver {
public:
    explicit TInfoWinCtl(TTreeModel& Tree);
    TInfoWinCtl(const TInfoWinCtl&) = delete;
    TInfoWinCtl& operator=(const TInfoWinCtl&) = delete;
    ~TInfoWinCtl();

    // The chamber whose information the dialog shows (set by selecting it).
    void SetNode(TTreeNode* Node) { FNode = Node; }
    TTreeNode* Node() const { return FNode; }

    // Shows the chamber's texts (nothing without a chamber); the name is unchanged then.
    void FormShow(IInfoWinView& View);
    void NameChanged() { FChanged = true; }
    bool Changed() const { return FChanged; }
    // OK: a changed name renames the chamber; the notes become its info text.
    void ButtonOKClick(const std::string& Name, const std::string& Notes);

private:
    void NodeAdded(TTreeNode&) override {}
    void NodeChanged(TTreeNode&) override {}
    void NodeMoved(TTreeNode&) override {}
    void NodeDeleting(TTreeNode& Node) override;
    void NodeExpanded(TTreeNode&) override {}
    void SelectionChanged(TTreeNode*) override {}

    TTreeModel& FTree;
    TTreeNode* FNode = nullptr;
    bool FChanged = false;
};
