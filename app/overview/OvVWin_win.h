// TMDIChildOvV, "COM3 - Overview": the overview window of one instrument, an MDI
// child of the main window with a frame (OvVFrame_win.h) per present chamber.
// Its client width is fixed at 585 pixels; its height follows the frames.
// TOvVCtl (OvVView_.h) decides what it shows; the main window opens it from the
// tree (F2) and its instrument's measurement events and watchdog refresh it
// through IOverviewWindow. It frees itself when closed.
#pragma once

#include "app/base/Form_win.h"
#include "app/main/MdiHost_win.h"
#include "app/overview/OvVFrame_win.h"
#include "app/overview/OvVView_.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

class TMDIChildOvV : public TForm, public IOverviewWindow, private IOvVView {
public:
    // CreateOverviewWindow: a new overview of InstrumentNode in Host's document
    // area, waiting for data; null when it cannot be made.
    static TMDIChildOvV* CreateOverviewWindow(IMdiHost& Host, TTreeNode& InstrumentNode);

    TOvVCtl& Ctl() { return FCtl; }
    // The frame of chamber Chamber, or null.
    TOvVFrame* Frame(int32_t Chamber) const;
    HWND Label1() const { return Control(kLabel1); }
    HWND Label2() const { return Control(kLabel2); }
    HWND Label3() const { return Control(kLabel3); }

    // In its normal state, in front of the other documents.
    void Show() override;
    // FormClose decides; the window is freed afterwards.
    void Close() override { TForm::Close(); }
    void UpdateOverview() override { FCtl.UpdateOverview(); }

protected:
    TCloseAction FormClose() override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;
    void OnNcDestroy() override;

private:
    enum : int { kLabel1 = 100, kLabel2, kLabel3 };

    TMDIChildOvV(IMdiHost& Host, TTreeNode& InstrumentNode, const std::string& InterfaceName);

    void FormCreate();
    void FormResize();
    void ShowInfo(int32_t Chamber);
    void Paint();
    LRESULT CtlColorStatic(WPARAM DC, HWND Ctl);
    // Outer height Height, also while minimised.
    void SetWindowHeight(int Height);

    void CreateFrame(int32_t Chamber, const TOvVFrameState& State) override;
    void FreeFrame(int32_t Chamber) override;
    void PlaceFrame(int32_t Chamber, int32_t Top) override;
    void SetClientHeight(int32_t Height) override;
    void SetLabel1(const std::string& Text) override;
    void SetLabel1Visible(bool Visible) override;
    void SetText(int32_t Chamber, TOvVControl Control, const std::string& Text) override;
    void SetWidth(int32_t Chamber, TOvVControl Edit, int32_t Width) override;
    void SetColor(int32_t Chamber, TOvVControl Shape, uint32_t Brush, uint32_t Pen) override;
    void SetProgress(int32_t Chamber, int32_t Position) override;
    void SetProgressVisible(int32_t Chamber, bool Visible) override;
    void SetStableValuesVisible(int32_t Chamber, bool Visible) override;

    IMdiHost& FHost;
    TOvVCtl FCtl;
    std::array<std::unique_ptr<TOvVFrame>, kOvVChambers> FFrames;
    int FWidthLimit = 0; // the outer width of client width 585
    int FMaxHeight = 0;  // 0: none yet
    bool FTitlesVisible = false;
    bool FOwned = false; // made by CreateOverviewWindow, freed on destruction of its window
};

// The overview command of Host (F2): the overview of the selected instrument,
// opened in this kind of window when it has none.
std::function<void()> OverviewCommand(IMdiHost& Host);
