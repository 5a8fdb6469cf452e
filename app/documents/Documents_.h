// The documents of the main window, free of the platform: LoadFile, the one
// entry by which every road opens a file (chosen by the extension, compared
// case-sensitively), and Save and Save As of a chamber's recording, a loaded
// record and a protocol. The Win32 side (Documents_win.h) runs the dialogs and
// the windows' files behind IDocumentsHost.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/main/RecWindows_.h"
#include "app/tree/TreeModel_.h"

#include <cstddef>
#include <string>
#include <vector>

inline constexpr char sRecordExt[] = ".zqr";
inline constexpr char sOpenFilter[] =
    "Tessaly files (*.zqp;*.zqr;*.zqd)|*.zqp;*.zqr;*.zqd|Tessaly record (*.zqr)|*.zqr|"
    "Tessaly protocol (*.zqp)|*.zqp|Tessaly tree (*.zqd)|*.zqd";
inline constexpr char sRecordFilter[] = "Tessaly record (*.zqr)|*.zqr";

// What the documents need of the platform and of the document windows.
class IDocumentsHost {
public:
    virtual bool FileExists(const std::string& FileName) = 0;
    // FileName made absolute from the current folder.
    virtual std::string FullPathName(const std::string& FileName) = 0;
    // The file's packed modification time, the reference of the changed-on-disk test.
    virtual double FileAge(const std::string& FileName) = 0;

    // A protocol window for the file, entered in the tree; closed again when rejected.
    virtual void OpenProtocolFile(const std::string& FileName) = 0;
    // Replaces the main window's state by the tree file's.
    virtual void LoadTreeFile(const std::string& FileName) = 0;
    // Reads the file into a new stored-record window; false after a rejected
    // file, its message shown.
    virtual bool LoadRecordFile(IRecordWindow& Window, const std::string& FileName) = 0;
    // The window in front, its node selected.
    virtual void Activate(IRecordWindow& Window) = 0;

    // The save dialog of a record with FileName proposed; false when cancelled.
    virtual bool SaveRecordDialog(std::string& FileName) = 0;
    virtual std::string Caption(IRecordWindow& Window) = 0;
    // Writes the window's recording (whole or not at all) and marks it saved;
    // raises std::exception when it cannot.
    virtual void SaveRecordFile(IRecordWindow& Window, const std::string& FileName) = 0;
    // The window's data were replaced since its file was named.
    virtual bool DataReplaced(IRecordWindow& Window) = 0;
    // Save As of a protocol window; true when it was saved.
    virtual bool SaveProtocolAs(IProtocolWindow& Window) = 0;

    // The preference AddRecTree, and whether the main window is closing.
    virtual bool AddRecTree() = 0;
    virtual bool MainClosing() = 0;

protected:
    ~IDocumentsHost() = default;
};

class TDocuments {
public:
    TDocuments(TTreeModel& Tree, IMessageBoxes& Boxes, TRecWindows& RecWindows,
               IDocumentsHost& Host);

    // Opens one document: ".zqp" a protocol, ".zqr" a stored record (the window
    // of one that is open already comes to the front), ".zqd" a tree file. A
    // missing file and any other extension do nothing.
    void LoadFile(const std::string& FileName);

    // Save and Save As of Node's document; true when it was saved. A failed
    // save shows its message.
    bool Save(TTreeNode* Node);
    bool SaveAs(TTreeNode* Node);

private:
    void LoadRecord(const std::string& FileName);
    bool SaveRecord(TTreeNode& Node, IRecordWindow& Window, const std::string& FileName);

    TTreeModel& FTree;
    IMessageBoxes& FBoxes;
    TRecWindows& FRecWindows;
    IDocumentsHost& FHost;
};

// The files an open dialog with multiple selection gives in Buffer (Size
// bytes): one full name, or the folder and then the names in it, each ending in
// a NUL, an empty text after the last. Nothing past Size is read.
std::vector<std::string> SelectedFiles(const char* Buffer, std::size_t Size);

// A loaded record's own file: a record file, never the source of an import.
bool HasOwnRecordFile(const TRecData& Record);
