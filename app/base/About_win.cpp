#include "app/base/About_win.h"

#include "app/base/About_.h"
#include "app/base/Texte_.h"

#include <shellapi.h>

#include <utility>

std::string GetFileVersionText(const std::string& FileName) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(FileName.c_str(), 0, size, block.data()))
        return {};
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\FileVersion",
                        reinterpret_cast<void**>(&text), &length) ||
        !text)
        return {};
    std::string version(text, length);
    version.erase(version.find_last_not_of('\0') + 1);
    return version;
}

TAboutBox::TAboutBox(HWND Owner, std::vector<std::string> Libraries)
    : FOwner(Owner), FLibraries(std::move(Libraries)) {
    TFormArgs args;
    args.ClassName = "TAboutBox";
    args.Caption = sAboutCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    args.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    args.ClientWidth = 433;
    args.ClientHeight = 297;
    args.Parent = Owner;
    if (CreateForm(args))
        FormCreate();
}

void TAboutBox::FormCreate() {
    SetConstraints({441, 331}, {449, 332});
    AddControl("STATIC", "", WS_CLIPSIBLINGS, kPanel, 8, 8, 417, 176, WS_EX_STATICEDGE);
    const HWND image = AddControl("STATIC", "", SS_ICON | SS_NOTIFY, kImage1, 24, 20, 32, 32);
    SendMessageA(image, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_APPLICATION)),
                 0);
    const std::string address = sMakerHomePage;
    AddControl("STATIC", address.substr(address.find("//") + 2), SS_NOTIFY | SS_NOPREFIX,
               kLinkLabel, 16, 60, 124, 14);
    const HWND logo = AddControl("STATIC", sMakerName, SS_CENTER, kLogo, 16, 120, 124, 28);
    LOGFONTA lf{};
    GetObjectA(FormFont(), sizeof lf, &lf);
    lf.lfHeight = lf.lfHeight * 2;
    lf.lfWeight = FW_BOLD;
    FLogoFont.Reset(CreateFontIndirectA(&lf));
    SendMessageA(logo, WM_SETFONT, reinterpret_cast<WPARAM>(FLogoFont.Get()), FALSE);
    AddControl("EDIT", AboutProgramText(), ES_MULTILINE | ES_READONLY, kMemo1, 148, 16, 268, 160);
    AddControl("EDIT", AboutVersionText(FLibraries, GetFileVersionText), ES_MULTILINE | ES_READONLY,
               kMemo2, 8, 192, 320, 40, WS_EX_CLIENTEDGE);
    AddControl("EDIT", "", ES_READONLY | ES_AUTOHSCROLL, kMemo4, 8, 240, 320, 21, WS_EX_CLIENTEDGE);
    AddButton(kOKButton, sMsgDlgOK, 350, 264, 75, 25, mrOk);
    SetDefaultButton(kOKButton);
    SetCancelButton(kOKButton);
}

void TAboutBox::FormShow(int32_t RxQueueSize) {
    SetControlText(kMemo4, RxQueueText(RxQueueSize));
    CenterWindowOn(Handle(), FOwner);
}

int TAboutBox::Execute(int32_t RxQueueSize) {
    FormShow(RxQueueSize);
    return ShowModal();
}

void TAboutBox::Image1Click() {
    ShellExecuteA(Handle(), "open", sMakerHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

bool TAboutBox::OnCommand(int Id, int Code, HWND) {
    if ((Id == kImage1 || Id == kLinkLabel) && Code == STN_CLICKED) {
        Image1Click();
        return true;
    }
    return false;
}

LRESULT TAboutBox::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_SETCURSOR: {
        const HWND over = reinterpret_cast<HWND>(W);
        if (over == Control(kImage1) || over == Control(kLinkLabel)) {
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC: {
        // Memo1 and the link lie on the panel, in its colour.
        const HWND ctl = reinterpret_cast<HWND>(L);
        if (ctl == Control(kMemo1) || ctl == Control(kLinkLabel)) {
            const auto dc = reinterpret_cast<HDC>(W);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            if (ctl == Control(kLinkLabel))
                SetTextColor(dc, RGB(0, 0, 255));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}
