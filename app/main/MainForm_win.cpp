#include "app/main/MainForm_win.h"

#include "app/base/About_win.h"
#include "app/base/Texte_.h"
#include "app/base/Tools_win.h"
#include "app/main/InfoWin_win.h"
#include "app/main/OneInst_win.h"
#include "app/settings/Preferences_.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr UINT kFirstActivate = WM_APP + 1;
constexpr int kTreeWidth = 250;
// Right edges of the status bar's panels (widths 350, 60, 75, 75, 50).
constexpr int kStatusParts[] = {350, 410, 485, 560, 610};

// Put in front of the MDI client: its area never shows scroll bars.
LRESULT CALLBACK MDIClientWindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (Msg == WM_NCCALCSIZE) {
        const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE);
        SetWindowLongPtrA(Wnd, GWL_STYLE, style & ~LONG_PTR{WS_VSCROLL | WS_HSCROLL});
    }
    return CallWindowProcA(previous, Wnd, Msg, W, L);
}

int WindowHeight(HWND Wnd) {
    RECT r{};
    GetWindowRect(Wnd, &r);
    return r.bottom - r.top;
}

} // namespace

TMainForm::TMainForm(IMessageBoxes& Boxes, IRegistryStore& Registry, ILinkApi& Api,
                     std::vector<std::string> Args)
    : FBoxes(Boxes), FRegistry(Registry), FCtl(*this, FTree, Boxes, Registry, std::move(Args)) {
    InitCommonControlsOnce();
    const INITCOMMONCONTROLSEX tree{sizeof tree, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&tree);
    TFormArgs args;
    args.ClassName = "TMainForm";
    args.Caption = kMainCaption;
    args.FormStyle = TFormStyle::MDIForm;
    args.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    args.ClientWidth = 800;
    args.ClientHeight = 560;
    args.Menu = CreateMenu();
    if (CreateForm(args))
        FormCreate(Api);
    else
        DestroyMenu(args.Menu);
}

void TMainForm::FormCreate(ILinkApi& Api) {
    // Its actions take part in the menus and accelerators.
    FLinks = std::make_unique<TMainLinks>(Handle(), FTree, FBoxes, FRegistry, Api, Actions(),
                                          [this](const std::string& F) { LoadFile(F); });
    CreateMenus();
    CreateBars();
    InstallMDIClientWindowProc();
    const HWND tree =
        AddControl(WC_TREEVIEWA, "",
                   WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                   kTreeView1, 0, 0, kTreeWidth, 0, WS_EX_CLIENTEDGE);
    FTreeView = std::make_unique<TTreeViewAdapter>(tree, FTree);
    FImageList2 = CreateTreeImages();
    FTreeView->SetImages(FImageList2.Get());
    // The extended display mode shows the document area in light blue.
    if (FCtl.FormCreate(GetComputerNameStr(), GetUserNameStr()))
        FWorkspaceBrush.Reset(CreateSolidBrush(kExtendedModeColor));
    SetClassLongPtrA(MDIClient(), GCLP_HBRBACKGROUND,
                     FWorkspaceBrush ? reinterpret_cast<LONG_PTR>(FWorkspaceBrush.Get())
                                     : COLOR_APPWORKSPACE + 1);
    Layout();
    FLinks->StartTimers();
}

void TMainForm::CreateMenus() {
    const auto action = [this](int Id, const char* Caption, TShortCut ShortCut, auto Execute) {
        Actions().Add({Id, Caption, ShortCut, true, false, Execute});
    };
    action(kAcCloseAll, "Close &All Documents", {}, [this] { AcCloseAllExecute(); });
    action(kFileExit1, "&Exit", {}, [this] { FileExit1Execute(); });
    action(kHelpAbout1, "&Info...", {VK_F1, false, false, false}, [this] { HelpAbout1Execute(); });
    action(kAcShowOverview, "&Overview", {VK_F2, false, false, false},
           [this] { AcShowOverviewExecute(); });
    action(kAcInfo, "&Info", {}, [this] { AcInfoExecute(); });

    const HMENU menu = GetMenu(Handle());
    const HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, TMainLinks::kAcOpenCom, "");
    AppendMenuA(file, MF_STRING, TMainLinks::kAcCloseCom, "");
    AppendMenuA(file, MF_STRING, TMainLinks::kAcRefresh, "");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kAcCloseAll, "");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kFileExit1, "");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    const HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, kHelpAbout1, "");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    FActionLinks.LinkMenu(menu);
    DrawMenuBar(Handle());
    FAccelerators = CreateActionAccelerators(Actions());
}

