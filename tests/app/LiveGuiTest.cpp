// Live values end to end under Wine, with the instrument simulator behind the
// real libraries and every wait bounded:
// - TessalyMC.exe reconnects the Zephora on COM33 at its start ("openedcom" with
//   "autoconn"); the tree shows the instrument with its present chambers and the
//   overview their values, both follow the simulator's chambers; a silent
//   instrument is marked lost within about five seconds and comes back;
// - the main window in this test, on TWinLinkApi, finds the Kivanter behind a
//   USB device path (the stand-in winusb.dll carries its pipes to COM34's pty):
//   it enters the tree with its first measurement, is lost when silent, and
//   comes back under its old key.
#include "app/base/MsgDlg_win.h"
#include "app/instruments/LinkApi_win.h"
#include "app/main/MainForm_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/GuiHelpers_win.h"
#include "tests/app/support/MemRegistry.h"
#include "tests/app/support/ProgramHelpers_win.h"
#include "tests/app/support/ScriptedBoxes.h"
#include "tests/support/USBTestSupport_win.h"
#include "tests/support/WineTestSupport_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSerialPort = 33;
constexpr int kUsbPort = 34;

// Replaces the control file of the simulator on COMn whole; true once it took effect.
bool ControlSim(int Port, const std::string& Text) {
    const char* ports = std::getenv("QUORX_PORTS_DIR");
    return ports &&
           SimControlFile(WinePath(std::string(ports) + "/control" + std::to_string(Port)), Text);
}

// --- TessalyMC.exe with the Zephora on COM33

// The program's tree and its overview window.
class TLiveView : public TProgramView {
public:
    using TProgramView::TProgramView;

    HWND Overview() const { return FindWindowExA(FClient, nullptr, "TMDIChildOvV", nullptr); }
    // Each chamber frame of the overview, sorted: its caption and its actual
    // humidity and temperature (the frame's first two edits).
    std::vector<std::string> OverviewFrames() const {
        std::vector<std::string> frames;
        const HWND overview = Overview();
        for (HWND f = FindWindowExA(overview, nullptr, "TOvVFrame", nullptr); f;
             f = FindWindowExA(overview, f, "TOvVFrame", nullptr)) {
            const HWND hum = FindWindowExA(f, nullptr, "EDIT", nullptr);
            const HWND temp = FindWindowExA(f, hum, "EDIT", nullptr);
            frames.push_back(WindowText(f) + ": " + WindowText(hum) + " " + WindowText(temp));
        }
        std::sort(frames.begin(), frames.end());
        return frames;
    }
    // True when the overview shows Text in one of its labels.
    bool OverviewShows(const std::string& Text) const {
        const HWND overview = Overview();
        for (HWND l = FindWindowExA(overview, nullptr, "STATIC", nullptr); l;
             l = FindWindowExA(overview, l, "STATIC", nullptr))
            if (IsWindowVisible(l) && WindowText(l) == Text)
                return true;
        return false;
    }
};

TEST(LiveProgram, ReconnectsAtStartShowsLiveValuesLosesTheSilentInstrumentAndRecovers) {
    if (!std::getenv("QUORX_SIM_PTY"))
        GTEST_SKIP() << "no simulator (run through with-com-port)";
    ASSERT_TRUE(ControlSim(kSerialPort, "fault none\nchambers 0,3,5\n"));
    Unmanaged();
    const TSavedValue openedCom("openedcom");
    const TSavedValue autoConn("autoconn");
    ASSERT_TRUE(ConnectAtStart(kSerialPort));

    TProcess program("");
    ASSERT_TRUE(program.Started());
    const HWND frame = WaitForFrame(program.Id());
    ASSERT_NE(frame, nullptr) << "no frame within 10 s";
    const TLiveView view(program, frame);

    // Connected at the start: the instrument with its present chambers.
    const int present0 = ChamberImage(nkZephoraChamber0, true);
    const int present = ChamberImage(nkZephoraChamber, true);
    const std::vector<std::string> all = {"Chamber 0 - 2000300", "Chamber 3 - 2000303",
                                          "Chamber 5 - 2000305"};
    const auto connected = [&](const std::vector<std::string>& Chambers) {
        const TInstrumentView v = view.Instrument();
        std::vector<int> images(Chambers.size(), present);
        images.front() = present0;
        return v.Text == "COM33 2000300" && v.Image == imSerialInstrument &&
               v.Chambers == Chambers && v.ChamberImages == images;
    };
    ASSERT_GE(WaitFor(10000, [&] { return connected(all); }), 0)
        << "tree: " << view.Instrument().Text << " with " << view.Instrument().Chambers.size()
        << " chambers";

    // F2 on the instrument: the overview shows the simulator's values.
    SendMessageA(view.Tree(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(view.InstrumentItem()));
    PostMessageA(view.Tree(), WM_KEYDOWN, VK_F2, 1);
    const std::vector<std::string> values = {"Chamber 0 - 2000300: 0.751 24.8",
                                             "Chamber 3 - 2000303: 0.823 30.1",
                                             "Chamber 5 - 2000305: 0.432 -5.3"};
    EXPECT_GE(WaitFor(5000, [&] { return view.OverviewFrames() == values; }), 0)
        << "overview: " << ::testing::PrintToString(view.OverviewFrames());
    EXPECT_EQ(WindowText(view.Overview()), "COM33 - Overview");

    // The chambers follow the instrument.
    ASSERT_TRUE(ControlSim(kSerialPort, "chambers 0,5\n"));
    EXPECT_GE(WaitFor(5000,
                      [&] {
                          return connected({all[0], all[2]}) &&
                                 view.OverviewFrames() ==
                                     std::vector<std::string>{values[0], values[2]};
                      }),
              0);
    ASSERT_TRUE(ControlSim(kSerialPort, "chambers 0,3,5\n"));
    EXPECT_GE(WaitFor(5000, [&] { return connected(all) && view.OverviewFrames() == values; }), 0);

    // Silent: lost on the watchdog's fifth silent second, its chambers gone.
    ASSERT_TRUE(ControlSim(kSerialPort, "fault silence\n"));
    const int lostAfter = WaitFor(10000, [&] {
        const TInstrumentView v = view.Instrument();
        return v.Image == imSerialInstrumentLost && v.Chambers.empty();
    });
    EXPECT_GE(lostAfter, 3500) << "lost too early";
    EXPECT_LE(lostAfter, 7000) << "-1: never lost";
    EXPECT_TRUE(view.OverviewShows("No data from any chamber on COM33!"));
    EXPECT_TRUE(view.OverviewFrames().empty());

    // Back with the next measurement.
    ASSERT_TRUE(ControlSim(kSerialPort, "fault none\n"));
    EXPECT_GE(WaitFor(5000, [&] { return connected(all) && view.OverviewFrames() == values; }), 0);
    EXPECT_TRUE(WindowsOf(program.Id(), kMessageFormClass).empty()) << "no box on the way";

    // Closed cleanly, the port stored for the next start.
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u);
    std::array<BYTE, 32> stored{};
    DWORD size = static_cast<DWORD>(stored.size());
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kEnvironmentKey, "openedcom", RRF_RT_REG_BINARY,
                           nullptr, stored.data(), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(stored, OpenedComPorts(kSerialPort));
}

