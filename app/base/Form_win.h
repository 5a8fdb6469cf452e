// The window and form base of the application's Win32 views.
//
// TWindow: one window procedure for every class of ours. It binds the object to
// its window at WM_NCCREATE (the object pointer in GWLP_USERDATA), forwards every
// message to the virtual OnMessage and lets no exception out (Guard_.h).
//
// TForm: a top-level form, an MDI frame or an MDI child, with child-control
// helpers, an action table whose ids are the command ids of its menu items and
// tool buttons, buttons with modal results, size limits and modal showing.
#pragma once

#include "app/base/Actions_.h"
#include "app/base/MsgDlg_.h"

#include <windows.h>

#include <map>
#include <string>

// Registers the common controls this application uses (progress bar, tool bar) once.
void InitCommonControlsOnce();

// The forms' font: MS Sans Serif 8.
HFONT FormFont();
// A font of Points points on the screen; the caller owns it.
HFONT CreatePointFont(const char* Face, int Points, BYTE CharSet = DEFAULT_CHARSET,
                      BYTE PitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);

// Brings the MDI child Wnd to the front of the documents in its normal state.
void ShowMDIChildNormal(HWND Wnd);

// Centres Wnd on On (a window, or the work area when null); a child window
// within its parent's client area.
void CenterWindowOn(HWND Wnd, HWND On);

class TWindow {
public:
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    // Destroys a window that still exists; it is unbound first, so no message reaches a
    // half-destroyed object.
    virtual ~TWindow();

    HWND Handle() const { return FHandle; }

protected:
    TWindow() = default;

    struct TCreateArgs {
        const char* ClassName = nullptr;
        std::string Caption;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        int X = CW_USEDEFAULT;
        int Y = CW_USEDEFAULT;
        int Width = CW_USEDEFAULT;
        int Height = CW_USEDEFAULT;
        HWND Parent = nullptr; // owner, parent, or the MDI client of an MDI child
        HMENU Menu = nullptr;  // menu, or the control id of a child window
        HBRUSH Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    };
    // Registers Args.ClassName with our procedure on first use and creates the window.
    bool CreateHandle(const TCreateArgs& Args);
    // The same for an MDI child, created by Args.Parent (the MDI client).
    bool CreateMDIChildHandle(const TCreateArgs& Args);

    virtual LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) { return DefaultProc(Msg, W, L); }
    virtual LRESULT DefaultProc(UINT Msg, WPARAM W, LPARAM L);
    // Runs once the window is gone (after WM_NCDESTROY); a self-owned object may delete itself.
    virtual void OnNcDestroy() {}

private:
    static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
    static bool RegisterOnce(const TCreateArgs& Args);

    HWND FHandle = nullptr;
};

enum class TFormStyle { Normal, MDIForm, MDIChild };
enum class TCloseAction { None, Hide, Free };

class TForm : public TWindow {
public:
    struct TFormArgs {
        const char* ClassName = nullptr;
        std::string Caption;
        TFormStyle FormStyle = TFormStyle::Normal;
        DWORD Style = WS_OVERLAPPEDWINDOW;
        DWORD ExStyle = 0;
        int ClientWidth = 0;
        int ClientHeight = 0;
        HWND Parent = nullptr; // owner of a normal form or MDI frame; the MDI client of a child
        HMENU Menu = nullptr;
    };

    // Shows the form with its owner disabled until a button or Close sets the
    // modal result; hides it again and returns the result (mrCancel when closed).
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Result);
    void Show();
    // As the close box does: in a modal loop it ends the loop with mrCancel,
    // else FormClose decides.
    void Close();

    TActionList& Actions() { return FActions; }
    HWND MDIClient() const { return FMDIClient; }

    // Outer size limits, 0 for none; enforced for every kind of window.
    void SetConstraints(SIZE Min, SIZE Max);
    void SetClientSize(int Width, int Height);
    SIZE ClientSize() const;

    // A child control in client pixels with the form's font.
    HWND AddControl(const char* ClassName, const std::string& Text, DWORD Style, int Id, int X,
                    int Y, int Width, int Height, DWORD ExStyle = 0);
    // A push button; clicking it sets the form's modal result when Result is not mrNone.
    HWND AddButton(int Id, const std::string& Caption, int X, int Y, int Width, int Height,
                   int Result = mrNone);
    // The button that Enter presses and that gets the focus when the form is shown modally.
    void SetDefaultButton(int Id);
    // The button that Esc presses; without one, Esc closes a modal form with mrCancel.
    void SetCancelButton(int Id);

    // Kept from the first look: under Wine every GetDlgItem asks the server
    // for the form's children, and a live window looks up its controls for
    // every new sample.
    HWND Control(int Id) const;
    std::string ControlText(int Id) const;
    void SetControlText(int Id, const std::string& Text);

protected:
    TForm() = default;
    bool CreateForm(const TFormArgs& Args);

    // A command that is no action and no modal button; true when handled.
    virtual bool OnCommand(int Id, int Code, HWND Control);
    virtual TCloseAction FormClose() { return TCloseAction::Hide; }

    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;
    LRESULT DefaultProc(UINT Msg, WPARAM W, LPARAM L) override;

private:
    LRESULT HandleCommand(WPARAM W, LPARAM L);
    void Clicked(int Id);

    TFormStyle FFormStyle = TFormStyle::Normal;
    HWND FMDIClient = nullptr;
    TActionList FActions;
    std::map<int, int> FButtonResults;
    mutable std::map<int, HWND> FControls;
    int FDefaultId = 0;
    int FCancelId = 0;
    int FModalResult = mrNone;
    bool FModal = false;
    SIZE FMinSize{0, 0};
    SIZE FMaxSize{0, 0};
};
