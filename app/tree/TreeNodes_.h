// The tree's own routines on the main window's model: the records of a node,
// the root, finding and adding nodes, record-file nodes, freeing, a recording
// chamber's state image, and the counters of unsaved and recording windows for
// the close questions.
#pragma once

#include "app/tree/TreeModel_.h"
#include "app/tree/TreeTypes_.h"

#include <cstdint>
#include <string>

class IMessageBoxes;

// The chamber record of a node of a chamber kind, else null.
TChamberData* ChamberData(TTreeNode* Node);
const TChamberData* ChamberData(const TTreeNode* Node);
// The instrument record of a node of an instrument kind, else null.
TInstrumentData* InstrumentData(TTreeNode* Node);
const TInstrumentData* InstrumentData(const TTreeNode* Node);

// The root: TPCData, RootText, image imRoot; remembered as the model's root.
TTreeNode* CreateRootNode(TTreeModel& View, const std::string& ComputerName,
                          const std::string& UserName);
// Add false: the first child of Parent (null: the top level) that matches Probe
// (same kind; an instrument by interface index, a USB instrument with a serial
// number above 0 by serial number and product id instead; a chamber by its
// number; others never), or null. Add true: a new child with an empty text and
// Probe as its record, without searching.
TTreeNode* FindOrAddNode(TTreeModel& View, TTreeNode* Parent, bool Add, TNodeData Probe);
// Device index of the USB instrument with this serial number and product id;
// TDeviceIndex::kAnyUsb when none.
TDevIndex UsbPortOfSerial(TTreeModel& View, int32_t Serial, uint16_t ProductId);
// A record-file node under the Records folder (created first when missing), or
// null: without a root (error box), or when a node for FileName exists and
// AllowDuplicate is false (that node's window is shown).
TTreeNode* CreateRecNode(TTreeModel& View, IMessageBoxes& Boxes, const std::string& Caption,
                         const std::string& FileName, bool AllowDuplicate, double FileAge);
// Deletes Node with its record and subtree.
void FreeAndDeleteNode(TTreeModel& View, TTreeNode* Node);
// Deletes a document's node; the Records or Protocols folder goes with its last
// child (the model forgets it). Nothing above the folders is touched.
void DeleteTreeNode(TTreeModel& View, TTreeNode* Node);
// Frees the records of Node and its whole subtree; deletes no node.
void FreeNodeData(TTreeNode* Node);

// The state image of a chamber node whose window starts (Recording) or stops
// recording: imRecording, imRecordingAbsent while the chamber's last values say
// it is absent, none once stopped. Nothing for other nodes.
void ShowRecordingState(TTreeModel& View, TTreeNode* Node, bool Recording);

// Counters for the close questions.
int32_t GetUnsavedProtCount(const TTreeModel& View);    // protocols without a file name
int32_t GetUnsavedRecCount(const TTreeModel& View);     // chamber windows with unsaved samples
int32_t GetRecordingCount(const TTreeModel& View);      // chamber windows that record
int32_t GetUnsavedRecFileCount(const TTreeModel& View); // record-file windows with unsaved data
