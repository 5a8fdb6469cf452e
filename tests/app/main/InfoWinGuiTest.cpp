// The chamber information dialog under Wine: what it shows, what OK, Cancel and
// Esc store, and a chamber that leaves the tree while the dialog is open.
#include "app/main/InfoWin_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/GuiHelpers_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

// A computer with an instrument and its chamber 3; the dialog is owned by a
// plain window standing in for the main window, the tree by a tree view.
class InfoWinTest : public testing::Test {
protected:
    InfoWinTest() {
        owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        treeView = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 100, 20,
                                   owner, nullptr, GetModuleHandleA(nullptr), nullptr);
        TChamberData c;
        c.Kind = nkZephoraChamber;
        c.Chamber = 3;
        SetFieldText(c.SWVers, "V1.02");
        SetFieldText(c.IdPart, "ZEPHORA");
        SetFieldText(c.SerialPart, "0012345");
        SetFieldText(c.Name, "Chamber 3 - 0012345");
        c.InfoText = "first\r\nsecond";
        chamber = tree.AddChild(instrument, "Chamber 3 - 0012345", c);
    }
    ~InfoWinTest() override { DestroyWindow(owner); }

    TTreeModel tree;
    TTreeNode* root = CreateRootNode(tree, "LAB-PC", "anna");
    TTreeNode* instrument = tree.AddChild(root, "COM3 0012345", TInstrumentData{});
    TTreeNode* chamber = nullptr;
    HWND owner = nullptr;
    HWND treeView = nullptr;

    std::string Name() { return FieldText(ChamberData(chamber)->Name); }
    std::string Notes() { return ChamberData(chamber)->InfoText; }
};

