// The recording engine of a chamber's record window: Record opens a block (or
// starts over), every so many measurement events become a sample in memory and
// in the temporary files at once, Stop closes the block. The window shows what
// the engine does through IRecorderView.
#pragma once

#include "app/base/MsgDlg_.h"
#include "app/record/RecStatistics_.h"
#include "app/record/SampleRate_.h"
#include "app/record/TempFiles_.h"
#include "app/record/TempRestore_.h"
#include "app/values/ChamberLive_.h"
#include "app/values/RecordData_.h"

#include <cstdint>
#include <string>

inline constexpr char sAlreadyContainsData[] = " allready contains data!";
inline constexpr char sReallyOverwrite[] =
    " contains unsaved data.\r\rDo you really want to overwrite?";

// A gap between two measurement events longer than this (either way) is an
// interruption of the recording.
inline constexpr int32_t kMaxEventGap = 3;

enum class TRecordAnswer { Overwrite, Append, Cancel };

// The states of the window's Record and Stop actions, the End tool button and
// the sample-rate box.
struct TRecordButtons {
    bool RecordChecked = false;
    bool StopEnabled = false;
    bool StopChecked = true;
    bool EndIsCheck = false; // the End tool button follows the last sample while down
    bool SampleRateEnabled = true;
};

class IRecorderView {
public:
    // The Overwrite/Append question of TOverwriteAppendWin, modal.
    virtual TRecordAnswer AskOverwriteAppend(const std::string& Text, bool AppendEnabled) = 0;
    // The chamber node's text.
    virtual std::string NodeText() = 0;
    // Fills what a new block takes from the chamber and the instrument: interface,
    // chamber, software version, serial part, name, device id and both users.
    virtual void FillBlockHeader(TRecBlockHeader& Header) = 0;
    // What the chamber-info temporary file holds now.
    virtual TChamberInfoTemp ChamberInfo() = 0;
    virtual void UpdateUnits() = 0;

    // After each sample: list count, End, automatic ranges and offset, graph,
    // status bar, Auto Scroll, the main window's save actions.
    virtual void SampleAdded() = 0;
    // The last sample changed (its stop mark).
    virtual void LastSampleChanged() = 0;
    // Samples and headers are gone: list count 0, no selection, graph empty.
    virtual void DataCleared() = 0;
    virtual void StatisticsChanged() = 0;
    // Buttons, the sample-rate box or the graph's interval changed.
    virtual void ButtonsChanged() = 0;
    // Recording began or ended: the node's state image.
    virtual void RecordingChanged() = 0;
    // Samples that are not saved: the node text's unsaved mark.
    virtual void MarkUnsaved() = 0;
    virtual uint64_t NowMs() = 0;

protected:
    ~IRecorderView() = default;
};

class TRecorder {
public:
    // TempDir names the folder in the write-failure notice.
    TRecorder(IRecorderView& View, TTempFiles& Files, IMessageBoxes& Boxes, IInfoBox& Info,
              std::string TempDir);
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    const TRecording& Data() const { return FData; }
    const TRecBlockHeader& CurrentHeader() const { return FCurrent; }
    const TRecStatistics& Statistics() const { return FStats; }
    const TRecordButtons& Buttons() const { return FButtons; }
    TSampleRateBox& SampleRateBox() { return FRateBox; }
    const TSampleRateBox& SampleRateBox() const { return FRateBox; }
    bool Recording() const { return FRecording; }
    bool Empty() const { return FEmpty; }
    bool Modified() const { return FModified; }
    bool DataReplaced() const { return FDataReplaced; }
    void SetModified(bool Modified) { FModified = Modified; }
    void SetDataReplaced(bool Replaced) { FDataReplaced = Replaced; }
    // Stored-record windows show statistics on every update, live ones on change.
    bool Live = true;

    // The Record action, with its questions.
    void Record();
    // The Stop action; also how the window ends a recording itself.
    void Stop();
    // An automatic restore of a recording that was not stopped: a new block
    // without a question, its first sample marked as after an interruption.
    void Resume();
    // One measurement event of the window's chamber. An exception stops the
    // recording and is passed on.
    void AddLiveSample(const TChamberLive& Live);
    void ClearData();
    // Data loaded or restored: Current becomes a copy of the last block's header
    // and the box shows its interval.
    void SetData(TRecording Data, bool Modified);
    void SetStatistics(const TRecStatistics& Stats) { FStats = Stats; }
    // The folder named in the write-failure notice.
    void SetTempDir(std::string Dir) { FTempDir = std::move(Dir); }

private:
    bool AskToStart(TRecordAnswer& Answer);
    void Overwrite(int32_t& Interval);
    bool OpenBlock(int32_t Interval);
    void TakeSample(const TChamberLive& Live);
    void EnterStatistics(const TChamberLive& Live);
    void CheckWrite(bool Written);
    void StopRecording();
    void SetButtons(bool Recording);

    IRecorderView& FView;
    TTempFiles& FFiles;
    IMessageBoxes& FBoxes;
    IInfoBox& FInfo;
    std::string FTempDir;

    TRecording FData;
    TRecBlockHeader FCurrent = {};
    TRecStatistics FStats;
    TSampleRateBox FRateBox;
    TRecordButtons FButtons;
    bool FEmpty = true;
    bool FRecording = false;
    // Cleared together by ClearData.
    TMeasStamp FLastStamp = {};
    int32_t FEventsLeft = 0;
    bool FAtOnce = false;
    bool FModified = false;
    bool FDataReplaced = false;
    // Record and AddLiveSample run modal boxes, and the library's timer feeds
    // events meanwhile: such an event must not see the data cleared by
    // Overwrite before the new block is open, nor a sample half taken.
    bool FStarting = false;
    bool FInEvent = false;
};
