#include "app/main/MainForm_win.h"

#include "app/base/About_win.h"
#include "app/base/Guard_.h"
#include "app/base/Texte_.h"
#include "app/base/Tools_win.h"
#include "app/main/InfoWin_.h"
#include "app/main/InfoWin_win.h"
#include "app/main/OneInst_win.h"
#include "app/main/TreeCommands_.h"
#include "app/settings/Preferences_.h"
#include "app/tree/TreeNodes_.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr UINT kFirstActivate = WM_APP + 1;
constexpr int kTreeWidth = 250;
// Right edges of the status bar's panels (widths 350, 60, 75, 75, 50).
constexpr int kStatusParts[] = {350, 410, 485, 560, 610};
constexpr int kDevicePanel = 4;

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
    : FBoxes(Boxes), FRegistry(Registry), FCtl(*this, FTree, Boxes, Registry, std::move(Args)),
      FRecWindows(FTree, Boxes,
                  [] { return gPreferences ? gPreferences->TempFileDir : std::string(); }) {
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

TMainForm::~TMainForm() {
    FTree.Detach(FSelectionWatch);
    // The control outlives this object's members while the window goes.
    if (FTreeProc && IsWindow(TreeView1()))
        SetWindowLongPtrA(TreeView1(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FTreeProc));
}

void TMainForm::FormCreate(ILinkApi& Api) {
    // Its actions take part in the menus and accelerators.
    FLinks = std::make_unique<TMainLinks>(Handle(), FTree, FBoxes, FRegistry, Api, Actions(),
                                          [this](const std::string& F) { LoadFile(F); });
    FLinks->SetShowRec([this] { AcShowRecExecute(); });
    CreateMenus();
    CreateBars();
    InstallMDIClientWindowProc();
    const HWND tree = AddControl(WC_TREEVIEWA, "",
                                 WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                     TVS_SHOWSELALWAYS | TVS_EDITLABELS,
                                 kTreeView1, 0, 0, kTreeWidth, 0, WS_EX_CLIENTEDGE);
    FTreeView = std::make_unique<TTreeViewAdapter>(tree, FTree);
    InstallTreeWindowProc();
    DragAcceptFiles(tree, TRUE);
    FTree.Attach(FSelectionWatch);
    TreeView1Changing(FTree.Selected());
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
    action(kAcShowRec, "&Recorder", {}, [this] { AcShowRecExecute(); });
    action(kInfo1, "&Info", {}, [this] { AcInfoExecute(); });
    action(kImport1, "I&mport...", {'M', false, true, false}, [this] {
        if (OnImport)
            OnImport();
    });
    action(kPreferencies1, "&Preferences...", {}, [this] {
        if (FShowPreferences)
            FShowPreferences();
    });

    const HMENU menu = GetMenu(Handle());
    const HMENU file = CreatePopupMenu();
    // The document commands are added by the documents.
    AppendMenuA(file, MF_STRING, kFileOpen1, "&Open...");
    AppendMenuA(file, MF_STRING, kFileSave1, "&Save");
    AppendMenuA(file, MF_STRING, kFileSaveAs1, "Save &as...");
    AppendMenuA(file, MF_STRING, kAcSaveDsktp, "Save &Tree...");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, TMainLinks::kAcOpenCom, "");
    AppendMenuA(file, MF_STRING, TMainLinks::kAcCloseCom, "");
    AppendMenuA(file, MF_STRING, TMainLinks::kAcRefresh, "");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kImport1, "");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kAcCloseAll, "");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kFileExit1, "");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    const HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, kAcShowRec, "");
    AppendMenuA(view, MF_STRING, kAcShowOverview, "");
    AppendMenuA(view, MF_STRING, kInfo1, "");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    const HMENU settings = CreatePopupMenu();
    AppendMenuA(settings, MF_STRING, kPreferencies1, "");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(settings), "&Settings");
    const HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, kHelpAbout1, "");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    FActionLinks.LinkMenu(menu);
    DrawMenuBar(Handle());
    FAccelerators = CreateActionAccelerators(Actions());
}

