// The questions a record window asks before it closes: stop a recording, save
// unsaved data; the main window's answers-for-all are shared by all windows.
#pragma once

#include "app/base/MsgDlg_.h"

#include <cstdint>
#include <functional>
#include <string>

inline constexpr char sStopAndClose[] = " is recording.\r\rStop recording and close the recorder?";
inline constexpr char sSaveChamberData[] =
    " contains unsaved data.\r\rDo you want to save the data?";
inline constexpr char sSaveImportedData[] = "Do you want to save the imported data from %s?";

struct TRecCloseState {
    std::string NodeText;
    bool Live = true; // a chamber window; else a stored record
    bool Recording = false;
    bool Modified = false;
    int32_t RecordingCount = 0; // windows recording now
    int32_t UnsavedCount = 0;   // windows of the same kind holding unsaved data
    bool MainClosing = false;   // the main window closes all windows
};

// The main window's shared answers.
struct TRecCloseAnswers {
    bool& YesToAllStop;
    bool& NoToAll; // of chamber windows or of stored records, as the window is
};

// True when the window may close. A recording is stopped before anything is
// saved, so the saved data end with the stop mark; Save runs the main window's
// Save and says whether it saved.
bool RecCloseQuery(IMessageBoxes& Boxes, const TRecCloseState& State,
                   const TRecCloseAnswers& Answers, const std::function<void()>& Stop,
                   const std::function<bool()>& Save);
