#include "app/record/RecWin_win.h"

#include "app/base/Tools_.h"
#include "app/base/Tools_win.h"
#include "app/instruments/MainLinks_win.h"
#include "app/main/MainForm_.h"
#include "app/record/RecClose_.h"
#include "app/record/RecordFile_.h"
#include "app/record/RecTexts_.h"
#include "app/tree/NodeUnits_.h"
#include "app/tree/TreeNodes_.h"
#include "app/values/MeasValues_.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int kTop = 32;     // below the Record and Stop buttons
constexpr int kEditRow = 22; // height of a row of value fields
constexpr int kEditWidth = 56;
constexpr int kSampleRateLeft = 152;
constexpr int kSampleRateWidth = 90;
constexpr int kAutoScrollLeft = kSampleRateLeft + kSampleRateWidth + 4;
constexpr int kToolsLeft = kAutoScrollLeft + TRecAutoScroll::kSize + 4;
constexpr COLORREF kLiveBackground = 0xFFFFFF;
constexpr COLORREF kStoredBackground = 0xE1FFFF;
constexpr int kStatusWidths[] = {130, 300, 130, 150, 50};

// The main window's commands that the window's own buttons run on it.
struct TOutputButton {
    int Id;
    const char* Caption;
    int Width;
};
constexpr TOutputButton kOutputButtons[] = {
    {IMdiHost::kAcPrint, "Print", 40},
    {IMdiHost::kAcExport, "Export", 46},
    {IMdiHost::kAcExpGrph, "Export Graph", 84},
};

COLORREF ColorRef(TColor Color) {
    return (Color & kClSystem) ? GetSysColor(static_cast<int>(Color & 0xFF)) : Color;
}

void SetColumnText(HWND List, int Column, const std::string& Text) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT;
    col.pszText = const_cast<char*>(Text.c_str());
    SendMessageA(List, LVM_SETCOLUMNA, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&col));
}

// In the list's font.
int StringWidth(HWND List, const std::string& Text) {
    return static_cast<int>(
        SendMessageA(List, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(Text.c_str())));
}

} // namespace

TMDIChildRec* TMDIChildRec::New(IMdiHost& Host, TTreeNode& Node, bool Live,
                                std::function<bool()> AutoRestore, TOverwriteAppendWin& Question,
                                TInfoBox& Info) {
    if (!Host.MDIClient())
        return nullptr;
    std::unique_ptr<TMDIChildRec> window(
        new TMDIChildRec(Host, Node, std::move(AutoRestore), Question, Info));
    if (!window->Handle())
        return nullptr;
    window->SetLiveMode(Live);
    window->UpdateUnits();
    window->FOwned = true;
    window->Show();
    return window.release();
}

TMDIChildRec::TMDIChildRec(IMdiHost& Host, TTreeNode& Node, std::function<bool()> AutoRestore,
                           TOverwriteAppendWin& Question, TInfoBox& Info)
    : FHost(Host), FNode(&Node), FAutoRestore(std::move(AutoRestore)), FQuestion(Question),
      FInfo(Info), FRec(*this, FFiles, Host.Boxes(), FInfo, ""), FValues(FRec.Data().Samples),
      FExtended(Host.ExtendedMode()) {
    TFormArgs args;
    args.ClassName = "TMDIChildRec";
    args.Caption = Node.Text();
    args.FormStyle = TFormStyle::MDIChild;
    args.Style = WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;
    args.ClientWidth = 820;
    args.ClientHeight = 420;
    args.Parent = Host.MDIClient();
    if (CreateForm(args))
        FormCreate();
}

