// Protocols end to end under Wine: the simulator on COM28 sends protocol
// events with bold escapes, the degree byte and dotted fields through the real
// libraries; each opens a protocol window under the tree's Protocols folder. A
// field filled in the value editor, the protocol saved as a .zqp, closed and
// opened again reads the same, with its fields, on the light yellow of a stored
// protocol.
#include "app/instruments/LinkApi_win.h"
#include "app/main/MainForm_win.h"
#include "app/protocol/EditProtocolForm_.h"
#include "app/protocol/Protocols_win.h"
#include "app/protocol/ProtWin_.h"
#include "app/protocol/RichText_win.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"
#include "tests/support/WineTestSupport_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 28;
// What the instrument prints: a bold title, a temperature with the printer's
// degree sign, a field on a line of its own and two on one line.
constexpr char kProtocolLine[] = "protocol 0x101/3 \\x1bEActual Protocol\\x1bF\\r\\n"
                                 "Temp 25.00\\xf8C\\r\\n"
                                 "Operator ........\\r\\n"
                                 "Sample ...... Lot .....\\r\\n";

bool ControlSim(const std::string& Text) {
    const char* ports = std::getenv("QUORX_PORTS_DIR");
    return ports &&
           SimControlFile(WinePath(std::string(ports) + "/control" + std::to_string(kPort)), Text);
}

// The effects of the character at Pos of RichEdit's text.
CHARFORMAT2A FormatAt(HWND RichEdit, LONG Pos) {
    CHARRANGE range{Pos, Pos + 1};
    SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2A cf = SelCharFormat(RichEdit);
    CHARRANGE none{0, 0};
    SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
    return cf;
}

// The position of Text in the control's own counting (one per line break).
LONG Find(HWND RichEdit, const char* Text) {
    FINDTEXTEXA find{{0, -1}, Text, {0, 0}};
    return static_cast<LONG>(SendMessageA(RichEdit, EM_FINDTEXTEX, FR_DOWN | FR_MATCHCASE,
                                          reinterpret_cast<LPARAM>(&find)));
}

