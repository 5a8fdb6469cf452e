// USB links in the library's list: an opened and initialised device registered
// under its key, its device path, and its close. The exports of the same names
// forward here.
#pragma once

#include "link/core/LinkLibrary.h"

#include <cstdint>
#include <memory>
#include <string>

// A handle value that names nothing (the platform's -1).
inline void* const kNoUsbHandle = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));

// A USB link as the list holds it: the platform's device and its path.
class TUSBLinkObject : public TLinkObject {
public:
    explicit TUSBLinkObject(std::string Path) : path_(std::move(Path)) {}
    const std::string& DevicePath() const { return path_; }

private:
    std::string path_;
};

struct TUSBSettings {
    void* Device = nullptr; // the device handle and WinUSB's, as the caller got them
    void* WinUsb = nullptr;
    int Key = 0;
    int MaxEvents = 0;
    int MaxEventData = 0;
    std::string Path;
};

// What the platform provides for USB links.
class IUSBPlatform {
public:
    virtual ~IUSBPlatform() = default;
    // The device of a USB link with its pipe threads and event timer running;
    // it owns both handles from here on.
    virtual std::unique_ptr<TUSBLinkObject> CreateUsb(const TUSBSettings& Settings) = 0;
    // Closes both handles of a device that gets no link.
    virtual void CloseHandles(void* Device, void* WinUsb) = 0;
};

class TUSBLinks {
public:
    TUSBLinks(TLinkLibrary& Lib, IUSBPlatform& Platform) : lib_(Lib), platform_(Platform) {}

    // *Index 257..512 asks for key *Index - 256, anything up to 256 for any free
    // key 1..256; on success *Index := 256 + key. Arguments are checked before
    // the handles are taken; a key that is taken (or none free) closes them.
    TLinkResult InitializeDevice(void* Device, void* WinUsb, int* Index, int MaxEvents,
                                 int MaxEventData, const char* Path, int PathLen);
    // The link's device path without NUL; *Size: capacity in, length out
    // (unchanged when it does not fit).
    TLinkResult GetDevicePath(int Index, char* Buf, int* Size);
    // Frees the link with key Index - 256 and closes its handles; errNotOpen
    // when there is none, errParam for an index that is not a USB link's.
    TLinkResult CloseUSBDevice(int Index);

private:
    TLinkLibrary& lib_;
    IUSBPlatform& platform_;
};
