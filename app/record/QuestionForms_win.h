// The two small forms of a record window, each made once and reused:
// TOverwriteAppendWin asks whether a new recording replaces or extends the
// window's data; TInfoBox shows a notice without blocking the program.
#pragma once

#include "app/base/Form_win.h"
#include "app/record/QuestionLayout_.h"
#include "app/record/TempRestore_.h"
#include "common/WinRes_win.h"

#include <string>

// A form with the question icon at 11, 11 and a self-sizing label in Tahoma 8.
class TQuestionForm : public TForm {
public:
    HWND Label1() const { return Control(kLabel1); }

protected:
    enum : int { kImage1 = 100, kLabel1 };

    bool CreateQuestionForm(const char* ClassName, HWND Owner, int ClientWidth);
    // Label1 := Text, sized to it; returns its size.
    SIZE SetLabel(const std::string& Text);
    void PlaceButton(int Id, int Left, int Top);

private:
    TFontHandle FFont;
};

class TOverwriteAppendWin : public TQuestionForm {
public:
    explicit TOverwriteAppendWin(HWND Owner);
    // The question; the form lays itself out again for it.
    void SetMessage(const std::string& Text);
    void SetAppendEnabled(bool Enabled) { EnableWindow(ButtonAppend(), Enabled); }

    HWND ButtonOverwrite() const { return Control(kOverwrite); }
    HWND ButtonAppend() const { return Control(kAppend); }
    HWND ButtonCancel() const { return Control(kCancel); }

private:
    enum : int { kOverwrite = 200, kAppend, kCancel };
    void FormCreate();
};

class TInfoBox : public TQuestionForm, public IInfoBox {
public:
    explicit TInfoBox(HWND Owner);
    // Shows Text, or replaces the text of the box already shown.
    void ShowInfo(const std::string& Text) override;

    HWND ButtonOK() const { return Control(kOK); }

private:
    enum : int { kOK = 200 };
    bool OnCommand(int Id, int Code, HWND Control) override;
    HWND FOwner;
};
