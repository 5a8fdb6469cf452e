// The protocols of the main window's tree: the Protocols folder under the root,
// made on first need and removed with its last protocol, and one node per
// protocol window, its text made unique among the folder's children.
#pragma once

#include "app/tree/TreeModel_.h"
#include "common/LinkIndex.h"

#include <cstdint>
#include <string>

class IMessageBoxes;

// Name, or Format("%s - %d", Name, n) with the first n from 1 that no child of
// Folder carries (compared case-sensitively).
std::string UniqueProtName(const TTreeNode* Folder, const std::string& Name);

// A protocol node for Window under the Protocols folder (created when missing):
// interface byte the interface index of DeviceIndex (255 for none, 0), chamber byte Chamber (255
// none), FileName; images imProtocol, the folder expanded. Null with an error box
// when there is no root to hold the folder; null without a box when the node
// cannot be completed (it is removed again, so no half-made node stays).
TTreeNode* AddProtTree(TTreeModel& Tree, IMessageBoxes& Boxes, TDevIndex DeviceIndex,
                       int32_t Chamber, const std::string& Name, const std::string& FileName,
                       IProtocolWindow* Window);
