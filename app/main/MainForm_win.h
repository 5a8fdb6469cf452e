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
#include "app/tree/TreeImages_win.h"
#include "app/tree/TreeModel_.h"
#include "app/tree/TreeView_win.h"
#include "common/WinRes_win.h"

#include <memory>
#include <string>
#include <vector>

class TAboutBox;
class TInfoWin;

class TMainForm : public TForm, protected IMainFormHost {
public:
    // Action ids: the command ids of the menu items and tool buttons.
    enum : int {
        kAcCloseAll = 1001,
        kFileExit1,
        kHelpAbout1,
        kAcShowOverview,
        kAcInfo,
    };
    // Control ids.
    enum : int { kToolBar1 = 100, kStatusBar1, kTreeView1 };

    // Api: the libraries. Args: the program arguments 1..ParamCount.
    TMainForm(IMessageBoxes& Boxes, IRegistryStore& Registry, ILinkApi& Api,
              std::vector<std::string> Args);

    TMainFormCtl& Ctl() { return FCtl; }
    TTreeModel& Tree() { return FTree; }
    HWND ToolBar1() const { return Control(kToolBar1); }
    HWND StatusBar1() const { return Control(kStatusBar1); }
    HWND TreeView1() const { return Control(kTreeView1); }

    // The about box, created after the main window.
    void SetAboutBox(TAboutBox* AboutBox) { FAboutBox = AboutBox; }
    // The chamber information dialog, created after the main window.
    void SetInfoWin(TInfoWin* InfoWin) { FInfoWin = InfoWin; }
    TInfoWin* InfoWin() const { return FInfoWin; }
    IMessageBoxes& Boxes() const { return FBoxes; }

    // Accelerators of the actions and of the document windows; true when Msg was one.
    bool TranslateShortCut(MSG& Msg);

    void AcCloseAllExecute() { FCtl.AcCloseAllExecute(); }
    void FileExit1Execute() { Close(); }
    void HelpAbout1Execute();
    void AcShowOverviewExecute();
    void AcInfoExecute();

    // Brings Wnd to the front, restored; true when it is the foreground window then.
    static bool ForceForeground(HWND Wnd);

protected:
    bool FileExists(const std::string& FileName) override;
    // Documents: a start opens no document until the document layer fills this in.
    void LoadFile(const std::string&) override {}
    void ReconnectOpenPorts() override;
    void ScanUsbDevices(bool DoInit) override;
    void CloseAllInterfaces() override;
    void StoreOpenPorts() override;
    bool AutoConnect() override;
    int PixelsPerInch() override;
    int MDIChildCount() override;
    void CloseFirstMDIChild() override;
    void ProcessMessages() override;

    TCloseAction FormClose() override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    void FormCreate(ILinkApi& Api);
    void CreateMenus();
    void CreateBars();
    void InstallMDIClientWindowProc();
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
};