std::string StatusText(HWND StatusBar, int Part) {
    char text[128] = {};
    SendMessageA(StatusBar, SB_GETTEXTA, static_cast<WPARAM>(Part), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> ProtocolNodes(TTreeModel& Tree) {
    std::vector<std::string> texts;
    const TTreeNode* folder = Tree.ProtocolsFolder();
    for (int32_t i = 0; folder && i < folder->Count(); ++i)
        texts.push_back(folder->Item(i)->Text());
    return texts;
}

TEST(ProtocolsEndToEnd, EventsOpenWindowsAFilledFieldIsSavedAndReadBack) {
    if (!std::getenv("QUORX_SIM_PTY"))
        GTEST_SKIP() << "no simulator (run through with-com-port)";
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TWinLinkApi api;
    auto form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
    ShowWindow(form->Handle(), SW_SHOW);
    TProtocols protocols(*form);
    form->Links().SetNewProtocolWindow([&](const std::string& Title, int32_t Chamber,
                                           TDevIndex DeviceIndex, const uint8_t* Data,
                                           int32_t Len) {
        protocols.NewProtocolWindow(Title, Chamber, DeviceIndex, Data, Len, true);
    });
    ASSERT_EQ(form->Links().Ctl().Connection.ReopenComPort(kPort), TReopenAnswer::Next);
    TTreeModel& tree = form->Tree();

    // One protocol event: a window and its node.
    ASSERT_TRUE(ControlSim(kProtocolLine));
    ASSERT_GE(WaitFor(10000, [&] { return ProtocolNodes(tree).size() == 1; }), 0);
    EXPECT_EQ(ProtocolNodes(tree), std::vector<std::string>{"* Actual Protocol"});
    TTreeNode* node = tree.ProtocolsFolder()->Item(0);
    auto* window = static_cast<TMDIChildProt*>(node->As<TProtData>()->ProtocolWindow);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Caption(), "* Actual Protocol");
    EXPECT_EQ(StatusText(window->StatusBar1(), 0), "COM28");
    EXPECT_EQ(StatusText(window->StatusBar1(), 1), "Chamber 3");
    const HWND edit = window->RichEdit1();
    EXPECT_EQ(RichEditText(edit), "Actual Protocol\r\nTemp 25.00\xB0"
                                  "C\r\nOperator ........\r\n"
                                  "Sample ...... Lot .....\r\n");
    EXPECT_TRUE(FormatAt(edit, Find(edit, "Actual")).dwEffects & CFE_BOLD);
    const CHARFORMAT2A temp = FormatAt(edit, Find(edit, "Temp"));
    EXPECT_FALSE(temp.dwEffects & CFE_BOLD);
    EXPECT_STREQ(temp.szFaceName, "Courier New");
    EXPECT_EQ(temp.yHeight, 160);
    EXPECT_EQ(window->Background(), 0xFFFFFFu);
    // Four lines and two more, each two pixels taller than the font.
    RECT client;
    GetClientRect(window->Handle(), &client);
    EXPECT_LT(client.bottom, 550);
    EXPECT_TRUE(form->Actions().Find(TProtocols::kAcEditProt)->Enabled);
    EXPECT_TRUE(form->Actions().Find(TProtocols::kFileSaveAs1)->Enabled);

    // A second one of the same kind.
    ASSERT_TRUE(ControlSim(std::string(kProtocolLine) + "# again\n"));
    ASSERT_GE(WaitFor(10000, [&] { return ProtocolNodes(tree).size() == 2; }), 0);
    EXPECT_EQ(ProtocolNodes(tree),
              (std::vector<std::string>{"* Actual Protocol", "* Actual Protocol - 1"}));

    // The value editor: the operator typed over the dots, cut at its eight.
    tree.Select(node);
    TWindowActor typist("TEditProtForm", sEditProtCaption, [](HWND Dialog) {
        const HWND grid = FindWindowExA(Dialog, nullptr, "TStringGrid", nullptr);
        const HWND editor = FindWindowExA(grid, nullptr, "EDIT", nullptr);
        SendMessageA(editor, EM_SETSEL, 0, -1);
        for (const char c : std::string("Smith-Jones"))
            SendMessageA(editor, WM_CHAR, static_cast<WPARAM>(c), 1);
        ClickButton(Dialog, "&OK");
    });
    protocols.AcEditProtExecute();
    ASSERT_TRUE(typist.Join()) << "no value editor";
    const std::string filled = RichEditText(edit);
    EXPECT_EQ(filled, "Actual Protocol\r\nTemp 25.00\xB0"
                      "C\r\nOperator Smith-Jo\r\n"
                      "Sample ...... Lot .....\r\n");
    EXPECT_TRUE(FormatAt(edit, Find(edit, "Smith")).dwEffects & CFE_ITALIC);
    EXPECT_FALSE(FormatAt(edit, Find(edit, "Operator")).dwEffects & CFE_ITALIC);
    const TEditDatas fields = node->As<TProtData>()->EditDatas;
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(ShortString(fields[0].Value), "Smith-Jo");

    // Saved as a .zqp: the window and node are named after the file.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "protocol-e2e.zqp";
    DeleteFileA(file.c_str());
    std::string proposed;
    protocols.SetSaveDialog([&](std::string& FileName) {
        proposed = FileName;
        FileName = file;
        return true;
    });
    protocols.FileSaveAs1Execute(window);
    EXPECT_EQ(proposed, "Actual Protocol");
    EXPECT_TRUE(window->Saved);
    EXPECT_EQ(window->Caption(), "protocol-e2e");
    EXPECT_EQ(node->Text(), "protocol-e2e");
    EXPECT_EQ(window->Background(), kStoredProtColor);
    EXPECT_FALSE(form->Actions().Find(TProtocols::kFileSaveAs1)->Enabled);

    // Closed without a question, opened again: the same text and fields.
    window->Close();
    PumpMessages();
    EXPECT_EQ(ProtocolNodes(tree), std::vector<std::string>{"* Actual Protocol - 1"});
    TMDIChildProt* reopened = protocols.OpenProtocolFile(file);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->Caption(), "protocol-e2e");
    EXPECT_EQ(RichEditText(reopened->RichEdit1()), filled);
    EXPECT_TRUE(FormatAt(reopened->RichEdit1(), Find(reopened->RichEdit1(), "Smith")).dwEffects &
                CFE_ITALIC);
    EXPECT_TRUE(FormatAt(reopened->RichEdit1(), Find(reopened->RichEdit1(), "Actual")).dwEffects &
                CFE_BOLD);
    EXPECT_EQ(reopened->Background(), kStoredProtColor);
    EXPECT_EQ(StatusText(reopened->StatusBar1(), 0), "COM28");
    EXPECT_EQ(StatusText(reopened->StatusBar1(), 1), "Chamber 3");
    const TProtData* back = reopened->ProtData();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->FileName, file);
    ASSERT_EQ(back->EditDatas.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(std::memcmp(&back->EditDatas[i], &fields[i], sizeof(TEditData)), 0) << i;
    EXPECT_FALSE(form->Actions().Find(TProtocols::kAcEditProt)->Enabled);
    EXPECT_TRUE(boxes.Shown.empty());

    // The unsaved one asks; No closes it.
    boxes.Script.push_back({mrNo, false});
    reopened->Close();
    auto* second = static_cast<TMDIChildProt*>(
        tree.ProtocolsFolder()->Item(0)->As<TProtData>()->ProtocolWindow);
    second->Close();
    PumpMessages();
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Msg, "Do you want to save the protocol Actual Protocol - 1?");
    EXPECT_EQ(tree.ProtocolsFolder(), nullptr);
    DeleteFileA(file.c_str());
    DestroyWindow(form->Handle());
    PumpMessages();
}

} // namespace
