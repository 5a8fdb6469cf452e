// The main window's start-up and shutdown, free of the platform: the first
// activation, opening the file named by the command line or a second start, the
// closing of the documents with the close-question answers that all windows
// share, and the end of the links and node records. The Win32 main window
// (MainForm_win.h) implements IMainFormHost and forwards its events here.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/base/Registry_.h"
#include "app/settings/PreferencesValues_.h"
#include "app/tree/TreeModel_.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// In the environment key.
inline constexpr char kQuorModeValue[] = "quormode";
inline constexpr char sDpiNotice[] =
    "The Windows DPI-Settings is not on \"Normal Size (96 dpi)\".\r\n"
    "This can cause visualization problems in \"Tessaly MC\".";
// The colour of the document area in the extended display mode ($BBGGRR, light blue).
inline constexpr uint32_t kExtendedModeColor = 15780518;

// The extended display mode ("quormode"): read once at start, no default written
// back; a missing or unreadable value, or a key that cannot be opened, reads as false.
bool ReadQuorMode(IRegistryStore& Registry);

// The extension of FileName with its dot ("" when none), as the file layer compares it.
std::string ExtractFileExt(const std::string& FileName);

// What start-up and shutdown act on besides the tree: documents and connections
// belong to other parts of the main window, the window itself to the platform.
class IMainFormHost {
public:
    virtual bool FileExists(const std::string& FileName) = 0;
    // Opens one document by its extension.
    virtual void LoadFile(const std::string& FileName) = 0;

    // The preference autoconn.
    virtual bool AutoConnect() = 0;
    virtual int PixelsPerInch() = 0;

    virtual void StoreOpenPorts() = 0;
    virtual void ReconnectOpenPorts() = 0;
    virtual void ScanUsbDevices(bool DoInit) = 0;
    // Measurement events off and link closed for every instrument.
    virtual void CloseAllInterfaces() = 0;

    virtual int MDIChildCount() = 0;
    // Asks the first child window to close; it may ask questions and refuse.
    virtual void CloseFirstMDIChild() = 0;
    virtual void ProcessMessages() = 0;

protected:
    ~IMainFormHost() = default;
};

class TMainFormCtl {
public:
    // Args: the program arguments 1..ParamCount.
    TMainFormCtl(IMainFormHost& Host, TTreeModel& Tree, IMessageBoxes& Boxes,
                 IRegistryStore& Registry, std::vector<std::string> Args);

    // The main window's creation: the answers cleared, the extended display mode
    // read, the root node "COMPUTER [user]" made (UserName as GetUserNameStr gives
    // it), the first activation ahead. True when the extended display mode is on.
    bool FormCreate(const std::string& ComputerName, const std::string& UserName);
    // Runs once, at the first activation: the command-line file, the screen
    // resolution notice, the stored ports, the USB scan.
    void FormActivate();
    // A packed command line of Size bytes (the program's own or a second start's):
    // its first text is opened when it names an existing file.
    void OpenCommandLineFile(const void* Block, std::size_t Size);
    // The window is closing (Closing) or Close All Documents runs (not Closing).
    // True when the window may close: no child window is left.
    bool FormClose(bool Closing);
    void AcCloseAllExecute() { FormClose(false); }
    // Closes the child windows one at a time, as long as each one closes; true
    // when none is left.
    bool CloseChildWindows();
    void FormDestroy();

    bool FirstActivation() const { return FFirstActivation; }
    bool ExtendedMode() const { return FExtendedMode; }
    // While FormClose runs, the close questions of the windows offer to-all buttons.
    bool Closing() const { return FClosing; }

    // The shared close-question answers, set by the windows' close questions.
    bool NoToAllProt = false;    // don't save protocols
    bool NoToAllRec = false;     // don't save chamber records
    bool NoToAllRecFile = false; // don't save loaded or imported records
    bool YesToAllStop = false;   // stop recordings

private:
    void CloseDocuments();
    // Closes the window of the first document in Folder; false when there is
    // none, or when it is still in the folder afterwards (its window refused or
    // it has none).
    bool CloseFirstDocument(TTreeNode* (TTreeModel::*Folder)() const);

    IMainFormHost& FHost;
    TTreeModel& FTree;
    IMessageBoxes& FBoxes;
    IRegistryStore& FRegistry;
    std::vector<std::string> FArgs;
    bool FFirstActivation = false;
    bool FActivating = false;
    bool FClosing = false;
    bool FExtendedMode = false;
};
