// The connect dialog "Select COM": a drop-down list of the serial ports that can
// be opened, with "Open" and an Esc-only "Cancel". Created once at start,
// centred on the main window whenever it is shown.
#pragma once

#include "app/base/Form_win.h"
#include "app/instruments/LinkApi_.h"

#include <cstdint>

class TInstrConnFrm : public TForm {
public:
    TInstrConnFrm(HWND Owner, ILinkApi& Api);

    // Fills the list and shows the dialog modally; mrOk when Open was pressed.
    int Execute();
    // The port of the selected item; 0 when none is selected.
    int32_t GetSelectedPort() const;

    HWND ComboBox1() const { return Control(kComboBox1); }
    HWND Label1() const { return Control(kLabel1); }
    HWND BitBtn1() const { return Control(kBitBtn1); }
    HWND Button1() const { return Control(kButton1); }

private:
    enum : int {
        kComboBox1 = 100,
        kLabel1,
        kBitBtn1,
        kButton1,
    };

    void FormCreate();
    void FormShow();
    void FillComList();
    // Places the controls centred in a client area Width pixels wide.
    void CenterControls(int Width);

    HWND FOwner;
    ILinkApi& FApi;
};
