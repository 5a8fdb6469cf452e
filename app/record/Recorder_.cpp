#include "app/record/Recorder_.h"

#include "app/base/Guard_.h"
#include "app/base/Tools_.h"
#include "app/tree/TreeTypes_.h"

#include <cstring>
#include <utility>

namespace {

int32_t EventsOf(uint32_t Interval) {
    if (Interval < 1)
        return 1;
    return Interval > INT32_MAX ? INT32_MAX : static_cast<int32_t>(Interval);
}

} // namespace

TRecorder::TRecorder(IRecorderView& View, TTempFiles& Files, IMessageBoxes& Boxes, IInfoBox& Info,
                     std::string TempDir)
    : FView(View), FFiles(Files), FBoxes(Boxes), FInfo(Info), FTempDir(std::move(TempDir)) {}

void TRecorder::SetButtons(bool Recording) {
    FButtons.RecordChecked = Recording;
    FButtons.StopEnabled = Recording;
    FButtons.StopChecked = !Recording;
    FButtons.EndIsCheck = Recording;
    FButtons.SampleRateEnabled = !Recording;
    FView.ButtonsChanged();
}

void TRecorder::Record() {
    SetButtons(true);
    TRecordAnswer answer = TRecordAnswer::Append;
    int32_t interval = 0;
    if (!AskToStart(answer)) {
        if (!FRecording)
            Stop();
        return;
    }
    // From here until the block is open the data are half made.
    TFlagScope starting(FStarting);
    if (answer == TRecordAnswer::Overwrite)
        Overwrite(interval);
    else if (FEmpty || FCurrent.Interval < 1)
        interval = FRateBox.GetSampleRate(FData.Samples);
    else
        interval = EventsOf(FCurrent.Interval); // a new block goes on at the old pace
    if (!OpenBlock(interval) && !FRecording)
        Stop();
}

void TRecorder::Resume() {
    FEmpty = true;
    FAtOnce = true;
    Record();
}

bool TRecorder::AskToStart(TRecordAnswer& Answer) {
    if (FEmpty) {
        Answer = TRecordAnswer::Append;
        return true;
    }
    const std::string name = RemoveUnsavedMark(FView.NodeText());
    Answer = FView.AskOverwriteAppend(name + sAlreadyContainsData, !FRecording);
    if (Answer == TRecordAnswer::Append)
        return !FRecording;
    if (Answer != TRecordAnswer::Overwrite)
        return false;
    return MsgDlgScreenCenter(FBoxes, name + sReallyOverwrite, mtConfirmation, {mbOK, mbCancel},
                              mbOK, 0) == mrOk;
}

void TRecorder::Overwrite(int32_t& Interval) {
    const uint32_t remembered = FCurrent.Interval;
    ClearData();
    CheckWrite(FFiles.Clear(FView.ChamberInfo()));
    FDataReplaced = true;
    if (FRateBox.ShowsCustom() && remembered >= 1) {
        Interval = EventsOf(remembered);
    } else {
        Interval = FRateBox.GetSampleRate(FData.Samples);
        FRateBox.DropCustom();
    }
}

bool TRecorder::OpenBlock(int32_t Interval) {
    FRateBox.SetSampleRate(Interval);
    TRecBlockHeader header = FCurrent;
    FView.FillBlockHeader(header);
    header.Interval = static_cast<uint32_t>(Interval);
    header.Count = 0;
    if (!AppendBlock(FData, header)) {
        ShowMsgDlg(FBoxes, sTooManyBlocks, mtError, {mbOK}, mbOK, 0, poOwnerFormCenter);
        return false;
    }
    FCurrent = FData.Headers.back();
    CheckWrite(FFiles.Append(FData, FView.NowMs()));
    FEmpty = false;
    FRecording = true;
    FView.ButtonsChanged();
    FView.RecordingChanged();
    return true;
}

void TRecorder::AddLiveSample(const TChamberLive& Live) {
    if (FStarting || FInEvent || !FRecording)
        return;
    TFlagScope inEvent(FInEvent);
    if (FAtOnce)
        FEventsLeft = 0;
    else if (FEventsLeft > 0)
        --FEventsLeft;
    try {
        const int32_t gap = FLastStamp.Year ? MeasTimeDiff(Live.Stamp, FLastStamp) : 0;
        if (gap < -kMaxEventGap || gap > kMaxEventGap || !(Live.Meas.Status & csPresent)) {
            FAtOnce = true;
        } else {
            FView.UpdateUnits();
            if (FEventsLeft <= 0)
                TakeSample(Live);
            EnterStatistics(Live);
        }
        FLastStamp = Live.Stamp;
    } catch (...) {
        Stop();
        throw;
    }
}

void TRecorder::TakeSample(const TChamberLive& Live) {
    TRecBlockHeader& block = FData.Headers.back();
    FEventsLeft = EventsOf(block.Interval);
    TSample sample = {};
    std::memcpy(&sample, &Live, sizeof Live);
    sample.Mark = block.Count == 0 ? smBlockStart : 0;
    if (FAtOnce) {
        sample.Mark = smInterrupted;
        FAtOnce = false;
    }
    sample.Block = block.Block;
    FData.Samples.push_back(sample);
    ++block.Count;
    CheckWrite(FFiles.Append(FData, FView.NowMs()));
    FModified = true;
    FView.MarkUnsaved();
    FView.SampleAdded();
}

void TRecorder::EnterStatistics(const TChamberLive& Live) {
    if (FStats.Update(Live) || !this->Live)
        FView.StatisticsChanged();
    ++FStats.Count;
}

void TRecorder::CheckWrite(bool Written) {
    if (!Written)
        FInfo.ShowInfo(Format(sCannotWriteTemp, FTempDir.c_str()));
}

void TRecorder::Stop() {
    SetButtons(false);
    StopRecording();
}

void TRecorder::StopRecording() {
    FRecording = false;
    FView.RecordingChanged();
    if (!FData.Samples.empty()) {
        FData.Samples.back().Mark |= smStopped;
        CheckWrite(FFiles.Stop(FData));
        FView.LastSampleChanged();
    }
    FLastStamp = {};
    FEventsLeft = 0;
    FAtOnce = false;
}

void TRecorder::ClearData() {
    FData = {};
    FCurrent = {};
    FEmpty = true;
    FLastStamp = {};
    FEventsLeft = 0;
    FAtOnce = false;
    FModified = false;
    FDataReplaced = false;
    FStats.Count = 1;
    FView.DataCleared();
}

void TRecorder::SetData(TRecording Data, bool Modified) {
    FData = std::move(Data);
    FCurrent = FData.Headers.empty() ? TRecBlockHeader{} : FData.Headers.back();
    FEmpty = FData.Headers.empty();
    FModified = Modified;
    if (FCurrent.Interval >= 1)
        FRateBox.SetSampleRate(EventsOf(FCurrent.Interval));
    FView.ButtonsChanged();
}
