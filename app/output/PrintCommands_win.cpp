#include "app/output/PrintCommands_win.h"

#include "app/base/Tools_.h"
#include "app/base/Tools_win.h"
#include "app/main/MainForm_win.h"
#include "app/output/Print_win.h"
#include "app/tree/TreeTypes_.h"

#include <commdlg.h>

#include <cstring>
#include <stdexcept>

namespace {

using TGlobalBlock = TScoped<HGLOBAL, GlobalFree>;

TGlobalBlock GlobalCopy(const void* Data, std::size_t Size) {
    TGlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, Size));
    if (block) {
        if (void* p = GlobalLock(block.Get())) {
            std::memcpy(p, Data, Size);
            GlobalUnlock(block.Get());
        }
    }
    return block;
}

// DEVNAMES of a printer: the offsets of driver, device and port texts after it.
TGlobalBlock DevNames(const TPrinterConfig& C) {
    std::vector<char> bytes(sizeof(DEVNAMES));
    DEVNAMES names{};
    const auto add = [&](const std::string& Text) {
        const auto at = static_cast<WORD>(bytes.size());
        bytes.insert(bytes.end(), Text.begin(), Text.end());
        bytes.push_back('\0');
        return at;
    };
    names.wDriverOffset = add(C.Driver);
    names.wDeviceOffset = add(C.Device);
    names.wOutputOffset = add(C.Port);
    std::memcpy(bytes.data(), &names, sizeof names);
    return GlobalCopy(bytes.data(), bytes.size());
}

// The printer the dialog chose, from its DEVNAMES and DEVMODE blocks.
TPrinterConfig ChosenPrinter(HGLOBAL Names, HGLOBAL Mode) {
    TPrinterConfig c;
    if (const auto* n = static_cast<const DEVNAMES*>(GlobalLock(Names))) {
        const char* base = reinterpret_cast<const char*>(n);
        c.Driver = base + n->wDriverOffset;
        c.Device = base + n->wDeviceOffset;
        c.Port = base + n->wOutputOffset;
        GlobalUnlock(Names);
    }
    if (const auto* m = static_cast<const uint8_t*>(GlobalLock(Mode))) {
        const auto* mode = reinterpret_cast<const DEVMODEA*>(m);
        c.DeviceMode.assign(m, m + mode->dmSize + mode->dmDriverExtra);
        GlobalUnlock(Mode);
    }
    return c;
}

} // namespace

TPrintCommands::TPrintCommands(IMdiHost& Main, TProtocols& Protocols, TPreferences& Preferences,
                               IPrinterObject& Printer, ISetupFiles& Files,
                               IRegistryStore& Registry)
    : FMain(Main), FProtocols(Protocols), FPrefs(Preferences), FPrinter(Printer), FFiles(Files),
      FPrinting(!Printer.DefaultDevice().empty()), FPreview(Main.Handle(), Registry, *this) {
    AddMenuItems(FPrinting);
    const auto action = [this](int Id, const char* Caption, bool Enabled, auto Execute) {
        FMain.Actions().Add({Id, Caption, {}, Enabled, false, Execute});
    };
    if (FPrinting) {
        action(IMdiHost::kAcPrint, "&Print", false, [this] { AcPrintExecute(); });
        action(IMdiHost::kFilePageSetup1, "Page Set&up...", false,
               [this] { FilePageSetup1Execute(); });
        action(IMdiHost::kFilePrintSetup1, "P&rinter Setup...", false,
               [this] { FilePrintSetup1Execute(); });
        action(IMdiHost::kPrintPreview1, "Print Pre&view", false, [this] { PrintPreview1Click(); });
        FProtocols.SetPrinter(this);
    }
    action(kAcExpGrph, "Export &Graph", true, [this] { AcExpGrphExecute(); });
}

TPrintCommands::~TPrintCommands() {
    FProtocols.SetPrinter(nullptr);
}

