// The main window as the host of its document windows (MDI children): the
// overview, protocol and record windows. A document
// window reaches the main window only through this, so the main window need not
// know the folders of its documents; the program hands it their makers.
#pragma once

#include "app/base/Actions_.h"
#include "app/base/MsgDlg_.h"
#include "app/main/MainForm_.h"
#include "app/tree/TreeModel_.h"

#include <windows.h>

#include <commctrl.h>

// Sent by the main window's message loop to the active document window for a
// key pressed in it or in one of its controls (W: the virtual key), before the
// control sees it: nonzero when the key, with the modifiers held now, is one of
// the window's shortcuts and was carried out.
inline constexpr UINT kWmDocShortCut = WM_APP + 0x100;

class IMdiHost {
public:
    // The document commands: the tree's selection enables them, each window
    // folder adds those its windows carry out.
    enum : int {
        kFileSaveAs1 = 1201,
        kAcPrint,
        kAcEditProt,
        kFileSave1,
        kPrintPreview1,
        kFilePageSetup1,
        kFilePrintSetup1,
        kFileOpen1,
        kAcSaveDsktp, // Save Tree...
        kAcExpGrph = 1301,
        kAcExport = 1320,
    };

    // The main window itself, the owner of dialogs.
    virtual HWND Handle() const = 0;
    // The document area, the parent of every document window; null when missing.
    virtual HWND MDIClient() const = 0;
    // The tree's image list (ImageList2), which the record windows' sample lists
    // share; it lives as long as the main window.
    virtual HIMAGELIST TreeImages() const = 0;
    // The document windows (minimised ones too).
    virtual int MDIChildCount() = 0;
    // The main window's commands; a document window adds its own and mirrors them
    // on its tool bar.
    virtual TActionList& Actions() = 0;
    // Start-up and shutdown: whether the main window is closing, the shared
    // no-to-all answers of the close questions.
    virtual TMainFormCtl& Ctl() = 0;
    virtual IMessageBoxes& Boxes() const = 0;
    virtual TTreeModel& Tree() = 0;
    // The extended display mode ("quormode").
    virtual bool ExtendedMode() const = 0;
    // The "Close All" command, which a document window enables as it opens and closes.
    virtual void SetCloseAllEnabled(bool Enabled) = 0;
    // The chamber information dialog on ChamberNode.
    virtual void ShowChamberInfo(TTreeNode& ChamberNode) = 0;
    // Saves Node's document as the Save command does; true when it was saved.
    virtual bool SaveDocument(TTreeNode& Node) = 0;

protected:
    ~IMdiHost() = default;
};
