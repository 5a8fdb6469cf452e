// TGraphPrintPrv "Print Preview": the graph page of one record window as the
// current printer will print it, drawn into an off-screen bitmap of the
// paper's aspect. Its two check boxes (remembered under "printprv" when closed
// with OK) choose series names and numeric values for printing too.
#pragma once

#include "app/base/Form_win.h"
#include "app/base/Registry_.h"
#include "app/output/GraphPage_.h"
#include "app/output/OutputOptions_.h"
#include "app/output/PageMetrics_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <functional>

// What the preview asks of the main window.
class IPreviewHost {
public:
    // The current printer's metrics; all 0 without a printer.
    virtual TPrinterMetrics PrinterMetrics() = 0;
    // The main window's page rectangle (twips).
    virtual TRect PageRect() = 0;
    // The main window's commands behind the preview's buttons, their dialogs
    // modal over the preview.
    virtual void PrinterSetup() = 0;
    virtual void PageSetup() = 0;

protected:
    ~IPreviewHost() = default;
};

class TGraphPrintPrv : public TForm {
public:
    enum : int {
        kCheckBoxSerNam = 100,
        kCheckBoxNumVal,
        kBitBtnPrS,
        kBitBtnPaS,
        kBitBtnPrint,
        kButtonOK,
    };

    TGraphPrintPrv(HWND Owner, IRegistryStore& Registry, IPreviewHost& Host);

    // Shows the page of Source modally; mrYes when the print button closed it.
    int Execute(const TGraphPageSource& Source);
    // The options printing uses, as the boxes stand.
    TPrintOptions Options() const;

    void FormShow();
    void FormConstrainedResize();
    void PaintBox1Paint();
    void ButtonOKClick();
    // The page box in client pixels.
    const TRect& PaintBox() const { return FBox; }
    bool Showing() const { return FSource != nullptr; }

protected:
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;
    bool OnCommand(int Id, int Code, HWND Control) override;

private:
    using TBitmapHandle = TScoped<HBITMAP, DeleteObject>;

    bool Checked(int Id) const;
    void SetChecked(int Id, bool Checked);
    void OnPaint();

    IRegistryStore& FRegistry;
    IPreviewHost& FHost;
    TPrinterMetrics FMetrics;
    TRect FBox{16, 48, 16 + 241, 48 + 369};
    TBitmapHandle FBitmap;
    const TGraphPageSource* FSource = nullptr;
};
