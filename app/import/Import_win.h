// The main window's imports: the Import command with its open dialog and files
// dropped on the tree both come here. Morlisk logs become record windows (a
// joined import keeps the window of the first log pending for the next), Morlisk
// protocols protocol windows, and stored files open through the main window.
#pragma once

#include "app/import/ImportRun_.h"
#include "app/import/MKLog_.h"
#include "app/import/TextLines_.h"
#include "app/record/WinFiles_win.h"
#include "app/settings/PreferencesGraph_.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TMainForm;
class TMDIChildRec;
class TProtocols;

inline constexpr char sImportFilter[] =
    "Morlisk protocol (*PRO.txt)|*PRO.txt|Morlisk record (*LOG.txt)|*LOG.txt";

// Every name of a drop, each as long as it is.
std::vector<std::string> DroppedFileNames(HDROP Drop);

class TImporter : private IImportActions {
public:
    // Fills the names chosen; false when cancelled.
    using TOpenDialog = std::function<bool(std::vector<std::string>& Names)>;

    // GraphDefaults: the graph defaults an imported record's window shows, from
    // the same source as the record windows' own.
    TImporter(TMainForm& Main, TProtocols& Protocols,
              std::function<TGraphDefaults()> GraphDefaults);
    TImporter(const TImporter&) = delete;
    TImporter& operator=(const TImporter&) = delete;

    // "I&mport...": the chosen files, asked about joining logs, with the hourglass.
    void Import1Execute();
    // Files dropped on the tree; Shift joins the logs, Ctrl keeps them apart, and
    // without either the question decides. Finishes Drop.
    void DropFiles(HDROP Drop);
    // The run over Names; an error that ends it is shown.
    void ImportFiles(const std::vector<std::string>& Names, bool Ask, bool Concatenate);

    void SetOpenDialog(TOpenDialog Dialog) { FOpenDialog = std::move(Dialog); }

private:
    void ImportMKLog(const std::string& FileName, bool First, bool Last) override;
    void ImportMKProt(const std::string& FileName) override;
    void LoadFile(const std::string& FileName) override;
    void EnableMainWindow(bool Enable) override;

    // A stored-record window for the log under Records; null when no node could be made.
    TMDIChildRec* NewLogWindow(const std::string& FileName);
    void ImportLogFile(TMDIChildRec& Window, const TMKLogHeader& Header, const TLines& Lines,
                       const std::string& FileName);
    bool RunOpenDialog(std::vector<std::string>& Names);

    TMainForm& FMain;
    TProtocols& FProtocols;
    TWinFileSystem FFiles;
    std::function<TGraphDefaults()> FGraphDefaults;
    TOpenDialog FOpenDialog;
    // The window that takes the next log of a joined import.
    TMDIChildRec* FPending = nullptr;
};