void TPrintCommands::AddMenuItems(bool Printing) {
    const HMENU menu = GetMenu(FMain.Handle());
    if (!menu)
        return;
    const HMENU file = GetSubMenu(menu, 0);
    const auto before = [file](UINT Id, const char* Text) {
        InsertMenuA(file, TMainForm::kAcCloseAll, MF_BYCOMMAND | MF_STRING, Id, Text);
    };
    if (Printing) {
        before(IMdiHost::kAcPrint, "&Print");
        before(IMdiHost::kFilePageSetup1, "Page Set&up...");
        before(IMdiHost::kFilePrintSetup1, "P&rinter Setup...");
        before(IMdiHost::kPrintPreview1, "Print Pre&view");
    }
    before(kAcExpGrph, "Export &Graph");
    InsertMenuA(file, TMainForm::kAcCloseAll, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
    DrawMenuBar(FMain.Handle());
}

TPrintCommands::TDoc TPrintCommands::SelectedDoc() const {
    const TTreeNode* node = FMain.Tree().Selected();
    if (!node)
        return TDoc::None;
    if (node->Kind() == nkProtocol)
        return TDoc::Protocol;
    return RecordWindowOf(node) ? TDoc::Graph : TDoc::None;
}

void TPrintCommands::LoadSetup(TPrintKind Kind) {
    if (Kind == TPrintKind::Protocol)
        LoadProtSetup(FPrinter, FFiles, FMain.Boxes(), FPrefs.TempFileDir + kPrintProtTmp);
    else
        LoadGraphSetup(FPrinter, FFiles, FMain.Boxes(), FPrefs.TempFileDir + kPrintGraphTmp);
}

TPrinterMetrics TPrintCommands::PrinterMetrics() {
    try {
        TPrintDevice device(FPrinter);
        return device.Metrics();
    } catch (const EPrintError&) {
        return {};
    }
}

void TPrintCommands::SetPageRect(const TPageMargins& Margins) {
    FPageRect = PageRectOf(Margins, PrinterMetrics());
}

void TPrintCommands::AcPrintExecute() {
    switch (SelectedDoc()) {
    case TDoc::Protocol:
        FProtocols.AcPrintExecute();
        break;
    case TDoc::Graph:
        PrintGraphOf(*RecordWindowOf(FMain.Tree().Selected()));
        break;
    case TDoc::None:
        break;
    }
}

void TPrintCommands::PrintProtocol(TMDIChildProt& Window) {
    const HWND richEdit = Window.RichEdit1();
    WithTextSize(richEdit, FPrefs.TextSize, [&] {
        LoadSetup(TPrintKind::Protocol);
        SetPageRect(FPrefs.ProtMargins);
        TPrintDevice device(FPrinter);
        PrintRichText(richEdit, device, FPageRect, RemoveUnsavedMark(Window.Caption()));
    });
}

void TPrintCommands::PrintGraphOf(TMDIChildRec& Window) {
    try {
        LoadSetup(TPrintKind::Graph);
        SetPageRect(FPrefs.GraphMargins);
        const std::string caption = WindowCaption(Window.Handle());
        const bool stored = Window.Node().Kind() == nkRecordFile;
        const TPrintOptions options = FPreview.Options();
        TPrintDevice device(FPrinter);
        PrintGraph(GraphPageSourceOf(Window), device, FPageRect,
                   stored ? caption : RemoveUnsavedMark(caption),
                   PrintPageFlags(options.SerNam, options.NumVal));
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FMain.Boxes(), e.what(), false);
    }
}

void TPrintCommands::PrintPreview1Click() {
    TMDIChildRec* window = RecordWindowOf(FMain.Tree().Selected());
    if (!window)
        return;
    LoadSetup(TPrintKind::Graph);
    SetPageRect(FPrefs.GraphMargins);
    const TGraphPageSource source = GraphPageSourceOf(*window);
    if (FPreview.Execute(source) == mrYes)
        AcPrintExecute();
}

// Taken from the selected node each time: no window is remembered that may
// have closed since.
void TPrintCommands::AcExpGrphExecute() {
    if (TMDIChildRec* window = RecordWindowOf(FMain.Tree().Selected()))
        ExportGraphOf(*window);
}

void TPrintCommands::ExportGraphOf(TMDIChildRec& Window) {
    if (FExport)
        FExport->Execute(GraphPageSourceOf(Window));
}

void TPrintCommands::FilePageSetup1Execute() {
    SetupCommand(FMain.Handle(), true);
}

void TPrintCommands::FilePrintSetup1Execute() {
    SetupCommand(FMain.Handle(), false);
}

void TPrintCommands::SetupCommand(HWND Owner, bool PageSetup) {
    const TDoc doc = SelectedDoc();
    const bool protocol = doc == TDoc::Protocol;
    if (doc == TDoc::None) {
        const TTreeNode* node = FMain.Tree().Selected();
        if (!node || !(IsChamberKind(node->Kind()) || node->Kind() == nkRecordFile))
            return;
    }
    const TPrintKind kind = protocol ? TPrintKind::Protocol : TPrintKind::Graph;
    TPageMargins& margins = FPrefs.Margins(kind);
    LoadSetup(kind);
    const auto accepted = RunSetupDialog(Owner, PageSetup, margins);
    if (!accepted)
        return;
    try {
        if (!StorePrinterSetup(margins, nullptr, protocol ? kPrintProtTmp : kPrintGraphTmp,
                               *accepted))
            return;
        if (!protocol && FPreview.Showing()) {
            FPreview.FormShow();
            FPreview.PaintBox1Paint();
        }
    } catch (const std::exception&) {
        ShowErrorOrWarn(FMain.Boxes(), sPrinterNotAvailable, false);
    }
}

