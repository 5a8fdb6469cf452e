// USB links in the library's list: keys, argument checks, device paths and
// closing, over a platform that records what it creates and closes.
#include "link/core/USBLinks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TNullPort : public IBytePort {
public:
    bool Write(const std::uint8_t*, int) override { return true; }
    int Read(std::uint8_t*, int) override { return 0; }
    void Purge() override {}
    bool ReadModemStatus(std::uint32_t&) override { return false; }
};

class TNullClock : public IClock {
public:
    std::uint32_t Now() override { return 0; }
    void Sleep(std::uint32_t) override {}
};

struct TFakeUsbPlatform : IUSBPlatform {
    struct TDevice : TUSBLinkObject {
        TDevice(TFakeUsbPlatform& Platform, const TUSBSettings& S)
            : TUSBLinkObject(S.Path), platform(Platform), device(S.Device) {}
        ~TDevice() override { platform.Closed.push_back(device); }
        TNPDev& Dev() override { return dev; }
        TFakeUsbPlatform& platform;
        void* device;
        TNullPort port;
        TNullClock clock;
        TNPDev dev{port, clock};
    };

    std::unique_ptr<TUSBLinkObject> CreateUsb(const TUSBSettings& S) override {
        if (FailCreate)
            throw std::runtime_error("no thread");
        Created.push_back(S);
        return std::make_unique<TDevice>(*this, S);
    }
    void CloseHandles(void* Device, void*) override { Closed.push_back(Device); }

    bool FailCreate = false;
    std::vector<TUSBSettings> Created;
    std::vector<void*> Closed; // device handles, by a freed device or by CloseHandles
};

void* Handle(std::uintptr_t V) {
    return reinterpret_cast<void*>(V);
}

class UsbLinks : public testing::Test {
protected:
    TLinkResult Init(int& Index, void* Device = Handle(0x10), const char* Path = "\\\\?\\usb#a#1#g",
                     int MaxEvents = 100, int MaxEventData = 5001) {
        return usb.InitializeDevice(Device, Handle(0x20), &Index, MaxEvents, MaxEventData, Path,
                                    Path ? static_cast<int>(std::strlen(Path)) : 0);
    }

    TFakeUsbPlatform platform;
    struct TNoPlatform : ILinkPlatform {
        TLinkResult OpenSerial(const TSerialSettings&, std::unique_ptr<TLinkObject>&) override {
            return errNotOpen;
        }
        bool ProbePort(int) override { return false; }
    } serial;
    TLinkLibrary lib{serial}; // after the platform: freeing its devices reports to it
    TUSBLinks usb{lib, platform};
};

TEST_F(UsbLinks, KeysAreHandedOutOrAskedFor) {
    struct {
        int Index;
        TLinkResult Result;
        int IndexAfter;
    } steps[] = {
        {0, 0, 257},   // any free key
        {256, 0, 258}, // up to 256: any free key too
        {-7, 0, 259},
        {300, 0, 300},           // key 44 asked for
        {258, errKeyInUse, 258}, // taken
        {512, 0, 512},
        {0, 0, 260}, // the smallest free key
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.Index);
        int index = s.Index;
        EXPECT_EQ(Init(index), s.Result);
        EXPECT_EQ(index, s.IndexAfter);
    }
    EXPECT_EQ(platform.Created.size(), 6u);
    EXPECT_EQ(platform.Closed.size(), 1u) << "a key in use closes the new handles";
    EXPECT_EQ(platform.Created[3].Key, 44);
    EXPECT_EQ(platform.Created[3].MaxEvents, 100);
    EXPECT_EQ(platform.Created[3].MaxEventData, 5001);
    EXPECT_EQ(lib.Table().CheckDevIndex(300), 0);
}

// Every key 1..256 in use: the next key the list has would make an index no
// export accepts.
TEST_F(UsbLinks, NoKeyBeyond256) {
    for (int i = 0; i < 256; ++i) {
        int index = 0;
        ASSERT_EQ(Init(index), 0);
    }
    int index = 0;
    EXPECT_EQ(Init(index), errKeyInUse);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(platform.Created.size(), 256u);
    EXPECT_EQ(platform.Closed.size(), 1u);
}

