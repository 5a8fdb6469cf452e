#include "app/base/Progress_win.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"
#include "common/WinRes_win.h"

#include <commctrl.h>

namespace {

constexpr int kLeft = 8;
constexpr int kBarHeight = 17;

} // namespace

TProgressForm* TProgressForm::Create(HWND MDIClient) {
    InitCommonControlsOnce();
    auto* form = new TProgressForm;
    TFormArgs args;
    args.ClassName = "TProgressForm";
    args.Caption = sImportProgress;
    args.FormStyle = TFormStyle::MDIChild;
    args.Style = WS_CHILD | WS_CAPTION | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    args.ExStyle = WS_EX_DLGMODALFRAME;
    args.ClientWidth = 241;
    args.ClientHeight = 49;
    args.Parent = MDIClient;
    if (!form->CreateForm(args)) {
        delete form;
        return nullptr;
    }
    form->FCreated = true;
    form->FormCreate();
    return form;
}

void TProgressForm::OnNcDestroy() {
    // A window whose creation failed is freed by Create.
    if (FCreated)
        delete this;
}

void TProgressForm::FormCreate() {
    SetConstraints({249, 83}, {0, 0});
    AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, kLabel1, kLeft, kLeft, 225, 13);
    const SIZE client = ClientSize();
    AddControl(PROGRESS_CLASSA, "", 0, kProgressBar1, kLeft, client.cy - kLeft - kBarHeight,
               client.cx - 2 * kLeft, kBarHeight);
    CenterWindowOn(Handle(), nullptr);
}

bool TProgressForm::ShowFileName(const std::string& FileName) {
    const std::string name = ExtractFileName(FileName);
    SetControlText(kLabel1, name);
    SIZE text{0, 0};
    {
        TWindowDC dc(Label1());
        TSelectObject font(dc.Get(), FormFont());
        GetTextExtentPoint32A(dc.Get(), name.c_str(), static_cast<int>(name.size()), &text);
    }
    MoveWindow(Label1(), kLeft, kLeft, text.cx, 13, TRUE);
    const int height = ClientSize().cy;
    SetClientSize(0, height);
    const int minimum = ClientSize().cx;
    const int wanted = text.cx + 2 * kLeft;
    SetClientSize(wanted, height);
    UpdateWindow(Label1());
    return wanted > minimum;
}

void TProgressForm::SetMax(int32_t Max) {
    SendMessageA(ProgressBar1(), PBM_SETRANGE32, 0, Max);
}

void TProgressForm::SetPosition(int32_t Position) {
    SendMessageA(ProgressBar1(), PBM_SETPOS, static_cast<WPARAM>(Position), 0);
}

LRESULT TProgressForm::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_SIZE) {
        // The bar is anchored left, right and bottom.
        const int width = LOWORD(L);
        const int height = HIWORD(L);
        MoveWindow(ProgressBar1(), kLeft, height - kLeft - kBarHeight, width - 2 * kLeft,
                   kBarHeight, TRUE);
    }
    return TForm::OnMessage(Msg, W, L);
}
