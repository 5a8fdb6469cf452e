// Port and device enumeration: the text lists of present serial ports and of
// device interface paths, written into a caller's buffer, and the serial number
// and product id taken from a USB device path. The platform's device
// installation services sit behind IDeviceEnumerator.
#pragma once

#include "common/LinkIndex.h"
#include "QuorxComDllH.h"

#include <cstdint>
#include <memory>
#include <string>

// The serial port interface class {86E0D1E0-8089-11D0-9CE4-08003E301F73}.
inline constexpr TQuorxGuid kComPortClass = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// Interfaces looked at per list, as many as there are serial ports or USB keys
// to name them; a larger population is not listed.
inline constexpr int kMaxInterfaces = TDeviceIndex::kLastUsbKey;

// Registry properties of a device that the port list shows.
enum class TDeviceProperty { DeviceDesc = 0, FriendlyName = 12 };

// The present devices of one interface class. Texts come back as the platform
// returned them: exactly the bytes it reported, with or without a NUL.
class IDeviceEnumerator {
public:
    enum class TStep {
        Found,      // Path holds the interface's path (possibly empty)
        End,        // there is no interface with this number
        Unreadable, // the interface's detail cannot be read
        NoMemory,   // the detail cannot be allocated
    };

    virtual ~IDeviceEnumerator() = default;
    // Builds the set of present devices with an interface of Class; false when
    // it cannot be built.
    virtual bool Open(const TQuorxGuid& Class) = 0;
    // Interface number I of the set; on Found it becomes the current one.
    virtual TStep ReadInterface(int I, std::string& Path) = 0;
    // Of the current interface's device; empty when it cannot be read.
    virtual std::string ReadProperty(TDeviceProperty Property) = 0;
    virtual std::string ReadPortName() = 0;
    virtual std::string ReadParentId() = 0;
    // Releases the set; also done by the enumerator's destructor.
    virtual void Close() = 0;
};

// The platform's enumerator, on its device installation services bound by
// name when first needed (Windows build only).
std::unique_ptr<IDeviceEnumerator> MakeSystemEnumerator();

// Writes a text list into Buf one byte at a time. Size is the capacity on the
// way in and the count written on the way out, or capacity + 1 once a byte did
// not fit (then nothing more is written).
class TListWriter {
public:
    TListWriter(char* Buf, std::uint32_t Capacity) : FBuf(Buf), FCapacity(Capacity) {}
    // False once the text no longer fits.
    bool Put(char C);
    bool Put(const std::string& Text);
    // CR LF before every line but the first.
    bool StartLine();
    bool Full() const { return FFull; }
    std::uint32_t Size() const { return FFull ? FCapacity + 1 : FCount; }

private:
    char* FBuf;
    std::uint32_t FCapacity;
    std::uint32_t FCount = 0;
    bool FFull = false;
};

// A text as the platform returned it, up to its first NUL.
std::string TextUpToNul(const std::string& Raw);

// One line of the port list: port name TAB description TAB parent enumerator
// (the parent's identifier up to its first backslash) TAB friendly name.
std::string ComInfoLine(const std::string& PortName, const std::string& Description,
                        const std::string& ParentId, const std::string& FriendlyName);

// The lists behind GetCOMInfoList and GetDevicePathList: 0, errDevDetail,
// errEmptyPath, errListFull, or errBuffer when Buf or Size is nil (Size then
// stays as it was).
TLinkResult WriteComInfoList(IDeviceEnumerator& Enumerator, char* Buf, std::uint32_t* Size);
TLinkResult WriteDevicePathList(IDeviceEnumerator& Enumerator, const TQuorxGuid& Class, char* Buf,
                                std::uint32_t* Size);

// \\?\usb#vid_vvvv&pid_pppp#serial#{guid}: the serial as an integer, or -1
// for any serial that is not a non-negative number.
std::int32_t SerNumFromDevicePath(const char* Path);
// The same path's pppp read as hexadecimal, or 0.
std::uint16_t PIDFromDevicePath(const char* Path);
