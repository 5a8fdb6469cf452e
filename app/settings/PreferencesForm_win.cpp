#include "app/settings/PreferencesForm_win.h"

#include "app/settings/EditNumber_.h"
#include "app/settings/UnitChoices_.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 330;
constexpr const char* kPageNames[] = {"Printing", "Environment", "Graphs"};
constexpr int kPushLike = BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP;

void FillCombo(HWND Combo, const std::vector<std::string>& Items, int Index) {
    SendMessageA(Combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : Items)
        SendMessageA(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(Combo, CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

int CALLBACK BrowseStart(HWND Wnd, UINT Msg, LPARAM, LPARAM Data) {
    if (Msg == BFFM_INITIALIZED)
        SendMessageA(Wnd, BFFM_SETSELECTIONA, TRUE, Data);
    return 0;
}

} // namespace

TPreferencesForm::TPreferencesForm(HWND Owner, TPreferences& Prefs, IPreferencesHost& Host)
    : FPrefs(Prefs), FHost(Host),
      FHasPrinter(Prefs.PrinterSetup != nullptr), FTimeKeys{[this](HWND Edit, char Key) {
                                                                return TimeKey(Edit, Key);
                                                            },
                                                            nullptr},
      FPageKeys{[this](HWND, char Key) { return PageKey(Key); },
                [this](HWND, WPARAM Key) { return PageKeyDown(Key); }} {
    TFormArgs args;
    args.ClassName = "TPreferences";
    args.Caption = sPreferencesCaption;
    args.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    args.ExStyle = WS_EX_DLGMODALFRAME;
    args.ClientWidth = kClientWidth;
    args.ClientHeight = kClientHeight;
    args.Parent = Owner;
    if (!CreateForm(args))
        return;
    InitCommonControlsOnce();
    const HWND tabs = AddControl(WC_TABCONTROLA, "", WS_CLIPSIBLINGS | WS_TABSTOP, kTabs, 4, 4,
                                 kClientWidth - 8, kClientHeight - 44);
    for (int page = FHasPrinter ? pgPrinting : pgEnvironment; page <= pgGraph; ++page) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageNames[page]);
        SendMessageA(tabs, TCM_INSERTITEMA, FTabPages.size(), reinterpret_cast<LPARAM>(&item));
        FTabPages.push_back(static_cast<TPage>(page));
    }
    CreatePrintingPage();
    CreateEnvironmentPage();
    CreateGraphPage();
    AddButton(kButtonOK, "OK", kClientWidth - 164, kClientHeight - 33, 75, 25, mrOk);
    AddButton(kButtonCancel, "Cancel", kClientWidth - 83, kClientHeight - 33, 75, 25, mrCancel);
    SetDefaultButton(kButtonOK);
    SetCancelButton(kButtonCancel);
    if (!FHasPrinter)
        FHost.HidePrintActions();
    ShowPage(0);
    const auto panels =
        SettingsPanelTexts(FPrefs.AutoPrint, FPrefs.AutoConnect, FPrefs.AutoRestore);
    FHost.ShowSettingsPanels(panels);
}

