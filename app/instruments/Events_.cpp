#include "app/instruments/Events_.h"

#include "app/base/Guard_.h"
#include "app/base/Tools_.h"
#include "app/tree/TreeNodes_.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kChambers = 10;
constexpr uint8_t kMeasParam = 255;
constexpr uint8_t kLastChamberParam = 9;
constexpr int32_t kStableBit = 1;
constexpr int32_t kPresentBit = 15;
// A user text is shown only from this profile level on.
constexpr uint16_t kUserProfileLevel = 2;

const char* const kProtocolTitles[] = {sActualProtocol, sStableProtocol, sCalProtocolSingle,
                                       sCalProtocolAll};

TInstrumentData InstrumentProbe(IMessageBoxes& Boxes, int32_t InterfaceIndex) {
    TInstrumentData probe;
    probe.Kind = GetNodeTypeFromCom(Boxes, InterfaceIndex);
    probe.InterfaceIndex = InterfaceIndex;
    return probe;
}

TChamberData ChamberProbe(int32_t Kind, int32_t Chamber) {
    TChamberData probe;
    probe.Kind = Kind;
    probe.Chamber = Chamber;
    return probe;
}

bool IsPresent(const TMEASall& Meas, int32_t Chamber) {
    return ChamberStatusBit(Meas, Chamber, kPresentBit);
}

// The device key of the temporary recording files: the device id, "#0x" and
// the USB product id, with "c" in front on a serial link.
std::string TempFileKey(const TInstrumentData& Instrument) {
    const std::string key =
        FieldText(Instrument.DevId) + "#0x" + Format("%.4X", Instrument.UsbProductId);
    return TInterfaceIndex(Instrument.InterfaceIndex).Serial() ? "c" + key : key;
}

} // namespace

bool ChamberStatusBit(const TMEASall& Meas, int32_t Chamber, int32_t Bit) {
    if (Chamber < 0 || Chamber >= kChambers || Bit < 0 || Bit > 15)
        return false;
    return (Meas.Chamber[Chamber].Status >> Bit) & 1u;
}

std::vector<int32_t> InstrumentIndexes(const TTreeModel& Tree) {
    std::vector<int32_t> indexes;
    const TTreeNode* root = Tree.Root();
    for (int32_t i = 0; root && i < root->Count(); ++i)
        if (const TInstrumentData* d = InstrumentData(root->Item(i)))
            indexes.push_back(d->InterfaceIndex);
    return indexes;
}

TTreeNode* ChamberNode(TTreeNode* Instrument, int32_t Chamber) {
    for (int32_t i = 0; Instrument && i < Instrument->Count(); ++i) {
        const TChamberData* c = ChamberData(Instrument->Item(i));
        if (c && c->Chamber == Chamber)
            return Instrument->Item(i);
    }
    return nullptr;
}

// --- TLiveData

TTreeNode* TLiveData::FindInstrument(int32_t InterfaceIndex) {
    if (!FEnv.Tree.Root())
        return nullptr;
    return FindOrAddNode(FEnv.Tree, FEnv.Tree.Root(), false,
                         InstrumentProbe(FEnv.Boxes, InterfaceIndex));
}

void TLiveData::NewMeasData(const void* Data, int32_t DataLen, TDevIndex DeviceIndex) {
    TMEASall meas{};
    if (const TLinkResult r = FEnv.Api.EventDataToTMEASall(Data, DataLen, &meas)) {
        ShowLinkError(FEnv.Boxes, "NewMeasData", kProflinkDll, r);
        return;
    }
    UpdateTree(DeviceIndex, meas, false);
    SetMeasTree(DeviceIndex, meas);
    RefreshOverviews(DeviceIndex);
    FeedRecordWindows(DeviceIndex);
}

void TLiveData::SetConnectedImages(TTreeNode* Instrument) {
    const int32_t image = InstrumentImage(Instrument->Kind(), true);
    FEnv.Tree.SetNodeImages(Instrument, image, image, imNone);
}

void TLiveData::UpdateTree(TDevIndex DeviceIndex, const TMEASall& Meas, bool Refresh) {
    const int32_t index = InterfaceIndexOf(DeviceIndex);
    TTreeNode* node = FindInstrument(index);
    if (node && !Refresh) {
        // Identity, versions, units and user are read at creation and on refresh only.
        SetConnectedImages(node);
    } else {
        if (!node && !Refresh && FEnv.Tree.Root())
            node = FindOrAddNode(FEnv.Tree, FEnv.Tree.Root(), true,
                                 InstrumentProbe(FEnv.Boxes, index));
        if (!node || !ReadIdentity(DeviceIndex, Refresh))
            return;
    }
    for (int32_t n = 0; n < kChambers; ++n)
        UpdateChamber(DeviceIndex, Meas, Refresh, n);
}