void TMainForm::CreateBars() {
    const HWND toolBar =
        AddControl(TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_TOP,
                   kToolBar1, 0, 0, 0, 0);
    SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    const auto text = [toolBar](const char* Caption) {
        return static_cast<INT_PTR>(
            SendMessageA(toolBar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(Caption)));
    };
    const BYTE style = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    const auto button = [&](int Id, const char* Caption) {
        return TBBUTTON{I_IMAGENONE, Id, TBSTATE_ENABLED, style, {}, 0, text(Caption)};
    };
    TBBUTTON buttons[] = {
        button(kFileOpen1, "Open"),
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        button(TMainLinks::kAcOpenCom, "Connect"),
        button(TMainLinks::kAcCloseCom, "Disconnect"),
        button(TMainLinks::kAcRefresh, "Refresh"),
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        button(kAcShowRec, "Recorder"),
        button(kAcShowOverview, "Overview"),
        button(kInfo1, "Info"),
    };
    SendMessageA(toolBar, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
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

void TMainForm::RebuildAccelerators() {
    FAccelerators = CreateActionAccelerators(Actions());
}

bool TMainForm::TranslateShortCut(MSG& Msg) {
    if (MDIClient() && TranslateMDISysAccel(MDIClient(), &Msg))
        return true;
    if (Msg.message == WM_KEYDOWN && MDIClient()) {
        // The document window's own shortcuts work whichever of its controls has the focus.
        const HWND active =
            reinterpret_cast<HWND>(SendMessageA(MDIClient(), WM_MDIGETACTIVE, 0, 0));
        if (active && (Msg.hwnd == active || IsChild(active, Msg.hwnd)) &&
            SendMessageA(active, kWmDocShortCut, Msg.wParam, 0))
            return true;
    }
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

int TMainForm::CommandId(TTreeCommand Command) {
    switch (Command) {
    case TTreeCommand::CloseCom:
        return TMainLinks::kAcCloseCom;
    case TTreeCommand::ShowOverview:
        return kAcShowOverview;
    case TTreeCommand::EditProt:
        return kAcEditProt;
    case TTreeCommand::Print:
        return kAcPrint;
    case TTreeCommand::SaveAs:
        return kFileSaveAs1;
    case TTreeCommand::Save:
        return kFileSave1;
    case TTreeCommand::ShowRec:
        return kAcShowRec;
    case TTreeCommand::Info1:
        return kInfo1;
    case TTreeCommand::Info:
        return kAcInfo;
    case TTreeCommand::PageSetup:
        return kFilePageSetup1;
    case TTreeCommand::PrintSetup:
        return kFilePrintSetup1;
    case TTreeCommand::PrintPreview:
        return kPrintPreview1;
    }
    return 0;
}

void TMainForm::TreeView1Changing(TTreeNode* Node) {
    const TTreeSelection s = TreeSelection(Node);
    for (const auto& [command, enabled] : s.Commands)
        Actions().SetEnabled(CommandId(command), enabled);
    if (s.DevicePanel)
        SendMessageA(StatusBar1(), SB_SETTEXTA, kDevicePanel,
                     reinterpret_cast<LPARAM>(s.DevicePanel->c_str()));
    if (s.InfoNode && FInfoWin)
        FInfoWin->Ctl().SetNode(s.InfoNode);
    if (s.Show && Node)
        ShowNodeWindow(FTree, *Node, *s.Show);
    if (IsWindowVisible(Handle()) && IsWindowEnabled(Handle()))
        SetFocus(TreeView1());
}

void TMainForm::TreeView1DblClick() {
    switch (TreeOpenTarget(FTree.Selected())) {
    case TTreeOpen::Overview:
        AcShowOverviewExecute();
        break;
    case TTreeOpen::Protocol:
        AcProtocolShowExecute();
        break;
    case TTreeOpen::Recorder:
        AcShowRecExecute();
        break;
    case TTreeOpen::Nothing:
        break;
    }
}

void TMainForm::AcProtocolShowExecute() {
    TTreeNode* node = FTree.Selected();
    const TProtData* protocol = node ? node->As<TProtData>() : nullptr;
    if (protocol && protocol->ProtocolWindow)
        ShowNodeWindow(FTree, *node, *protocol->ProtocolWindow);
}

void TMainForm::InstallTreeWindowProc() {
    const HWND tree = TreeView1();
    SetWindowLongPtrA(tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FTreeProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeWindowProc)));
}

LRESULT CALLBACK TMainForm::TreeWindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    auto* form = reinterpret_cast<TMainForm*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    bool handled = false;
    GuardedCall([&] { handled = form->TreeMessage(Msg, W, L); });
    return handled ? 0 : CallWindowProcA(form->FTreeProc, Wnd, Msg, W, L);
}

