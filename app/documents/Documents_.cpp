#include "app/documents/Documents_.h"

#include "app/base/Tools_.h"
#include "app/documents/TreeFile_.h"
#include "app/main/MainForm_.h"
#include "app/protocol/ProtFile_.h"
#include "app/tree/TreeNodes_.h"

#include <exception>
#include <string_view>

namespace {

std::string BaseName(const std::string& FileName) {
    const std::string name = ExtractFileName(FileName);
    return name.substr(0, name.size() - ExtractFileExt(name).size());
}

} // namespace

std::vector<std::string> SelectedFiles(const char* Buffer, std::size_t Size) {
    std::vector<std::string> texts;
    std::size_t at = 0;
    while (at < Size && Buffer[at] != '\0') {
        const std::size_t end = std::string_view(Buffer + at, Size - at).find('\0');
        if (end == std::string_view::npos)
            break;
        texts.emplace_back(Buffer + at, end);
        at += end + 1;
    }
    if (texts.size() < 2)
        return texts;
    std::string folder = texts.front();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    std::vector<std::string> files;
    for (std::size_t i = 1; i < texts.size(); ++i)
        files.push_back(folder + texts[i]);
    return files;
}

bool HasOwnRecordFile(const TRecData& Record) {
    return ExtractFileExt(Record.FileName) == sRecordExt;
}

TDocuments::TDocuments(TTreeModel& Tree, IMessageBoxes& Boxes, TRecWindows& RecWindows,
                       IDocumentsHost& Host)
    : FTree(Tree), FBoxes(Boxes), FRecWindows(RecWindows), FHost(Host) {}

void TDocuments::LoadFile(const std::string& FileName) {
    if (FileName.empty() || !FHost.FileExists(FileName))
        return;
    // The tree file lists full paths, and one file open twice must compare equal.
    const std::string name = FHost.FullPathName(FileName);
    const std::string ext = ExtractFileExt(name);
    if (ext == sProtocolExt)
        FHost.OpenProtocolFile(name);
    else if (ext == sRecordExt)
        LoadRecord(name);
    else if (ext == sTreeFileExt)
        FHost.LoadTreeFile(name);
}

void TDocuments::LoadRecord(const std::string& FileName) {
    TTreeNode* node =
        CreateRecNode(FTree, FBoxes, BaseName(FileName), FileName, false, FHost.FileAge(FileName));
    if (!node)
        return;
    IRecordWindow* window = nullptr;
    try {
        window = &FRecWindows.CreateRecWindow(*node, false);
    } catch (const std::exception& e) {
        DeleteTreeNode(FTree, node);
        ShowErrorOrWarn(FBoxes, e.what(), false);
        return;
    }
    if (FHost.LoadRecordFile(*window, FileName))
        FHost.Activate(*window);
    else
        window->Close(); // its close takes the node with it
}

bool TDocuments::Save(TTreeNode* Node) {
    if (!Node)
        return false;
    if (TChamberData* chamber = ChamberData(Node)) {
        IRecordWindow* window = chamber->RecordWindow;
        if (!window)
            return false;
        if (chamber->RecordFileName.empty() || FHost.DataReplaced(*window))
            return SaveAs(Node);
        return SaveRecord(*Node, *window, chamber->RecordFileName);
    }
    if (TRecData* record = Node->As<TRecData>()) {
        IRecordWindow* window = record->RecordWindow;
        if (!window)
            return false;
        if (!HasOwnRecordFile(*record) || window->Modified())
            return SaveAs(Node);
        return SaveRecord(*Node, *window, record->FileName);
    }
    if (Node->As<TProtData>())
        return SaveAs(Node);
    return false;
}

bool TDocuments::SaveAs(TTreeNode* Node) {
    if (!Node)
        return false;
    if (TProtData* prot = Node->As<TProtData>())
        return prot->ProtocolWindow && FHost.SaveProtocolAs(*prot->ProtocolWindow);
    TChamberData* chamber = ChamberData(Node);
    TRecData* record = Node->As<TRecData>();
    IRecordWindow* window = chamber  ? chamber->RecordWindow
                            : record ? record->RecordWindow
                                     : nullptr;
    if (!window)
        return false;
    std::string fileName = chamber ? chamber->RecordFileName : std::string();
    if (fileName.empty())
        fileName = ProposedFileName(FHost.Caption(*window));
    if (!FHost.SaveRecordDialog(fileName) || !SaveRecord(*Node, *window, fileName))
        return false;
    if (chamber && FHost.AddRecTree() && !FHost.MainClosing())
        LoadFile(fileName);
    return true;
}

bool TDocuments::SaveRecord(TTreeNode& Node, IRecordWindow& Window, const std::string& FileName) {
    try {
        FHost.SaveRecordFile(Window, FileName);
    } catch (const std::exception& e) {
        ShowErrorOrWarn(FBoxes, e.what(), false);
        return false;
    }
    if (TChamberData* chamber = ChamberData(&Node)) {
        chamber->RecordFileName = FileName;
    } else if (TRecData* record = Node.As<TRecData>()) {
        // The node now names the file it was saved to; a later Save writes there.
        record->FileName = FileName;
        record->FileAge = FHost.FileAge(FileName);
        FTree.SetText(&Node, BaseName(FileName));
    }
    return true;
}
