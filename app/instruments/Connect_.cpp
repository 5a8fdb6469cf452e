#include "app/instruments/Connect_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"
#include "app/tree/TreeNodes_.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr uint16_t kHighestRequiredCap = 2;
constexpr uint8_t kEventsOn = 0xFF;
constexpr uint8_t kEventsOff = 0;

// The lines of a list the library wrote: CR LF between them; empty lines are no paths.
std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= Text.size()) {
        std::size_t end = Text.find("\r\n", start);
        if (end == std::string::npos)
            end = Text.size();
        if (end > start)
            lines.push_back(Text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

namespace {

std::vector<int32_t> UsbInstrumentIndexes(const TTreeModel& Tree) {
    std::vector<int32_t> indexes = InstrumentIndexes(Tree);
    std::erase_if(indexes, [](int32_t Index) { return !TInterfaceIndex(Index).Usb(); });
    return indexes;
}

} // namespace

bool IsAcceptedDevId(const std::string& DevId) {
    return DevId == "ZEPHORA" || DevId == "KIVANTER" || DevId == "ZEPHORAN";
}

TLinkResult TConnection::OpenCom(int32_t Port) {
    FState.LinkGone(Port);
    return FEnv.Api.OpenComEx(Port, kMaxEvents, kMaxEventData, kComBaud, kComRxQueueSize, 0);
}

void TConnection::CloseLink(int32_t InterfaceIndex) {
    FState.LinkGone(DeviceIndexOf(InterfaceIndex));
    CloseInterface(FEnv.Api, FEnv.Boxes, InterfaceIndex);
}

int32_t TConnection::InitComm(TDevIndex DeviceIndex) {
    const TConnectScope connecting(FState, DeviceIndex);
    ILinkApi& api = FEnv.Api;
    IMessageBoxes& boxes = FEnv.Boxes;
    const int32_t index = InterfaceIndexOf(DeviceIndex);

    uint16_t level = 0;
    uint16_t required = 0;
    char id[21] = {};
    TLinkResult r = api.GetProfileCap(DeviceIndex, &level);
    if (r == 0)
        r = api.GetReqMCap(DeviceIndex, &required);
    if (r == 0)
        r = api.GetDevId(DeviceIndex, id);
    if (r != 0) {
        api.SetMeasEvent(DeviceIndex, kEventsOff);
        CloseLink(index);
        if (r == errTimeout || r == errByteTimeout)
            ShowErrorOrWarn(boxes, sNoAnswer, false);
        else
            ShowLinkError(boxes, "InitComm(3)", kQuorxComDll, r);
        return r;
    }
    const std::string devId = FieldText(id);
    if (!IsAcceptedDevId(devId)) {
        CloseLink(index);
        const std::string where = GetInterfaceNameFromCom(boxes, index) + "\r\n" +
                                  Format(sUnknownInstrumentId, devId.c_str());
        ShowErrorOrWarn(boxes, Format(sCannotConnect, where.c_str()), false);
        return 0;
    }
    // Every profile capability level is accepted.
    if (required > kHighestRequiredCap) {
        CloseLink(index);
        ShowErrorOrWarn(boxes, std::string(sMclTooLow) + "\r" + sPleaseUpdate, false);
        return 0;
    }

    TMEASall meas{};
    r = api.SetRecEventProc(DeviceIndex, FEvents.Handler());
    if (r != 0) {
        ShowLinkError(boxes, "InitComm(2)", kQuorxComDll, r);
    } else {
        r = api.SetMeasEvent(DeviceIndex, kEventsOn);
        if (r != 0)
            ShowLinkError(boxes, "InitComm(1)", kProflinkDll, r);
        else
            r = api.GetMeasAll(DeviceIndex, &meas);
    }
    if (r != 0) {
        api.SetMeasEvent(DeviceIndex, kEventsOff);
        CloseLink(index);
        return r;
    }
    if (TDeviceIndex(DeviceIndex).Serial()) {
        uint32_t size = 0;
        if (api.RxQueue(DeviceIndex, &size) == 0)
            FRxQueueSize = size;
    }
    FLive.UpdateTree(DeviceIndex, meas, false);
    return 0;
}

void TConnection::ScanUsbDevices(bool DoInit) {
    const TCursorScope cursor(FEnv.Host, TCursorKind::HourGlass, TCursorKind::Default);
    std::vector<char> buffer(kDevicePathListSize, '\0');
    uint32_t size = kDevicePathListSize;
    if (FEnv.Api.GetDevicePathList(kInstrumentInterfaceGuid, buffer.data(), &size) != 0)
        return;
    const std::string text(buffer.data(), std::min(size, kDevicePathListSize));
    for (const std::string& path : SplitLines(text))
        OpenUsbDevice(path, DoInit);
}

void TConnection::OpenUsbDevice(const std::string& Path, bool DoInit) {
    ILinkApi& api = FEnv.Api;
    void* device = nullptr;
    void* winUsb = nullptr;
    // A device that this application already drives cannot be opened again.
    if (api.OpenUSBDevice(Path.c_str(), &device) != 0)
        return;
    if (api.USBInitialize(device, &winUsb) != 0) {
        FUsbHandles.CloseUsbHandles(device, nullptr);
        return;
    }
    TDevIndex index = UsbIndexFor(api.GetSerNumFromDevicePath(Path.c_str()));
    const TLinkResult r = api.InitializeDevice(device, winUsb, &index, kMaxEvents, kMaxEventData,
                                               Path.c_str(), static_cast<int32_t>(Path.size()));
    if (r != 0) {
        // A refused key and a failed creation free the device with its handles.
        if (r != errKeyInUse && r != errDevCreate)
            FUsbHandles.CloseUsbHandles(device, winUsb);
        return;
    }
    const bool registered = api.SetRecEventProc(index, FEvents.Handler()) == 0;
    if (DoInit) {
        // No events are asked for first: a late reply would be taken as the
        // answer to InitComm's first request.
        InitComm(index);
        return;
    }
    // Sent without waiting for its reply; the library restores the time-outs after it.
    api.SetTimeouts(index, 0, 0);
    if (registered)
        api.SetMeasEvent(index, kEventsOn);
}

TDevIndex TConnection::UsbIndexFor(int32_t Serial) {
    const TDevIndex known = UsbPortOfSerial(FEnv.Tree, Serial, kInstrumentUsbProductId);
    if (known != TDeviceIndex::kAnyUsb)
        return known;
    const std::vector<int32_t> nodes = UsbInstrumentIndexes(FEnv.Tree);
    if (nodes.empty())
        return TDeviceIndex::kAnyUsb;
    const std::set<int32_t> nodeIndexes(nodes.begin(), nodes.end());
    for (int32_t key = 1; key <= TDeviceIndex::kLastUsbKey; ++key) {
        const TDeviceIndex index = TDeviceIndex::ForUsbKey(key);
        if (!nodeIndexes.count(TInterfaceIndex::Of(index).Value()) && !UsbLinkOpen(index.Value()))
            return index.Value();
    }
    return TDeviceIndex::kAnyUsb;
}

bool TConnection::UsbLinkOpen(TDevIndex Index) {
    char path[1];
    int32_t size = 0;
    return FEnv.Api.GetDevicePath(Index, path, &size) != errNotOpen;
}

void TConnection::AcOpenComExecute() {
    int32_t port = 0;
    if (!FEnv.Host.ExecuteConnectDialog(port))
        return;
    if (OpenCom(port) != 0) {
        ShowErrorOrWarn(FEnv.Boxes,
                        Format(sCannotOpen,
                               GetInterfaceNameFromCom(FEnv.Boxes, InterfaceIndexOf(port)).c_str()),
                        false);
        return;
    }
    if (InitComm(port) == 0)
        StoreOpenPorts();
}

void TConnection::AcCloseComExecute() {
    TTreeNode* selected = FEnv.Tree.Selected();
    TTreeNode* node = ChamberData(selected) ? selected->Parent() : selected;
    if (!InstrumentData(node))
        return;
    const int32_t index = InstrumentData(node)->InterfaceIndex;
    // Each record window may ask to save; one that stays open keeps the instrument.
    for (;;) {
        node = FLive.FindInstrument(index);
        if (!node)
            return;
        TChamberData* open = nullptr;
        for (int32_t j = 0; !open && j < node->Count(); ++j) {
            TChamberData* c = ChamberData(node->Item(j));
            if (c && c->RecordWindow)
                open = c;
        }
        if (!open)
            break;
        const int32_t chamber = open->Chamber;
        open->RecordWindow->Close();
        const TChamberData* after = ChamberData(ChamberNode(FLive.FindInstrument(index), chamber));
        if (after && after->RecordWindow)
            return;
    }
    if (IOverviewWindow* overview = InstrumentData(node)->OverviewWindow) {
        overview->Close();
        node = FLive.FindInstrument(index);
        if (!node)
            return;
    }
    FEnv.Api.SetMeasEvent(DeviceIndexOf(index), kEventsOff);
    CloseLink(index);
    FreeNodeData(node);
    FEnv.Tree.Delete(node);
    StoreOpenPorts();
}

void TConnection::StoreOpenPorts() {
    std::vector<int32_t> serial;
    for (int32_t index : InstrumentIndexes(FEnv.Tree))
        if (TInterfaceIndex(index).Serial())
            serial.push_back(index);
    ::StoreOpenPorts(FRegistry, serial);
}

void TConnection::ReconnectOpenPorts() {
    ::ReconnectOpenPorts(FRegistry, [this](int32_t Port) { return ReopenComPort(Port); });
}

TReopenAnswer TConnection::ReopenComPort(int32_t Port) {
    if (OpenCom(Port) == 0 && InitComm(Port) == 0)
        return TReopenAnswer::Next;
    const std::string text =
        Format(sCannotConnect, GetInterfaceNameFromCom(FEnv.Boxes, InterfaceIndexOf(Port)).c_str());
    TMsgDlgRequest request = CreateMessageDialog(text, mtWarning, {mbAbort, mbRetry, mbIgnore});
    // The application's own box: its title as caption, Retry the default.
    request.Caption = kMainCaption;
    for (std::size_t i = 0; i < request.Buttons.size(); ++i)
        if (request.Buttons[i].Kind == mbRetry)
            request.DefaultButton = static_cast<int>(i);
    switch (FEnv.Boxes.ShowDialog(request).Result) {
    case mrRetry:
        return TReopenAnswer::Retry;
    case mrIgnore:
        return TReopenAnswer::Next;
    default:
        return TReopenAnswer::Stop;
    }
}

void TConnection::CloseAllInterfaces() {
    for (int32_t index : InstrumentIndexes(FEnv.Tree)) {
        FEnv.Api.SetMeasEvent(DeviceIndexOf(index), kEventsOff);
        CloseLink(index);
    }
}
