// TMainForm: the MDI frame "Tessaly MC" with its menu, tool bar, status bar and
// the tree of computer, instruments, chambers, records and protocols beside the
// document area. Start-up and shutdown are decided by TMainFormCtl (MainForm_.h),
// the instruments by TMainLinks (MainLinks_win.h); this window forwards its events
// there and carries out what they ask for. It also answers a second start of the
// program (OneInst_win.h).
#pragma once

#include "app/base/Actions_win.h"
#include "app/base/Form_win.h"
#include "app/instruments/LinkApi_.h"
#include "app/instruments/MainLinks_win.h"
#include "app/main/MainForm_.h"
#include "app/main/MdiHost_win.h"
#include "app/main/RecWindows_.h"
#include "app/main/TreeCommands_.h"
#include "app/main/TreeDrag_.h"
#include "app/tree/TreeImages_win.h"
#include "app/tree/TreeModel_.h"
#include "app/tree/TreeView_win.h"
#include "common/WinRes_win.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TAboutBox;
class TInfoWin;

class TMainForm : public TForm, public IMdiHost, protected IMainFormHost {
public:
    // Action ids: the command ids of the menu items and tool buttons.
    enum : int {
        kAcCloseAll = 1001,
        kFileExit1,
        kHelpAbout1,
        kAcShowOverview,
        kAcInfo, // the chamber information, also for an overview frame's button
        kAcShowRec,
        kInfo1, // the Info menu item and tool button: chambers only
        kImport1,
        kPreferencies1,
    };
    // Control ids.
    enum : int { kToolBar1 = 100, kStatusBar1, kTreeView1 };

    // Api: the libraries. Args: the program arguments 1..ParamCount.
    TMainForm(IMessageBoxes& Boxes, IRegistryStore& Registry, ILinkApi& Api,
              std::vector<std::string> Args);
    ~TMainForm() override;

    TMainFormCtl& Ctl() override { return FCtl; }
    TMainLinks& Links() { return *FLinks; }
    // Opens one document; set by the program for the kinds of documents it has.
    std::function<void(const std::string& FileName)> OnLoadFile;
    // The Import command and files dropped on the tree, set by the program. The
    // drop handler owns Drop and finishes it.
    std::function<void()> OnImport;
    std::function<void(HDROP Drop)> OnDropFiles;
    // Saves a node's document; set by the program.
    std::function<bool(TTreeNode& Node)> OnSaveDocument;
    TTreeModel& Tree() override { return FTree; }
    HWND ToolBar1() const { return Control(kToolBar1); }
    HWND StatusBar1() const { return Control(kStatusBar1); }
    HWND TreeView1() const { return Control(kTreeView1); }

    // The about box, created after the main window.
    void SetAboutBox(TAboutBox* AboutBox) { FAboutBox = AboutBox; }
    // The chamber information dialog, created after the main window.
    void SetInfoWin(TInfoWin* InfoWin) { FInfoWin = InfoWin; }
    TInfoWin* InfoWin() const { return FInfoWin; }
    // The overview command (F2), given by the program.
    void SetShowOverview(std::function<void()> ShowOverview) {
        FShowOverview = std::move(ShowOverview);
    }
    // Shows the preferences dialog modally; given by the program.
    void SetShowPreferences(std::function<void()> ShowPreferences) {
        FShowPreferences = std::move(ShowPreferences);
    }
    // The maker of record windows, given by the program.
    void SetRecWindowFactory(IRecWindowFactory* Factory) { FRecWindows.SetFactory(Factory); }
    TRecWindows& RecWindows() { return FRecWindows; }

    HWND Handle() const override { return TForm::Handle(); }
    HWND MDIClient() const override { return TForm::MDIClient(); }
    HIMAGELIST TreeImages() const override { return FImageList2.Get(); }
    TActionList& Actions() override { return TForm::Actions(); }
    IMessageBoxes& Boxes() const override { return FBoxes; }
    bool ExtendedMode() const override { return FCtl.ExtendedMode(); }
    void SetCloseAllEnabled(bool Enabled) override;
    void ShowChamberInfo(TTreeNode& ChamberNode) override;
    bool SaveDocument(TTreeNode& Node) override { return OnSaveDocument && OnSaveDocument(Node); }

