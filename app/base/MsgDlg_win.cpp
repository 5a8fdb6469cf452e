#include "app/base/MsgDlg_win.h"

#include "app/base/Form_win.h"
#include "common/WinRes_win.h"

#include <algorithm>

namespace {

constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kIconId = 90;
constexpr int kTextId = 91;
constexpr int kCheckBoxId = 92;
constexpr int kFirstButtonId = 100; // + button kind

LPCSTR IconOf(TMsgDlgType DlgType) {
    switch (DlgType) {
    case mtWarning:
        return IDI_WARNING;
    case mtError:
        return IDI_ERROR;
    case mtInformation:
        return IDI_INFORMATION;
    case mtConfirmation:
        return IDI_QUESTION;
    case mtCustom:
        break;
    }
    return nullptr;
}

SIZE TextExtent(HDC DC, const std::string& Text) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &size);
    return size;
}

class TMessageForm : public TForm {
public:
    TMessageForm(const TMsgDlgRequest& Request, HWND Owner) {
        TFormArgs args;
        args.ClassName = kMessageFormClass;
        args.Caption = Request.Caption;
        args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        args.ExStyle =
            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (Request.StayOnTop ? WS_EX_TOPMOST : 0);
        args.Parent = Owner;
        if (CreateForm(args))
            Layout(Request);
    }

    TMsgDlgAnswer Run() {
        TMsgDlgAnswer answer;
        if (!Handle())
            return answer;
        answer.Result = ShowModal();
        if (const HWND box = Control(kCheckBoxId))
            answer.Checked = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        return answer;
    }

private:
    void Layout(const TMsgDlgRequest& R) {
        TWindowDC dc(Handle());
        TSelectObject font(dc.Get(), FormFont());
        RECT text{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
        DrawTextA(dc.Get(), R.Msg.c_str(), -1, &text,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        const LPCSTR icon = IconOf(R.DlgType);
        const int textLeft = kMargin + (icon ? kIconSize + kMargin : 0);
        const int n = static_cast<int>(R.Buttons.size());
        const int buttonsWidth = n > 0 ? n * kButtonWidth + (n - 1) * kButtonGap : 0;
        const int th = TextExtent(dc.Get(), "Wg").cy;
        const int boxWidth = TextExtent(dc.Get(), R.CheckBox).cx + 2 * th;
        int width = std::max<int>(textLeft + text.right + kMargin, buttonsWidth + 2 * kMargin);
        if (!R.CheckBox.empty())
            width = std::max(width, 8 + boxWidth + kMargin);
        const int buttonTop = kMargin + std::max<int>(icon ? kIconSize : 0, text.bottom) + kMargin;
        int height = buttonTop + kButtonHeight + kMargin;

        if (icon) {
            const HWND picture =
                AddControl("STATIC", "", SS_ICON, kIconId, kMargin, kMargin, kIconSize, kIconSize);
            SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, icon)),
                         0);
        }
        AddControl("STATIC", R.Msg, SS_LEFT | SS_NOPREFIX, kTextId, textLeft, kMargin, text.right,
                   text.bottom);
        int x = (width - buttonsWidth) / 2;
        bool hasOK = false;
        for (int i = 0; i < n; ++i) {
            const TMsgDlgButton& b = R.Buttons[static_cast<std::size_t>(i)];
            const int id = kFirstButtonId + b.Kind;
            AddButton(id, b.Caption, x, buttonTop, kButtonWidth, kButtonHeight, b.Result);
            if (i == R.DefaultButton)
                SetDefaultButton(id);
            hasOK = hasOK || b.Kind == mbOK;
            x += kButtonWidth + kButtonGap;
        }
        // The check box sits below the buttons, as high as a line of text.
        if (!R.CheckBox.empty()) {
            height = hasOK ? buttonTop + kButtonHeight + th + 10 : 169;
            AddControl("BUTTON", R.CheckBox, BS_AUTOCHECKBOX | WS_TABSTOP, kCheckBoxId, 8,
                       height - (th + 5), boxWidth, th);
        }
        SetClientSize(width, height);
    }
};

} // namespace

TMsgDlgAnswer TWinMessageBoxes::ShowDialog(const TMsgDlgRequest& Request) {
    HWND owner = FOwner && IsWindow(FOwner) ? FOwner : GetActiveWindow();
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    TMessageForm form(Request, owner);
    if (form.Handle())
        CenterWindowOn(form.Handle(), Request.Position == poOwnerFormCenter ? owner : nullptr);
    return form.Run();
}
