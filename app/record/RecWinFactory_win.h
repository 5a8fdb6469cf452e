// The maker of record windows that the program hands the main window.
#pragma once

#include "app/main/MdiHost_win.h"
#include "app/main/RecWindows_.h"

#include <functional>

class TRecWinFactory : public IRecWindowFactory {
public:
    // AutoRestore: the preference autorest.
    TRecWinFactory(IMdiHost& Host, std::function<bool()> AutoRestore)
        : FHost(Host), FAutoRestore(std::move(AutoRestore)) {}

    IRecordWindow& Create(TTreeNode& Node, bool Live) override;
    void Free(IRecordWindow& Window) override;
    // The graph keeps its defaults until the window has settings of its own.
    void SetDefaultSettings(IRecordWindow&) override {}
    std::string BuildCaption(IRecordWindow& Window) override;
    void SetCaption(IRecordWindow& Window, const std::string& Caption) override;
    std::string OpenTempFiles(IRecordWindow& Window, const std::string& Dir) override;
    void LoadRecordFile(IRecordWindow& Window, const std::string& FileName) override;
    void Activate(IRecordWindow& Window) override;
    void SetDataReplaced(IRecordWindow& Window) override;

private:
    IMdiHost& FHost;
    std::function<bool()> FAutoRestore;
};