bool TLiveData::ReadIdentity(TDevIndex DeviceIndex, bool Refresh) {
    ILinkApi& api = FEnv.Api;
    char devId[21] = {};
    TDevText idSerial{};
    char swVers[21] = {};
    TDevUnits units{};
    char user[21] = {};
    TLinkResult r = api.GetDevId(DeviceIndex, devId);
    if (r == 0)
        r = api.GetIDSerial(DeviceIndex, 0, &idSerial);
    if (r == 0)
        r = api.GetDevSWVers(DeviceIndex, swVers);
    if (r == 0)
        r = api.GetDevUnits(DeviceIndex, &units);
    if (r == 0)
        r = GetDevUserName(DeviceIndex, user);
    if (r != 0) {
        if (!Refresh)
            ShowLinkError(FEnv.Boxes, "UpdateTree(1)", kProflinkDll, r);
        return true;
    }
    char serial[21];
    SerialPart(idSerial.Text, serial);
    int32_t serialNumber = 0;
    try {
        serialNumber = StrToInt(FieldText(serial));
    } catch (const EConvertError&) {
        return false;
    }
    const int32_t index = InterfaceIndexOf(DeviceIndex);
    TTreeNode* node = FindInstrument(index);
    if (!node)
        return false;
    TInstrumentData& d = *InstrumentData(node);
    d.InterfaceIndex = index;
    std::memcpy(d.DevId, devId, sizeof d.DevId);
    d.Units = units;
    std::memcpy(d.DevSWVers, swVers, sizeof d.DevSWVers);
    d.SilenceCount = 0;
    std::memcpy(d.DevUser, user, sizeof d.DevUser);
    d.SerialNumber = serialNumber;
    d.UsbProductId = UsbProductId(api, DeviceIndex);
    FEnv.Tree.SetText(node, InstrumentText(FEnv.Boxes, index, serialNumber));
    SetConnectedImages(node);
    return true;
}

void TLiveData::UpdateChamber(TDevIndex DeviceIndex, const TMEASall& Meas, bool Refresh,
                              int32_t Chamber) {
    TTreeNode* instrument = FindInstrument(InterfaceIndexOf(DeviceIndex));
    if (!instrument)
        return;
    // Without a known device id a chamber has no kind of its own: it is not shown
    // until a refresh or reconnection reads the identity.
    const int32_t kind = ChamberKindOf(FieldText(InstrumentData(instrument)->DevId), Chamber);
    if (kind == 0)
        return;
    const bool present = IsPresent(Meas, Chamber);
    TTreeNode* node = FindOrAddNode(FEnv.Tree, instrument, false, ChamberProbe(kind, Chamber));
    if (node) {
        const TChamberData& c = *ChamberData(node);
        if (present) {
            if (c.RecordWindow)
                FEnv.Tree.SetNodeImages(node, node->ImageIndex(), node->SelectedIndex(),
                                        RecordingStateImage(c.RecordWindow->Recording(), true));
        } else if (c.RecordWindow) {
            const int32_t image = ChamberImage(kind, false);
            FEnv.Tree.SetNodeImages(node, image, image,
                                    c.RecordWindow->Recording() ? imRecordingAbsent
                                                                : node->StateIndex());
        } else {
            FreeAndDeleteNode(FEnv.Tree, node);
        }
        return;
    }
    // A refresh adds no chamber: the next measurement event does.
    if (present && !Refresh)
        AddChamber(DeviceIndex, instrument, kind, Chamber);
}

