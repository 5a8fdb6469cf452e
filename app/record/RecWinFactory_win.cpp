#include "app/record/RecWinFactory_win.h"

#include "app/record/RecTexts_.h"
#include "app/record/RecWin_win.h"

#include <stdexcept>

namespace {

// Every window handed to the factory is one it made.
TMDIChildRec& Rec(IRecordWindow& Window) {
    return dynamic_cast<TMDIChildRec&>(Window);
}

} // namespace

IRecordWindow& TRecWinFactory::Create(TTreeNode& Node, bool Live) {
    TMDIChildRec* window = TMDIChildRec::New(FHost, Node, Live, FAutoRestore, FQuestion, FInfo);
    if (!window)
        throw std::runtime_error("Cannot create the record window.");
    window->SetSeriesDialogs(FSeriesDialogs);
    window->SetRecordCommands(FCommands);
    return *window;
}

void TRecWinFactory::ApplyStandardSettings(IRecordWindow& Window, const TGraphDefaults& Defaults,
                                           bool Recorder) {
    Rec(Window).ApplyStandardSettings(Defaults, Recorder);
}

void TRecWinFactory::Free(IRecordWindow& Window) {
    DestroyWindow(Rec(Window).Handle());
}

void TRecWinFactory::SetDefaultSettings(IRecordWindow& Window) {
    TGraphDefaults d = {};
    if (FGraphDefaults)
        d = FGraphDefaults();
    else
        SetFactoryGraphDefaults(d);
    Rec(Window).SetDefaultSettings(d);
}

std::string TRecWinFactory::BuildCaption(IRecordWindow& Window) {
    return ::BuildCaption(FHost.Boxes(), Rec(Window).Node());
}

void TRecWinFactory::SetCaption(IRecordWindow& Window, const std::string& Caption) {
    Rec(Window).SetCaptionText(Caption);
}

std::string TRecWinFactory::OpenTempFiles(IRecordWindow& Window, const std::string& Dir) {
    return Rec(Window).OpenTempFiles(Dir);
}

void TRecWinFactory::LoadRecordFile(IRecordWindow& Window, const std::string& FileName) {
    Rec(Window).LoadRecordFile(FileName);
}

void TRecWinFactory::Activate(IRecordWindow& Window) {
    Rec(Window).Activate();
}

void TRecWinFactory::SetDataReplaced(IRecordWindow& Window) {
    Rec(Window).Recorder().SetDataReplaced(true);
}