void TMDIChildRec::FormCreate() {
    AddControl("BUTTON", "&Record", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, kRecord, 4, 4, 70,
               24);
    AddControl("BUTTON", "&Stop", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, kStop, 78, 4, 70, 24);
    AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kComboBoxSampleRate,
               kSampleRateLeft, 5, kSampleRateWidth, 200);
    // The tree's images belong to the main window: the list must not destroy them.
    HWND list = AddControl(WC_LISTVIEWA, "",
                           LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                               WS_TABSTOP | WS_BORDER,
                           kListView1, 4, kTop, 300, 200);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FHost.TreeImages()));
    const int widths[] = {20, 115, 46, 45, 45};
    const int columns = FExtended ? 5 : 4;
    for (int i = 0; i < columns; ++i) {
        LVCOLUMNA col = {};
        col.mask = LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = i >= 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = widths[i];
        col.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&col));
    }
    FAutoScroll = std::make_unique<TRecAutoScroll>(*this, kAutoScroll, kAutoScrollLeft, 4, list);
    FToolsRight = kToolsLeft;
    for (int id = kEditHumAct; id < kEditStats + 6; ++id)
        AddControl("EDIT", "", ES_RIGHT | ES_READONLY | WS_BORDER, id, 0, 0, kEditWidth, 20);
    HWND status = AddControl(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, kStatusBar1, 0, 0, 0, 0);
    int edges[5], right = 0;
    for (int i = 0; i < 5; ++i)
        edges[i] = right += kStatusWidths[i];
    edges[4] = -1;
    SendMessageA(status, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));

    FGraphPanel = std::make_unique<TLineGraphPanel>(Handle());
    TLineGraph& graph = FGraphPanel->Graph();
    graph.SetXDivisions(11);
    graph.SetYDivisions(13);
    for (size_t s = 0; s < kRecSerieCount; ++s)
        graph.Series.AddItem().Visible = s != rsDValue || FExtended;
    const TColor conditionColors[kRecConditionCount] = {0x00F1FF, 0x00FF00, 0x808080, 0x0000FF,
                                                        0x0000FF};
    for (size_t i = 0; i < kRecConditionCount; ++i) {
        TCondition& c = graph.Conditions.Add();
        c.Text = kRecConditionTexts[i];
        c.Color = conditionColors[i];
    }
    graph.OnGetValues = [this](TLineGraph& Sender, TGraphColumn& Column) {
        FValues.LineGraphGetValues(Sender, Column);
    };
    FView = std::make_unique<TRecView>(static_cast<IRecViewHost&>(*this), graph, FRec);
    FBar = std::make_unique<TRecGraphBar>(*this, *FView, kGraphBar);
    FGraphPanel->OnMouseDown = [this](bool Left, int X, int) { FView->MouseDown(Left, X); };
    FGraphPanel->OnClick = [this](bool InField) { LineGraphClick(InField); };
    FGraphPanel->Cursor = [this] { return FBar->GraphCursor(); };
    ShowWindow(FGraphPanel->Handle(), SW_SHOW);

    FRec.ClearData();
    FLive = true;
    ShowButtons();
    TGraphDefaults factory = {};
    SetFactoryGraphDefaults(factory);
    FView->SetDefaultSettings(factory);
    FormResize();
    FHost.SetCloseAllEnabled(FHost.MDIChildCount() > 1);
}

