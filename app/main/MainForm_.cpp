#include "app/main/MainForm_.h"

#include "app/base/Guard_.h"
#include "app/main/OneInst.h"
#include "app/tree/TreeNodes_.h"

#include <utility>

namespace {

// Clears Flag when the scope ends, however it ends.
class TClearOnExit {
public:
    explicit TClearOnExit(bool& Flag) : FFlag(Flag) {}
    TClearOnExit(const TClearOnExit&) = delete;
    TClearOnExit& operator=(const TClearOnExit&) = delete;
    ~TClearOnExit() { FFlag = false; }

private:
    bool& FFlag;
};

// The window of a protocol or record-file node, or null.
IChildWindow* DocumentWindow(TTreeNode& Node) {
    if (const auto* prot = Node.As<TProtData>())
        return prot->ProtocolWindow;
    if (const auto* rec = Node.As<TRecData>())
        return rec->RecordWindow;
    return nullptr;
}

} // namespace

bool ReadQuorMode(IRegistryStore& Registry) {
    const auto key = Registry.OpenKey(kRegEnvironment);
    if (!key)
        return false;
    const TRegValue value = key->Read(kQuorModeValue);
    if (value.Kind != TRegKind::Dword || value.Data.size() != 4)
        return false;
    for (uint8_t b : value.Data)
        if (b != 0)
            return true;
    return false;
}

std::string ExtractFileExt(const std::string& FileName) {
    const std::size_t at = FileName.find_last_of(".\\/:");
    if (at == std::string::npos || FileName[at] != '.')
        return {};
    return FileName.substr(at);
}

TMainFormCtl::TMainFormCtl(IMainFormHost& Host, TTreeModel& Tree, IMessageBoxes& Boxes,
                           IRegistryStore& Registry, std::vector<std::string> Args)
    : FHost(Host), FTree(Tree), FBoxes(Boxes), FRegistry(Registry), FArgs(std::move(Args)) {}

bool TMainFormCtl::FormCreate(const std::string& ComputerName, const std::string& UserName) {
    NoToAllProt = false;
    YesToAllStop = false;
    FExtendedMode = ReadQuorMode(FRegistry);
    // The platform's count of the user name takes in its terminating NUL.
    std::string user = UserName;
    if (!user.empty() && user.back() == '\0')
        user.pop_back();
    CreateRootNode(FTree, ComputerName, user);
    FFirstActivation = true;
    FClosing = false;
    return FExtendedMode;
}

void TMainFormCtl::FormActivate() {
    // A box or dialog shown on the way activates the window again when it closes.
    if (!FFirstActivation || FActivating)
        return;
    const TFlagScope activating(FActivating);
    // An error on the way must not bring the whole activation back with every activation.
    const TClearOnExit once(FFirstActivation);
    const std::vector<uint8_t> block = PackCmdLine(FArgs);
    OpenCommandLineFile(block.data(), block.size());
    if (FHost.PixelsPerInch() == 96)
        WriteValue(FRegistry, kDontShowMeAgain, false);
    else
        ShowOnce(FBoxes, FRegistry, sDpiNotice, mtInformation, kDontShowMeAgain.Key,
                 kDontShowMeAgain.Name);
    if (FHost.AutoConnect())
        FHost.ReconnectOpenPorts();
    FHost.ScanUsbDevices(false);
}

void TMainFormCtl::OpenCommandLineFile(const void* Block, std::size_t Size) {
    const std::vector<std::string> lines = UnpackCmdLine(Block, Size);
    if (lines.empty() || !FHost.FileExists(lines[0]))
        return;
    // A tree file sets up its connections itself: a first activation that has not
    // begun yet does not run any more.
    if (ExtractFileExt(lines[0]) == ".zqd")
        FFirstActivation = false;
    FHost.LoadFile(lines[0]);
}

bool TMainFormCtl::FormClose(bool Closing) {
    FHost.StoreOpenPorts();
    const TFlagScope closing(FClosing);
    NoToAllProt = NoToAllRec = NoToAllRecFile = YesToAllStop = false;
    if (Closing)
        CloseChildWindows();
    else
        CloseDocuments();
    return Closing && FHost.MDIChildCount() == 0;
}

bool TMainFormCtl::CloseChildWindows() {
    int count = FHost.MDIChildCount();
    while (count > 0) {
        const int before = FHost.MDIChildCount();
        FHost.CloseFirstMDIChild();
        FHost.ProcessMessages();
        // A window that stays open stops the loop.
        count = FHost.MDIChildCount() < before ? count - 1 : 0;
    }
    return FHost.MDIChildCount() == 0;
}

void TMainFormCtl::CloseDocuments() {
    while (CloseFirstDocument(&TTreeModel::ProtocolsFolder)) {
    }
    while (CloseFirstDocument(&TTreeModel::RecordsFolder)) {
    }
}

bool TMainFormCtl::CloseFirstDocument(TTreeNode* (TTreeModel::*Folder)() const) {
    const TTreeNode* folder = (FTree.*Folder)();
    if (!folder || folder->Count() == 0)
        return false;
    TTreeNode* const first = folder->Item(0);
    if (IChildWindow* window = DocumentWindow(*first))
        window->Close();
    // The window's close removes its node, and the folder with its last child.
    folder = (FTree.*Folder)();
    if (!folder)
        return true;
    for (int32_t i = 0; i < folder->Count(); ++i)
        if (folder->Item(i) == first)
            return false;
    return true;
}

void TMainFormCtl::FormDestroy() {
    FHost.CloseAllInterfaces();
    for (int32_t i = 0; i < FTree.Count(); ++i)
        FreeNodeData(FTree.Item(i));
}
