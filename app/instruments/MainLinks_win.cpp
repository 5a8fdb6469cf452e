#include "app/instruments/MainLinks_win.h"

#include "app/base/Tools_win.h"
#include "app/settings/Preferences_.h"

#include <utility>

namespace {

constexpr UINT kTimerInterval = 1000;

} // namespace

int32_t PackedFileAge(const std::string& FileName) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(FileName.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    FILETIME local;
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

TMainLinks::TMainLinks(HWND Owner, TTreeModel& Tree, IMessageBoxes& Boxes, IRegistryStore& Registry,
                       ILinkApi& Api, TActionList& Actions, TLoadFile LoadFile)
    : FOwner(Owner), FActions(Actions), FLoadFile(std::move(LoadFile)),
      FCtl(Api, Boxes, Tree, *this, Registry, FUsbHandles) {
    const auto action = [this](int Id, const char* Caption, TShortCut ShortCut, auto Execute) {
        FActions.Add({Id, Caption, ShortCut, true, false, Execute});
    };
    action(kAcOpenCom, "&Connect...", {VK_INSERT, false, true, false},
           [this] { FCtl.Connection.AcOpenComExecute(); });
    action(kAcCloseCom, "&Disconnect", {VK_DELETE, false, true, false},
           [this] { FCtl.Connection.AcCloseComExecute(); });
    action(kAcRefresh, "Re&fresh", {VK_F5, false, false, false},
           [this] { FCtl.Watchdog.AcRefreshExecute(); });
}

TMainLinks::~TMainLinks() {
    KillTimer(FOwner, kTimerCom);
    KillTimer(FOwner, kTimerRec);
}

void TMainLinks::StartTimers() {
    SetTimer(FOwner, kTimerCom, kTimerInterval, nullptr);
    SetTimer(FOwner, kTimerRec, kTimerInterval, nullptr);
}

bool TMainLinks::OnMessage(UINT Msg, WPARAM W) {
    switch (Msg) {
    case WM_TIMER:
        if (W == kTimerCom)
            FCtl.Watchdog.TimerComTimer();
        else if (W == kTimerRec)
            FCtl.Watchdog.TimerRecTimer();
        else
            return false;
        return true;
    case WM_DEVICECHANGE:
        // Every kind of device change.
        FCtl.Connection.ScanUsbDevices(false);
        return false;
    default:
        return false;
    }
}

bool TMainLinks::ExecuteConnectDialog(int32_t& Port) {
    if (!FConnFrm || FConnFrm->Execute() != mrOk)
        return false;
    Port = FConnFrm->GetSelectedPort();
    return true;
}

TCursorKind TMainLinks::SetScreenCursor(TCursorKind Cursor) {
    const TCursorKind previous = FCursor;
    FCursor = Cursor;
    ::SetScreenCursor(Cursor == TCursorKind::HourGlass
                          ? LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT))
                          : nullptr);
    return previous;
}

void TMainLinks::SetRefreshEnabled(bool Enabled) {
    FActions.SetEnabled(kAcRefresh, Enabled);
}

bool TMainLinks::AutoRestore() {
    return gPreferences && gPreferences->AutoRestore;
}

std::string TMainLinks::TempFileDir() {
    return gPreferences ? gPreferences->TempFileDir : std::string();
}

void TMainLinks::NewProtocolWindow(const std::string& Title, int32_t Chamber, TDevIndex DeviceIndex,
                                   const uint8_t* Data, int32_t Len) {
    if (FNewProtocolWindow)
        FNewProtocolWindow(Title, Chamber, DeviceIndex, Data, Len);
}

bool TMainLinks::FileExists(const std::string& FileName) {
    const DWORD attributes = GetFileAttributesA(FileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int32_t TMainLinks::FileAge(const std::string& FileName) {
    return PackedFileAge(FileName);
}