void TMDIChildRec::FormResize() {
    const SIZE client = ClientSize();
    HWND status = StatusBar1();
    SendMessageA(status, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(status, &sr);
    const int statusHeight = sr.bottom - sr.top;
    const int listWidth = FExtended ? 300 : 252;
    const int editsTop = std::max<int>(kTop + 40, client.cy - statusHeight - 2 * kEditRow - 4);
    MoveWindow(ListView1(), 4, kTop, listWidth, editsTop - kTop - 4, TRUE);
    MoveWindow(EditAlignHumAct(), 4, editsTop, kEditWidth, 20, TRUE);
    MoveWindow(EditAlignTempAct(), 4, editsTop + kEditRow, kEditWidth, 20, TRUE);
    for (int i = 0; i < 6; ++i)
        MoveWindow(StatisticsEdit(i), 4 + (1 + i % 3) * (kEditWidth + 4),
                   editsTop + (i / 3) * kEditRow, kEditWidth, 20, TRUE);
    const int graphLeft = listWidth + 8;
    const int graphWidth = std::max(10, static_cast<int>(client.cx) - graphLeft - 4);
    const int graphHeight = std::max(10, static_cast<int>(client.cy) - statusHeight - kTop - 4);
    FBar->Layout(std::max(graphLeft, FToolsRight), 4);
    MoveWindow(FGraphPanel->Handle(), graphLeft, kTop, graphWidth, graphHeight, TRUE);
}

std::string TMDIChildRec::OpenTempFiles(const std::string& Dir) {
    const TChamberData* chamber = ChamberData(FNode);
    const TInstrumentData* instrument = InstrumentData(FNode->Parent());
    if (!chamber || !instrument)
        return "";
    FRec.SetTempDir(Dir);
    TTempRestoreRequest request;
    request.Names = TempFileNames(
        Dir, DeviceKey(instrument->DevId, instrument->UsbProductId, instrument->InterfaceIndex),
        instrument->SerialNumber, chamber->Chamber);
    request.InterfaceName = GetInterfaceNameFromCom(FHost.Boxes(), instrument->InterfaceIndex);
    request.Chamber = chamber->Chamber;
    request.AutoRestore = FAutoRestore();
    TTempRestoreOutcome outcome = ::OpenTempFiles(FFiles, request, FHost.Boxes(), FInfo);
    switch (outcome.Kind) {
    case TTempRestoreOutcome::TKind::CannotCreate:
        return "";
    case TTempRestoreOutcome::TKind::Restored:
        SetData(std::move(outcome.Data), outcome.Modified);
        break;
    case TTempRestoreOutcome::TKind::Discarded:
        FRec.ClearData();
        FRec.SetDataReplaced(true);
        break;
    default:
        break;
    }
    if (outcome.Kind == TTempRestoreOutcome::TKind::Restored ||
        outcome.Kind == TTempRestoreOutcome::TKind::Discarded) {
        RestoreChamberInfo(FHost.Tree(), FNode, outcome.ChamberInfo);
        SetCaptionText(BuildCaption(FHost.Boxes(), *FNode));
    }
    // After the name is back: the resumed block takes it into its header.
    if (outcome.ResumeRecording)
        FRec.Resume();
    FFiles.WriteChamberInfo(ChamberInfo());
    return request.Names.Samples;
}

void TMDIChildRec::LoadRecordFile(const std::string& FileName) {
    TRecordFileData data;
    const TLoadOutcome outcome = ::LoadRecordFile(FFs, FileName, data);
    if (outcome.Result != TLoadResult::Ok)
        throw std::runtime_error(outcome.Message);
    const bool settings = data.SettingsPresent;
    const TRecViewSettings view = data.View;
    const TDevUnits units = data.Units;
    const std::string instrumentId =
        data.Headers.empty() ? std::string() : FieldText(data.Headers.back().SerialPart);
    if (!FLive)
        FOverrides = {data.HumOverride, data.TempOverride, data.DateOverride};
    SetData(std::move(data), false);
    if (settings) {
        FView->SetGraphSettings(UnpackViewSettings(view), true);
        ShowStatistics();
    }
    if (FLive)
        FFiles.Rewrite(FRec.Data());
    if (TChamberData* chamber = ChamberData(FNode))
        chamber->RecordFileName = FileName;
    if (TRecData* record = FNode->As<TRecData>()) {
        if (!instrumentId.empty())
            SetFieldText(record->InstrumentId, instrumentId);
        record->Units = units;
        UpdateUnits();
    }
    if (FLive)
        SetCaptionText(BuildCaption(FHost.Boxes(), *FNode));
}

void TMDIChildRec::SaveRecordFile(const std::string& FileName) {
    TRecordFileData data;
    static_cast<TRecording&>(data) = FRec.Data();
    if (const TInstrumentData* instrument = InstrumentData(FNode->Parent()))
        data.Units = instrument->Units;
    else if (const TRecData* record = FNode->As<TRecData>())
        data.Units = record->Units;
    data.View = PackViewSettings(FView->GetGraphSettings());
    data.HumOverride = FOverrides.HumMode;
    data.TempOverride = FOverrides.TempUnit;
    data.DateOverride = FOverrides.DateFmt;
    const std::string failed = ::SaveRecordFile(FFs, FileName, data);
    if (!failed.empty())
        throw std::runtime_error(failed);
    FRec.SetModified(false);
    FRec.SetDataReplaced(false);
    if (FNode->Text().starts_with(sUnsavedMark))
        FHost.Tree().SetText(FNode,
                             FNode->Text().substr(std::min<std::size_t>(2, FNode->Text().size())));
    if (TChamberData* chamber = ChamberData(FNode)) {
        chamber->RecordFileName = FileName;
        FFiles.WriteChamberInfo(ChamberInfo());
        SetCaptionText(BuildCaption(FHost.Boxes(), *FNode));
    } else {
        // The documents name the node after the file it now belongs to.
        const std::string name = ExtractFileName(FileName);
        SetCaptionText(name.substr(0, name.rfind('.')));
    }
}

// The tree's enabling may have run before the node referred to this window, as
// when a new window activates: its own commands are set here as well.
void TMDIChildRec::Activate() {
    FHost.Tree().Select(FNode);
    EnableSampleCommands();
    FHost.Actions().SetEnabled(IMdiHost::kPrintPreview1, true);
    SetFocus(ListView1());
}

void TMDIChildRec::EnableSampleCommands() {
    if (!HasSamples())
        return;
    for (int id :
         {IMdiHost::kFileSaveAs1, IMdiHost::kFileSave1, IMdiHost::kAcExport, IMdiHost::kAcExpGrph})
        FHost.Actions().SetEnabled(id, true);
}

void TMDIChildRec::SetData(TRecording Data, bool Modified) {
    FRec.SetData(std::move(Data), Modified);
    FValues.Reset();
    FView->DataReplaced();
    SampleAdded();
    InvalidateRect(ListView1(), nullptr, TRUE); // the rows it showed belong to other data
}

void TMDIChildRec::SetStatistics(const TRecStatistics& Stats) {
    FRec.SetStatistics(Stats);
    ShowStatistics();
}

void TMDIChildRec::SetLiveMode(bool Live) {
    if (Live == FLive)
        return;
    FLive = Live;
    FRec.Live = Live;
    ShowWindow(EditAlignHumAct(), Live ? SW_SHOW : SW_HIDE);
    ShowWindow(EditAlignTempAct(), Live ? SW_SHOW : SW_HIDE);
    const COLORREF background = Live ? kLiveBackground : kStoredBackground;
    SendMessageA(ListView1(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessageA(ListView1(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
    FGraphPanel->Graph().GraphColor = background;
    ShowButtons();
    FAutoScroll->Enable(Live);
    FBar->Show(Live);
    InvalidateRect(ListView1(), nullptr, TRUE);
    InvalidateRect(FGraphPanel->Handle(), nullptr, TRUE);
}

void TMDIChildRec::Show() {
    ShowMDIChildNormal(Handle());
}

void TMDIChildRec::SetCaptionText(const std::string& Text) {
    char current[512] = {};
    GetWindowTextA(Handle(), current, sizeof current);
    if (Text == current)
        return;
    SetWindowTextA(Handle(), Text.c_str());
    if (FLive)
        FFiles.WriteChamberInfo(ChamberInfo());
}

// --- live values, units, texts

TChamberLive TMDIChildRec::Live() const {
    const TChamberData* chamber = ChamberData(FNode);
    return chamber ? chamber->Live : TChamberLive{};
}

void TMDIChildRec::AddLiveSample() {
    FRec.AddLiveSample(Live());
}

void TMDIChildRec::ShowActualValues() {
    const uint8_t m = NodeHumMode(FNode);
    const uint8_t u = NodeTempUnit(FNode);
    const std::string hum = NodeHumText(m, FNode->Data, FExtended);
    const std::string temp = NodeTempText(u, FNode->Data, FExtended);
    SetWindowTextA(EditAlignHumAct(), hum.c_str());
    SetWindowTextA(EditAlignTempAct(), temp.c_str());
    const std::string panel = LiveValuesText(hum, HumUnitText(m), temp, TempUnitText(u));
    SendMessageA(StatusBar1(), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(panel.c_str()));
    if (FLive)
        SetCaptionText(BuildCaption(FHost.Boxes(), *FNode));
}

void TMDIChildRec::UpdateUnits() {
    const uint8_t units[3] = {NodeHumMode(FNode), NodeTempUnit(FNode), NodeDateFmt(FNode)};
    if (std::equal(units, units + 3, FUnits))
        return;
    std::copy(units, units + 3, FUnits);
    RelabelWindow();
}

void TMDIChildRec::RelabelWindow() {
    const uint8_t m = FUnits[0], u = FUnits[1];
    FValues.HumMode = m;
    FValues.TempUnit = u;
    FValues.ExtendedMode = FExtended;
    const auto& samples = FRec.Data().Samples;
    if (samples.empty())
        SetColumnText(ListView1(), 1, "Date / Time");
    else if (samples[0].Stamp.Year == 0)
        SetColumnText(ListView1(), 1, "Sample Nr. / Time");
    SetColumnText(ListView1(), 2, Format("%s[%s]", HumNameText(m).c_str(), HumUnitText(m).c_str()));
    SetColumnText(ListView1(), 3,
                  Format("%s[%s]", TempNameText(u).c_str(), TempUnitText(u).c_str()));
    if (FExtended)
        SetColumnText(ListView1(), 4,
                      Format("%s[%s]", DValueNameText().c_str(), DValueUnitText().c_str()));
    const int columns = FExtended ? 5 : 4;
    for (int c = 1; c < columns; ++c) {
        const int width =
            std::max(StringWidth(ListView1(), ListColumnText(ListView1(), c)),
                     StringWidth(ListView1(), ColumnWidthText(FRec.Data(), c, ListUnits())));
        SendMessageA(ListView1(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c),
                     MAKELPARAM(width + 15, 0));
    }
    TLineGraph& graph = FGraphPanel->Graph();
    const struct {
        std::string name, unit;
        int decimals;
    } series[] = {{HumNameText(m), HumUnitText(m), HumDecimals(m, FExtended)},
                  {TempNameText(u), TempUnitText(u), TempDecimals(u, FExtended)},
                  {DValueNameText(), DValueUnitText(), DValueDecimals()}};
    for (size_t s = 0; s < kRecSerieCount; ++s) {
        graph.Series[s].SeriesName = series[s].name;
        graph.Series[s].MeasUnit = "[" + series[s].unit + "]";
        graph.Series[s].Precision = static_cast<uint8_t>(series[s].decimals);
    }
    if (!samples.empty())
        ShowStatistics();
    FView->UnitsChanged(m, u, FExtended);
    InvalidateRect(ListView1(), nullptr, TRUE);
    InvalidateRect(FGraphPanel->Handle(), nullptr, TRUE);
}

void TMDIChildRec::ShowStatistics() {
    const auto texts = StatisticsTexts(FRec.Statistics(), FUnits[0], FUnits[1], FExtended);
    for (int i = 0; i < 6; ++i)
        SetWindowTextA(StatisticsEdit(i), texts[static_cast<size_t>(i)].c_str());
    if (FLive)
        ShowActualValues();
}

void TMDIChildRec::UpdateStatusBar() {
    // Every new sample comes here: a panel is repainted only when its text changes.
    const std::array<std::string, 4> shown = FPanels;
    StatusPanels(FRec.Data(), FSel.Anchor(), FPanels);
    for (size_t i = 0; i < FPanels.size(); ++i)
        if (FPanels[i] != shown[i])
            SendMessageA(StatusBar1(), SB_SETTEXTA, static_cast<WPARAM>(i + 1),
                         reinterpret_cast<LPARAM>(FPanels[i].c_str()));
}

void TMDIChildRec::ShowButtons() {
    const TRecordButtons& b = FRec.Buttons();
    SendMessageA(ButtonRecord(), BM_SETCHECK, b.RecordChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(ButtonStop(), BM_SETCHECK, FLive && b.StopChecked ? BST_CHECKED : BST_UNCHECKED,
                 0);
    EnableWindow(ButtonRecord(), FLive);
    EnableWindow(ButtonStop(), FLive && b.StopEnabled);
    EnableWindow(ComboBoxSampleRate(), FLive && b.SampleRateEnabled);
    FillSampleRateBox();
    FGraphPanel->Graph().SampleInterval = FRec.SampleRateBox().GraphInterval();
}

void TMDIChildRec::FillSampleRateBox() {
    HWND box = ComboBoxSampleRate();
    const TSampleRateBox& rates = FRec.SampleRateBox();
    const int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    if (count != static_cast<int>(rates.Items().size())) {
        SendMessageA(box, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : rates.Items())
            SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(rates.ItemIndex()), 0);
}

// --- selection

void TMDIChildRec::SelectSample(int64_t Index, bool Shift) {
    FSel.Select(Index, Shift);
    FValues.SelAnchor = FSel.Anchor();
    FValues.SelEnd = FSel.End();
    InvalidateRect(ListView1(), nullptr, FALSE);
    InvalidateRect(FGraphPanel->Handle(), nullptr, FALSE);
    UpdateStatusBar();
}

TTimeSpan TMDIChildRec::VisibleSpan() {
    const TLineGraph& graph = FGraphPanel->Graph();
    return {graph.MinTime(), graph.MaxTime(), graph.SampleInterval};
}

void TMDIChildRec::ItemSelected(int Index) {
    // The window draws the selection itself.
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(ListView1(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    SelectSample(Index, GetKeyState(VK_SHIFT) < 0);
    FView->ReleaseEnd();
    if (!RowVisible(VisibleSpan(), Index)) {
        const TTimeSpan centred = CentreOn(VisibleSpan(), Index);
        FView->SetMinTime(centred.MinTime);
        FView->SetMaxTime(centred.MaxTime);
    }
}

void TMDIChildRec::LineGraphClick(bool InField) {
    // Through the status bar to the list, so that an edit being typed in is applied.
    SetFocus(StatusBar1());
    SetFocus(ListView1());
    if (!InField || FView->Zoom())
        return;
    const int64_t i = FView->PickSample();
    if (i >= 0) {
        SendMessageA(ListView1(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), FALSE);
        FAutoScroll->SetDown(false);
        SelectSample(i, false);
        FView->ReleaseEnd();
    } else {
        SelectSample(-1, false);
    }
    RefreshList();
}

// --- graph views

void TMDIChildRec::SetDefaultSettings(const TGraphDefaults& D) {
    FOverrides = {D.HumChoice, D.TempChoice, D.DateChoice};
    UpdateUnits();
    FView->SetDefaultSettings(D);
    FRec.SampleRateBox().SetItemIndex(D.SampleRateIndex);
    ShowButtons();
    FAutoScroll->SetDown(D.AutoScroll != 0);
}

void TMDIChildRec::SetSeriesDialogs(ISeriesDialogs* Dialogs) {
    FSeriesDialogs = Dialogs;
    FBar->OnSeriesProperties = nullptr;
    if (Dialogs)
        FBar->OnSeriesProperties = [this] { ShowSeriesProperties(); };
    FBar->Show(FLive);
}

void TMDIChildRec::SetRecordCommands(IRecordCommands* Commands) {
    FCommands = Commands;
    int x = kToolsLeft;
    for (const TOutputButton& b : kOutputButtons) {
        if (const HWND made = Control(b.Id))
            DestroyWindow(made);
        // Without a default printer the main window has no Print for the run.
        if (!Commands || (b.Id == IMdiHost::kAcPrint && !Commands->CanPrint()))
            continue;
        AddControl("BUTTON", b.Caption, 0, b.Id, x, 4, b.Width, 24);
        x += b.Width + 2;
    }
    FToolsRight = x + 2;
    FormResize();
}

void TMDIChildRec::ShowSeriesProperties() {
    const TSeriesEdit edit =
        FView->SeriesEdit({FOverrides.HumMode, FOverrides.TempUnit, FOverrides.DateFmt}, FUnits[2]);
    FSeriesDialogs->ShowSeriesProperties(edit, *this);
}

void TMDIChildRec::ApplySeriesProps(const TSeriesEdit& Edit) {
    FView->ApplySeriesProps(Edit);
}

void TMDIChildRec::RestoreSeriesView() {
    FView->SetGraphSettings(FView->GetGraphSettings(), true);
}

void TMDIChildRec::ApplyStandardSettings(const TGraphDefaults& D, bool Recorder) {
    TGraphSettings s = FView->GetGraphSettings();
    GraphDefaultsToSettings(D, s);
    FView->SetGraphSettings(s, false);
    if (Recorder && !FRec.Recording()) {
        FRec.SampleRateBox().SetItemIndex(D.SampleRateIndex);
        ShowButtons();
    }
    if (Recorder)
        FAutoScroll->SetDown(D.AutoScroll != 0);
    FOverrides = {D.HumChoice, D.TempChoice, D.DateChoice};
    UpdateUnits();
}

void TMDIChildRec::ViewChanged() {
    FBar->Show(FLive);
}

void TMDIChildRec::ZoomChanged() {
    // A changed cursor shows at once only when the mouse moves.
    POINT p;
    if (GetCursorPos(&p)) {
        SetCursorPos(p.x, p.y + 1);
        SetCursorPos(p.x, p.y);
    }
}

void TMDIChildRec::RefreshList() {
    // Only rows in view that look different are drawn again: with End down
    // every new sample moves the span.
    const TLineGraph& graph = FGraphPanel->Graph();
    const TListLook look = {VisibleSpan(),
                            {graph.Series[0].Color, graph.Series[1].Color, graph.Series[2].Color}};
    HWND list = ListView1();
    if (!FListLook || FListLook->Colors != look.Colors) {
        InvalidateRect(list, nullptr, FALSE);
    } else {
        const LRESULT top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
        const LRESULT last = std::min<LRESULT>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) - 1,
                                               top + SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
        const auto [first, end] = ShadingChanged(FListLook->Span, look.Span, top, last);
        if (first <= end)
            SendMessageA(list, LVM_REDRAWITEMS, static_cast<WPARAM>(first), end);
    }
    FListLook = look;
}

void TMDIChildRec::RepaintGraph() {
    InvalidateRect(FGraphPanel->Handle(), nullptr, FALSE);
}

void TMDIChildRec::ApplyUnitChoices(const std::array<int32_t, 3>& Choices) {
    FOverrides = {Choices[0], Choices[1], Choices[2]};
    UpdateUnits();
    // The tree and the live values take the new units too.
    if (FLive)
        FHost.Actions().Execute(TMainLinks::kAcRefresh);
}

// --- list

LRESULT TMDIChildRec::OnNotify(NMHDR& Header) {
    LRESULT result = 0;
    if (FBar && FBar->OnNotify(Header, result))
        return result;
    if (Header.idFrom != kListView1)
        return DefaultProc(WM_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header));
    switch (Header.code) {
    case LVN_GETDISPINFOA:
        GetDispInfo(reinterpret_cast<NMLVDISPINFOA&>(Header));
        return 0;
    case NM_CUSTOMDRAW:
        return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(Header));
    case LVN_ITEMCHANGED: {
        const NMLISTVIEW& change = reinterpret_cast<NMLISTVIEW&>(Header);
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED))
            ItemSelected(change.iItem);
        return 0;
    }
    case NM_CLICK:
        if (reinterpret_cast<NMITEMACTIVATE&>(Header).iItem < 0)
            SelectSample(-1, false);
        return 0;
    default:
        return 0;
    }
}

void TMDIChildRec::GetDispInfo(NMLVDISPINFOA& Info) {
    LVITEMA& item = Info.item;
    const auto& samples = FRec.Data().Samples;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= samples.size())
        return;
    const size_t row = static_cast<size_t>(item.iItem);
    const TSample& s = samples[row];
    if (item.mask & LVIF_IMAGE)
        item.iImage = item.iSubItem == 0 ? RowImage(samples, row) : -1;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    const std::string text = RowText(FRec.Data(), s, item.iSubItem, ListUnits());
    lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
}

LRESULT TMDIChildRec::CustomDraw(NMLVCUSTOMDRAW& Draw) {
    switch (Draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const size_t row = Draw.nmcd.dwItemSpec;
        const int sub = Draw.iSubItem;
        const TColor font = sub >= 2 && sub <= 4
                                ? FGraphPanel->Graph().Series[static_cast<size_t>(sub - 2)].Color
                                : 0x000000;
        const TRowColors c =
            RowColors(FRec.Data().Samples, row, FSel.Contains(static_cast<int64_t>(row)),
                      VisibleSpan(), font);
        Draw.clrText = ColorRef(c.Font);
        Draw.clrTextBk =
            c.OwnBrush ? ColorRef(c.Brush) : (FLive ? kLiveBackground : kStoredBackground);
        // The list's own highlight is never set; the row is drawn as coloured here.
        Draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

// --- IRecorderView

TRecordAnswer TMDIChildRec::AskOverwriteAppend(const std::string& Text, bool AppendEnabled) {
    FQuestion.SetMessage(Text);
    FQuestion.SetAppendEnabled(AppendEnabled);
    switch (FQuestion.ShowModal()) {
    case mrYes:
        return TRecordAnswer::Overwrite;
    case mrNo:
        return TRecordAnswer::Append;
    default:
        return TRecordAnswer::Cancel;
    }
}

std::string TMDIChildRec::NodeText() {
    return FNode->Text();
}

void TMDIChildRec::FillBlockHeader(TRecBlockHeader& Header) {
    const TChamberData* chamber = ChamberData(FNode);
    const TInstrumentData* instrument = InstrumentData(FNode->Parent());
    if (!chamber || !instrument)
        return;
    Header.Interface = static_cast<uint8_t>(instrument->InterfaceIndex & 0xFF);
    Header.Chamber = static_cast<uint8_t>(chamber->Chamber);
    std::memcpy(Header.SWVers, chamber->SWVers, sizeof Header.SWVers);
    std::memcpy(Header.SerialPart, chamber->SerialPart, sizeof Header.SerialPart);
    std::memcpy(Header.Name, chamber->Name, sizeof Header.Name);
    std::memcpy(Header.DevId, instrument->DevId, sizeof Header.DevId);
    if (instrument->DevUser[0])
        std::memcpy(Header.DevUser, instrument->DevUser, sizeof Header.DevUser);
    SetFieldText(Header.OSUser, GetUserNameStr());
}

TChamberInfoTemp TMDIChildRec::ChamberInfo() {
    TChamberInfoTemp info;
    if (const TChamberData* chamber = ChamberData(FNode)) {
        info.RecordFileName = chamber->RecordFileName;
        info.InfoText = chamber->InfoText;
        std::memcpy(info.Name, chamber->Name, sizeof info.Name);
    }
    return info;
}

void TMDIChildRec::SampleAdded() {
    const size_t count = FRec.Data().Samples.size();
    // The last row comes into view with the count: the list then draws once.
    FAutoScroll->SetCount(count);
    FGraphPanel->Graph().Series.PointCount = static_cast<int64_t>(count);
    FView->SampleAdded();
    UpdateStatusBar();
    if (reinterpret_cast<HWND>(SendMessageA(FHost.MDIClient(), WM_MDIGETACTIVE, 0, 0)) == Handle())
        EnableSampleCommands();
}

void TMDIChildRec::LastSampleChanged() {
    const auto last = static_cast<WPARAM>(FRec.Data().Samples.size() - 1);
    SendMessageA(ListView1(), LVM_REDRAWITEMS, last, static_cast<LPARAM>(last));
}

void TMDIChildRec::DataCleared() {
    SendMessageA(ListView1(), LVM_SETITEMCOUNT, 0, 0);
    FSel.Clear();
    FValues.SelAnchor = FValues.SelEnd = -1;
    FValues.Reset();
    if (FView)
        FView->DataReplaced();
    if (FGraphPanel) {
        FGraphPanel->Graph().Series.PointCount = 0;
        InvalidateRect(FGraphPanel->Handle(), nullptr, FALSE);
    }
    InvalidateRect(ListView1(), nullptr, TRUE);
}

void TMDIChildRec::RecordingChanged() {
    ShowButtons();
    ShowRecordingState(FHost.Tree(), FNode, FRec.Recording());
}

void TMDIChildRec::MarkUnsaved() {
    if (FNode->Text().find('*') == std::string::npos)
        FHost.Tree().SetText(FNode, sUnsavedMark + FNode->Text());
}

uint64_t TMDIChildRec::NowMs() {
    return GetTickCount64();
}

// --- messages

bool TMDIChildRec::OnCommand(int Id, int Code, HWND Control) {
    if (FBar && FBar->OnCommand(Id, Code, Control))
        return true;
    if (FAutoScroll && FAutoScroll->OnCommand(Id, Code))
        return true;
    switch (Id) {
    case kRecord:
        if (Code == BN_CLICKED)
            FRec.Record();
        return true;
    case kStop:
        if (Code == BN_CLICKED && FRec.Recording())
            FRec.Stop();
        ShowButtons();
        return true;
    case kComboBoxSampleRate:
        if (Code == CBN_SELCHANGE)
            FRec.SampleRateBox().SetItemIndex(
                static_cast<int>(SendMessageA(Control, CB_GETCURSEL, 0, 0)));
        return true;
    case IMdiHost::kAcPrint:
    case IMdiHost::kAcExport:
    case IMdiHost::kAcExpGrph:
        // Only the buttons: the main window's menu has these ids too.
        if (!Control)
            return TForm::OnCommand(Id, Code, Control);
        if (Code == BN_CLICKED && FCommands)
            FCommands->ExecuteFor(*this, Id);
        return true;
    default:
        return TForm::OnCommand(Id, Code, Control);
    }
}

LRESULT TMDIChildRec::OnMessage(UINT Msg, WPARAM W, LPARAM L) {
    switch (Msg) {
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(L));
    case WM_SIZE:
        if (W != SIZE_MINIMIZED && FGraphPanel)
            FormResize();
        break;
    case kWmDocShortCut:
        return IsCtrlDown() && !IsShiftDown() && GetKeyState(VK_MENU) >= 0 && FBar->ShortCut(W);
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(L) == Handle() && IsWindowEnabled(FHost.Handle()))
            Activate();
        break;
    default:
        break;
    }
    return TForm::OnMessage(Msg, W, L);
}

TCloseAction TMDIChildRec::FormClose() {
    TMainFormCtl& main = FHost.Ctl();
    TRecCloseState state;
    state.NodeText = FNode->Text();
    state.Live = FLive;
    state.Recording = FRec.Recording();
    state.Modified = FRec.Modified();
    state.RecordingCount = GetRecordingCount(FHost.Tree());
    state.UnsavedCount =
        FLive ? GetUnsavedRecCount(FHost.Tree()) : GetUnsavedRecFileCount(FHost.Tree());
    state.MainClosing = main.Closing();
    bool& noToAll = FLive ? main.NoToAllRec : main.NoToAllRecFile;
    const bool close = RecCloseQuery(
        FHost.Boxes(), state, {main.YesToAllStop, noToAll}, [this] { FRec.Stop(); },
        [this] { return FHost.SaveDocument(*FNode); });
    if (!close)
        return TCloseAction::None;
    FRec.ClearData();
    if (TChamberData* chamber = ChamberData(FNode)) {
        for (const std::string& kept : FFiles.Delete())
            ShowErrorOrWarn(FHost.Boxes(), Format(sCannotDeleteTemp, kept.c_str()), false);
        chamber->RecordWindow = nullptr;
        chamber->RecordFileName.clear();
        FHost.Tree().SetText(FNode, RemoveUnsavedMark(FNode->Text()));
    } else if (TRecData* record = FNode->As<TRecData>()) {
        record->RecordWindow = nullptr;
        DeleteTreeNode(FHost.Tree(), FNode);
        FNode = nullptr;
    }
    FHost.SetCloseAllEnabled(FHost.MDIChildCount() > 2);
    return TCloseAction::Free;
}

void TMDIChildRec::OnNcDestroy() {
    if (FOwned)
        delete this;
}
