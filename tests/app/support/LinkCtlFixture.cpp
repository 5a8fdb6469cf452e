#include "tests/app/support/LinkCtlFixture.h"

#include "app/base/Tools_.h"

bool TRecordingLinkHost::ExecuteConnectDialog(int32_t& Port) {
    calls.push_back("dialog");
    Port = connectPort;
    return connectOk;
}

TCursorKind TRecordingLinkHost::SetScreenCursor(TCursorKind Cursor) {
    calls.push_back(Cursor == TCursorKind::HourGlass ? "cursor hourglass" : "cursor default");
    const TCursorKind previous = cursor;
    cursor = Cursor;
    return previous;
}

void TRecordingLinkHost::SetRefreshEnabled(bool Enabled) {
    calls.push_back(Enabled ? "refresh on" : "refresh off");
}

std::string TRecordingLinkHost::Name(const void* Window) const {
    const auto name = names.find(Window);
    return name == names.end() ? "?" : name->second;
}

void TRecordingLinkHost::ShowActualValues(IRecordWindow& Window) {
    calls.push_back("show " + Name(&Window));
}

void TRecordingLinkHost::AddLiveSample(IRecordWindow& Window) {
    calls.push_back("sample " + Name(&Window));
}

void TRecordingLinkHost::UpdateUnits(IRecordWindow& Window) {
    calls.push_back("units " + Name(&Window));
}

void TRecordingLinkHost::NewProtocolWindow(const std::string& Title, int32_t Chamber,
                                           TDevIndex DeviceIndex, const uint8_t*, int32_t DataLen) {
    calls.push_back(Format("protocol %s %d %d %d", Title.c_str(), Chamber, DeviceIndex, DataLen));
    if (onProtocol)
        onProtocol();
}

void TRecordingLinkHost::AcShowRecExecute() {
    calls.push_back("showrec");
}

int32_t TRecordingLinkHost::FileAge(const std::string& FileName) {
    const auto age = ages.find(FileName);
    return age == ages.end() ? -1 : age->second;
}

void TRecordingLinkHost::LoadFile(const std::string& FileName) {
    calls.push_back("load " + FileName);
}

TMsgDlgAnswer TModalBoxes::ShowDialog(const TMsgDlgRequest& Request) {
    const TMsgDlgAnswer answer = TScriptedBoxes::ShowDialog(Request);
    if (whileShown && !FInside) {
        FInside = true;
        whileShown();
        FInside = false;
    }
    return answer;
}

std::vector<std::string> TModalBoxes::Texts() const {
    std::vector<std::string> texts;
    for (const TMsgDlgRequest& r : Shown)
        texts.push_back(r.Msg);
    return texts;
}

void TClosingRecordWindow::Close() {
    ++closed;
    if (refuse)
        return;
    TInstrumentData probe;
    probe.Kind = FInterfaceIndex < 256 ? nkSerialInstrument : nkUsbInstrument;
    probe.InterfaceIndex = FInterfaceIndex;
    if (TChamberData* c =
            ChamberData(ChamberNode(FindOrAddNode(FTree, FTree.Root(), false, probe), FChamber)))
        c->RecordWindow = nullptr;
}

std::string UsbPath(const std::string& Serial, const char* ProductId) {
    return std::string("\\\\?\\usb#vid_1234&pid_") + ProductId + "#" + Serial +
           "#{ab245463-f67a-40ec-b096-2a37f30793c5}";
}

TMEASall Meas(std::initializer_list<std::pair<int, uint16_t>> Chambers) {
    TMEASall m{};
    m.Stamp = {10, 5, 2024, 3600};
    for (const auto& [n, status] : Chambers) {
        m.Chamber[n].Status = status;
        m.Chamber[n].Humidity = static_cast<int16_t>(5000 + n);
        m.Chamber[n].Temperature = 2500;
    }
    return m;
}

TFakeInstrument MakeInstrument(const std::string& DevId, int32_t Serial) {
    TFakeInstrument instrument;
    instrument.DevId = DevId;
    instrument.IDSerial[0] = DevId + " " + Format("%.7d", Serial);
    for (int n = 0; n < 10; ++n) {
        if (n > 0)
            instrument.IDSerial[static_cast<std::size_t>(n)] =
                DevId + " " + Format("%.7d", 100 + n);
        instrument.SWVers[static_cast<std::size_t>(n)] = Format("1.0%d", n);
    }
    return instrument;
}

TLinkCtlTest::TLinkCtlTest() {
    CreateRootNode(tree, "PC", "user");
}

void TLinkCtlTest::ConnectSerial(TDevIndex Port, const TFakeInstrument& Instrument,
                                 const TMEASall& First) {
    api.OpenLink(Port);
    api.Instrument(Port) = Instrument;
    api.Instrument(Port).Meas = First;
    ASSERT_EQ(ctl.Connection.InitComm(Port), 0);
    ctl.Live.SetMeasTree(Port, First);
}

void TLinkCtlTest::Measure(TDevIndex Index, const TMEASall& M) {
    api.QueueMeasEvent(Index, M);
    api.Fire(Index);
}

std::vector<std::string> TLinkCtlTest::ChildTexts(const TTreeNode* Node) {
    std::vector<std::string> texts;
    for (int32_t i = 0; Node && i < Node->Count(); ++i)
        texts.push_back(Node->Item(i)->Text());
    return texts;
}

TClosingRecordWindow& TLinkCtlTest::OpenRecordWindow(int32_t InterfaceIndex, int32_t Chamber,
                                                     const std::string& Name) {
    windows.push_back(std::make_unique<TClosingRecordWindow>(tree, InterfaceIndex, Chamber));
    TClosingRecordWindow& window = *windows.back();
    host.names[static_cast<IRecordWindow*>(&window)] = Name;
    ChamberData(this->Chamber(InterfaceIndex, Chamber))->RecordWindow = &window;
    return window;
}
