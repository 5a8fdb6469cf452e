// TGraphExportWin: the graph page of a record window as an enhanced metafile,
// saved to a file or put on the clipboard; four check boxes (remembered under
// "emfExport") choose series names, numeric values, title and scale blocks.
#pragma once

#include "app/base/Form_win.h"
#include "app/base/Registry_.h"
#include "app/output/GraphPage_.h"
#include "app/output/OutputOptions_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

using TEnhMetafile = TScoped<HENHMETAFILE, DeleteEnhMetaFile>;

// The exported page: 250 mm x 177 mm in twips.
inline constexpr TRect kExportPage{0, 0, 14173, 10035};

// A fresh metafile of the page at 1440 units a inch on white, its frame the
// page's size in hundredths of a millimetre; null when it cannot be made.
TEnhMetafile RenderExportPage(const TGraphPageSource& Source, uint8_t Flags);
// Writes a copy of Metafile to FileName through a file beside it, so a failure
// never leaves half a file in place of a good one. Raises std::runtime_error.
void SaveMetafile(HENHMETAFILE Metafile, const std::string& FileName);
// Puts a copy of Metafile on the clipboard (which owns what it is given);
// false when the clipboard cannot be had.
bool CopyMetafileToClipboard(HWND Owner, HENHMETAFILE Metafile);

inline constexpr char sEmfFilter[] = "EMF(Enhanced Metafile)(*.emf)|*.emf";
inline constexpr char sCannotWriteFile[] = "Cannot write the file %s.";

class TGraphExportWin : public TForm {
public:
    enum : int {
        kCheckBoxSerNam = 100,
        kCheckBoxNumVal,
        kCheckBoxTitel,
        kCheckBoxScale,
        kButtonCopyClpBrd,
        kButtonSave,
        kButtonCancel,
    };
    // Asks for the file name to save to; false when cancelled.
    using TSaveDialog = std::function<bool(std::string& FileName)>;

    TGraphExportWin(HWND Owner, IRegistryStore& Registry, IMessageBoxes& Boxes);

    // Shows the window modally for the page of Source; Source is not kept.
    int Execute(const TGraphPageSource& Source);
    void SetSaveDialog(TSaveDialog Dialog) { FSaveDialog = std::move(Dialog); }

    void FormShow();
    void ButtonCopyClpBrdClick();
    void ButtonSaveClick();
    void StoreRegVals();
    HENHMETAFILE Metafile() const { return FMetafile.Get(); }

protected:
    bool OnCommand(int Id, int Code, HWND Control) override;

private:
    void RenderPage();
    bool Checked(int Id) const;
    void SetChecked(int Id, bool Checked);
    bool RunSaveDialog(std::string& FileName);

    IRegistryStore& FRegistry;
    IMessageBoxes& FBoxes;
    const TGraphPageSource* FSource = nullptr;
    TEnhMetafile FMetafile;
    TSaveDialog FSaveDialog;
};
