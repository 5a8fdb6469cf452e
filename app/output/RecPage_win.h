// The record window as the graph page sees it, and the record window of a
// tree node, which the print, preview and export commands act on.
#pragma once

#include "app/output/GraphPage_.h"
#include "app/record/RecWin_win.h"

#include <string>

// Valid while the window lives and its data stay as they are.
TGraphPageSource GraphPageSourceOf(TMDIChildRec& Window);
// The window of a chamber node (kinds 1, 2, 8, 9, 11) or a stored record
// (kind 4); null for other nodes or without a window.
TMDIChildRec* RecordWindowOf(const TTreeNode* Node);
std::string WindowCaption(HWND Window);