void TLiveData::AddChamber(TDevIndex DeviceIndex, TTreeNode* Instrument, int32_t Kind,
                           int32_t Chamber) {
    const int32_t index = InterfaceIndexOf(DeviceIndex);
    FindOrAddNode(FEnv.Tree, Instrument, true, ChamberProbe(Kind, Chamber));
    TDevText swVers{};
    TDevText idSerial{};
    TLinkResult r = FEnv.Api.GetSWVers(DeviceIndex, Chamber, &swVers);
    if (r == 0)
        r = FEnv.Api.GetIDSerial(DeviceIndex, Chamber, &idSerial);
    if (r != 0)
        ShowLinkError(FEnv.Boxes, "UpdateTree(2)", kProflinkDll, r);
    TTreeNode* instrument = FindInstrument(index);
    TTreeNode* node = FindOrAddNode(FEnv.Tree, instrument, false, ChamberProbe(Kind, Chamber));
    if (!node)
        return;
    TChamberData& c = *ChamberData(node);
    if (r == 0) {
        std::memcpy(c.SWVers, swVers.Text, sizeof c.SWVers);
        IdPart(idSerial.Text, c.IdPart);
        SerialPart(idSerial.Text, c.SerialPart);
    }
    SetFieldText(c.Name, DefaultChamberName(Chamber, FieldText(c.SerialPart)));
    FEnv.Tree.SetText(node, FieldText(c.Name));
    // SetMeasTree, which runs next, shows the present image.
    const int32_t image = ChamberImage(Kind, false);
    FEnv.Tree.SetNodeImages(node, image, image, node->StateIndex());
    FEnv.Tree.Expand(FEnv.Tree.Root(), false);
    FEnv.Tree.Expand(instrument, true);
    ResumeRecording(instrument, node);
}

void TLiveData::ResumeRecording(TTreeNode* Instrument, TTreeNode* Chamber) {
    ILinkHost& host = FEnv.Host;
    if (!host.AutoRestore())
        return;
    const TInstrumentData& d = *InstrumentData(Instrument);
    const std::string dir = host.TempFileDir();
    const std::string key = TempFileKey(d);
    const int32_t n = ChamberData(Chamber)->Chamber;
    const std::string data = Format(sTempFileName, dir.c_str(), key.c_str(), d.SerialNumber, n);
    const std::string header =
        Format(sTempHeaderFileName, dir.c_str(), key.c_str(), d.SerialNumber, n);
    if (!host.FileExists(data) || !host.FileExists(header))
        return;
    FEnv.Tree.Select(Chamber);
    host.AcShowRecExecute();
}

void TLiveData::SetMeasTree(TDevIndex DeviceIndex, const TMEASall& Meas) {
    const int32_t index = InterfaceIndexOf(DeviceIndex);
    if (!FindInstrument(index)) {
        ShowErrorOrWarn(FEnv.Boxes, Format(sErrorIn, "SetMeasTree(2)", sNodeNotFound), false);
        return;
    }
    for (int32_t n = 0; n < kChambers; ++n) {
        TTreeNode* node = ChamberNode(FindInstrument(index), n);
        if (!node)
            continue;
        const TChamberMeas& meas = Meas.Chamber[n];
        // The stability values are read once, when the chamber has just become stable.
        if (!(ChamberData(node)->Live.Meas.Status & csStable) &&
            ChamberStatusBit(Meas, n, kStableBit)) {
            TStab stab{};
            if (const TLinkResult r = FEnv.Api.GetStab(DeviceIndex, n, &stab)) {
                ShowLinkError(FEnv.Boxes, "SetMeasTree(1)", kProflinkDll, r);
                node = ChamberNode(FindInstrument(index), n);
                if (!node)
                    continue;
            } else {
                ChamberData(node)->Stab = stab;
            }
        }
        TChamberData& c = *ChamberData(node);
        c.Live.Stamp = Meas.Stamp;
        c.Live.Meas = meas;
        if (IsPresent(Meas, n)) {
            const int32_t image = ChamberImage(c.Kind, true);
            FEnv.Tree.SetNodeImages(node, image, image, node->StateIndex());
        }
    }
    if (TTreeNode* node = FindInstrument(index))
        InstrumentData(node)->SilenceCount = 0;
}

int32_t TLiveData::GetDevUserName(TDevIndex DeviceIndex, char (&User)[21]) {
    uint16_t level = 0;
    if (const TLinkResult r = FEnv.Api.GetProfileCap(DeviceIndex, &level))
        return r;
    if (level < kUserProfileLevel)
        return 0;
    TDevText text{};
    const TLinkResult r = FEnv.Api.GetDevUser(DeviceIndex, &text);
    switch (r) {
    case 0:
        std::memcpy(User, text.Text, sizeof User);
        return 0;
    case kUserNotLoggedIn:
        SetFieldText(User, sNotLoggedIn);
        return 0;
    case kNoUser:
        std::memset(User, 0, sizeof User);
        return 0;
    default:
        return r;
    }
}