// --- The main window in this test with the Kivanter on USB

class LiveUsb : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("QUORX_SIM_PTY"))
            GTEST_SKIP() << "no simulator (run through with-usb-device and with-com-port)";
        const char* overrides = std::getenv("WINEDLLOVERRIDES");
        if (!overrides || std::string(overrides).find("winusb=n") == std::string::npos)
            GTEST_SKIP() << "the stand-in winusb.dll is not asked for (WINEDLLOVERRIDES=winusb=n)";
        ASSERT_TRUE(ControlSim(kUsbPort, "fault none\n"));
        ASSERT_TRUE(device.Ok());
    }
    void TearDown() override {
        // The links close with the window, before the tree their handlers work on goes.
        if (form && form->Handle())
            DestroyWindow(form->Handle());
        PumpMessages();
    }

    TTreeNode* Instrument() {
        TTreeNode* root = form->Tree().Root();
        return root && root->Count() > 0 ? root->Item(0) : nullptr;
    }
    // The instrument on its USB key with its two chambers showing the simulator's values.
    bool Live(int Image) {
        TTreeNode* instrument = Instrument();
        if (!instrument || instrument->Text() != "USB1 2000400" ||
            instrument->ImageIndex() != Image || instrument->Count() != 2 ||
            InstrumentData(instrument)->InterfaceIndex != 256)
            return false;
        const struct {
            const char* name;
            int16_t humidity;
            int16_t temperature;
        } chambers[] = {{"Chamber 0 - 2000400", 6120, 2210}, {"Chamber 2 - 2000402", 3350, 1870}};
        for (int i = 0; i < 2; ++i) {
            const TTreeNode* node = instrument->Item(i);
            const TChamberMeas& m = ChamberData(node)->Live.Meas;
            if (node->Text() != chambers[i].name || !(m.Status & csPresent) ||
                m.Humidity != chambers[i].humidity || m.Temperature != chambers[i].temperature)
                return false;
        }
        return true;
    }

    TRegisteredDevice device{"VID_1234&PID_3E9B", "2000400"};
    TScriptedBoxes boxes;
    TMemRegistry registry;
    TWinLinkApi api;
    std::unique_ptr<TMainForm> form;
};

TEST_F(LiveUsb, EntersWithItsFirstMeasurementIsLostWhenSilentAndComesBackUnderItsKey) {
    form = std::make_unique<TMainForm>(boxes, registry, api, std::vector<std::string>{});
    ShowWindow(form->Handle(), SW_SHOW);
    SetForegroundWindow(form->Handle());
    // The first activation's scan opens it; its first measurement event enters it.
    ASSERT_GE(WaitFor(10000, [&] { return Live(imUsbInstrument); }), 0)
        << (Instrument() ? Instrument()->Text() : "no instrument");
    const TMeasStamp first = ChamberData(Instrument()->Item(0))->Live.Stamp;
    EXPECT_GE(WaitFor(3000,
                      [&] {
                          return ChamberData(Instrument()->Item(0))->Live.Stamp.Seconds !=
                                 first.Seconds;
                      }),
              0)
        << "the live values follow the measurements";

    ASSERT_TRUE(ControlSim(kUsbPort, "fault silence\n"));
    const int lostAfter = WaitFor(10000, [&] {
        return Instrument() && Instrument()->ImageIndex() == imUsbInstrumentLost &&
               Instrument()->Count() == 0;
    });
    EXPECT_GE(lostAfter, 3500) << "lost too early";
    EXPECT_LE(lostAfter, 7000) << "-1: never lost";

    // The watchdog closed the link and scanned again: the device is reopened
    // under its old key and its next measurement brings the node back.
    ASSERT_TRUE(ControlSim(kUsbPort, "fault none\n"));
    EXPECT_GE(WaitFor(8000, [&] { return Live(imUsbInstrument); }), 0);
    EXPECT_EQ(form->Tree().Root()->Count(), 1);
    EXPECT_TRUE(boxes.Shown.empty());
}

} // namespace