bool TMainForm::TreeMessage(UINT Msg, WPARAM W, LPARAM L) {
    const int x = GET_X_LPARAM(L);
    const int y = GET_Y_LPARAM(L);
    const bool left = (W & MK_LBUTTON) != 0;
    switch (Msg) {
    case WM_LBUTTONDBLCLK:
        TreeView1DblClick();
        return false;
    case WM_DROPFILES:
        if (OnDropFiles)
            OnDropFiles(reinterpret_cast<HDROP>(W));
        else
            DragFinish(reinterpret_cast<HDROP>(W));
        return true;
    case WM_CHAR:
        // Enter opens like a double click and goes no further.
        if (W != '\r')
            return false;
        TreeView1DblClick();
        return true;
    case WM_LBUTTONDOWN: {
        TTreeNode* node = TreeNodeAt(x, y, false);
        FDrag.MouseDown(node, true);
        if (!FDrag.Armed())
            return false;
        // The control's own drag detection would swallow the moves the drag is made of.
        FTree.Select(node);
        SetFocus(TreeView1());
        SetCapture(TreeView1());
        return true;
    }
    case WM_MOUSEMOVE:
        if (FDragging) {
            TreeView1DragOver(x, y);
            return true;
        }
        if (FDrag.MouseMove(x, y, left))
            FDragging = true;
        return false;
    case WM_LBUTTONUP: {
        FDrag.MouseUp();
        const bool dropping = FDragging;
        TTreeNode* target = dropping ? TreeNodeAt(x, y, true) : nullptr;
        EndTreeDrag();
        if (GetCapture() == TreeView1())
            ReleaseCapture();
        if (dropping)
            TreeView1DragDrop(target);
        return false;
    }
    case WM_CAPTURECHANGED:
        FDrag.MouseUp();
        EndTreeDrag();
        return false;
    default:
        return false;
    }
}

TTreeNode* TMainForm::TreeNodeAt(int X, int Y, bool OnItemOnly) const {
    TVHITTESTINFO hit{};
    hit.pt = {X, Y};
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(TreeView1(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!item || (OnItemOnly && !(hit.flags & (TVHT_ONITEMLABEL | TVHT_ONITEMICON))))
        return nullptr;
    return FTreeView->NodeOf(item);
}

void TMainForm::TreeView1DragOver(int X, int Y) {
    TTreeNode* node = TreeNodeAt(X, Y, true);
    const bool accepted = AcceptsDrop(node);
    if (node && node->Count() > 0 && !node->Expanded()) {
        FTree.Expand(node, false);
        UpdateWindow(TreeView1());
    }
    SendMessageA(TreeView1(), TVM_SELECTITEM, TVGN_DROPHILITE,
                 reinterpret_cast<LPARAM>(accepted ? FTreeView->ItemOf(node) : nullptr));
    SetCursor(LoadCursorA(nullptr, accepted ? IDC_ARROW : IDC_NO));
    RECT client{};
    GetClientRect(TreeView1(), &client);
    switch (DragScroll(Y, client.bottom)) {
    case TDragScroll::LineUp:
        SendMessageA(TreeView1(), WM_VSCROLL, SB_LINEUP, 0);
        break;
    case TDragScroll::LineDown:
        SendMessageA(TreeView1(), WM_VSCROLL, SB_LINEDOWN, 0);
        break;
    case TDragScroll::None:
        break;
    }
}

void TMainForm::TreeView1DragDrop(TTreeNode* Target) {
    TTreeNode* source = FTree.Selected();
    if (AcceptsDrop(Target) && source && source->As<TRecData>())
        FRecWindows.AssignRecordFile(*Target, *source);
}

void TMainForm::EndTreeDrag() {
    if (!FDragging)
        return;
    FDragging = false;
    SendMessageA(TreeView1(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
}

bool TMainForm::TreeNotify(const NMHDR& Header, LRESULT& Result) {
    if (Header.hwndFrom != TreeView1())
        return false;
    const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(Header);
    switch (Header.code) {
    case TVN_BEGINLABELEDITA: {
        TTreeNode* node = FTreeView->NodeOf(info.item.hItem);
        Result = !CanEditNode(node);
        if (Result)
            return true;
        const auto edit =
            reinterpret_cast<HWND>(SendMessageA(TreeView1(), TVM_GETEDITCONTROL, 0, 0));
        SendMessageA(edit, EM_LIMITTEXT, kChamberNameLength, 0);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(EditNodeText(node).c_str()));
        return true;
    }
    case TVN_ENDLABELEDITA:
        // The model sets the item's text as the renaming decided it; the control keeps its own.
        if (info.item.pszText)
            RenameEditedNode(FTree, FTreeView->NodeOf(info.item.hItem), info.item.pszText);
        Result = FALSE;
        return true;
    default:
        return false;
    }
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
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(L);
        if (LRESULT result = 0; FTreeView && TreeNotify(header, result))
            return result;
        if (FTreeView && FTreeView->HandleNotify(header))
            return 0;
        break;
    }
    case WM_DESTROY:
        DragAcceptFiles(TreeView1(), FALSE);
        FCtl.FormDestroy();
        PostQuitMessage(0);
        break;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}
