// The tree as the main window's command surface, free of the platform: which
// commands a selected node enables, what its selection shows (status panel 4,
// the node's window, the chamber information node), what a double click or
// Enter opens, and the in-place rename of chamber nodes. The main window
// (MainForm_win.h) applies the answers to its actions and controls.
#pragma once

#include "app/tree/TreeModel_.h"

#include <map>
#include <optional>
#include <string>

// The commands whose state follows the selected node.
enum class TTreeCommand {
    CloseCom,     // Disconnect
    ShowOverview, // Overview
    EditProt,
    Print,
    SaveAs,
    Save,
    ShowRec, // Recorder
    Info1,   // the Info menu item and tool button
    Info,    // the Info command an overview frame's button runs
    PageSetup,
    PrintSetup,
    PrintPreview,
};

// What selecting a node changes. Commands not in the map keep their state.
struct TTreeSelection {
    std::map<TTreeCommand, bool> Commands;
    // Status panel 4: the device id of a selected instrument; unchanged without a value.
    std::optional<std::string> DevicePanel;
    // The node's window to bring to the front; null when none.
    IChildWindow* Show = nullptr;
    // The chamber whose information the Info command shows from now on; null: unchanged.
    TTreeNode* InfoNode = nullptr;
};

// The reaction to the selection moving to Node (null: no node).
TTreeSelection TreeSelection(TTreeNode* Node);

// What a double click or Enter on the selected node opens.
enum class TTreeOpen { Nothing, Overview, Protocol, Recorder };
TTreeOpen TreeOpenTarget(const TTreeNode* Node);

// In-place rename: only chamber nodes; the edit starts from the chamber's
// stored name (the node text may carry prefixes and the unsaved mark).
bool CanEditNode(const TTreeNode* Node);
std::string EditNodeText(const TTreeNode* Node);
// After the user typed Text: a chamber is renamed (RenameChamber); the tree
// keeps the node's text as the renaming decided it.
std::string RenameEditedNode(TTreeModel& Tree, TTreeNode* Node, const std::string& Text);

// Brings Node's window to the front in its normal state; a window that fails to
// show takes its node with it.
void ShowNodeWindow(TTreeModel& Tree, TTreeNode& Node, IChildWindow& Window);