bool TPrintCommands::PreferencesSetup(HWND Owner, TPrintKind Kind, bool PageSetup,
                                      TPageMargins& Margins) {
    const auto accepted = RunSetupDialog(Owner, PageSetup, Margins);
    if (!accepted)
        return false;
    const bool protocol = Kind == TPrintKind::Protocol;
    TPageMargins& held = FPrefs.Margins(Kind);
    try {
        if (!StorePrinterSetup(held, protocol ? kPrintProtCfg : kPrintGraphCfg,
                               protocol ? kPrintProtTmp : kPrintGraphTmp, *accepted))
            return false;
    } catch (const std::exception&) {
        ShowErrorOrWarn(FMain.Boxes(), sPrinterNotAvailable, false);
        return false;
    }
    Margins = held;
    return true;
}

std::optional<std::optional<TRect>> TPrintCommands::RunSetupDialog(HWND Owner, bool PageSetup,
                                                                   const TPageMargins& Margins) {
    TPrinterConfig current;
    FPrinter.CurrentPrinter(current);
    TGlobalBlock names = DevNames(current);
    TGlobalBlock mode;
    if (!current.DeviceMode.empty())
        mode = GlobalCopy(current.DeviceMode.data(), current.DeviceMode.size());
    HGLOBAL namesOut = nullptr;
    HGLOBAL modeOut = nullptr;
    std::optional<TRect> margins;
    bool ok = false;
    if (PageSetup) {
        PAGESETUPDLGA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = Owner;
        dialog.hDevNames = names.Get();
        dialog.hDevMode = mode.Get();
        dialog.Flags =
            PSD_MARGINS | PSD_MINMARGINS |
            (Margins.InchUnit ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS);
        dialog.ptPaperSize = {21000, 29700};
        dialog.rtMargin = {Margins.Left, Margins.Top, Margins.Right, Margins.Bottom};
        ConvertPageMargins(dialog, IsInchLocale(), Margins.InchUnit);
        ok = PageSetupDlgA(&dialog);
        namesOut = dialog.hDevNames;
        modeOut = dialog.hDevMode;
        margins = TRect{dialog.rtMargin.left, dialog.rtMargin.top, dialog.rtMargin.right,
                        dialog.rtMargin.bottom};
    } else {
        PRINTDLGA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = Owner;
        dialog.hDevNames = names.Get();
        dialog.hDevMode = mode.Get();
        dialog.Flags = PD_PRINTSETUP;
        ok = PrintDlgA(&dialog);
        namesOut = dialog.hDevNames;
        modeOut = dialog.hDevMode;
    }
    // The dialog may have replaced the blocks it was given.
    if (namesOut != names.Get())
        names.Reset(namesOut);
    if (modeOut != mode.Get())
        mode.Reset(modeOut);
    if (!ok)
        return std::nullopt;
    if (names && mode && !FPrinter.SelectPrinter(ChosenPrinter(names.Get(), mode.Get()))) {
        ShowErrorOrWarn(FMain.Boxes(), sPrinterNotAvailable, false);
        return std::nullopt;
    }
    return margins;
}

bool TPrintCommands::StorePrinterSetup(TPageMargins& Margins, const char* Cfg, const char* Tmp,
                                       const std::optional<TRect>& DialogMargins) {
    if (!FPrefs.PrinterSetup)
        return false;
    bool ok = false;
    if (Cfg)
        ok = FPrefs.PrinterSetup->SaveSetup(FPrefs.TempFileDir + Cfg);
    if (Tmp)
        ok = FPrefs.PrinterSetup->SaveSetup(FPrefs.TempFileDir + Tmp);
    if (ok && DialogMargins) {
        Margins.Left = DialogMargins->Left;
        Margins.Top = DialogMargins->Top;
        Margins.Right = DialogMargins->Right;
        Margins.Bottom = DialogMargins->Bottom;
        Margins.InchUnit = IsInchLocale();
        SetPageRect(Margins);
    }
    return ok;
}
