// Opening a chamber window's temporary files and restoring what an earlier run
// left in them: the question, the consistency check, the rescue and the
// automatic resume. The window applies the outcome.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/record/TempFiles_.h"
#include "app/tree/TreeModel_.h"

#include <optional>
#include <string>

inline constexpr char sTempExists[] = "A temporary file exists for %s Chamber%d. Try to Restore?";
inline constexpr char sTempInconsistent[] =
    "Temporary files contains inconsistent data!\rTry to rescue data?";
inline constexpr char sTempRestoredAuto[] = "Temporary data has been restored automatically!";
inline constexpr char sCannotCreateTemp[] = "Cannot creating a temporary file in %s!";
inline constexpr char sTempFilesKept[] =
    "The temporary file %s cannot be opened. It is left as it is; this window records without "
    "temporary files.";

// The one-line notice that does not block the program.
class IInfoBox {
public:
    virtual void ShowInfo(const std::string& Text) = 0;

protected:
    ~IInfoBox() = default;
};

struct TTempRestoreRequest {
    TTempFileNames Names;
    std::string InterfaceName; // "COM3", "USB1"
    int32_t Chamber = 0;
    bool AutoRestore = false;
};

struct TTempRestoreOutcome {
    enum class TKind {
        Fresh,        // new empty files
        Restored,     // Data holds what the files held, made consistent
        Discarded,    // the rescue was declined: data cleared and replaced
        NoTempFiles,  // files there but not to be opened: kept, recording goes on without
        CannotCreate, // the window cannot be made
    };
    TKind Kind = TKind::Fresh;
    TRecording Data;
    std::optional<TChamberInfoTemp> ChamberInfo; // read back from the chamber-info file
    bool Modified = false;                       // restored samples are not saved anywhere
    bool ResumeRecording = false; // an automatic restore of a recording that was not stopped
};

TTempRestoreOutcome OpenTempFiles(TTempFiles& Files, const TTempRestoreRequest& Request,
                                  IMessageBoxes& Boxes, IInfoBox& Info);

// What a restore read from the chamber-info file back onto chamber node Chamber:
// its record file name, info text and name, when the file held them. The name is
// applied again either way (RenameChamber), which renews the node text.
void RestoreChamberInfo(TTreeModel& Tree, TTreeNode* Chamber,
                        const std::optional<TChamberInfoTemp>& Info);
