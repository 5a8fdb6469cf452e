// Connecting instruments: serial ports by the connect dialog or the stored set of
// open ports, USB instruments by scanning their device interface class; the
// check of an opened link (InitComm), disconnecting, and closing every link at
// the end. Every link the application closes or replaces goes through CloseLink
// or OpenCom, so a drain of its events stops (TLinkState).
#pragma once

#include "app/base/Registry_.h"
#include "app/instruments/Events_.h"
#include "app/instruments/LinkHost_.h"
#include "app/instruments/OpenPorts_.h"

#include <cstdint>

inline constexpr char sCannotOpen[] = "Cannot open %s";
inline constexpr char sNoAnswer[] = "No answer from instrument!";
inline constexpr char sCannotConnect[] = "Cannot connect with instrument on %s";
inline constexpr char sUnknownInstrumentId[] = "Unknown Instrument ID: %s";
inline constexpr char sMclTooLow[] = "MCL of dll is to low!";
inline constexpr char sPleaseUpdate[] = "Please update this software";

// Serial links: 19200 baud, a receive queue of 128790 bytes, no nibble mode.
inline constexpr int32_t kComBaud = 19200;
inline constexpr int32_t kComRxQueueSize = 128790;
// The device interface class of the instruments on USB.
inline constexpr TQuorxGuid kInstrumentInterfaceGuid = {
    0xAB245463, 0xF67A, 0x40EC, {0xB0, 0x96, 0x2A, 0x37, 0xF3, 0x07, 0x93, 0xC5}};
// The product id under which a USB device is matched to an instrument node.
inline constexpr uint16_t kInstrumentUsbProductId = 16027;
// Bytes offered to GetDevicePathList.
inline constexpr uint32_t kDevicePathListSize = 65536;

// True for "ZEPHORA", "KIVANTER" and "ZEPHORAN", compared exactly.
bool IsAcceptedDevId(const std::string& DevId);

// The handles of a USB device that got no link: the library closes only those
// of a link it created (or of a key it refused).
class IUsbHandles {
public:
    // Either may be null or -1 (none).
    virtual void CloseUsbHandles(void* Device, void* WinUsb) = 0;

protected:
    ~IUsbHandles() = default;
};

class TConnection {
public:
    TConnection(TLinkEnv& Env, TLinkState& State, TLiveData& Live, TRecEvents& Events,
                IRegistryStore& Registry, IUsbHandles& UsbHandles)
        : FEnv(Env), FState(State), FLive(Live), FEvents(Events), FRegistry(Registry),
          FUsbHandles(UsbHandles) {}

    // Checks an opened link (capabilities and model), switches its events on,
    // reads the first measurement and enters it in the tree. 0 when connected or
    // refused with a message (the link is closed then); else the failed call's
    // result, the link closed.
    int32_t InitComm(TDevIndex DeviceIndex);
    // Opens and registers every present USB instrument that no link drives yet;
    // a known one gets its old key back. DoInit: each is initialised at once,
    // otherwise it enters the tree with its first measurement.
    void ScanUsbDevices(bool DoInit);

    // The connect dialog, then the port opened and checked; stored when connected.
    void AcOpenComExecute();
    // Disconnects the selected instrument (or the chamber's instrument) unless a
    // record window refuses to close.
    void AcCloseComExecute();
    // "openedcom" := the serial instruments of the tree.
    void StoreOpenPorts();
    // Connects the stored serial ports again, COM1 first.
    void ReconnectOpenPorts();
    // Opens and checks serial port Port; on failure asks Abort, Retry or Ignore.
    TReopenAnswer ReopenComPort(int32_t Port);
    // Events off and link closed for every instrument node.
    void CloseAllInterfaces();

    // OpenComEx with the serial link parameters; the port's previous link is gone.
    TLinkResult OpenCom(int32_t Port);
    // Closes the link of an interface index.
    void CloseLink(int32_t InterfaceIndex);

    // The serial driver's receive-queue size of the last serial connection.
    uint32_t RxQueueSize() const { return FRxQueueSize; }

private:
    // Device index for InitializeDevice: the key of the instrument node with this
    // serial number, else a key that neither an instrument node (a lost one keeps
    // its key for its recordings) nor an open link holds; TDeviceIndex::kAnyUsb lets
    // the library choose.
    TDevIndex UsbIndexFor(int32_t Serial);
    bool UsbLinkOpen(TDevIndex Index);
    void OpenUsbDevice(const std::string& Path, bool DoInit);

    TLinkEnv& FEnv;
    TLinkState& FState;
    TLiveData& FLive;
    TRecEvents& FEvents;
    IRegistryStore& FRegistry;
    IUsbHandles& FUsbHandles;
    uint32_t FRxQueueSize = 0;
};
