// The units and live value texts of a tree node. The units of a node are those
// chosen in its record window, or, where the window's choice is "From
// instrument" (-1), those of its instrument or of its record file.
#pragma once

#include "app/tree/TreeTypes_.h"

#include <cstdint>
#include <string>

class TTreeNode;

// Effective units of a node: humidity mode, temperature unit, date format (0
// DD.MM.YYYY, 1 MM.DD.YYYY, 2 YYYY.MM.DD); kNoUnit (MeasValues_.h) for a node without measurements.
uint8_t NodeHumMode(const TTreeNode* Node);
uint8_t NodeTempUnit(const TTreeNode* Node);
uint8_t NodeDateFmt(const TTreeNode* Node);
// Always 0: the D value has one unit.
uint8_t NodeDValueMode(const TTreeNode* Node);

// The live value texts of a chamber's record; "---" for any other record.
std::string NodeHumText(uint8_t Mode, const TNodeData& NodeData, bool ExtendedMode);
std::string NodeTempText(uint8_t Unit, const TNodeData& NodeData, bool ExtendedMode);
