// TMDIChildRec: the record window of one chamber (live) or of one record file
// (stored), an MDI child of the main window: the sample list, the line graph,
// Record and Stop with the sample-rate box, the live values and statistics
// under the list and the status bar. TRecorder (Recorder_.h) records; the
// window shows what it does. It frees itself when closed.
#pragma once

#include "app/base/Form_win.h"
#include "app/graph/LineGraph_win.h"
#include "app/main/MdiHost_win.h"
#include "app/record/QuestionForms_win.h"
#include "app/record/RecAutoScroll_win.h"
#include "app/record/RecGraphBar_win.h"
#include "app/record/RecGraphValues_.h"
#include "app/record/RecList_.h"
#include "app/record/Recorder_.h"
#include "app/record/RecTexts_.h"
#include "app/record/RecView_.h"
#include "app/record/SeriesDialogs_.h"
#include "app/record/WinFiles_win.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include <functional>

class TMDIChildRec;

// What a record window's Print, Export and Export Graph buttons run: the main
// window's command Id (IMdiHost::kAcPrint, kAcExport, kAcExpGrph) on that
// window, whatever the tree selects.
class IRecordCommands {
public:
    virtual void ExecuteFor(TMDIChildRec& Window, int Id) = 0;
    // False without a default printer: the window shows no Print then.
    virtual bool CanPrint() const = 0;

protected:
    ~IRecordCommands() = default;
};

