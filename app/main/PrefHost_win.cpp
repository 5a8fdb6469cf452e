#include "app/main/PrefHost_win.h"

#include <commctrl.h>

void TPrefHost::ShowSettingsPanels(const std::array<std::string, 3>& Texts) {
    for (int panel = 1; panel <= 3; ++panel)
        SendMessageA(FMainForm.StatusBar1(), SB_SETTEXTA, panel,
                     reinterpret_cast<LPARAM>(Texts[static_cast<std::size_t>(panel - 1)].c_str()));
}

void TPrefHost::ForEachRecorder(const std::function<void(IRecordWindow&)>& Do) {
    const TTreeNode* root = FMainForm.Tree().Root();
    if (!root)
        return;
    for (int32_t i = 0; i < root->Count(); ++i) {
        const TTreeNode* instrument = root->Item(i);
        if (!IsInstrumentKind(instrument->Kind()))
            continue;
        for (int32_t c = 0; c < instrument->Count(); ++c) {
            TTreeNode* chamber = instrument->Item(c);
            const TChamberData* data = chamber->As<TChamberData>();
            if (data && IsChamberKind(chamber->Kind()) && data->RecordWindow)
                Do(*data->RecordWindow);
        }
    }
}

int TPrefHost::CountRecorderWindows() {
    int count = 0;
    ForEachRecorder([&count](IRecordWindow&) { ++count; });
    return count;
}

void TPrefHost::ApplyToRecorders(const TGraphDefaults& Defaults) {
    if (FApply)
        ForEachRecorder([&](IRecordWindow& W) { FApply(W, Defaults, true); });
}

void TPrefHost::ApplyToRecords(const TGraphDefaults& Defaults) {
    const TTreeNode* folder = FMainForm.Tree().RecordsFolder();
    if (!folder || !FApply)
        return;
    for (int32_t i = 0; i < folder->Count(); ++i) {
        const TRecData* data = folder->Item(i)->As<TRecData>();
        if (data && data->RecordWindow)
            FApply(*data->RecordWindow, Defaults, false);
    }
}
