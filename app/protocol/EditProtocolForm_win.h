// TEditProtForm, "Type in editable values": the dotted fields of a protocol in
// a grid of captions and values, each value no longer than its dots. Created
// once and reused; the main window's Edit Protocol runs BuildFields, the dialog
// and, on OK, ApplyFields.
#pragma once

#include "app/base/Form_win.h"
#include "app/base/StringGrid_win.h"
#include "app/tree/TreeTypes_.h"

#include <memory>
#include <vector>

class TEditProtForm : public TForm {
public:
    enum : int { kStringGrid1 = 100, kButtonOK, kButtonCancel };

    explicit TEditProtForm(HWND Owner);

    TStringGrid& StringGrid1() { return *FGrid; }

    // Fills the grid from Fields, finding them in RichEdit's text first when
    // there are none; the number of fields.
    int32_t BuildFields(HWND RichEdit, TEditDatas& Fields);
    // Writes the grid's values into the text, in italics, and into Fields.
    void ApplyFields(HWND RichEdit, TEditDatas& Fields);
    // Sizes the form around the grid and runs it; mrOk or mrCancel.
    int Execute();

    // A key typed into a value: dropped with a beep when the value is full.
    void StringGrid1KeyPress(char& Key);

private:
    void FormShow();

    std::unique_ptr<TStringGrid> FGrid;
    std::vector<int32_t> FCellData; // each value row's longest value
    SIZE FGridMax{0, 0};
};