TTreeNode* TLiveData::InstrumentAt(TDevIndex DeviceIndex, int32_t Position) {
    TTreeNode* root = FEnv.Tree.Root();
    if (!root || Position >= root->Count())
        return nullptr;
    TTreeNode* node = root->Item(Position);
    const TInstrumentData* d = InstrumentData(node);
    return d && DeviceIndexOf(d->InterfaceIndex) == DeviceIndex ? node : nullptr;
}

// Both walk the tree by position and look again after every window's call: a
// window may show a box, and the timers change the tree meanwhile.

void TLiveData::RefreshOverviews(TDevIndex DeviceIndex) {
    for (int32_t i = 0; FEnv.Tree.Root() && i < FEnv.Tree.Root()->Count(); ++i)
        if (TTreeNode* node = InstrumentAt(DeviceIndex, i))
            if (IOverviewWindow* window = InstrumentData(node)->OverviewWindow)
                window->UpdateOverview();
}

void TLiveData::FeedRecordWindows(TDevIndex DeviceIndex) {
    for (int32_t i = 0; FEnv.Tree.Root() && i < FEnv.Tree.Root()->Count(); ++i) {
        for (int32_t j = 0;; ++j) {
            TTreeNode* node = InstrumentAt(DeviceIndex, i);
            if (!node || j >= node->Count())
                break;
            const TChamberData* c = ChamberData(node->Item(j));
            if (!c || !c->RecordWindow)
                continue;
            // Samples enter a recording only here, and only while the sensor is on.
            if (c->RecordWindow->Recording() && (c->Live.Meas.Status & csSensorOn))
                FEnv.Host.AddLiveSample(*c->RecordWindow);
            else
                FEnv.Host.ShowActualValues(*c->RecordWindow);
        }
    }
}

// --- TRecEvents

TLinkEventHandler TRecEvents::Handler() {
    return [this](TDevIndex Index) { GuardedCall([this, Index] { RecEventProc(Index); }); };
}

void TRecEvents::RecEventProc(TDevIndex DeviceIndex) {
    if (!FState.BeginDrain(DeviceIndex))
        return;
    struct TDrainEnd {
        TLinkState& State;
        TDevIndex Index;
        ~TDrainEnd() { State.EndDrain(Index); }
    } drainEnd{FState, DeviceIndex};
    const uint32_t generation = FState.Generation(DeviceIndex);

    int32_t count = 0;
    if (const TLinkResult r = FEnv.Api.GetNumEvent(DeviceIndex, &count, nullptr, nullptr)) {
        ShowLinkError(FEnv.Boxes, "RecEventProc(2)", kQuorxComDll, r);
        return;
    }
    std::vector<uint8_t> buffer(kMaxEventData);
    for (int32_t i = 0; i < count; ++i) {
        uint16_t code = 0;
        uint8_t param = 0;
        int32_t dataLen = 0;
        std::fill(buffer.begin(), buffer.end(), 0);
        const TLinkResult r =
            FEnv.Api.GetEvent(DeviceIndex, &code, &param, buffer.data(), kMaxEventData, &dataLen);
        // The count was taken before: an empty queue, or a link that is gone,
        // ends the drain quietly.
        if (r == errNoEvent || r == errNotOpen)
            return;
        if (r != 0) {
            // Events not taken stay queued for the next call.
            ShowLinkError(FEnv.Boxes, "RecEventProc(1)", kQuorxComDll, r);
            return;
        }
        Dispatch(DeviceIndex, code, param, buffer.data(), std::clamp(dataLen, 0, kMaxEventData));
        if (FState.Generation(DeviceIndex) != generation)
            return;
    }
}

void TRecEvents::Dispatch(TDevIndex DeviceIndex, uint16_t Code, uint8_t Param, const uint8_t* Data,
                          int32_t DataLen) {
    if (Code == evDevInit && Param == 0) {
        FInitComm(DeviceIndex);
    } else if (Code == evMeasData && Param == kMeasParam) {
        FLive.NewMeasData(Data, DataLen, DeviceIndex);
    } else if (Code >= evProtActual && Code <= evProtCalAll && Param <= kLastChamberParam) {
        FEnv.Host.NewProtocolWindow(kProtocolTitles[Code - evProtActual], Param, DeviceIndex, Data,
                                    DataLen);
    }
}
