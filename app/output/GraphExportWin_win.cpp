#include "app/output/GraphExportWin_win.h"

#include "app/base/Tools_.h"
#include "app/base/Tools_win.h"
#include "app/output/PageCanvas_win.h"

#include <stdexcept>

TEnhMetafile RenderExportPage(const TGraphPageSource& Source, uint8_t Flags) {
    // Set here: from the screen's reference context alone the frame would claim
    // one screen pixel a twip, a picture metres wide.
    const RECT frame{0, 0, MulDivRound(kExportPage.Right, 2540, 1440),
                     MulDivRound(kExportPage.Bottom, 2540, 1440)};
    const HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!dc)
        return TEnhMetafile();
    try {
        TGdiPageCanvas canvas(dc, FormFontFace());
        const TSelectObject brush(dc, GetStockObject(WHITE_BRUSH));
        const TSelectObject pen(dc, GetStockObject(WHITE_PEN));
        Rectangle(dc, kExportPage.Left, kExportPage.Top, kExportPage.Right, kExportPage.Bottom);
        DrawGraphPage(Source, canvas, kExportPage, 1440.0, 1440.0, {0, 0}, Flags);
    } catch (...) {
        DeleteEnhMetaFile(CloseEnhMetaFile(dc));
        throw;
    }
    return TEnhMetafile(CloseEnhMetaFile(dc));
}

void SaveMetafile(HENHMETAFILE Metafile, const std::string& FileName) {
    const std::string temp = FileName + ".tmp";
    const HENHMETAFILE written = CopyEnhMetaFileA(Metafile, temp.c_str());
    bool ok = written != nullptr;
    if (written)
        DeleteEnhMetaFile(written);
    ok = ok && MoveFileExA(temp.c_str(), FileName.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileA(temp.c_str());
        throw std::runtime_error(Format(sCannotWriteFile, FileName.c_str()));
    }
}

bool CopyMetafileToClipboard(HWND Owner, HENHMETAFILE Metafile) {
    if (!OpenClipboard(Owner))
        return false;
    EmptyClipboard();
    // The clipboard owns and frees what it is given: never the window's own.
    const HENHMETAFILE copy = CopyEnhMetaFileA(Metafile, nullptr);
    const bool ok = copy && SetClipboardData(CF_ENHMETAFILE, copy);
    if (copy && !ok)
        DeleteEnhMetaFile(copy);
    CloseClipboard();
    return ok;
}

TGraphExportWin::TGraphExportWin(HWND Owner, IRegistryStore& Registry, IMessageBoxes& Boxes)
    : FRegistry(Registry), FBoxes(Boxes) {
    TFormArgs args;
    args.ClassName = "TGraphExportWin";
    args.Caption = "GraphExportWin";
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    args.ExStyle = WS_EX_DLGMODALFRAME;
    args.ClientWidth = 305;
    args.ClientHeight = 81;
    args.Parent = Owner;
    CreateForm(args);
    const DWORD box = BS_AUTOCHECKBOX | WS_TABSTOP;
    AddControl("BUTTON", "Add series &names", box, kCheckBoxSerNam, 8, 8, 140, 17);
    AddControl("BUTTON", "Add numeric &values", box, kCheckBoxNumVal, 8, 28, 140, 17);
    AddControl("BUTTON", "Add &titel", box, kCheckBoxTitel, 156, 8, 140, 17);
    AddControl("BUTTON", "Add scale &properties", box, kCheckBoxScale, 156, 28, 140, 17);
    AddButton(kButtonCopyClpBrd, "Copy to &Clipboard", 8, 52, 110, 23);
    AddButton(kButtonSave, "&Save...", 126, 52, 80, 23);
    AddButton(kButtonCancel, "&Cancel", 214, 52, 83, 23, mrCancel);
    SetCancelButton(kButtonCancel);
    SetChecked(kCheckBoxSerNam, true);
    SetChecked(kCheckBoxTitel, true);
    SetChecked(kCheckBoxScale, true);
}

int TGraphExportWin::Execute(const TGraphPageSource& Source) {
    FSource = &Source;
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
    FormShow();
    const int result = ShowModal();
    FSource = nullptr;
    return result;
}

void TGraphExportWin::FormShow() {
    const TExportOptions o = LoadExportOptions(FRegistry);
    SetChecked(kCheckBoxSerNam, o.SerNam);
    SetChecked(kCheckBoxNumVal, o.NumVal);
    SetChecked(kCheckBoxTitel, o.Titel);
    SetChecked(kCheckBoxScale, o.Scale);
}

void TGraphExportWin::RenderPage() {
    if (!FSource)
        return;
    FMetafile = RenderExportPage(*FSource,
                                 ExportPageFlags(Checked(kCheckBoxSerNam), Checked(kCheckBoxNumVal),
                                                 Checked(kCheckBoxTitel), Checked(kCheckBoxScale)));
}

void TGraphExportWin::ButtonCopyClpBrdClick() {
    RenderPage();
    if (FMetafile)
        CopyMetafileToClipboard(Handle(), FMetafile.Get());
    StoreRegVals();
}

void TGraphExportWin::ButtonSaveClick() {
    RenderPage();
    std::string fileName;
    if (!FMetafile || !RunSaveDialog(fileName))
        return;
    // The dialog's last messages go to a disabled window (window procedures let
    // no exception out).
    EnableWindow(Handle(), FALSE);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EnableWindow(Handle(), TRUE);
    try {
        SaveMetafile(FMetafile.Get(), fileName);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FBoxes, e.what(), false);
        return;
    }
    StoreRegVals();
    SetModalResult(mrOk);
}

void TGraphExportWin::StoreRegVals() {
    StoreExportOptions(FRegistry, {Checked(kCheckBoxSerNam), Checked(kCheckBoxNumVal),
                                   Checked(kCheckBoxTitel), Checked(kCheckBoxScale)});
}

bool TGraphExportWin::OnCommand(int Id, int Code, HWND Control) {
    if (Code != BN_CLICKED)
        return TForm::OnCommand(Id, Code, Control);
    switch (Id) {
    case kButtonCopyClpBrd:
        ButtonCopyClpBrdClick();
        return true;
    case kButtonSave:
        ButtonSaveClick();
        return true;
    default:
        return TForm::OnCommand(Id, Code, Control);
    }
}

bool TGraphExportWin::Checked(int Id) const {
    return SendMessageA(Control(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TGraphExportWin::SetChecked(int Id, bool Checked) {
    SendMessageA(Control(Id), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TGraphExportWin::RunSaveDialog(std::string& FileName) {
    if (FSaveDialog)
        return FSaveDialog(FileName);
    return RunSaveFileDialog(Handle(), sEmfFilter, "emf", FileName);
}