    // The accelerators anew, for actions added after the window was made.
    void RebuildAccelerators();
    // Accelerators of the actions and of the document windows; true when Msg was one.
    bool TranslateShortCut(MSG& Msg);

    void AcCloseAllExecute() { FCtl.AcCloseAllExecute(); }
    void FileExit1Execute() { Close(); }
    void HelpAbout1Execute();
    void AcShowOverviewExecute();
    void AcInfoExecute();
    void AcShowRecExecute() { FRecWindows.AcShowRecExecute(); }
    void AcProtocolShowExecute();
    // Double click, WM_LBUTTONDBLCLK and Enter on the tree: the selected node's window.
    void TreeView1DblClick();

    // The document windows (minimised ones too).
    int MDIChildCount() override;

    // Brings Wnd to the front, restored; true when it is the foreground window then.
    static bool ForceForeground(HWND Wnd);

    void LoadFile(const std::string& FileName) override {
        if (OnLoadFile)
            OnLoadFile(FileName);
    }

protected:
    bool FileExists(const std::string& FileName) override;
    void ReconnectOpenPorts() override;
    void ScanUsbDevices(bool DoInit) override;
    void CloseAllInterfaces() override;
    void StoreOpenPorts() override;
    bool AutoConnect() override;
    int PixelsPerInch() override;
    void CloseFirstMDIChild() override;
    void ProcessMessages() override;

    TCloseAction FormClose() override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    void FormCreate(ILinkApi& Api);
    void CreateMenus();
    void CreateBars();
    void InstallMDIClientWindowProc();
    void InstallTreeWindowProc();
    static LRESULT CALLBACK TreeWindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
    // True when the tree's message was handled here and goes no further.
    bool TreeMessage(UINT Msg, WPARAM W, LPARAM L);
    bool TreeNotify(const NMHDR& Header, LRESULT& Result);
    static int CommandId(TTreeCommand Command);
    void TreeView1Changing(TTreeNode* Node);
    TTreeNode* TreeNodeAt(int X, int Y, bool OnItemOnly) const;
    void TreeView1DragOver(int X, int Y);
    void TreeView1DragDrop(TTreeNode* Target);
    void EndTreeDrag();
    void Layout();
    LRESULT WMCopyData(WPARAM W, LPARAM L);
    std::vector<HWND> MDIChildren() const;

    IMessageBoxes& FBoxes;
    IRegistryStore& FRegistry;
    TTreeModel FTree{LocaleCompareText};
    TMainFormCtl FCtl;
    std::unique_ptr<TMainLinks> FLinks;
    TActionLinks FActionLinks{Actions()};
    TAccelTable FAccelerators;
    // Declared before the adapter, which takes the list back from the control first.
    TImageListHandle FImageList2;
    std::unique_ptr<TTreeViewAdapter> FTreeView;
    TScoped<HBRUSH, DeleteObject> FWorkspaceBrush;
    TAboutBox* FAboutBox = nullptr;
    TInfoWin* FInfoWin = nullptr;
    std::function<void()> FShowOverview;
    std::function<void()> FShowPreferences;
    TRecWindows FRecWindows;
    TTreeDrag FDrag;
    bool FDragging = false;
    WNDPROC FTreeProc = nullptr;

    // Tells the main window of every selection in the tree.
    class TSelectionWatch : public ITreeObserver {
    public:
        explicit TSelectionWatch(TMainForm& Form) : FForm(Form) {}

    private:
        void NodeAdded(TTreeNode&) override {}
        void NodeChanged(TTreeNode&) override {}
        void NodeMoved(TTreeNode&) override {}
        void NodeDeleting(TTreeNode&) override {}
        void NodeExpanded(TTreeNode&) override {}
        void SelectionChanged(TTreeNode* Node) override { FForm.TreeView1Changing(Node); }
        TMainForm& FForm;
    };
    TSelectionWatch FSelectionWatch{*this};
};
