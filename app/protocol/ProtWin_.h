// The protocol window's decisions, free of the platform: its size from its
// text, the save question when it closes, and the automatic print of a
// protocol that came from an instrument. TMDIChildProt (ProtWin_win.h) asks
// these and carries them out.
#pragma once

#include "app/base/MsgDlg_.h"

#include <cstdint>
#include <functional>
#include <string>

inline constexpr char sSaveProtocolQuestion[] = "Do you want to save the protocol %s?";
inline constexpr char sChamberPanel[] = "Chamber %d";

inline constexpr int32_t kProtClientWidth = 307;
inline constexpr int32_t kProtMaxHeight = 550; // client height
inline constexpr int32_t kProtColumns = 40;    // of the instrument's printer
// The background of a protocol that has a file ($BBGGRR, light yellow).
inline constexpr uint32_t kStoredProtColor = 0xE1FFFF;

// Lines of a text; a line break at its end starts no further line.
int32_t CountTextLines(const std::string& Text);
// The client height for Lines lines of LineHeight (the font's height of "["):
// two lines more than the text, two pixels between lines, at most MaxHeight.
int32_t FitClientHeight(int32_t Lines, int32_t LineHeight, int32_t MaxHeight);

// True when the lines First..Last lie within a list of Count lines. AddStringlist
// ends the program on any other range, so a range from outside data (an import)
// is checked with this first.
bool ValidLineRange(int32_t Count, int32_t First, int32_t Last);

// What the close question depends on.
struct TProtCloseState {
    bool AutoPrint = false;
    bool KeepWindow = false;
    std::string Caption;
    int32_t UnsavedProtCount = 0; // protocols without a file name
    bool MainClosing = false;     // the main window closes all windows
};

// The close question of a protocol window: true when it may close. SaveAs runs
// the main window's Save As on the window and says whether it saved; NoToAll
// is the main window's shared answer for protocols.
bool ProtCloseQuery(IMessageBoxes& Boxes, const TProtCloseState& State, bool& NoToAll,
                    const std::function<bool()>& SaveAs);

// After a protocol of Len printer bytes was shown: prints it when AutoPrint is
// on and it came from an instrument (Len != 0); true when the window is to
// close then (KeepWindow off). A failed print is shown and keeps the window,
// whose protocol exists nowhere else.
bool AutoPrintProtocol(IMessageBoxes& Boxes, int32_t Len, bool AutoPrint, bool KeepWindow,
                       const std::function<void()>& Print);
