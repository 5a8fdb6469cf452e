// recwin_bench [EVENTS]: a live record window holding ten million samples takes
// one more: the time from AddLiveSample until the window is repainted (list,
// graph, status bar and fields), against the bound of 5 ms, once with the view
// as it starts and once following the last sample (Auto Scroll and End down);
// then the median of each step that takes, alone. It first times one call
// that goes to the system, which under Wine is a round trip to the Wine server.
#include "app/main/MainForm_win.h"
#include "app/record/RecWin_win.h"
#include "app/record/RecWinFactory_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ScriptedBoxes.h"
#include "tools/bench/BenchClock_win.h"
#include "tools/bench/BenchFigures.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

constexpr int64_t kSamples = 10000000;
constexpr double kBoundMs = 5.0;
constexpr uint16_t kMeasuring = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;

TRecording TenMillion() {
    TRecording r;
    TRecBlockHeader h = {};
    h.Interval = 1;
    h.Count = static_cast<uint32_t>(kSamples);
    AppendBlock(r, h);
    r.Samples.resize(static_cast<size_t>(kSamples));
    for (int64_t i = 0; i < kSamples; ++i) {
        TSample& s = r.Samples[static_cast<size_t>(i)];
        s.Stamp = {1, 1, 2026, static_cast<uint32_t>(i % 86400)};
        s.Meas = {static_cast<int16_t>(5000 + i % 1000), 2500, 100, 0, kMeasuring};
        s.Block = 1;
    }
    r.Samples[0].Mark = smBlockStart;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const int events = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TFakeLinkApi api;
    TMainForm form(boxes, registry, api, {});
    ShowWindow(form.Handle(), SW_SHOWMAXIMIZED);
    TInstrumentData d;
    d.InterfaceIndex = 2;
    d.SerialNumber = 1;
    SetFieldText(d.DevId, "ZEPHORA");
    TTreeNode* instrument = form.Tree().AddChild(form.Tree().Root(), "COM3 0000001", d);
    TChamberData c;
    c.Kind = nkZephoraChamber;
    TTreeNode* chamber = form.Tree().AddChild(instrument, "Chamber 0 - 0000001", c);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "recwin_bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir); // without preferences the temporary files go here
    TRecWinFactory factory(form, [] { return false; });
    form.SetRecWindowFactory(&factory);
    form.Tree().Select(chamber);
    form.AcShowRecExecute();
    auto* w = dynamic_cast<TMDIChildRec*>(ChamberData(chamber)->RecordWindow);
    if (!w)
        return 2;
    ShowWindow(w->Handle(), SW_SHOWMAXIMIZED);
    w->SetData(TenMillion(), false);
    w->Recorder().Resume();
    PumpMessages();

    const struct {
        const char* name;
        bool follow;
    } views[] = {{"as it starts", false}, {"following the last sample", true}};
    uint32_t second = 0;
    bool within = true;
    std::printf("recwin_bench: %lld samples, %d new samples per view (interval 1 s)\n",
                static_cast<long long>(w->Recorder().Data().Samples.size()), events);
    // Under Wine most window calls go to the Wine server: what one such call
    // costs here says how to read the figures below.
    std::vector<double> callUs;
    for (int i = 0; i < 200; ++i) {
        const double start = NowMs();
        GlobalFindAtomA("recwin_bench: no such atom");
        callUs.push_back((NowMs() - start) * 1000.0);
    }
    std::printf("one call to the system (an atom looked up): median %.1f us\n",
                Percentile(callUs, 50));
    for (const auto& view : views) {
        w->AutoScroll().SetDown(view.follow);
        if (view.follow)
            w->View().EndButton(true); // up, the window keeps the start of the record
        RedrawWindow(w->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages();
        std::vector<double> ms;
        for (int i = 0; i < events; ++i) {
            TChamberData* live = ChamberData(chamber);
            live->Live.Stamp = {2, 1, 2026, second++};
            live->Live.Meas = {5000, 2500, 100, 0, kMeasuring};
            const double start = NowMs();
            w->AddLiveSample();
            RedrawWindow(w->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            ms.push_back(NowMs() - start);
            PumpMessages();
        }
        const double median = Percentile(ms, 50);
        within = within && median <= kBoundMs;
        std::printf("AddLiveSample to the window repainted, %s: median %6.2f ms  max %6.2f ms  "
                    "bound %4.1f ms  %s\n",
                    view.name, median, Percentile(ms, 100), kBoundMs,
                    median <= kBoundMs ? "within bound" : "OVER BOUND");
    }
    // Where the time goes, following the last sample: each step a new sample
    // takes, alone, at the same count; and what the list control costs by itself.
    HWND list = w->ListView1();
    auto count = static_cast<size_t>(w->Recorder().Data().Samples.size());
    const struct {
        const char* name;
        std::function<void()> step;
    } steps[] = {
        {"list count + 1, last row shown", [&] { w->AutoScroll().SetCount(++count); }},
        {"  the list control alone: count + 1",
         [&] {
             SendMessageA(list, LVM_SETITEMCOUNT, ++count,
                          LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
         }},
        {"  the list control alone: both",
         [&] {
             SendMessageA(list, LVM_SETITEMCOUNT, ++count,
                          LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
             SendMessageA(list, LVM_ENSUREVISIBLE, count - 1, FALSE);
         }},
        {"list repaint", [&] { UpdateWindow(list); }},
        {"graph views", [&] { w->View().SampleAdded(); }},
        {"  graph tool bar", [&] { w->GraphBar().Show(true); }},
        {"graph repaint",
         [&] {
             InvalidateRect(w->GraphPanel(), nullptr, FALSE);
             UpdateWindow(w->GraphPanel());
         }},
    };
    std::vector<double> stepMs;
    for (const auto& s : steps) {
        stepMs.clear();
        for (int i = 0; i < events; ++i) {
            const double start = NowMs();
            s.step();
            stepMs.push_back(NowMs() - start);
        }
        std::printf("  %-36s median %6.2f ms\n", s.name, Percentile(stepMs, 50));
    }
    SendMessageA(list, LVM_SETITEMCOUNT, w->Recorder().Data().Samples.size(), 0);
    w->Recorder().Stop();
    DestroyWindow(form.Handle());
    PumpMessages();
    return within ? 0 : 1;
}
