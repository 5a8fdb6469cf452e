// TInfoWin, "Chamber Info": shows what the application knows of one chamber and
// lets the user edit its name and notes (InfoWin_.h decides what is stored).
// Created once at start and shown modally.
#pragma once

#include "app/base/Form_win.h"
#include "app/main/InfoWin_.h"

class TInfoWin : public TForm, private IInfoWinView {
public:
    // Tree: the main window's tree, where the chamber nodes live; TreeView: the
    // control that takes the input focus back when the dialog closes.
    TInfoWin(HWND Owner, TTreeModel& Tree, HWND TreeView);

    TInfoWinCtl& Ctl() { return FCtl; }
    // Shows the dialog modally for the node set last; the modal result.
    int Execute();

    HWND LabeledEditInstr() const { return Control(kLabeledEditInstr); }
    HWND LabeledEditChamber() const { return Control(kLabeledEditChamber); }
    HWND LabeledEditSWVers() const { return Control(kLabeledEditSWVers); }
    HWND LabeledEditSerNum() const { return Control(kLabeledEditSerNum); }
    HWND LabeledEditChmbrName() const { return Control(kLabeledEditChmbrName); }
    HWND MemoNotes() const { return Control(kMemoNotes); }

private:
    enum : int {
        kLabeledEditInstr = 100,
        kLabeledEditChamber,
        kLabeledEditSWVers,
        kLabeledEditSerNum,
        kLabeledEditChmbrName,
        kMemoNotes,
        kButtonOK,
        kButtonCancel,
        kLabelOffset = 100, // + the id of the edit a label belongs to
        kLabel1 = kMemoNotes + kLabelOffset,
    };

    void FormCreate();
    // The input focus goes back to the tree.
    void ReturnFocus();
    void ShowChamber(const TChamberInfoTexts& Texts) override;
    void Layout(int Width, int Height);

    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

    TInfoWinCtl FCtl;
    HWND FTreeView;
};