// Waits up to a second for Condition, checked in the dialog's thread's terms.
bool WaitFor(const std::function<bool()>& Condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST_F(InfoWinTest, ShowsTheChamberWithTheFocusOnTheNotes) {
    TInfoWin info(owner, tree, treeView);
    info.Ctl().SetNode(chamber);
    bool focusOnNotes = false;
    std::string texts[6];
    LONG_PTR readOnly[4] = {};
    TWindowActor actor("TInfoWin", "Chamber Info", [&](HWND W) {
        focusOnNotes = WaitFor([&] { return FocusOf(W) == info.MemoNotes(); });
        const HWND edits[6] = {info.LabeledEditInstr(),     info.LabeledEditChamber(),
                               info.LabeledEditSWVers(),    info.LabeledEditSerNum(),
                               info.LabeledEditChmbrName(), info.MemoNotes()};
        for (int i = 0; i < 6; ++i)
            texts[i] = WindowText(edits[i]);
        for (int i = 0; i < 4; ++i)
            readOnly[i] = GetWindowLongPtrA(edits[i], GWL_STYLE) & (ES_READONLY | WS_TABSTOP);
        ClickButton(W, "&Cancel");
    });
    EXPECT_EQ(info.Execute(), mrCancel);
    ASSERT_TRUE(actor.Join());
    EXPECT_TRUE(focusOnNotes);
    EXPECT_EQ(texts[0], "ZEPHORA");
    EXPECT_EQ(texts[1], "3");
    EXPECT_EQ(texts[2], "V1.02");
    EXPECT_EQ(texts[3], "0012345");
    EXPECT_EQ(texts[4], "Chamber 3 - 0012345");
    EXPECT_EQ(texts[5], "first\r\nsecond");
    for (LONG_PTR style : readOnly)
        EXPECT_EQ(style, ES_READONLY);
    // Closing hands the focus back to the tree.
    EXPECT_EQ(GetFocus(), treeView);
    EXPECT_EQ(SendMessageA(info.LabeledEditChmbrName(), EM_GETLIMITTEXT, 0, 0), 40);
    RECT r;
    GetWindowRect(info.Handle(), &r);
    EXPECT_GE(r.right - r.left, 297);
    EXPECT_GE(r.bottom - r.top, 283);
}

TEST_F(InfoWinTest, OkStoresNameAndNotesCancelAndEscStoreNothing) {
    struct Case {
        const char* name;
        const char* typedName; // null: the name is not touched
        std::function<void(TInfoWin&, HWND)> close;
        int result;
        std::string storedName;
        std::string nodeText;
        std::string notes;
    } cases[] = {
        {"cancel", "Oven", [](TInfoWin&, HWND W) { ClickButton(W, "&Cancel"); }, mrCancel,
         "Chamber 3 - 0012345", "Chamber 3 - 0012345", "first\r\nsecond"},
        {"esc in the notes", "Oven", [](TInfoWin&, HWND W) { PressKey(W, VK_ESCAPE); }, mrCancel,
         "Chamber 3 - 0012345", "Chamber 3 - 0012345", "first\r\nsecond"},
        {"ok, name untouched", nullptr, [](TInfoWin&, HWND W) { ClickButton(W, "&OK"); }, mrOk,
         "Chamber 3 - 0012345", "Chamber 3 - 0012345", "new notes"},
        {"ok", "Oven", [](TInfoWin&, HWND W) { ClickButton(W, "&OK"); }, mrOk, "Oven", "(3) Oven",
         "new notes"},
        {"ok, 45 characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghi",
         [](TInfoWin&, HWND W) { ClickButton(W, "&OK"); }, mrOk,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd", "(3) ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd",
         "new notes"},
    };
    TInfoWin info(owner, tree, treeView);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tree.SetText(chamber, "Chamber 3 - 0012345");
        SetFieldText(ChamberData(chamber)->Name, "Chamber 3 - 0012345");
        ChamberData(chamber)->InfoText = "first\r\nsecond";
        info.Ctl().SetNode(chamber);
        TWindowActor actor("TInfoWin", "Chamber Info", [&](HWND W) {
            WaitFor([&] { return FocusOf(W) == info.MemoNotes(); });
            if (c.typedName) {
                // Typed, as the edit's own limit applies to typing.
                SendMessageA(info.LabeledEditChmbrName(), EM_SETSEL, 0, -1);
                for (const char* p = c.typedName; *p; ++p)
                    SendMessageA(info.LabeledEditChmbrName(), WM_CHAR, static_cast<BYTE>(*p), 1);
            }
            SetWindowTextA(info.MemoNotes(), "new notes");
            c.close(info, W);
        });
        EXPECT_EQ(info.Execute(), c.result);
        ASSERT_TRUE(actor.Join());
        EXPECT_EQ(Name(), c.storedName);
        EXPECT_EQ(chamber->Text(), c.nodeText);
        EXPECT_EQ(Notes(), c.notes);
    }
}

// The watchdog's timer runs while the dialog is modal and may take the chamber
// away with its lost instrument; OK must not write into the freed record.
TEST_F(InfoWinTest, ChamberDeletedWhileTheDialogIsOpen) {
    TInfoWin info(owner, tree, treeView);
    info.Ctl().SetNode(chamber);
    static TTreeModel* model;
    static TTreeNode* lost;
    static std::atomic<bool> typed;
    static std::atomic<bool> deleted;
    model = &tree;
    lost = instrument;
    typed = deleted = false;
    // A timer of the dialog's thread, as the watchdog's is.
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        if (typed && !deleted) {
            model->Delete(lost);
            deleted = true;
        }
    });
    TWindowActor actor("TInfoWin", "Chamber Info", [&](HWND W) {
        SetWindowTextA(info.LabeledEditChmbrName(), "Oven");
        SetWindowTextA(info.MemoNotes(), "notes");
        typed = true;
        WaitFor([] { return deleted.load(); });
        ClickButton(W, "&OK");
    });
    EXPECT_EQ(info.Execute(), mrOk);
    ASSERT_TRUE(actor.Join());
    KillTimer(nullptr, timer);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(info.Ctl().Node(), nullptr);
    EXPECT_EQ(tree.GetNext(root), nullptr);
}

} // namespace
