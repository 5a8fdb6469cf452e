// The connect dialog's list of serial ports ("Select COM"): the lines of the
// library's port list, sorted by port number, as items "port name" + " " +
// "description", offering only ports that can be opened. The window is
// InstrConnFrm_win.h.
#pragma once

#include "app/instruments/LinkApi_.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr char sSelectCom[] = "Select COM";
inline constexpr char sDataFormatQuorxCom[] =
    "The data format of the connected instrument must be \"QuorxCom\"";
inline constexpr char sOpenButton[] = "Open";

// Bytes offered to GetCOMInfoList.
inline constexpr uint32_t kComListSize = 65536;

// Head := the text before Line's first TAB and Line := the text after it;
// without a TAB, Head := Line and Line := empty.
void SplitTab(std::string& Line, std::string& Head);

// The port number of an item: its text from the fourth character up to the first
// blank, read as StrToInt reads it; 0 when that is no number.
int32_t PortFromItem(const std::string& Item);

// The order of two lines of the port list (negative, 0, positive): lines that
// begin with "COM" and a decimal port number up to the first TAB come first, by
// that number; then by the whole text. Every line has one place, so the order
// is a strict weak ordering (a three-digit port sorts after the two-digit ones).
int ComPortCompare(const std::string& A, const std::string& B);

// The items of the connect list, in port order: one per line of the library's
// port list whose port (1..256, the ports a link can be opened on) IsComAvailable
// reports free. A failing GetCOMInfoList gives no items.
std::vector<std::string> FillComList(ILinkApi& Api);
