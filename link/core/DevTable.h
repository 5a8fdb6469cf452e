// The links the library holds: 256 serial slots (slot n - 1 for COM n) and the
// list of USB devices keyed 1..256, with the device index checks of every export.
#pragma once

#include "common/LinkIndex.h"
#include "link/core/QuorxCom.h"

#include <cstdint>
#include <memory>
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

// The USB devices by key. Owns its entries: removing one frees it.
class TNPDevList {
public:
    TLinkObject* FindByKey(int Key) const;
    // The smallest key 1..512 that no device has (0 when none is free).
    int FreeKey() const;
    // Adds the device under Key; -1 when the key is taken (the device is freed).
    int Add(int Key, std::unique_ptr<TLinkObject> Link);
    // Removes and frees the device with Key; false when there is none.
    bool Remove(int Key);
    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    std::vector<std::pair<int, std::unique_ptr<TLinkObject>>> entries_;
};

class TDevTable {
public:
    // 1..256: 0 when the slot holds a link, else errNotOpen; 257..512: the same
    // for the USB key Index - 256; anything else errParam.
    TLinkResult CheckDevIndex(int Index) const;
    TLinkObject* LinkByIndex(int Index) const;
    TNPDev* DevByIndex(int Index) const;

    std::unique_ptr<TLinkObject>& Slot(int Port) { return serial_[Port - 1]; }
    TNPDevList& Usb() { return usb_; }
    void FreeAll();

private:
    std::unique_ptr<TLinkObject> serial_[TDeviceIndex::kLastSerial];
    TNPDevList usb_;
};