class TMDIChildRec : public TForm,
                     public IRecordWindow,
                     private IRecorderView,
                     private IRecViewHost,
                     private ISeriesWindow {
public:
    // A new window of Node in Host's document area, shown; Node's record does
    // not refer to it yet. AutoRestore: the preference autorest. Question and
    // Info: the question forms every record window shares. Null when it cannot
    // be made.
    static TMDIChildRec* New(IMdiHost& Host, TTreeNode& Node, bool Live,
                             std::function<bool()> AutoRestore, TOverwriteAppendWin& Question,
                             TInfoBox& Info);

    TRecorder& Recorder() { return FRec; }
    TLineGraph& Graph() { return FGraphPanel->Graph(); }
    TRecView& View() { return *FView; }
    TRecGraphBar& GraphBar() { return *FBar; }
    TRecAutoScroll& AutoScroll() { return *FAutoScroll; }
    // The preferences' graph defaults: units, graph settings, sample rate.
    void SetDefaultSettings(const TGraphDefaults& D);
    // The series and units dialogs; the series button stays disabled without them.
    void SetSeriesDialogs(ISeriesDialogs* Dialogs);
    // The print and export buttons, shown only with Commands.
    void SetRecordCommands(IRecordCommands* Commands);
    void ApplySeriesProps(const TSeriesEdit& Edit) override;
    // The preferences' standard settings pushed into an open window: graph
    // settings (its statistics kept) and units; a chamber's window (Recorder)
    // also takes the sample rate unless it records.
    void ApplyStandardSettings(const TGraphDefaults& D, bool Recorder);
    HWND GraphPanel() const { return FGraphPanel->Handle(); }
    HWND ListView1() const { return Control(kListView1); }
    HWND StatusBar1() const { return Control(kStatusBar1); }
    HWND ComboBoxSampleRate() const { return Control(kComboBoxSampleRate); }
    HWND ButtonRecord() const { return Control(kRecord); }
    HWND ButtonStop() const { return Control(kStop); }
    HWND EditAlignHumAct() const { return Control(kEditHumAct); }
    HWND EditAlignTempAct() const { return Control(kEditTempAct); }
    // Humidity minimum, mean, maximum, then temperature.
    HWND StatisticsEdit(int Index) const { return Control(kEditStats + Index); }
    const TSampleSelection& Selection() const { return FSel; }
    void SelectSample(int64_t Index, bool Shift);
    void SetLiveMode(bool Live);
    // Samples and headers restored or loaded into the window.
    void SetData(TRecording Data, bool Modified);
    // Statistics gathered outside the window (an import), shown at once.
    void SetStatistics(const TRecStatistics& Stats);
    // Column captions and graph series in the window's units; the time column
    // after the kind of its samples' stamps.
    void RelabelWindow();
    // A chamber window's temporary files in Dir (with a trailing backslash),
    // what they hold restored; the sample file's name, empty when they cannot
    // be made.
    std::string OpenTempFiles(const std::string& Dir);
    // A record file loaded into a live window, to go on recording after it;
    // raises std::runtime_error when it cannot be read.
    void LoadRecordFile(const std::string& FileName);
    // Writes the recording to FileName, whole or not at all, and marks it saved;
    // raises std::runtime_error with the message to show when it cannot.
    void SaveRecordFile(const std::string& FileName);
    bool DataReplaced() const { return FRec.DataReplaced(); }
    void SetCaptionText(const std::string& Text);
    // Its node selected, the list focused.
    void Activate();
    TTreeNode& Node() const { return *FNode; }

    void Show() override;
    void Close() override { TForm::Close(); }
    bool Recording() const override { return FRec.Recording(); }
    bool Modified() const override { return FRec.Modified(); }
    bool HasSamples() const override { return !FRec.Data().Samples.empty(); }
    TUnitOverrides UnitOverrides() const override { return FOverrides; }
    void AddLiveSample() override;
    void ShowActualValues() override;
    void UpdateUnits() override;

protected:
    TCloseAction FormClose() override;
    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;
    void OnNcDestroy() override;

private:
    enum : int {
        kListView1 = 100,
        kStatusBar1,
        kComboBoxSampleRate,
        kRecord,
        kStop,
        kEditHumAct,
        kEditTempAct,
        kEditStats, // six of them
        kAutoScroll = kEditStats + 6,
        kGraphBar,
    };

    TMDIChildRec(IMdiHost& Host, TTreeNode& Node, std::function<bool()> AutoRestore,
                 TOverwriteAppendWin& Question, TInfoBox& Info);
    void FormCreate();
    void FormResize();
    void ShowStatistics();
    void UpdateStatusBar();
    void ShowButtons();
    void FillSampleRateBox();
    LRESULT OnNotify(NMHDR& Header);
    void GetDispInfo(NMLVDISPINFOA& Info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& Draw);
    void ItemSelected(int Index);
    TTimeSpan VisibleSpan();
    TChamberLive Live() const;
    TListUnits ListUnits() const { return {FUnits[0], FUnits[1], FUnits[2], FExtended}; }
    void LineGraphClick(bool InField);
    void ShowSeriesProperties();

    // IRecorderView
    TRecordAnswer AskOverwriteAppend(const std::string& Text, bool AppendEnabled) override;
    std::string NodeText() override;
    void FillBlockHeader(TRecBlockHeader& Header) override;
    TChamberInfoTemp ChamberInfo() override;
    void SampleAdded() override;
    // Save, Save As, Export and Export Graph, once there are samples.
    void EnableSampleCommands();
    void LastSampleChanged() override;
    void DataCleared() override;
    void StatisticsChanged() override { ShowStatistics(); }
    void ButtonsChanged() override { ShowButtons(); }
    void RecordingChanged() override;
    void MarkUnsaved() override;
    uint64_t NowMs() override;

    // IRecViewHost
    void ViewChanged() override;
    void ZoomChanged() override;
    void RefreshList() override;
    void RepaintGraph() override;
    // Also ISeriesWindow's.
    void ApplyUnitChoices(const std::array<int32_t, 3>& Choices) override;

    // ISeriesWindow
    std::array<uint8_t, 3> UnitsInForce() const override {
        return {FUnits[0], FUnits[1], FUnits[2]};
    }
    std::array<int32_t, 3> UnitChoices() const override {
        return {FOverrides.HumMode, FOverrides.TempUnit, FOverrides.DateFmt};
    }
    void RestoreSeriesView() override;

    IMdiHost& FHost;
    TTreeNode* FNode;
    std::function<bool()> FAutoRestore;
    TWinFileSystem FFs;
    TTempFiles FFiles{FFs};
    TOverwriteAppendWin& FQuestion;
    TInfoBox& FInfo;
    TRecorder FRec;
    TRecGraphValues FValues;
    std::unique_ptr<TLineGraphPanel> FGraphPanel;
    std::unique_ptr<TRecView> FView;
    std::unique_ptr<TRecGraphBar> FBar;
    std::unique_ptr<TRecAutoScroll> FAutoScroll;
    ISeriesDialogs* FSeriesDialogs = nullptr;
    IRecordCommands* FCommands = nullptr;
    int FToolsRight = 0; // right of the print and export buttons, where the graph bar may start
    TSampleSelection FSel;
    // What the rows in view were last shaded and coloured after.
    struct TListLook {
        TTimeSpan Span;
        std::array<TColor, 3> Colors;
    };
    std::optional<TListLook> FListLook;
    std::array<std::string, 4> FPanels;
    TUnitOverrides FOverrides;
    uint8_t FUnits[3] = {255, 255, 255}; // humidity mode, temperature unit, date format applied
    bool FLive = false;
    bool FExtended = false;
    bool FOwned = false;
};
