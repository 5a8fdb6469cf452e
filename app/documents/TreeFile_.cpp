#include "app/documents/TreeFile_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"
#include "app/main/InfoWin_.h"
#include "app/tree/TreeNodes_.h"

#include <algorithm>
#include <memory>

namespace {

// The info text's lines; a text ending in CR LF has no empty line after it.
std::vector<std::string> InfoLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < Text.size()) {
        const std::size_t end = Text.find("\r\n", at);
        lines.push_back(Text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? Text.size() : end + 2;
    }
    return lines;
}

// A count as the file claims it, but never more than the keys its section holds.
int32_t BoundedCount(const TIniFile& Ini, const std::string& Section) {
    return std::min(Ini.ReadInteger(Section, kCountKey, -1), Ini.KeyCount(Section));
}

TTreeNode* ChamberOfSerial(TTreeModel& Tree, const std::string& Serial) {
    for (TTreeNode* n = Tree.GetNext(nullptr); n; n = Tree.GetNext(n))
        if (const TChamberData* c = ChamberData(n); c && FieldText(c->SerialPart) == Serial)
            return n;
    return nullptr;
}

void ReconnectPorts(const TIniFile& Ini, ITreeFileHost& Host) {
    const int32_t count = BoundedCount(Ini, kComsSection);
    int32_t number = 0;
    while (number < count) {
        const int32_t index = Ini.ReadInteger(kComsSection, std::to_string(number), -1);
        // USB instruments came with the scan; anything else names no serial port.
        if (!TInterfaceIndex(index).Serial()) {
            ++number;
            continue;
        }
        const TReopenAnswer answer = Host.ReopenComPort(DeviceIndexOf(index));
        if (answer == TReopenAnswer::Stop)
            return;
        if (answer == TReopenAnswer::Next)
            ++number;
    }
}

void RestoreChambers(TTreeModel& Tree, const TIniFile& Ini) {
    const int32_t count = BoundedCount(Ini, kInstrumentsSection);
    for (int32_t i = 0; i < count; ++i) {
        const std::string serial = Ini.ReadString(kInstrumentsSection, std::to_string(i), "");
        TTreeNode* node = ChamberOfSerial(Tree, serial);
        if (!node)
            continue;
        std::string shown;
        RenameChamber(Tree, node, Ini.ReadString(serial, kNameKey, ""), shown);
        std::string info;
        const int32_t lines = BoundedCount(Ini, serial);
        for (int32_t k = 0; k < lines; ++k)
            info += Ini.ReadString(serial, std::to_string(k), "") + "\r\n";
        ChamberData(node)->InfoText = info;
    }
}

} // namespace

TIniFile BuildTreeFile(const TTreeModel& Tree) {
    TIniFile ini;
    int32_t coms = 0;
    int32_t files = 0;
    int32_t instruments = 0;
    for (const TTreeNode* n = Tree.GetNext(Tree.Root()); n; n = Tree.GetNext(n)) {
        if (const TInstrumentData* instrument = InstrumentData(n)) {
            ini.WriteInteger(kComsSection, std::to_string(coms++), instrument->InterfaceIndex);
        } else if (const TChamberData* chamber = ChamberData(n)) {
            const std::string serial = FieldText(chamber->SerialPart);
            ini.WriteString(kInstrumentsSection, std::to_string(instruments++), serial);
            ini.WriteString(serial, kNameKey, FieldText(chamber->Name));
            const std::vector<std::string> lines = InfoLines(chamber->InfoText);
            ini.WriteInteger(serial, kCountKey, static_cast<int64_t>(lines.size()));
            for (std::size_t i = 0; i < lines.size(); ++i)
                ini.WriteString(serial, std::to_string(i), lines[i]);
        } else if (n->Text().find('*') == std::string::npos) {
            // Unsaved and imported documents carry the "* " mark.
            const std::string* file = nullptr;
            if (const TProtData* prot = n->As<TProtData>())
                file = &prot->FileName;
            else if (const TRecData* rec = n->As<TRecData>())
                file = &rec->FileName;
            if (file)
                ini.WriteString(kFilesSection, std::to_string(files++), *file);
        }
    }
    ini.WriteInteger(kComsSection, kCountKey, coms);
    ini.WriteInteger(kFilesSection, kCountKey, files);
    ini.WriteInteger(kInstrumentsSection, kCountKey, instruments);
    return ini;
}

std::string WriteTreeFile(IFileSystem& Fs, const std::string& FileName, const std::string& Text) {
    const std::string sibling = FileName + ".saving~";
    TFileError error;
    std::unique_ptr<IFile> f = Fs.Open(sibling, TOpenMode::CreateExclusive, error);
    bool written = f && f->WriteAt(0, Text.data(), Text.size()) == Text.size() && f->Flush();
    f.reset();
    written = written && Fs.Replace(sibling, FileName);
    if (!written) {
        Fs.Remove(sibling);
        return Format(sCannotSaveTree, FileName.c_str());
    }
    return {};
}

TIniFile ReadTreeFile(IFileSystem& Fs, const std::string& FileName) {
    TFileError error;
    std::unique_ptr<IFile> f = Fs.Open(FileName, TOpenMode::ReadExclusive, error);
    if (!f || f->Size() > kMaxTreeFileSize)
        return {};
    std::string text(static_cast<std::size_t>(f->Size()), '\0');
    if (f->ReadAt(0, text.data(), text.size()) != text.size())
        return {};
    return TIniFile::Parse(text);
}

std::string TreeCaption(const std::string& Title, const std::string& TreeFileName) {
    return TreeFileName.empty() ? Title : Format("%s [%s]", Title.c_str(), TreeFileName.c_str());
}

bool LoadTreeFile(TTreeModel& Tree, ITreeFileHost& Host, const TIniFile& Ini,
                  const std::string& FileName) {
    if (!Host.CloseChildWindows())
        return false;
    Host.DisconnectAll();
    if (!Tree.Root() || Tree.Root()->Count() > 0)
        return false;
    Host.ScanUsbDevices();
    ReconnectPorts(Ini, Host);
    RestoreChambers(Tree, Ini);
    const int32_t files = BoundedCount(Ini, kFilesSection);
    for (int32_t i = 0; i < files; ++i)
        Host.LoadFile(Ini.ReadString(kFilesSection, std::to_string(i), ""));
    if (Tree.Root())
        if (TPCData* pc = Tree.Root()->As<TPCData>())
            pc->TreeFileName = FileName;
    Host.SetCaption(TreeCaption(kMainCaption, FileName));
    return true;
}