// The queue sizes were taken without a range test, and the path as its length
// said: a negative length or a nil path reached the copy.
TEST_F(UsbLinks, ArgumentsAreCheckedBeforeAnythingIsTaken) {
    const char path[] = "\\\\?\\usb#a#1#g";
    struct {
        const char* Name;
        int Index;
        void* Device;
        void* WinUsb;
        int MaxEvents, MaxEventData;
        const char* Path;
        int PathLen;
        TLinkResult Result;
    } cases[] = {
        {"index above 512", 513, Handle(1), Handle(2), 100, 5001, path, 4, errParam},
        {"no events", 0, Handle(1), Handle(2), 0, 5001, path, 4, errParam},
        {"no event data", 0, Handle(1), Handle(2), 100, -1, path, 4, errParam},
        {"negative path length", 0, Handle(1), Handle(2), 100, 5001, path, -1, errParam},
        {"nil path with a length", 0, Handle(1), Handle(2), 100, 5001, nullptr, 4, errParam},
        {"no device handle", 0, kNoUsbHandle, Handle(2), 100, 5001, path, 4, errBadHandle},
        {"nil device handle", 0, nullptr, Handle(2), 100, 5001, path, 4, errBadHandle},
        {"no WinUSB handle", 0, Handle(1), kNoUsbHandle, 100, 5001, path, 4, errBadUsbHandle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        int index = c.Index;
        EXPECT_EQ(usb.InitializeDevice(c.Device, c.WinUsb, &index, c.MaxEvents, c.MaxEventData,
                                       c.Path, c.PathLen),
                  c.Result);
        EXPECT_EQ(index, c.Index);
    }
    EXPECT_EQ(usb.InitializeDevice(Handle(1), Handle(2), nullptr, 100, 5001, path, 4), errBuffer);
    EXPECT_TRUE(platform.Created.empty());
    EXPECT_TRUE(platform.Closed.empty()) << "the caller keeps its handles";

    int index = 0;
    EXPECT_EQ(usb.InitializeDevice(Handle(1), Handle(2), &index, 1, 1, nullptr, 0), 0);
    EXPECT_EQ(platform.Created.back().Path, "");
}

TEST_F(UsbLinks, DeviceThatCannotBeCreated) {
    platform.FailCreate = true;
    int index = 0;
    EXPECT_EQ(Init(index), errDevCreate);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(lib.Table().CheckDevIndex(257), errNotOpen);
}

TEST_F(UsbLinks, DevicePathWithoutNul) {
    const std::string path = "\\\\?\\usb#vid_1234&pid_3e9b#7#{g}";
    int index = 0;
    ASSERT_EQ(Init(index, Handle(0x10), path.c_str()), 0);
    struct {
        const char* Name;
        int Index;
        int Size;
        TLinkResult Result;
        int SizeAfter;
    } cases[] = {
        {"exact size", 257, static_cast<int>(path.size()), 0, static_cast<int>(path.size())},
        {"room to spare", 257, 64, 0, static_cast<int>(path.size())},
        {"one byte short", 257, static_cast<int>(path.size()) - 1, errBuffer,
         static_cast<int>(path.size()) - 1},
        {"negative size", 257, -1, errBuffer, -1},
        {"not open", 258, 64, errNotOpen, 64},
        {"serial index", 5, 64, errParam, 64},
        {"index above 512", 513, 64, errParam, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        char buf[64];
        std::memset(buf, 'x', sizeof buf);
        int size = c.Size;
        EXPECT_EQ(usb.GetDevicePath(c.Index, buf, &size), c.Result);
        EXPECT_EQ(size, c.SizeAfter);
        const std::string got(buf, sizeof buf);
        EXPECT_EQ(got,
                  c.Result == 0 ? path + std::string(64 - path.size(), 'x') : std::string(64, 'x'));
    }
    int size = 64;
    EXPECT_EQ(usb.GetDevicePath(257, nullptr, &size), errBuffer);
    char buf[64];
    EXPECT_EQ(usb.GetDevicePath(257, buf, nullptr), errBuffer);
}

TEST_F(UsbLinks, CloseFreesTheDeviceOnce) {
    int index = 0;
    ASSERT_EQ(Init(index, Handle(0x77)), 0);
    EXPECT_EQ(usb.CloseUSBDevice(257), 0);
    EXPECT_EQ(platform.Closed, std::vector<void*>{Handle(0x77)});
    // A key that is not open gave 259 where every other export gives 256.
    const struct {
        int Index;
        TLinkResult Result;
    } cases[] = {{257, errNotOpen}, {258, errNotOpen}, {512, errNotOpen},
                 {0, errParam},     {5, errParam},     {513, errParam}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Index);
        EXPECT_EQ(usb.CloseUSBDevice(c.Index), c.Result);
    }
    EXPECT_EQ(platform.Closed.size(), 1u);
}

} // namespace
