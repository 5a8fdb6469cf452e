#include "app/import/ImportRun_.h"

#include <algorithm>
#include <cctype>

namespace {

std::string LowerCase(std::string Text) {
    for (char& c : Text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return Text;
}

// From the last '.' of the name without its folder; empty without one.
std::string Extension(const std::string& Name) {
    const std::size_t folder = Name.find_last_of("\\/:");
    const std::size_t dot = Name.rfind('.');
    if (dot == std::string::npos || (folder != std::string::npos && dot < folder))
        return "";
    return Name.substr(dot);
}

// Restores the main window whatever ends the run.
class TDisabledMain {
public:
    explicit TDisabledMain(IImportActions& Actions) : FActions(Actions) {
        FActions.EnableMainWindow(false);
    }
    TDisabledMain(const TDisabledMain&) = delete;
    TDisabledMain& operator=(const TDisabledMain&) = delete;
    ~TDisabledMain() { FActions.EnableMainWindow(true); }

private:
    IImportActions& FActions;
};

} // namespace

TImportLists SortImportFiles(const std::vector<std::string>& Names, const TNameCompare& Compare) {
    TImportLists lists;
    for (const std::string& name : Names) {
        const std::string lower = LowerCase(name);
        const std::string ext = Extension(lower);
        if (ext.find("zqp") != std::string::npos)
            lists.ProtocolFiles.push_back(name);
        else if (ext.find("zqr") != std::string::npos)
            lists.RecordFiles.push_back(name);
        else if (lower.find("log.txt") != std::string::npos)
            lists.MKLogs.push_back(name);
        else if (lower.find("pro.txt") != std::string::npos)
            lists.MKProts.push_back(name);
    }
    const auto less = [&Compare](const std::string& A, const std::string& B) {
        return Compare(A, B) < 0;
    };
    for (auto* list : {&lists.ProtocolFiles, &lists.RecordFiles, &lists.MKLogs, &lists.MKProts})
        std::stable_sort(list->begin(), list->end(), less);
    return lists;
}

bool AskIndividualLogs(IMessageBoxes& Boxes) {
    return ConfirmDlg(Boxes, sAskIndividualLogs, {mbYes, mbNo}, mbNo) != mrYes;
}

void RunImport(const TImportLists& Lists, bool Concatenate, IImportActions& Actions) {
    const TDisabledMain disabled(Actions);
    const std::size_t logs = Lists.MKLogs.size();
    for (std::size_t i = 0; i < logs; ++i)
        Actions.ImportMKLog(Lists.MKLogs[i], i == 0 || !Concatenate, i + 1 == logs || !Concatenate);
    for (const std::string& name : Lists.MKProts)
        Actions.ImportMKProt(name);
    for (const auto* list : {&Lists.ProtocolFiles, &Lists.RecordFiles})
        for (const std::string& name : *list)
            Actions.LoadFile(name);
}

void ImportFiles(const std::vector<std::string>& Names, bool Ask, bool Concatenate,
                 IImportActions& Actions, IMessageBoxes& Boxes, const TNameCompare& Compare) {
    const TImportLists lists = SortImportFiles(Names, Compare);
    if (Ask && lists.MKLogs.size() >= 2)
        Concatenate = AskIndividualLogs(Boxes);
    RunImport(lists, Concatenate, Actions);
}
