// Opening record windows from the tree: the Recorder command on the selected
// chamber, CreateRecWindow with its rollback (also for loading record files),
// and a record file dropped onto a chamber to go on there. The window itself is
// made by the record window folder through IRecWindowFactory, which the program
// hands the main window.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/tree/TreeModel_.h"

#include <functional>
#include <string>

inline constexpr char sCannotCreateTempFile[] = "Cannot creating a temporary file in %s!";
inline constexpr char sOtherInstrument[] =
    "The file you try to assign to an instrument has been recorded with another instrument!\r\n"
    "Assign it nevertheless?";

// Makes and prepares record windows. Every window it makes is a document window
// of the main window; the IRecordWindow it gives is the one the node's record
// refers to. Each call may raise std::exception.
class IRecWindowFactory {
public:
    // A new window for Node (a chamber or a record file) in the mode Live, which
    // knows its node; Node's record does not refer to it yet.
    virtual IRecordWindow& Create(TTreeNode& Node, bool Live) = 0;
    // Frees a window that Create made and that was not shown yet.
    virtual void Free(IRecordWindow& Window) = 0;

    virtual void SetDefaultSettings(IRecordWindow& Window) = 0;
    // The caption of a chamber window, from its node.
    virtual std::string BuildCaption(IRecordWindow& Window) = 0;
    virtual void SetCaption(IRecordWindow& Window, const std::string& Caption) = 0;
    // Creates or restores the chamber's temporary files in Dir; the sample
    // file's name, empty when none could be made.
    virtual std::string OpenTempFiles(IRecordWindow& Window, const std::string& Dir) = 0;

    // Loads a record file into a live window, to go on recording after it.
    virtual void LoadRecordFile(IRecordWindow& Window, const std::string& FileName) = 0;
    // The window's activation: its node selected, the document commands set.
    virtual void Activate(IRecordWindow& Window) = 0;
    // Its data no longer belongs to the file it was loaded from: the next Save asks for a name.
    virtual void SetDataReplaced(IRecordWindow& Window) = 0;

protected:
    ~IRecWindowFactory() = default;
};

class TRecWindows {
public:
    // TempFileDir: the preference tempfiledir.
    TRecWindows(TTreeModel& Tree, IMessageBoxes& Boxes, std::function<std::string()> TempFileDir);

    // Set by the program once the record windows exist; without it no window opens.
    void SetFactory(IRecWindowFactory* Factory) { FFactory = Factory; }

    // A window for Node linked both ways, its settings and caption applied and, for
    // a chamber, its temporary files open. On an error the node lets go of the
    // window, the window is freed and the error goes on.
    IRecordWindow& CreateRecWindow(TTreeNode& Node, bool Live);

    // The selected chamber's window in front, or a new live one; errors are shown.
    // A window that fails to show takes its node with it.
    void AcShowRecExecute();

    // A record-file node dropped onto a chamber node: after the questions, the
    // chamber's window holds the file and goes on recording after it, and the
    // record file's window closes.
    void AssignRecordFile(TTreeNode& Chamber, TTreeNode& RecordFile);

private:
    void ShowRec(TTreeNode& Node);

    TTreeModel& FTree;
    IMessageBoxes& FBoxes;
    std::function<std::string()> FTempFileDir;
    IRecWindowFactory* FFactory = nullptr;
};
