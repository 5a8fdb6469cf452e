// The documents of the main window on Win32: the File commands Open (Ctrl+O,
// also the first tool button), Save (Ctrl+S), Save as... and Save Tree...; the
// open and save dialogs; the record and protocol windows and the main window's
// links behind the portable documents (Documents_.h) and tree file (TreeFile_.h).
// The program creates one after the main window and the protocols.
#pragma once

#include "app/documents/Documents_.h"
#include "app/documents/TreeFile_.h"
#include "app/main/MainForm_win.h"
#include "app/protocol/Protocols_win.h"
#include "app/record/WinFiles_win.h"

#include <functional>
#include <string>

class TDocumentsWin : private IDocumentsHost, private ITreeFileHost {
public:
    // Asks for a file name to save to with FileName proposed (DefExt "zqr" or
    // "zqd"); false when cancelled. Replaces the platform's dialog.
    using TSaveDialog = std::function<bool(std::string& FileName, const std::string& DefExt)>;

    TDocumentsWin(TMainForm& Main, TProtocols& Protocols);
    TDocumentsWin(const TDocumentsWin&) = delete;
    TDocumentsWin& operator=(const TDocumentsWin&) = delete;

    TDocuments& Documents() { return FDocuments; }
    void LoadFile(const std::string& FileName) { FDocuments.LoadFile(FileName); }

    void FileOpen1Execute();
    void FileSave1Execute() { FDocuments.Save(FMain.Tree().Selected()); }
    void FileSaveAs1Execute() { FDocuments.SaveAs(FMain.Tree().Selected()); }
    void AcSaveDsktpExecute();
    // Writes the tree file; false after its message was shown.
    bool SaveTreeFile(const std::string& FileName);

    void SetSaveDialog(TSaveDialog Dialog) { FSaveDialog = std::move(Dialog); }

private:
    bool RunSaveDialog(std::string& FileName, const char* Filter, const char* DefExt);

    // IDocumentsHost
    bool FileExists(const std::string& FileName) override;
    std::string FullPathName(const std::string& FileName) override;
    double FileAge(const std::string& FileName) override;
    void OpenProtocolFile(const std::string& FileName) override;
    void LoadTreeFile(const std::string& FileName) override;
    bool LoadRecordFile(IRecordWindow& Window, const std::string& FileName) override;
    void Activate(IRecordWindow& Window) override;
    bool SaveRecordDialog(std::string& FileName) override;
    std::string Caption(IRecordWindow& Window) override;
    void SaveRecordFile(IRecordWindow& Window, const std::string& FileName) override;
    bool DataReplaced(IRecordWindow& Window) override;
    bool SaveProtocolAs(IProtocolWindow& Window) override;
    bool AddRecTree() override;
    bool MainClosing() override;

    // ITreeFileHost
    bool CloseChildWindows() override;
    void DisconnectAll() override;
    void ScanUsbDevices() override;
    TReopenAnswer ReopenComPort(int32_t Port) override;
    void SetCaption(const std::string& Caption) override;

    TMainForm& FMain;
    TProtocols& FProtocols;
    TDocuments FDocuments;
    TWinFileSystem FFs;
    TSaveDialog FSaveDialog;
    DWORD FOpenFilterIndex = 1; // the filter chosen last stays selected
};