void TMainForm::CreateBars() {
    const HWND toolBar = AddControl(
        TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, kToolBar1, 0, 0, 0, 0);
    SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    FActionLinks.LinkToolBar(toolBar);
    const HWND statusBar =
        AddControl(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, kStatusBar1, 0, 0, 0, 0);
    SendMessageA(statusBar, SB_SETPARTS, std::size(kStatusParts),
                 reinterpret_cast<LPARAM>(kStatusParts));
}

void TMainForm::InstallMDIClientWindowProc() {
    const HWND client = MDIClient();
    if (!client || GetWindowLongPtrA(client, GWLP_USERDATA) != 0)
        return;
    const LONG_PTR previous =
        SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MDIClientWindowProc));
    SetWindowLongPtrA(client, GWLP_USERDATA, previous);
    SetWindowPos(client, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TMainForm::Layout() {
    SendMessageA(ToolBar1(), TB_AUTOSIZE, 0, 0);
    SendMessageA(StatusBar1(), WM_SIZE, 0, 0);
    const SIZE client = ClientSize();
    const int top = WindowHeight(ToolBar1());
    const int height = std::max(0, static_cast<int>(client.cy) - top - WindowHeight(StatusBar1()));
    MoveWindow(TreeView1(), 0, top, kTreeWidth, height, TRUE);
    MoveWindow(MDIClient(), kTreeWidth, top, std::max(0, static_cast<int>(client.cx) - kTreeWidth),
               height, TRUE);
}

bool TMainForm::TranslateShortCut(MSG& Msg) {
    if (MDIClient() && TranslateMDISysAccel(MDIClient(), &Msg))
        return true;
    return FAccelerators && TranslateAcceleratorA(Handle(), FAccelerators.Get(), &Msg);
}

void TMainForm::HelpAbout1Execute() {
    if (FAboutBox)
        FAboutBox->Execute(static_cast<int32_t>(FLinks->Ctl().Connection.RxQueueSize()));
}

void TMainForm::AcShowOverviewExecute() {
    if (FShowOverview)
        FShowOverview();
}

void TMainForm::SetCloseAllEnabled(bool Enabled) {
    Actions().SetEnabled(kAcCloseAll, Enabled);
}

void TMainForm::ShowChamberInfo(TTreeNode& ChamberNode) {
    if (FInfoWin)
        FInfoWin->Ctl().SetNode(&ChamberNode);
    Actions().Execute(kAcInfo);
}

void TMainForm::AcInfoExecute() {
    if (FInfoWin)
        FInfoWin->Execute();
}

bool TMainForm::ForceForeground(HWND Wnd) {
    if (IsIconic(Wnd))
        ShowWindow(Wnd, SW_RESTORE);
    if (GetForegroundWindow() == Wnd)
        return true;
    const HWND front = GetForegroundWindow();
    const DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    const DWORD ownThread = GetWindowThreadProcessId(Wnd, nullptr);
    // Joined to the foreground window's input, a thread may take the foreground.
    const bool attach = frontThread && frontThread != ownThread;
    if (attach)
        AttachThreadInput(ownThread, frontThread, TRUE);
    BringWindowToTop(Wnd);
    SetForegroundWindow(Wnd);
    if (attach)
        AttachThreadInput(ownThread, frontThread, FALSE);
    if (GetForegroundWindow() != Wnd) {
        DWORD lockTimeout = 0;
        SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &lockTimeout, 0);
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
        BringWindowToTop(Wnd);
        SetForegroundWindow(Wnd);
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                              reinterpret_cast<void*>(static_cast<UINT_PTR>(lockTimeout)),
                              SPIF_SENDCHANGE);
    }
    return GetForegroundWindow() == Wnd;
}

