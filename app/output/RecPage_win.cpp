#include "app/output/RecPage_win.h"

#include "app/output/Print_win.h"
#include "app/tree/NodeUnits_.h"

namespace {

std::string RecordPathOf(const TTreeNode& Node) {
    if (const auto* chamber = Node.As<TChamberData>())
        return chamber->RecordFileName;
    if (const auto* record = Node.As<TRecData>())
        return record->FileName;
    return "";
}

} // namespace

std::string WindowCaption(HWND Window) {
    char text[512] = {};
    GetWindowTextA(Window, text, sizeof text);
    return text;
}

TGraphPageSource GraphPageSourceOf(TMDIChildRec& Window) {
    return {WindowCaption(Window.Handle()),
            NodeDateFmt(&Window.Node()),
            RecordPathOf(Window.Node()),
            Window.Recorder().Data(),
            Window.Graph(),
            LocaleDateText(),
            LocaleTimeText()};
}

TMDIChildRec* RecordWindowOf(const TTreeNode* Node) {
    if (!Node)
        return nullptr;
    IRecordWindow* window = nullptr;
    if (const auto* chamber = Node->As<TChamberData>())
        window = chamber->RecordWindow;
    else if (const auto* record = Node->As<TRecData>())
        window = record->RecordWindow;
    return dynamic_cast<TMDIChildRec*>(window);
}
