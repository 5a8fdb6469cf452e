// The links the library holds: 256 serial slots (slot n - 1 for COM n) and the
// list of USB devices keyed 1..256, with the device index checks of every export.
#pragma once

#include "common/LinkIndex.h"
#include "link/core/QuorxCom.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// One open link: the platform's port, clock and event timer around its device.
class TLinkObject {
public:
    virtual ~TLinkObject() = default;
    virtual TNPDev& Dev() = 0;
    // The serial driver's receive queue sizes; all bits set when unreadable.
    virtual std::uint32_t CurrentRxQueue() { return 0xFFFFFFFF; }
    virtual std::uint32_t MaxRxQueue() { return 0xFFFFFFFF; }

    // The serial line under the device, for the modem's dialogue and status;
    // a link without one (USB) fails every operation.
    virtual IBytePort* SerialPort() { return nullptr; }
    // What is waiting on the line, as text up to its first NUL.
    virtual std::string ReadWaitingText() { return {}; }
    // Reads the line settings and keeps them; false when unreadable.
    virtual bool SaveLineSettings() { return false; }
    // Writes the kept settings back with DTR off, or unchanged; false when refused.
    virtual bool DropDtr() { return false; }
    virtual bool RestoreLineSettings() { return false; }
};

// A link held for the length of one call: a close in another thread meanwhile
// takes it out of the table, and whoever lets go of it last frees it.
using TLinkHold = std::shared_ptr<TLinkObject>;

// The USB devices by key.
class TNPDevList {
public:
    const TLinkHold* FindByKey(int Key) const;
    // The smallest key 1..512 that no device has (0 when none is free).
    int FreeKey() const;
    // Adds the device under Key; -1 when the key is taken.
    int Add(int Key, TLinkHold Link);
    // Takes the device with Key out of the list (null when there is none).
    TLinkHold Take(int Key);
    std::vector<TLinkHold> TakeAll();
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    std::vector<std::pair<int, TLinkHold>> entries_;
};

// Every member may run in any thread. A link taken out is handed back to the
// caller, so that freeing it (which may call back into the library) happens
// outside the table's lock.
class TDevTable {
public:
    // 1..256: 0 when the slot holds a link, else errNotOpen; 257..512: the same
    // for the USB key Index - 256; anything else errParam.
    TLinkResult CheckDevIndex(int Index) const;
    // The link at Index for one call; null with Result errParam or errNotOpen.
    TLinkHold Hold(int Index, TLinkResult& Result) const;
    TLinkHold Hold(int Index) const;

    // Puts Link into the serial slot of Port; returns what was there.
    TLinkHold PutSerial(int Port, TLinkHold Link);
    // Takes the link at Index out of the table (null when there is none).
    TLinkHold Take(int Index);
    int FreeUsbKey() const;
    // Adds a USB link under Key; false when the key is taken.
    bool AddUsb(int Key, TLinkHold Link);
    void FreeAll();

private:
    TLinkHold Find(int Index) const;

    mutable std::mutex lock_;
    TLinkHold serial_[TDeviceIndex::kLastSerial];
    TNPDevList usb_;
};
