// Record windows of chambers in a main window, with samples recorded into
// them, for the window tests of what acts on them.
#pragma once

#include "app/main/MainForm_win.h"
#include "app/record/RecWin_win.h"
#include "app/tree/TreeNodes_.h"
#include "tests/app/support/GuiHelpers_win.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <filesystem>
#include <string>

// An empty folder Name in the temporary folder made the current one, for the
// windows' temporary files; its path.
inline std::filesystem::path EnterFreshFolder(const std::string& Name) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / Name;
    std::error_code e;
    std::filesystem::remove_all(dir, e);
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    return dir;
}

// A Zephora instrument on COM3 (interface 2), serial number 12345, under the
// tree's root.
inline TTreeNode* AddSerialInstrument(TMainForm& Form) {
    TInstrumentData d;
    d.Kind = nkSerialInstrument;
    d.InterfaceIndex = 2;
    d.SerialNumber = 12345;
    SetFieldText(d.DevId, "ZEPHORA");
    return Form.Tree().AddChild(Form.Tree().Root(), "COM3 0012345", d);
}

// Chamber Number (its name Name) of Instrument with its window open: the
// Recorder command, as a double click runs it; null without a window.
inline TMDIChildRec* OpenChamberWindow(TMainForm& Form, TTreeNode* Instrument, uint8_t Number,
                                       const std::string& Name, TTreeNode*& Node) {
    TChamberData c;
    c.Kind = nkZephoraChamber;
    c.Chamber = Number;
    SetFieldText(c.Name, Name);
    Node = Form.Tree().AddChild(Instrument, Name, c);
    Form.Tree().Select(Node);
    Form.AcShowRecExecute();
    PumpMessages();
    return dynamic_cast<TMDIChildRec*>(ChamberData(Node)->RecordWindow);
}

// Count samples into Window of Node at one a second from 10.12.2026 12:00:00,
// humidity from Hum up by 100 a sample, temperature 2500.
inline void RecordSamples(TMDIChildRec& Window, TTreeNode& Node, int16_t Hum, uint32_t Count) {
    constexpr uint16_t measuring = csPresent | csSensorOn | csHumidityValid | csTemperatureValid;
    // One sample a second: the first entry of the rate box.
    SendMessageA(Window.ComboBoxSampleRate(), CB_SETCURSEL, 0, 0);
    SendMessageA(Window.Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(Window.ComboBoxSampleRate()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Window.ComboBoxSampleRate()));
    SendMessageA(Window.ButtonRecord(), BM_CLICK, 0, 0);
    for (uint32_t i = 0; i < Count; ++i) {
        TChamberData* live = ChamberData(&Node);
        live->Live.Stamp = {10, 12, 2026, 12 * 3600 + i};
        live->Live.Meas = {static_cast<int16_t>(Hum + 100 * i), 2500, 100, 0, measuring};
        Window.AddLiveSample();
        PumpMessages();
    }
    SendMessageA(Window.ButtonStop(), BM_CLICK, 0, 0);
    PumpMessages();
}