bool TMainForm::FileExists(const std::string& FileName) {
    const DWORD attributes = GetFileAttributesA(FileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void TMainForm::StoreOpenPorts() {
    FLinks->Ctl().Connection.StoreOpenPorts();
}

void TMainForm::ReconnectOpenPorts() {
    FLinks->Ctl().Connection.ReconnectOpenPorts();
}

void TMainForm::ScanUsbDevices(bool DoInit) {
    FLinks->Ctl().Connection.ScanUsbDevices(DoInit);
}

void TMainForm::CloseAllInterfaces() {
    FLinks->Ctl().Connection.CloseAllInterfaces();
}

bool TMainForm::AutoConnect() {
    return gPreferences && gPreferences->AutoConnect;
}

int TMainForm::PixelsPerInch() {
    TWindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

std::vector<HWND> TMainForm::MDIChildren() const {
    std::vector<HWND> children;
    if (!MDIClient())
        return children;
    // Icon titles of minimised children are owned windows, no documents.
    for (HWND w = GetWindow(MDIClient(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (!GetWindow(w, GW_OWNER))
            children.push_back(w);
    return children;
}

int TMainForm::MDIChildCount() {
    return static_cast<int>(MDIChildren().size());
}

void TMainForm::CloseFirstMDIChild() {
    const std::vector<HWND> children = MDIChildren();
    if (!children.empty())
        SendMessageA(children.front(), WM_CLOSE, 0, 0);
}

void TMainForm::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // For the program's loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!TranslateShortCut(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

TCloseAction TMainForm::FormClose() {
    // No close while an import runs (it disables the window).
    if (!IsWindowEnabled(Handle()))
        return TCloseAction::None;
    return FCtl.FormClose(true) ? TCloseAction::Free : TCloseAction::None;
}

LRESULT TMainForm::WMCopyData(WPARAM W, LPARAM L) {
    const COPYDATASTRUCT* data = SecondInstanceData(L);
    if (!data)
        return DefaultProc(WM_COPYDATA, W, L);
    FCtl.OpenCommandLineFile(data->lpData, data->cbData);
    if (IsIconic(Handle()))
        ShowWindow(Handle(), SW_RESTORE);
    ForceForeground(Handle());
    return TRUE;
}

LRESULT TMainForm::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    if (AnswerSecondInstance(Handle(), Msg, W))
        return 0;
    switch (Msg) {
    case WM_SIZE:
        // The frame lays out the document area itself, beside the tree.
        if (W != SIZE_MINIMIZED)
            Layout();
        return 0;
    case WM_ACTIVATE:
        // Boxes of the first activation must not run inside the activation itself.
        if (LOWORD(W) != WA_INACTIVE && FCtl.FirstActivation())
            PostMessageA(Handle(), kFirstActivate, 0, 0);
        break;
    case kFirstActivate:
        FCtl.FormActivate();
        return 0;
    case WM_COPYDATA:
        return WMCopyData(W, L);
    case WM_TIMER:
        if (FLinks && FLinks->OnMessage(Msg, W))
            return 0;
        break;
    case WM_DEVICECHANGE: {
        const LRESULT result = TForm::OnMessage(Msg, W, L);
        if (FLinks)
            FLinks->OnMessage(Msg, W);
        return result;
    }
    case WM_NOTIFY:
        if (FTreeView && FTreeView->HandleNotify(*reinterpret_cast<const NMHDR*>(L)))
            return 0;
        break;
    case WM_DESTROY:
        FCtl.FormDestroy();
        PostQuitMessage(0);
        break;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}
