#include "app/instruments/Watchdog_.h"

#include "app/base/Tools_.h"
#include "app/tree/TreeNodes_.h"

#include <algorithm>

namespace {

// FileAge's answer for a file whose time cannot be read.
constexpr int32_t kNoFileAge = -1;

// Runs Undo when the scope ends, however it ends.
template <class F>
class TAtExit {
public:
    explicit TAtExit(F Undo) : FUndo(std::move(Undo)) {}
    TAtExit(const TAtExit&) = delete;
    TAtExit& operator=(const TAtExit&) = delete;
    ~TAtExit() { FUndo(); }

private:
    F FUndo;
};

} // namespace

template <class F>
void TWatchdog::ForEachRecordWindow(int32_t InterfaceIndex, F&& Visit) {
    for (int32_t j = 0;; ++j) {
        TTreeNode* node = FLive.FindInstrument(InterfaceIndex);
        if (!node || j >= node->Count())
            return;
        if (TChamberData* c = ChamberData(node->Item(j)); c && c->RecordWindow)
            Visit(*c->RecordWindow);
    }
}

void TWatchdog::TimerComTimer() {
    for (int32_t index : InstrumentIndexes(FEnv.Tree)) {
        if (FState.Connecting(DeviceIndexOf(index)))
            continue;
        TTreeNode* node = FLive.FindInstrument(index);
        if (!node)
            continue;
        TInstrumentData& d = *InstrumentData(node);
        if (++d.SilenceCount < kSilentTicks)
            continue;
        // Counted anew before acting, so the next attempt comes five ticks later;
        // ticks that run inside the action (a box) leave this instrument alone.
        d.SilenceCount = 0;
        const TConnectScope acting(FState, DeviceIndexOf(index));
        MarkLost(index);
        Reopen(index);
        if (TTreeNode* after = FLive.FindInstrument(index))
            InstrumentData(after)->SilenceCount = 0;
    }
}

void TWatchdog::MarkLost(int32_t InterfaceIndex) {
    // Every chamber reads as absent: those without a window go, the others show it.
    const TMEASall none{};
    FLive.UpdateTree(DeviceIndexOf(InterfaceIndex), none, false);
    TTreeNode* node = FLive.FindInstrument(InterfaceIndex);
    if (!node)
        return;
    const int32_t image = InstrumentImage(node->Kind(), false);
    FEnv.Tree.SetNodeImages(node, image, image, node->StateIndex());
    for (int32_t j = 0; j < node->Count(); ++j)
        if (TChamberData* c = ChamberData(node->Item(j)))
            c->Live = {};
    ForEachRecordWindow(InterfaceIndex,
                        [this](IRecordWindow& Window) { FEnv.Host.ShowActualValues(Window); });
    node = FLive.FindInstrument(InterfaceIndex);
    if (IOverviewWindow* overview = node ? InstrumentData(node)->OverviewWindow : nullptr)
        overview->UpdateOverview();
}

void TWatchdog::Reopen(int32_t InterfaceIndex) {
    const TDevIndex deviceIndex = DeviceIndexOf(InterfaceIndex);
    if (TInterfaceIndex(InterfaceIndex).Serial()) {
        // Free only when this application no longer holds the port.
        if (!FEnv.Api.IsComAvailable(deviceIndex))
            return;
        const TCursorScope hourglass(FEnv.Host, TCursorKind::HourGlass);
        if (FConnection.OpenCom(deviceIndex) == 0)
            FConnection.InitComm(deviceIndex);
    } else {
        // A device that is still present is opened again with the same key.
        FConnection.CloseLink(InterfaceIndex);
        FConnection.ScanUsbDevices(false);
    }
}

void TWatchdog::AcRefreshExecute() {
    FEnv.Host.SetRefreshEnabled(false);
    const TAtExit enable([this] { FEnv.Host.SetRefreshEnabled(true); });
    const TCursorScope hourglass(FEnv.Host, TCursorKind::HourGlass);
    FConnection.ScanUsbDevices(false);
    for (int32_t index : InstrumentIndexes(FEnv.Tree)) {
        TMEASall meas{};
        // An instrument that does not answer shows all its chambers as absent.
        const TDevIndex device = DeviceIndexOf(index);
        if (FEnv.Api.GetMeasAll(device, &meas) != 0)
            meas = {};
        FLive.UpdateTree(device, meas, true);
        // The instrument's units may have changed.
        ForEachRecordWindow(index,
                            [this](IRecordWindow& Window) { FEnv.Host.UpdateUnits(Window); });
    }
}

std::vector<TTreeNode*> TWatchdog::RecordFileNodes() const {
    std::vector<TTreeNode*> nodes;
    const TTreeNode* root = FEnv.Tree.Root();
    for (int32_t i = 0; root && i < root->Count(); ++i) {
        const TTreeNode* folder = root->Item(i);
        if (folder->Kind() != nkRecordsFolder)
            continue;
        for (int32_t j = 0; j < folder->Count(); ++j)
            nodes.push_back(folder->Item(j));
    }
    return nodes;
}

void TWatchdog::TimerRecTimer() {
    if (!FTimerRecEnabled)
        return;
    // A question open for minutes must not stack further ticks.
    FTimerRecEnabled = false;
    const TAtExit enable([this] { FTimerRecEnabled = true; });
    // Looked up again after every question: the timers change the tree meanwhile.
    const auto current = [this](TTreeNode* Node) -> TRecData* {
        const std::vector<TTreeNode*> nodes = RecordFileNodes();
        return std::find(nodes.begin(), nodes.end(), Node) != nodes.end() ? Node->As<TRecData>()
                                                                          : nullptr;
    };
    for (TTreeNode* node : RecordFileNodes()) {
        const TRecData* rec = current(node);
        // A record that was not loaded from a file with blocks has no instrument id.
        if (!rec || FieldText(rec->InstrumentId).empty() || !FEnv.Host.FileExists(rec->FileName))
            continue;
        const int32_t age = FEnv.Host.FileAge(rec->FileName);
        if (age == kNoFileAge || static_cast<double>(age) == rec->FileAge)
            continue;
        const std::string fileName = rec->FileName;
        if (AskYesNo(FEnv.Boxes, Format(sFileChanged, fileName.c_str()), false)) {
            // Closing the window removes its node.
            if (const TRecData* now = current(node); now && now->RecordWindow)
                now->RecordWindow->Close();
            FEnv.Host.LoadFile(fileName);
            return;
        }
        // Asked again only after the next change.
        if (TRecData* now = current(node))
            now->FileAge = age;
    }
}
