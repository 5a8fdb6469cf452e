#include "app/protocol/ProtWin_win.h"

#include "app/base/Tools_.h"
#include "app/main/MdiHost_win.h"
#include "app/protocol/EditProtocolForm_.h"
#include "app/protocol/Esc_P_win.h"
#include "app/protocol/ProtFile_.h"
#include "app/protocol/ProtTree_.h"
#include "app/protocol/ProtWin_.h"
#include "app/protocol/RichText_win.h"
#include "app/settings/Preferences_.h"
#include "app/tree/TreeNodes_.h"
#include "common/WinRes_win.h"

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kStatusParts[] = {50, 150};

HFONT ControlFont() {
    // "MS Sans Serif", 20 pixels.
    static const TFontHandle font(CreateFontA(
        -20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    return font.Get();
}

HFONT StatusFont() {
    static const TFontHandle font(CreatePointFont("Tahoma", 8));
    return font.Get();
}

SIZE TextExtent(HDC Dc, const std::string& Text) {
    SIZE size{};
    GetTextExtentPoint32A(Dc, Text.data(), static_cast<int>(Text.size()), &size);
    return size;
}

int Height(HWND Wnd) {
    RECT r{};
    GetWindowRect(Wnd, &r);
    return r.bottom - r.top;
}

std::string ReadWholeFile(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        throw std::runtime_error(Format(sCannotOpenDocument, FileName.c_str()));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TMDIChildProt* TMDIChildProt::Create(IProtWinOwner& Protocols, IMdiHost& Main) {
    if (!Main.MDIClient())
        return nullptr;
    std::unique_ptr<TMDIChildProt> window(new TMDIChildProt(Protocols, Main));
    if (!window->Handle() || !window->RichEdit1())
        return nullptr;
    window->FOwned = true;
    return window.release();
}

TMDIChildProt::TMDIChildProt(IProtWinOwner& Protocols, IMdiHost& Main)
    : FProtocols(Protocols), FMain(Main) {
    TFormArgs args;
    args.ClassName = "TMDIChildProt";
    args.FormStyle = TFormStyle::MDIChild;
    args.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                 WS_THICKFRAME | WS_VISIBLE;
    args.ClientWidth = kProtClientWidth;
    args.ClientHeight = kProtMaxHeight;
    args.Parent = Main.MDIClient();
    if (CreateForm(args))
        FormCreate();
}

void TMDIChildProt::FormCreate() {
    CreateToolBar();
    const HWND status = AddControl(STATUSCLASSNAMEA, "", 0, kStatusBar1, 0, 0, 0, 0);
    SendMessageA(status, WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont()), FALSE);
    SendMessageA(status, SB_SETPARTS, std::size(kStatusParts),
                 reinterpret_cast<LPARAM>(kStatusParts));
    const HWND edit = CreateRichEdit(Handle(), kRichEdit1,
                                     WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                         ES_AUTOVSCROLL | ES_NOHIDESEL);
    if (!edit)
        return;
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
    SetBackground(0xFFFFFF);
    SetClientSize(kProtClientWidth, kProtMaxHeight);
    RECT r;
    GetWindowRect(Handle(), &r);
    LimitWidth(r.right - r.left);
    FormResize();
    FMain.SetCloseAllEnabled(FMain.MDIChildCount() > 1);
}

void TMDIChildProt::CreateToolBar() {
    const HWND bar =
        AddControl(TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_TOP,
                   kToolBar1, 0, 0, 0, 0);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    const auto text = [bar](const char* Caption) {
        return static_cast<INT_PTR>(
            SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(Caption)));
    };
    const BYTE style = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    TBBUTTON buttons[] = {
        {I_IMAGENONE, IProtWinOwner::kFileSaveAs1, TBSTATE_ENABLED, style, {}, 0, text("Save As")},
        {I_IMAGENONE, IProtWinOwner::kAcPrint, TBSTATE_ENABLED, style, {}, 0, text("Print")},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {I_IMAGENONE, IProtWinOwner::kAcEditProt, TBSTATE_ENABLED, style, {}, 0, text("Edit")},
    };
    SendMessageA(bar, TB_ADDBUTTONSA, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    FActionLinks = std::make_unique<TActionLinks>(FMain.Actions());
    FActionLinks->LinkToolBar(bar);
}

void TMDIChildProt::FormResize() {
    SendMessageA(ToolBar1(), TB_AUTOSIZE, 0, 0);
    SendMessageA(StatusBar1(), WM_SIZE, 0, 0);
    const SIZE client = ClientSize();
    const int top = Height(ToolBar1());
    const int height = static_cast<int>(client.cy) - top - Height(StatusBar1());
    MoveWindow(RichEdit1(), 0, top, client.cx, height > 0 ? height : 0, TRUE);
}

void TMDIChildProt::LimitWidth(int OuterWidth) {
    SetConstraints({0, 0}, {OuterWidth, 0});
}

void TMDIChildProt::SetBackground(uint32_t Color) {
    FBackground = Color;
    SendMessageA(RichEdit1(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(Color));
}

TProtData* TMDIChildProt::ProtData() const {
    return FNode ? FNode->As<TProtData>() : nullptr;
}

void TMDIChildProt::SetCaption(const std::string& Caption) {
    SetWindowTextA(Handle(), Caption.c_str());
}

std::string TMDIChildProt::Caption() const {
    char text[512] = {};
    GetWindowTextA(Handle(), text, sizeof text);
    return text;
}

void TMDIChildProt::SetPanels(const std::string& Interface, const std::string& Chamber) {
    SendMessageA(StatusBar1(), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(Interface.c_str()));
    SendMessageA(StatusBar1(), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(Chamber.c_str()));
}

void TMDIChildProt::AddPrinterText(const uint8_t* Data, int32_t Len, bool Append) {
    RenderPrinterText(Data, Len, Append, RichEdit1());
}

void TMDIChildProt::AddStringlist(const std::vector<std::string>& List, int32_t First,
                                  int32_t Last) {
    if (Last < First)
        FatalError(FMain.Boxes(), Format(sErrorIn, "TMDIChildProt.AddStringlist",
                                         "firststr greater then laststr"));
    if (Last >= static_cast<int32_t>(List.size()))
        FatalError(FMain.Boxes(), Format(sErrorIn, "TMDIChildProt.AddStringlist",
                                         "laststr greater then stringlist.count"));
    SetWindowTextA(RichEdit1(), "");
    for (int32_t i = First; i <= Last; ++i) {
        CaretToEnd(RichEdit1());
        SetProtocolFont(RichEdit1());
        ReplaceSel(RichEdit1(), List[static_cast<std::size_t>(i)] + (i < Last ? "\r\n" : ""));
    }
}

bool TMDIChildProt::FitToText(int32_t MaxHeight) {
    const SIZE before = ClientSize();
    TWindowDC dc(Handle());
    TSelectObject font(dc.Get(), ProtocolScreenFont());
    const int32_t lineHeight = TextExtent(dc.Get(), "[").cy;
    const int32_t height =
        FitClientHeight(CountTextLines(RichEditText(RichEdit1())), lineHeight, MaxHeight);
    const int width = TextExtent(dc.Get(), std::string(kProtColumns, '*')).cx +
                      GetSystemMetrics(SM_CXVSCROLL) + 10;
    SetConstraints({0, 0}, {0, 0});
    SetClientSize(width, height);
    RECT r;
    GetWindowRect(Handle(), &r);
    LimitWidth(r.right - r.left);
    FormResize();
    return ClientSize().cy != before.cy;
}

void TMDIChildProt::CaretToStart() {
    CHARRANGE start{0, 0};
    SendMessageA(RichEdit1(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageA(RichEdit1(), EM_SCROLLCARET, 0, 0);
}

void TMDIChildProt::FormActivate() {
    if (!IsWindowEnabled(FMain.Handle()))
        return;
    FProtocols.WindowActivated(*this);
}

void TMDIChildProt::SaveProtocolFile(const std::string& FileName) {
    TProtData* prot = ProtData();
    TProtFileData data;
    if (prot) {
        data.Head = *prot;
        data.EditDatas = prot->EditDatas;
    }
    data.Rtf = StreamOutRtf(RichEdit1());
    const std::vector<uint8_t> file = BuildProtocolFile(data, NewProtocolKey());
    FProtocols.WriteFile(FileName, file);
    if (prot)
        prot->FileName = FileName;
    const std::string name = ExtractFileName(FileName);
    const std::string base = name.substr(0, name.rfind('.'));
    SetCaption(base);
    if (FNode)
        FMain.Tree().SetText(FNode, base);
    FMain.Actions().SetEnabled(IProtWinOwner::kFileSaveAs1, false);
    FMain.Actions().SetEnabled(IProtWinOwner::kAcEditProt, false);
    SetBackground(kStoredProtColor);
}

bool TMDIChildProt::LoadProtocolFile(const std::string& FileName) {
    SetBackground(kStoredProtColor);
    const std::string bytes = ReadWholeFile(FileName);
    TProtFileData data;
    const bool loaded = ParseProtocolFile(std::vector<uint8_t>(bytes.begin(), bytes.end()), data) &&
                        StreamInRtfOrText(RichEdit1(), data.Rtf);
    if (!loaded) {
        ShowErrorOrWarn(FMain.Boxes(), Format(sCannotOpenDocument, FileName.c_str()), false);
        return false;
    }
    const bool chamber = data.Head.Chamber < 255;
    SetPanels(chamber ? GetInterfaceNameFromCom(FMain.Boxes(), data.Head.InterfaceIndex) : "",
              chamber ? Format(sChamberPanel, data.Head.Chamber) : "");
    DropFieldsOutsideText(data.EditDatas, SplitLines(RichEditText(RichEdit1())));
    if (TProtData* prot = ProtData()) {
        prot->InterfaceIndex = data.Head.InterfaceIndex;
        prot->Chamber = data.Head.Chamber;
        std::memcpy(prot->Reserved, data.Head.Reserved, sizeof prot->Reserved);
        prot->FileName = FileName;
        prot->EditDatas = std::move(data.EditDatas);
    }
    FitToText(kProtMaxHeight);
    CaretToStart();
    FMain.Actions().SetEnabled(IProtWinOwner::kFileSaveAs1, false);
    return true;
}

void TMDIChildProt::Show() {
    ShowMDIChildNormal(Handle());
}

TCloseAction TMDIChildProt::FormClose() {
    if (FNode)
        FMain.Tree().Select(FNode);
    TProtCloseState state;
    state.AutoPrint = gPreferences && gPreferences->AutoPrint;
    state.KeepWindow = gPreferences && gPreferences->KeepWindow;
    state.Caption = Caption();
    state.UnsavedProtCount = GetUnsavedProtCount(FMain.Tree());
    state.MainClosing = FMain.Ctl().Closing();
    const bool closes = ProtCloseQuery(FMain.Boxes(), state, FMain.Ctl().NoToAllProt, [this] {
        Saved = false;
        FProtocols.FileSaveAs1Execute(this);
        return Saved;
    });
    if (!closes)
        return TCloseAction::None;
    if (TProtData* prot = ProtData())
        prot->ProtocolWindow = nullptr;
    DeleteTreeNode(FMain.Tree(), FNode);
    FNode = nullptr;
    // This window still counts.
    FMain.SetCloseAllEnabled(FMain.MDIChildCount() > 2);
    return TCloseAction::Free;
}

bool TMDIChildProt::OnCommand(int Id, int Code, HWND Control) {
    // The tool buttons are the main window's actions.
    if (Control == ToolBar1() && FMain.Actions().Find(Id)) {
        FProtocols.ExecuteFrom(*this, Id);
        return true;
    }
    return TForm::OnCommand(Id, Code, Control);
}

void TMDIChildProt::OnNcDestroy() {
    if (FNode) {
        // Destroyed without its close handler: the node must not point here.
        if (TProtData* prot = ProtData())
            prot->ProtocolWindow = nullptr;
    }
    if (FOwned)
        delete this;
}

LRESULT TMDIChildProt::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(L) == Handle())
            FormActivate();
        break;
    case WM_NCLBUTTONDOWN:
        // A click on the caption of the active window still selects its node.
        if (W == HTCAPTION) {
            SendMessageA(GetParent(Handle()), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle()),
                         0);
            FormActivate();
        }
        break;
    case WM_EXITSIZEMOVE: {
        const LRESULT result = TForm::OnMessage(Msg, W, L);
        // Makes the rich text lay out anew.
        RECT r;
        GetWindowRect(Handle(), &r);
        SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top - 1,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return result;
    }
    case WM_SIZE:
        if (W != SIZE_MINIMIZED)
            FormResize();
        break;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(L);
        if (info->hdr.code == TTN_GETDISPINFOA) {
            info->lpszText = const_cast<char*>(FProtocols.Hint(static_cast<int>(info->hdr.idFrom)));
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}
