// TExportWin ("Export"): the samples of one record window into a CSV file.
// The user chooses range, reduction, columns and header groups; the preview
// grid shows the first rows of the file as they will be written, the status
// bar the counts and, while exporting, a progress bar. The choices live in the
// registry ("csvExport") and are restored whenever the window is shown.
// Created once; shown modally by the main window's "Export".
#pragma once

#include "app/base/Form_win.h"
#include "app/base/Registry_.h"
#include "app/base/StringGrid_win.h"
#include "app/output/CsvWriter_.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

inline constexpr char sCsvExportCaption[] = "Export";
inline constexpr char sCsvFilter[] = "CSV(Comma delimited)(*.csv)|*.csv";
inline constexpr char sCsvProgress[] = "Progress:";

class TExportWin : public TForm {
public:
    enum : int {
        kRadioButtonDRNo = 100,
        kRadioButtonDRAv,
        kRadioButtonDRRed,
        kLabeledEdit1,
        kUpDown1,
        kCheckBoxColRecord,
        kCheckBoxColTime,
        kCheckBoxColHum,
        kCheckBoxColTemp,
        kCheckBoxColChCond,
        kCheckBoxRowPrgInfo,
        kCheckBoxRowRed,
        kCheckBoxRowRecInfo,
        kCheckBoxUserinfo,
        kCheckBoxRowColTitles,
        kRadioButtonERAll,
        kRadioButtonERSel,
        kStringGridPreview,
        kButton1,
        kButton2,
        kStatusBar1,
        kProgressBar1,
        kGroupPreview,
    };

    TExportWin(HWND Owner, IRegistryStore& Registry, IMessageBoxes& Boxes);

    // The save dialog's proposed name (kept from the last export otherwise).
    void SetFileName(const std::string& FileName) { FFileName = FileName; }
    const std::string& FileName() const { return FFileName; }
    // Runs the window on the samples of Source, which is not kept; mrOk after
    // an export.
    int Execute(const TCsvSource& Source);

    // Reads the controls, rebuilds the preview and the counts.
    void BuildPreview();
    // Writes the file; false, with the error shown, when it could not be written.
    bool ExportToFile(const std::string& FileName);
    TCsvChoice Choice() const;
    const TCsvPreview& Preview() const { return FPreview; }
    TStringGrid& StringGridPreview() { return *FGrid; }
    std::string PanelText(int Panel) const;

    // Replaces the platform's save dialog (tests): the proposed name in, the
    // chosen one out; false for Cancel.
    std::function<bool(std::string& FileName)> SaveDialog;

protected:
    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void CheckBoxClick();
    void LabeledEdit1Exit();
    void Button1Click();
    void StoreRegVals();
    void StatusBar1DrawPanel(const DRAWITEMSTRUCT& Draw);
    void ShowProgress(int64_t Next);
    void SetChecked(int Id, bool Checked);
    bool Checked(int Id) const;
    static LRESULT CALLBACK EditProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, UINT_PTR Id,
                                     DWORD_PTR Self);

    IRegistryStore& FRegistry;
    IMessageBoxes& FBoxes;
    TCsvSource FSource;
    TCsvPreview FPreview;
    std::unique_ptr<TStringGrid> FGrid;
    std::string FFileName;
    int32_t FN = kCsvMinN;
};

// The application's texts (Windows-1252) into the system's ANSI code page;
// none where that is the same.
TCodePageConversion AnsiConversion();