HWND TPreferencesForm::Add(TPage Page, const char* Class, const std::string& Text, DWORD Style,
                           int Id, int X, int Y, int W, int H, DWORD ExStyle) {
    const HWND ctl = AddControl(Class, Text, Style, Id, X, Y, W, H, ExStyle);
    // Above the tab control, which was made first.
    SetWindowPos(ctl, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    FPageControls.push_back({ctl, Page});
    return ctl;
}

void TPreferencesForm::CreatePrintingPage() {
    const TPage p = pgPrinting;
    Add(p, "BUTTON", "Protocols", BS_GROUPBOX, kGroupBoxProtPrint, 16, 36, 408, 120);
    Add(p, "BUTTON", "Auto Print", BS_AUTOCHECKBOX | WS_TABSTOP, kCheckBoxAutoPrint, 28, 56, 220,
        17);
    Add(p, "BUTTON", "Keep window opened after Auto Print", BS_AUTOCHECKBOX | WS_TABSTOP,
        kCheckBoxKeepOpen, 28, 80, 240, 17);
    Add(p, "STATIC", "Fontsize printout", SS_LEFT, kLabel1, 28, 116, 100, 13);
    const HWND sizes = Add(p, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                           kComboBox1, 130, 112, 60, 200);
    FillCombo(sizes, TextSizeEntries(), 0);
    Add(p, "BUTTON", "P&rinter Setup...", BS_PUSHBUTTON | WS_TABSTOP, kBitBtnPrSProt, 290, 56, 120,
        25);
    Add(p, "BUTTON", "Page Set&up...", BS_PUSHBUTTON | WS_TABSTOP, kBitBtnPaSProt, 290, 88, 120,
        25);
    Add(p, "BUTTON", "Graphs", BS_GROUPBOX, kGroupBoxPrintGraph, 16, 166, 408, 60);
    Add(p, "BUTTON", "P&rinter Setup...", BS_PUSHBUTTON | WS_TABSTOP, kBitBtnPrSGra, 28, 188, 120,
        25);
    Add(p, "BUTTON", "Page Set&up...", BS_PUSHBUTTON | WS_TABSTOP, kBitBtnPaSGra, 160, 188, 120,
        25);
}

void TPreferencesForm::CreateEnvironmentPage() {
    const TPage p = pgEnvironment;
    Add(p, "BUTTON", "Connect lately connected instruments on COM ports at startup",
        BS_AUTOCHECKBOX | WS_TABSTOP, kCheckBoxKeepCom, 24, 44, 390, 17);
    Add(p, "BUTTON", "Open recordfile in viewer after saving in recorder",
        BS_AUTOCHECKBOX | WS_TABSTOP, kCheckBoxAddRecTree, 24, 70, 390, 17);
    Add(p, "STATIC", "Directory for temporary files", SS_LEFT, kLabelTempFile, 24, 100, 300, 13);
    Add(p, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, kLabeledEditTempFile, 24, 116, 350, 21,
        WS_EX_CLIENTEDGE);
    Add(p, "BUTTON", "...", BS_PUSHBUTTON | WS_TABSTOP, kBitBtnSelectDir, 380, 115, 30, 23);
    Add(p, "BUTTON", "Auto restore of temporary files", BS_AUTOCHECKBOX | WS_TABSTOP,
        kCheckBoxAutoRestore, 24, 150, 390, 17);
}

void TPreferencesForm::CreateGraphPage() {
    const TPage p = pgGraph;
    Add(p, "STATIC", "Standard settings for new record windows and imported files.", SS_LEFT,
        kLabelExp, 24, 40, 390, 13);
    const HWND rates = Add(p, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL,
                           kComboBoxSampleRate, 24, 62, 100, 200);
    FillCombo(rates, SampleRateEntries(), 0);
    const std::pair<int, const char*> buttons[] = {{kToolButtonListViewAutoScroll, "Auto scroll"},
                                                   {kToolButtonEnd, "End"},
                                                   {kToolButtonShowSC, "Count"},
                                                   {kToolButtonAutoX, "Auto X"},
                                                   {kToolButtonAutoY, "Auto Y"},
                                                   {kToolButtonAutoOffset, "Auto offset"}};
    int x = 24;
    for (const auto& [id, text] : buttons) {
        Add(p, "BUTTON", text, kPushLike, id, x, 94, 62, 24);
        x += 64;
    }
    Add(p, "BUTTON", "Series settings", BS_PUSHBUTTON | WS_TABSTOP, kToolButtonProp, 24, 124, 110,
        24);
    for (const bool max : {false, true}) {
        const int left = max ? 220 : 24;
        Add(p, "STATIC", max ? "max [min.]" : "min [min.]", SS_LEFT, max ? kLabelMax : kLabelMin,
            left, 164, 60, 13);
        HookKeys(Add(p, "EDIT", "", ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP,
                     max ? kEditAlignMax : kEditAlignMin, left + 64, 160, 90, 21, WS_EX_CLIENTEDGE),
                 &FTimeKeys);
        const HWND upDown =
            Add(p, UPDOWN_CLASSA, "", 0, max ? kUpDownMax : kUpDownMin, left + 154, 160, 17, 21);
        SendMessageA(upDown, UDM_SETRANGE32, 0, 1000);
        SendMessageA(upDown, UDM_SETPOS32, 0, 500);
    }
    HookKeys(Add(p, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kComboBoxTimePage,
                 24, 192, 300, 300),
             &FPageKeys);
    Add(p, "BUTTON", "Apply to Recorders", BS_PUSHBUTTON | WS_TABSTOP, kButtonApplRcrdr, 24, 236,
        120, 25);
    Add(p, "BUTTON", "Apply to Records", BS_PUSHBUTTON | WS_TABSTOP, kButtonApplRcrds, 152, 236,
        120, 25);
    Add(p, "BUTTON", "Set Default", BS_PUSHBUTTON | WS_TABSTOP, kButtonSetDefault, 300, 236, 110,
        25);
}

int TPreferencesForm::Execute() {
    FormShow();
    CenterWindowOn(Handle(), GetWindow(Handle(), GW_OWNER));
    return ShowModal();
}

void TPreferencesForm::SelectPage(TPage Page) {
    for (std::size_t tab = 0; tab < FTabPages.size(); ++tab)
        if (FTabPages[tab] == Page) {
            SendMessageA(Control(kTabs), TCM_SETCURSEL, tab, 0);
            ShowPage(static_cast<int>(tab));
        }
}

void TPreferencesForm::ShowPage(int Tab) {
    const TPage page = FTabPages[static_cast<std::size_t>(Tab)];
    for (const auto& [ctl, p] : FPageControls)
        ShowWindow(ctl, p == page ? SW_SHOW : SW_HIDE);
}

void TPreferencesForm::FormShow() {
    const TGraphDefaults& d = FPrefs.GraphDefaults;
    FSeriesForm->PrepareForPreferences(d.AutoOffset != 0);
    SendMessageA(Control(kCheckBoxAutoPrint), BM_SETCHECK, FPrefs.AutoPrint, 0);
    EnableWindow(Control(kCheckBoxKeepOpen), FPrefs.AutoPrint);
    SendMessageA(Control(kCheckBoxKeepOpen), BM_SETCHECK, FPrefs.KeepWindow, 0);
    SendMessageA(Control(kComboBox1), CB_SETCURSEL, TextSizeIndex(FPrefs.TextSize), 0);
    SendMessageA(Control(kCheckBoxKeepCom), BM_SETCHECK, FPrefs.AutoConnect, 0);
    SendMessageA(Control(kCheckBoxAutoRestore), BM_SETCHECK, FPrefs.AutoRestore, 0);
    SendMessageA(Control(kCheckBoxAddRecTree), BM_SETCHECK, FPrefs.AddRecTree, 0);
    FTempDir.Show(FPrefs.TempFileDir);
    SetControlText(kLabeledEditTempFile, FTempDir.Pending());
    SendMessageA(Control(kComboBoxSampleRate), CB_SETCURSEL, d.SampleRateIndex, 0);
    SetDown(kToolButtonListViewAutoScroll, d.AutoScroll);
    SetDown(kToolButtonEnd, d.End);
    SetDown(kToolButtonShowSC, d.ShowSampleCount);
    SetDown(kToolButtonAutoX, d.AutoX);
    SetDown(kToolButtonAutoY, d.AutoY);
    SetDown(kToolButtonAutoOffset, d.AutoOffset);
    FTime.Show(d.MinTime, d.MaxTime);
    FTime.AutoX = d.AutoX;
    FTime.End = d.End;
    ShowTimeRange();
    EnableWindow(Control(kButtonApplRcrds), FHost.HasRecordsFolder());
    EnableWindow(Control(kButtonApplRcrdr), FHost.CountRecorderWindows() > 0);
}

bool TPreferencesForm::Down(int Id) const {
    return SendMessageA(Control(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TPreferencesForm::SetDown(int Id, bool Down) {
    SendMessageA(Control(Id), BM_SETCHECK, Down ? BST_CHECKED : BST_UNCHECKED, 0);
}

TGraphControls TPreferencesForm::Controls() const {
    return {static_cast<int32_t>(SendMessageA(Control(kComboBoxSampleRate), CB_GETCURSEL, 0, 0)),
            Down(kToolButtonListViewAutoScroll),
            Down(kToolButtonEnd),
            Down(kToolButtonShowSC),
            Down(kToolButtonAutoX),
            Down(kToolButtonAutoY),
            Down(kToolButtonAutoOffset),
            FTime.MinSeconds(),
            FTime.MaxSeconds()};
}

// The edits, the page box and the two buttons the time range releases.
void TPreferencesForm::ShowTimeRange() {
    SetControlText(kEditAlignMin, FTime.MinText());
    SetControlText(kEditAlignMax, FTime.MaxText());
    FillCombo(Control(kComboBoxTimePage), FTime.PageItems(), FTime.PageIndex());
    SetDown(kToolButtonAutoX, FTime.AutoX);
    SetDown(kToolButtonEnd, FTime.End);
}

void TPreferencesForm::ButtonOKClick() {
    // A time typed and not yet left counts.
    const HWND focus = GetFocus();
    if (focus == Control(kEditAlignMin) || focus == Control(kEditAlignMax)) {
        FTime.EditExit(focus == Control(kEditAlignMax), Text(focus));
        ShowTimeRange();
    }
    FPrefs.TextSize =
        TextSizeOfIndex(static_cast<int>(SendMessageA(Control(kComboBox1), CB_GETCURSEL, 0, 0)));
    FPrefs.AutoPrint = Down(kCheckBoxAutoPrint) && FHasPrinter;
    FPrefs.KeepWindow = Down(kCheckBoxKeepOpen);
    FPrefs.AutoConnect = Down(kCheckBoxKeepCom);
    FPrefs.AutoRestore = Down(kCheckBoxAutoRestore);
    FPrefs.AddRecTree = Down(kCheckBoxAddRecTree);
    FPrefs.TempFileDir = FTempDir.Pending();
    ControlsToGraphDefaults(Controls(), FPrefs.GraphDefaults);
    FPrefs.Store();
    FHost.ShowSettingsPanels(
        SettingsPanelTexts(FPrefs.AutoPrint, FPrefs.AutoConnect, FPrefs.AutoRestore));
}

void TPreferencesForm::PrintSetup(TPrintKind Kind, bool PageSetup) {
    if (!FPrefs.PrinterSetup)
        return;
    const bool prot = Kind == TPrintKind::Protocol;
    const std::string file = FPrefs.TempFileDir + (prot ? kPrintProtCfg : kPrintGraphCfg);
    FPrefs.LoadPrinterSetup(prot, file);
    TPageMargins margins = FPrefs.LoadPageMargins(Kind);
    if (FHost.RunPrintSetup(Handle(), Kind, PageSetup, margins))
        FPrefs.StorePageMargins(Kind);
}

void TPreferencesForm::SelectDir() {
    BROWSEINFOA bi{};
    bi.hwndOwner = Handle();
    bi.lpszTitle = "";
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseStart;
    bi.lParam = reinterpret_cast<LPARAM>(FTempDir.Pending().c_str());
    if (PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&bi)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(pidl, path))
            FTempDir.BrowseConfirmed(path);
        CoTaskMemFree(pidl);
    }
    // Cancelled too: the edit shows what OK will store.
    SetControlText(kLabeledEditTempFile, FTempDir.Pending());
}

void TPreferencesForm::SeriesSettings() {
    FSeriesForm->PrepareForPreferences(Down(kToolButtonAutoOffset));
    if (FSeriesForm->ExecuteForPreferences() != mrOk)
        return;
    SetDown(kToolButtonAutoY, false);
    const TSeriesDialogResult r = FSeriesForm->Result();
    SeriesToGraphDefaults(r.Series, FPrefs.GraphDefaults);
    SetDown(kToolButtonAutoOffset, r.AutoOffset);
}

void TPreferencesForm::ApplyTo(bool Recorders) {
    const TGraphDefaults d = ApplyDefaults(FPrefs.GraphDefaults, Controls());
    if (Recorders)
        FHost.ApplyToRecorders(d);
    else if (FHost.HasRecordsFolder())
        FHost.ApplyToRecords(d);
}

char TPreferencesForm::TimeKey(HWND Edit, char Key) {
    const char key = FilterNumberKey(Text(Edit), 0, Key, false);
    if (key != kKeyEnter)
        return key;
    FTime.AutoX = Down(kToolButtonAutoX);
    FTime.End = Down(kToolButtonEnd);
    FTime.EditEnter(Edit == Control(kEditAlignMax), Text(Edit));
    ShowTimeRange();
    return 0;
}

char TPreferencesForm::PageKey(char Key) {
    if (Key != kKeyEnter)
        return Key;
    PageCloseUp();
    return 0;
}

void TPreferencesForm::PageCloseUp() {
    FTime.AutoX = Down(kToolButtonAutoX);
    FTime.PageSelect(
        static_cast<int>(SendMessageA(Control(kComboBoxTimePage), CB_GETCURSEL, 0, 0)));
    FTime.PageCloseUp();
    ShowTimeRange();
}

bool TPreferencesForm::PageKeyDown(WPARAM Key) {
    const HWND box = Control(kComboBoxTimePage);
    // Once open, the arrows move in the list.
    if ((Key != VK_DOWN && Key != VK_RIGHT && Key != VK_UP) ||
        SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
    return true;
}

bool TPreferencesForm::TimeUpDown(const NMUPDOWN& N) {
    const bool max = N.hdr.hwndFrom == Control(kUpDownMax);
    if (!max && N.hdr.hwndFrom != Control(kUpDownMin))
        return false;
    const HWND edit = Control(max ? kEditAlignMax : kEditAlignMin);
    SetFocus(edit);
    FTime.AutoX = Down(kToolButtonAutoX);
    FTime.UpDown(max, Text(edit), N.iDelta > 0);
    ShowTimeRange();
    return true;
}

bool TPreferencesForm::OnCommand(int Id, int Code, HWND Ctl) {
    if (Id == kComboBoxTimePage) {
        if (Code == CBN_DROPDOWN) {
            FTime.PageDropDown();
            FillCombo(Ctl, FTime.PageItems(), FTime.PageIndex());
        } else if (Code == CBN_CLOSEUP) {
            PageCloseUp();
        }
        return true;
    }
    if (Code == EN_KILLFOCUS) {
        if (Id == kEditAlignMin || Id == kEditAlignMax) {
            FTime.AutoX = Down(kToolButtonAutoX);
            FTime.End = Down(kToolButtonEnd);
            FTime.EditExit(Id == kEditAlignMax, Text(Ctl));
            ShowTimeRange();
        } else if (Id == kLabeledEditTempFile) {
            FTempDir.Exit(Text(Ctl), FPrefs.DefaultTempDir());
            SetControlText(kLabeledEditTempFile, FTempDir.Pending());
        }
        return true;
    }
    if (Code != BN_CLICKED)
        return TForm::OnCommand(Id, Code, Ctl);
    switch (Id) {
    case kButtonOK:
        ButtonOKClick();
        return true;
    case kCheckBoxAutoPrint:
        EnableWindow(Control(kCheckBoxKeepOpen), Down(kCheckBoxAutoPrint));
        return true;
    case kBitBtnPrSProt:
    case kBitBtnPaSProt:
        PrintSetup(TPrintKind::Protocol, Id == kBitBtnPaSProt);
        return true;
    case kBitBtnPrSGra:
    case kBitBtnPaSGra:
        PrintSetup(TPrintKind::Graph, Id == kBitBtnPaSGra);
        return true;
    case kBitBtnSelectDir:
        SelectDir();
        return true;
    case kToolButtonEnd:
        SetDown(kToolButtonAutoX, false);
        return true;
    case kToolButtonAutoX:
        SetDown(kToolButtonEnd, false);
        return true;
    case kToolButtonAutoY:
        SetDown(kToolButtonAutoOffset, false);
        return true;
    case kToolButtonAutoOffset:
        SetDown(kToolButtonAutoY, false);
        FSeriesForm->SetAutoOffset(Down(kToolButtonAutoOffset));
        return true;
    case kToolButtonProp:
        SeriesSettings();
        return true;
    case kButtonSetDefault:
        SetFactoryGraphDefaults(FPrefs.GraphDefaults);
        FormShow();
        return true;
    case kButtonApplRcrdr:
    case kButtonApplRcrds:
        ApplyTo(Id == kButtonApplRcrdr);
        return true;
    default:
        return TForm::OnCommand(Id, Code, Ctl);
    }
}

LRESULT TPreferencesForm::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(L);
        if (hdr->code == TCN_SELCHANGE && hdr->idFrom == kTabs) {
            ShowPage(static_cast<int>(SendMessageA(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
            return 0;
        }
        if (hdr->code == UDN_DELTAPOS && TimeUpDown(*reinterpret_cast<const NMUPDOWN*>(L)))
            return TRUE; // the up-down keeps its own position
    }
    return TForm::OnMessage(Msg, W, L);
}
