// The main window under Wine: its frame, menu, bars and tree with the computer
// node; the first activation; closing with child windows; the instruments'
// controller inside it, on the scripted libraries; and the hand-over from a
// second start of TessalyMC.exe, with this test as the running instance.
#include "app/base/Tools_win.h"
#include "app/main/MainForm_win.h"
#include "app/main/OneInst_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/FakeRecWindowFactory.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/LinkCtlFixture.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// The main window with its documents recorded instead of opened.
class TTestMainForm : public TMainForm {
public:
    using TMainForm::TMainForm;
    std::vector<std::string> loaded;

protected:
    void LoadFile(const std::string& FileName) override { loaded.push_back(FileName); }
};

std::string ProgramDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// A file that exists while the test runs; its name has a blank.
class TTempFile {
public:
    explicit TTempFile(const char* Name) {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        FName = std::string(dir) + Name;
        if (FILE* f = std::fopen(FName.c_str(), "wb"))
            std::fclose(f);
    }
    ~TTempFile() { DeleteFileA(FName.c_str()); }
    const std::string& Name() const { return FName; }

private:
    std::string FName;
};

// Pumps this thread's messages until Done or 5 s; true when Done.
bool PumpUntil(const std::function<bool()>& Done) {
    const ULONGLONG until = GetTickCount64() + 5000;
    while (!Done()) {
        if (GetTickCount64() > until)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

struct TExit {
    bool ended = false;
    DWORD code = 0;
};

// Runs CommandLine and pumps this thread's messages until it ends; after 20 s it
// is killed and reported as not ended.
TExit RunPumping(std::string CommandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return {};
    TExit result;
    const ULONGLONG until = GetTickCount64() + 20000;
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
            result.ended = true;
            GetExitCodeProcess(pi.hProcess, &result.code);
            break;
        }
        PumpMessages();
        if (GetTickCount64() > until) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

std::string TreeItemText(HWND Tree, HTREEITEM Item) {
    char text[256] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = Item;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

HTREEITEM NextItem(HWND Tree, UINT Flag, HTREEITEM Item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Tree, TVM_GETNEXTITEM, Flag, reinterpret_cast<LPARAM>(Item)));
}

// The item of Node among First, its next siblings and their subtrees.
HTREEITEM FindItem(HWND Tree, HTREEITEM First, const TTreeNode* Node) {
    for (HTREEITEM i = First; i; i = NextItem(Tree, TVGN_NEXT, i)) {
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = i;
        SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (item.lParam == reinterpret_cast<LPARAM>(Node))
            return i;
        if (const HTREEITEM found = FindItem(Tree, NextItem(Tree, TVGN_CHILD, i), Node))
            return found;
    }
    return nullptr;
}

// What the tree shows of a node's images: image, selected image, state image.
std::vector<int> ItemImages(HWND Tree, const TTreeNode* Node) {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.hItem = FindItem(Tree, NextItem(Tree, TVGN_ROOT, nullptr), Node);
    item.stateMask = TVIS_STATEIMAGEMASK;
    if (!item.hItem || !SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return {};
    return {item.iImage, item.iSelectedImage, static_cast<int>((item.state >> 12) & 0xF)};
}

std::string MenuText(HMENU Menu, UINT Id) {
    char text[128] = {};
    GetMenuStringA(Menu, Id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

// A child window that closes, or refuses while Refuse is set.
class TChild : public TForm {
public:
    TChild(HWND Client, const char* Caption) {
        TFormArgs args;
        args.ClassName = "TTestChild";
        args.Caption = Caption;
        args.FormStyle = TFormStyle::MDIChild;
        args.Style = WS_CHILD | WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        args.ClientWidth = 200;
        args.ClientHeight = 100;
        args.Parent = Client;
        CreateForm(args);
    }
    bool refuse = false;
    int asked = 0;

protected:
    TCloseAction FormClose() override {
        ++asked;
        return refuse ? TCloseAction::None : TCloseAction::Free;
    }
};

class MainFormTest : public testing::Test {
protected:
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;

    void TearDown() override { PumpMessages(); } // takes the WM_QUIT of a closed main window
};

TEST_F(MainFormTest, FrameWithMenusBarsAndTheComputerNode) {
    TTestMainForm form(boxes, registry, api, {});
    ASSERT_TRUE(form.Handle());
    ShowWindow(form.Handle(), SW_SHOW);
    EXPECT_EQ(WindowText(form.Handle()), "Tessaly MC");
    EXPECT_EQ(FindWindowA("TMainForm", "Tessaly MC"), form.Handle());

    const HWND tree = form.TreeView1();
    const auto root =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    ASSERT_NE(root, nullptr);
    std::string user = GetUserNameStr();
    if (!user.empty() && user.back() == '\0')
        user.pop_back();
    EXPECT_EQ(TreeItemText(tree, root), GetComputerNameStr() + " [" + user + "]");
    EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(root)), 0);

    const HMENU menu = GetMenu(form.Handle());
    const struct {
        UINT id;
        const char* text;
    } items[] = {
        {TMainLinks::kAcOpenCom, "&Connect...\tCtrl+Ins"},
        {TMainLinks::kAcCloseCom, "&Disconnect\tCtrl+Del"},
        {TMainLinks::kAcRefresh, "Re&fresh\tF5"},
        {TMainForm::kAcCloseAll, "Close &All Documents"},
        {TMainForm::kFileExit1, "&Exit"},
        {TMainForm::kHelpAbout1, "&Info...\tF1"},
        {TMainForm::kAcShowRec, "&Recorder"},
        {TMainForm::kAcShowOverview, "&Overview\tF2"},
        {TMainForm::kInfo1, "&Info"},
    };
    for (const auto& item : items) {
        SCOPED_TRACE(item.text);
        EXPECT_EQ(MenuText(menu, item.id), item.text);
    }

    int parts[8] = {};
    EXPECT_EQ(SendMessageA(form.StatusBar1(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(parts)), 5);
    EXPECT_EQ(std::vector<int>(parts, parts + 5), (std::vector<int>{350, 410, 485, 560, 610}));
    EXPECT_TRUE(IsWindowVisible(form.ToolBar1()));

    // Tree and document area side by side between the bars.
    RECT treeRect;
    RECT clientRect;
    GetWindowRect(tree, &treeRect);
    GetWindowRect(form.MDIClient(), &clientRect);
    EXPECT_EQ(treeRect.right, clientRect.left);
    EXPECT_EQ(treeRect.top, clientRect.top);
    EXPECT_EQ(treeRect.bottom, clientRect.bottom);
    EXPECT_GT(clientRect.right - clientRect.left, 0);
    EXPECT_EQ(GetWindowLongPtrA(form.MDIClient(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);

    // ImageList2 gives the images and the state images.
    const auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_STATE, 0)),
              images);
    EXPECT_EQ(ImageList_GetImageCount(images), 25);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(ItemImages(tree, form.Tree().Root()), (std::vector<int>{0, 0, 0}));
}

TEST_F(MainFormTest, QuorModeColoursTheDocumentArea) {
    struct Case {
        bool quorMode;
        COLORREF colour;
    } cases[] = {{true, 15780518}, {false, GetSysColor(COLOR_APPWORKSPACE)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quorMode);
        TMemRegistry reg;
        reg.Put(kRegEnvironment, kQuorModeValue, TRegValue::Dword(c.quorMode));
        TTestMainForm form(boxes, reg, api, {});
        EXPECT_EQ(form.Ctl().ExtendedMode(), c.quorMode);
        const LONG_PTR brush = GetClassLongPtrA(form.MDIClient(), GCLP_HBRBACKGROUND);
        if (c.quorMode) {
            LOGBRUSH lb{};
            ASSERT_EQ(GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb),
                      static_cast<int>(sizeof lb));
            EXPECT_EQ(lb.lbColor, c.colour);
        } else {
            EXPECT_EQ(brush, COLOR_APPWORKSPACE + 1);
        }
    }
}

TEST_F(MainFormTest, FirstActivationOpensTheCommandLineFileOnce) {
    const TTempFile file("first activation.zqr");
    TTestMainForm form(boxes, registry, api, {file.Name(), "ignored.zqr"});
    ShowWindow(form.Handle(), SW_SHOW);
    SetForegroundWindow(form.Handle());
    EXPECT_TRUE(PumpUntil([&] { return !form.Ctl().FirstActivation(); }));
    EXPECT_EQ(form.loaded, std::vector<std::string>{file.Name()});
    // At 96 dpi the notice is not shown and its check box state is reset.
    TWindowDC screen(nullptr);
    if (GetDeviceCaps(screen.Get(), LOGPIXELSY) == 96) {
        EXPECT_TRUE(boxes.Shown.empty());
        EXPECT_EQ(registry.Get(kRegEnvironment, "dontshowmeagain"), TRegValue::Dword(0));
    }

    SendMessageA(form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    PumpMessages();
    EXPECT_EQ(form.loaded.size(), 1u);
}

TEST_F(MainFormTest, ClosingClosesTheChildrenAndStaysWhenOneRefuses) {
    auto form = std::make_unique<TTestMainForm>(boxes, registry, api, std::vector<std::string>{});
    ShowWindow(form->Handle(), SW_SHOW);
    const HWND main = form->Handle();
    TChild a(form->MDIClient(), "A");
    TChild b(form->MDIClient(), "B");
    TChild c(form->MDIClient(), "C");
    b.refuse = true;

    // Disabled (an import runs): no close at all.
    EnableWindow(main, FALSE);
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(a.asked + b.asked + c.asked, 0);
    EnableWindow(main, TRUE);

    // The topmost child first; the refusing one stops the loop.
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(c.Handle());
    EXPECT_EQ(b.asked, 1);
    EXPECT_EQ(a.asked, 0);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_FALSE(form->Ctl().Closing());

    // Close All Documents leaves windows that are no protocols or loaded records.
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(TMainForm::kAcCloseAll, 0), 0);
    EXPECT_TRUE(a.Handle());
    EXPECT_TRUE(b.Handle());

    b.refuse = false;
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(a.Handle());
    EXPECT_FALSE(b.Handle());
    EXPECT_FALSE(IsWindow(main));
    // Destroying freed every node's record; the serial ports were stored on the way.
    EXPECT_EQ(form->Tree().Root()->Kind(), -1);
    EXPECT_EQ(registry.Get(kRegEnvironment, "openedcom").Kind, TRegKind::Binary);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainFormTest, InstrumentsAreConnectedWatchedAndClosedThroughTheWindow) {
    api.ComInfoText = "COM3\tCommunications Port\tACPI\tCOM3";
    api.Instrument(3) = MakeInstrument("ZEPHORA", 12345);
    api.Instrument(3).Meas = Meas({{0, kPresent}, {4, kPresent}});
    auto form = std::make_unique<TTestMainForm>(boxes, registry, api, std::vector<std::string>{});
    const HWND main = form->Handle();
    TInstrConnFrm connFrm(main, api);
    form->Links().SetConnectForm(connFrm);
    ShowWindow(main, SW_SHOW);
    SetForegroundWindow(main);
    ASSERT_TRUE(PumpUntil([&] { return !form->Ctl().FirstActivation(); }));
    EXPECT_EQ(api.CallsOf("GetDevicePathList").size(), 1u) << "the first activation's USB scan";

    // The menu item "Connect...": the dialog, then the instrument in the tree.
    TWindowActor actor("TInstrConnFrm", "Select COM",
                       [](HWND Dialog) { ClickButton(Dialog, "Open"); });
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(TMainLinks::kAcOpenCom, 0), 0);
    ASSERT_TRUE(actor.Join());
    TTreeNode* root = form->Tree().Root();
    ASSERT_EQ(root->Count(), 1);
    TTreeNode* instrument = root->Item(0);
    EXPECT_EQ(instrument->Text(), "COM3 0012345");
    ASSERT_EQ(instrument->Count(), 2);
    // A connected serial instrument; Zephora chamber 0 and chamber 4 with the images
    // of their kinds, absent until the first measurement event shows them present.
    const HWND tree = form->TreeView1();
    EXPECT_EQ(ItemImages(tree, instrument), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(ItemImages(tree, instrument->Item(0)), (std::vector<int>{4, 4, 0}));
    EXPECT_EQ(ItemImages(tree, instrument->Item(1)), (std::vector<int>{5, 5, 0}));
    api.QueueMeasEvent(3, Meas({{0, kPresent}, {4, kPresent}}));
    ASSERT_TRUE(api.Fire(3));
    EXPECT_EQ(ItemImages(tree, instrument->Item(0)), (std::vector<int>{2, 2, 0}));
    EXPECT_EQ(ItemImages(tree, instrument->Item(1)), (std::vector<int>{3, 3, 0}));

    // The watchdog's timer: lost on the fifth silent tick; the window handled the message.
    for (int i = 0; i < kSilentTicks; ++i)
        EXPECT_EQ(SendMessageA(main, WM_TIMER, TMainLinks::kTimerCom, 0), 0);
    EXPECT_EQ(instrument->ImageIndex(), imSerialInstrumentLost);
    EXPECT_EQ(instrument->Count(), 0);
    EXPECT_EQ(ItemImages(tree, instrument), (std::vector<int>{13, 13, 0}));

    // Every device change scans for USB instruments.
    SendMessageA(main, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    EXPECT_EQ(api.CallsOf("GetDevicePathList").size(), 2u);

    // Closing stores the serial port and closes its link with the events off.
    api.Calls.clear();
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    const TRegValue stored = registry.Get(kRegEnvironment, "openedcom");
    ASSERT_EQ(stored.Data.size(), 32u);
    EXPECT_EQ(stored.Data[0], 0x04) << "COM3";
    EXPECT_EQ(api.CallsOf("SetMeasEvent"), std::vector<std::string>{"SetMeasEvent(3, 0)"});
    EXPECT_EQ(api.CallsOf("CloseCom"), std::vector<std::string>{"CloseCom(3)"});
    EXPECT_FALSE(api.IsOpen(3));
}

// The tree of a form with a USB instrument and its chamber 2, record windows
// made by a fake factory.
class TreeInteractionTest : public MainFormTest {
protected:
    TTestMainForm form{boxes, registry, api, {}};
    TFakeRecWindowFactory factory;
    TTreeModel& tree = form.Tree();
    TTreeNode* instrument = tree.AddChild(tree.Root(), "USB1 0054321", UsbInstrument());
    TTreeNode* chamber = tree.AddChild(instrument, "Chamber 2 - 0054321", Chamber2());

    void SetUp() override {
        ShowWindow(form.Handle(), SW_SHOW);
        form.SetRecWindowFactory(&factory);
        tree.Expand(tree.Root(), true);
    }
    static TInstrumentData UsbInstrument() {
        TInstrumentData d;
        d.Kind = nkUsbInstrument;
        d.InterfaceIndex = 256;
        SetFieldText(d.DevId, "ZEPHORAN");
        return d;
    }
    static TChamberData Chamber2() {
        TChamberData d;
        d.Kind = nkZephoraNChamber;
        d.Chamber = 2;
        SetFieldText(d.SerialPart, "0054321");
        SetFieldText(d.Name, "Chamber 2 - 0054321");
        return d;
    }
    HWND Tree() { return form.TreeView1(); }
    HTREEITEM ItemOf(const TTreeNode* Node) {
        return FindItem(Tree(), NextItem(Tree(), TVGN_ROOT, nullptr), Node);
    }
    // The middle of Node's label in the tree's client coordinates.
    LPARAM ItemPoint(const TTreeNode* Node) {
        RECT r{};
        const HTREEITEM item = ItemOf(Node);
        std::memcpy(&r, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rect
        SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Double-clicks Node's label; the first click selects (the control tracks
    // that one with the real mouse).
    void DoubleClick(TTreeNode* Node) {
        tree.Select(Node);
        const LPARAM at = ItemPoint(Node);
        SendMessageA(Tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(Tree(), WM_LBUTTONUP, 0, at);
    }
    bool Grayed(UINT Id) {
        return GetMenuState(GetMenu(form.Handle()), Id, MF_BYCOMMAND) & MF_GRAYED;
    }
    std::string DevicePanel() {
        char text[64] = {};
        SendMessageA(form.StatusBar1(), SB_GETTEXTA, 4, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

TEST_F(TreeInteractionTest, SelectingSetsTheMenuAndTheDevicePanel) {
    tree.Select(instrument);
    EXPECT_EQ(DevicePanel(), "ZEPHORAN");
    // A USB link closes only through the watchdog, a tree-file load or the end.
    EXPECT_TRUE(Grayed(TMainLinks::kAcCloseCom));
    EXPECT_FALSE(Grayed(TMainForm::kAcShowOverview));
    EXPECT_TRUE(Grayed(TMainForm::kAcShowRec));
    tree.Select(chamber);
    EXPECT_TRUE(Grayed(TMainLinks::kAcCloseCom));
    EXPECT_FALSE(Grayed(TMainForm::kAcShowRec));
    EXPECT_FALSE(Grayed(TMainForm::kInfo1));
    EXPECT_EQ(form.InfoWin(), nullptr);
    tree.Select(tree.Root());
    EXPECT_TRUE(Grayed(TMainForm::kAcShowRec));
    EXPECT_TRUE(Grayed(TMainForm::kInfo1));
}

TEST_F(TreeInteractionTest, DoubleClickEnterAndRecorderOpenTheChambersWindow) {
    DoubleClick(chamber);
    EXPECT_EQ(tree.Selected(), chamber);
    ASSERT_EQ(factory.windows.size(), 1u);
    EXPECT_EQ(factory.log.front(), "Create live Chamber 2 - 0054321");
    TFakeRecordWindow& window = *factory.windows[0];
    EXPECT_EQ(ChamberData(chamber)->RecordWindow, &window);

    // Open now: Enter and the menu bring it to the front.
    SendMessageA(Tree(), WM_CHAR, '\r', 0);
    EXPECT_EQ(window.shown, 1);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(TMainForm::kAcShowRec, 0), 0);
    EXPECT_EQ(window.shown, 2);
    EXPECT_EQ(factory.windows.size(), 1u);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(TreeInteractionTest, AWindowWithoutTempFilesIsNotOpened) {
    factory.failAt = "OpenTempFiles";
    DoubleClick(chamber);
    EXPECT_EQ(factory.freed, 1);
    EXPECT_EQ(ChamberData(chamber)->RecordWindow, nullptr);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg.rfind("Cannot creating a temporary file in ", 0), 0u);
}

TEST_F(TreeInteractionTest, AChamberIsRenamedInPlaceFromItsStoredName) {
    tree.SetText(chamber, "* Chamber 2 - 0054321");
    SetFocus(Tree());
    const auto edit = reinterpret_cast<HWND>(
        SendMessageA(Tree(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(ItemOf(chamber))));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowText(edit), "Chamber 2 - 0054321");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 40);
    SetWindowTextA(edit, std::string(45, 'x').c_str());
    SendMessageA(Tree(), TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_EQ(FieldText(ChamberData(chamber)->Name), std::string(40, 'x'));
    EXPECT_EQ(chamber->Text(), "(2) " + std::string(40, 'x'));
    EXPECT_EQ(TreeItemText(Tree(), ItemOf(chamber)), chamber->Text());

    // Only chambers.
    EXPECT_EQ(SendMessageA(Tree(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(ItemOf(instrument))),
              0);
}

TEST_F(TreeInteractionTest, ARecordFileDraggedOntoTheChamberGoesOnThere) {
    TTreeNode* records = tree.AddChild(tree.Root(), sRecords, TRecNodeData{});
    TRecData data;
    data.FileName = "C:\\data\\run.zqr";
    SetFieldText(data.InstrumentId, "0054321");
    TTreeNode* record = tree.AddChild(records, "run.zqr", std::move(data));
    TFakeRecordWindow recordWindow;
    record->As<TRecData>()->RecordWindow = &recordWindow;
    tree.Expand(tree.Root(), true);

    const LPARAM from = ItemPoint(record);
    const LPARAM to = ItemPoint(chamber);
    SendMessageA(Tree(), WM_LBUTTONDOWN, MK_LBUTTON, from);
    EXPECT_EQ(tree.Selected(), record);
    SendMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, from);
    SendMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, to);
    SendMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, to);
    SendMessageA(Tree(), WM_LBUTTONUP, 0, to);
    EXPECT_NE(GetCapture(), Tree());
    EXPECT_TRUE(boxes.Shown.empty()) << "the same instrument: no question";
    ASSERT_EQ(factory.windows.size(), 1u);
    EXPECT_EQ(ChamberData(chamber)->RecordWindow, factory.windows[0].get());
    EXPECT_NE(std::find(factory.log.begin(), factory.log.end(), "LoadRecordFile C:\\data\\run.zqr"),
              factory.log.end());
    EXPECT_EQ(recordWindow.closed, 1);
    EXPECT_EQ(tree.Selected(), chamber);
}

// This test is the running instance; TessalyMC.exe is started a second time.
class HandOverTest : public MainFormTest {
protected:
    void SetUp() override { ASSERT_TRUE(ProcessSingleInstanceInit({})); }
    void TearDown() override {
        ProcessSingleInstanceDone();
        MainFormTest::TearDown();
    }
};

TEST_F(HandOverTest, ASecondStartHandsItsFileOverAndEndsWith183) {
    const TTempFile file("hand over.zqr");
    const std::string program = "\"" + ProgramDir() + "TessalyMC.exe\"";
    struct Case {
        const char* name;
        std::string arguments;
        std::vector<std::string> loaded;
    } cases[] = {
        {"a record file", " \"" + file.Name() + "\" second.zqr", {file.Name()}},
        {"no argument", "", {}},
        {"a file that does not exist", " C:\\no\\such\\file.zqr", {}},
    };
    TTestMainForm form(boxes, registry, api, {});
    ShowWindow(form.Handle(), SW_SHOW);
    PumpUntil([&] { return !form.Ctl().FirstActivation(); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.loaded.clear();
        ShowWindow(form.Handle(), SW_MINIMIZE);
        const TExit exit = RunPumping(program + c.arguments);
        EXPECT_TRUE(exit.ended);
        EXPECT_EQ(exit.code, 183u);
        EXPECT_EQ(form.loaded, c.loaded);
        // Answered: restored and brought to the front.
        EXPECT_FALSE(IsIconic(form.Handle()));
    }
}

// The second start asks every top-level window; one whose thread hangs must not
// hold it beyond its time-out.
TEST_F(HandOverTest, AWindowThatHangsDoesNotHoldTheSecondStart) {
    const TTempFile file("hung window.zqr");
    TTestMainForm form(boxes, registry, api, {});
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> created{false};
    std::thread hung([&] {
        const HWND w = CreateWindowExA(0, "STATIC", "Hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
        created = true;
        WaitForSingleObject(release, 60000); // no messages meanwhile
        DestroyWindow(w);
    });
    PumpUntil([&] { return created.load(); });
    const ULONGLONG start = GetTickCount64();
    const TExit exit = RunPumping("\"" + ProgramDir() + "TessalyMC.exe\" \"" + file.Name() + "\"");
    const ULONGLONG took = GetTickCount64() - start;
    SetEvent(release);
    hung.join();
    CloseHandle(release);
    EXPECT_TRUE(exit.ended) << "still waiting after " << took << " ms";
    EXPECT_EQ(exit.code, 183u);
    EXPECT_EQ(form.loaded, std::vector<std::string>{file.Name()});
}

// The window that answered the broadcast got the command line by a send without
// a bound: when it stopped answering in between, the second start never ended.
TEST_F(HandOverTest, AWindowThatHangsAfterItsAnswerDoesNotHoldTheSecondStart) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> answered{false};
    std::thread first([&] {
        static std::atomic<bool>* gAnswered = &answered;
        WNDCLASSA wc{};
        wc.lpfnWndProc = [](HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
            if (AnswerSecondInstance(W, Msg, WParam)) {
                *gAnswered = true;
                return 0;
            }
            return DefWindowProcA(W, Msg, WParam, LParam);
        };
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "AnswersThenHangs";
        RegisterClassA(&wc);
        const HWND w = CreateWindowExA(0, wc.lpszClassName, "First", WS_OVERLAPPED, 0, 0, 10, 10,
                                       nullptr, nullptr, wc.hInstance, nullptr);
        while (!answered) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
        WaitForSingleObject(release, 60000); // no messages from here on
        DestroyWindow(w);
    });
    const ULONGLONG start = GetTickCount64();
    const TExit exit = RunPumping("\"" + ProgramDir() + "TessalyMC.exe\" x.zqr");
    const ULONGLONG took = GetTickCount64() - start;
    SetEvent(release);
    first.join();
    CloseHandle(release);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(exit.ended) << "still waiting after " << took << " ms";
    EXPECT_EQ(exit.code, 183u);
}

TEST_F(HandOverTest, TheRunningInstanceTakesOnlyItsOwnBlocks) {
    const TTempFile file("copy data.zqr");
    TTestMainForm form(boxes, registry, api, {});
    const std::vector<uint8_t> block = PackCmdLine({file.Name()});
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(block.size());
    data.lpData = const_cast<uint8_t*>(block.data());

    data.dwData = SingleInstanceMessage() + 1;
    SendMessageA(form.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_TRUE(form.loaded.empty());

    data.dwData = SingleInstanceMessage();
    EXPECT_EQ(SendMessageA(form.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
    EXPECT_EQ(form.loaded, std::vector<std::string>{file.Name()});
}

} // namespace
