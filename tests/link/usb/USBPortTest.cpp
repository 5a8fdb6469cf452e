// The USB pieces that need no instrument: the shared byte buffer, the WinUSB
// binding without the library, the open and initialise steps, and a link
// without a WinUSB handle.
#include "link/usb/USBPort_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const std::uint8_t* Data, int Count) {
    return std::string(reinterpret_cast<const char*>(Data), static_cast<std::size_t>(Count));
}

const std::uint8_t* Bytes(const char* Text) {
    return reinterpret_cast<const std::uint8_t*>(Text);
}

bool HandleIsOpen(HANDLE Handle) {
    DWORD flags = 0;
    return GetHandleInformation(Handle, &flags) != FALSE;
}

TEST(UsbChannel, TakeKeepsTheRestInOrder) {
    TUSBChannel channel{64};
    std::uint8_t buf[8] = {};
    EXPECT_EQ(channel.Take(buf, 8), 0);
    EXPECT_EQ(channel.Append(Bytes("hello"), 5), 5u);
    EXPECT_EQ(channel.Append(Bytes("!"), 1), 6u);
    EXPECT_EQ(channel.Take(buf, 2), 2);
    EXPECT_EQ(Text(buf, 2), "he");
    EXPECT_EQ(channel.Take(buf, 8), 4);
    EXPECT_EQ(Text(buf, 4), "llo!");
    EXPECT_EQ(channel.Take(buf, 8), 0);
}

TEST(UsbChannel, NothingIsTakenIntoNoRoom) {
    TUSBChannel channel{64};
    channel.Append(Bytes("abc"), 3);
    std::uint8_t buf[4];
    EXPECT_EQ(channel.Take(buf, 0), 0);
    EXPECT_EQ(channel.Take(buf, -1), 0);
    EXPECT_EQ(channel.Take(nullptr, 4), 0);
    EXPECT_EQ(channel.Size(), 3u);
}

TEST(UsbChannel, MoveAllAppendsAndEmpties) {
    TUSBChannel channel{64};
    channel.Append(Bytes("cd"), 2);
    std::vector<std::uint8_t> out = {'a', 'b'};
    channel.MoveAllTo(out);
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcd");
    EXPECT_EQ(channel.Size(), 0u);
}

TEST(WinUsbDll, MissingLibraryLeavesEveryCallFailing) {
    TWinUsbDll dll;
    EXPECT_FALSE(dll.Load("no-such-winusb.dll"));
    EXPECT_FALSE(dll.Loaded());
    WINUSB_HANDLE handle = nullptr;
    UCHAR byte = 0;
    ULONG count = 0;
    DWORD done = 0;
    OVERLAPPED overlapped{};
    const struct {
        const char* Name;
        BOOL Result;
    } calls[] = {
        {"Initialize", dll.Initialize(INVALID_HANDLE_VALUE, &handle)},
        {"Free", dll.Free(&byte)},
        {"ReadPipe", dll.ReadPipe(&byte, 0x81, &byte, 1, &count, nullptr)},
        {"WritePipe", dll.WritePipe(&byte, 0x02, &byte, 1, &count, nullptr)},
        {"AbortPipe", dll.AbortPipe(&byte, 0x02)},
        {"GetOverlappedResult", dll.GetOverlappedResult(&byte, &overlapped, &done, FALSE)},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.Name);
        EXPECT_FALSE(c.Result);
    }
    SetLastError(0);
    dll.AbortPipe(&byte, 0x02);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

TEST(UsbOpenDevice, MissingPathGivesUsbOpenAndNoHandle) {
    void* device = nullptr;
    EXPECT_EQ(UsbOpenDevice("\\\\?\\usb#vid_0000&pid_3e9b#1#{none}", &device), errUsbOpen);
    EXPECT_EQ(device, INVALID_HANDLE_VALUE);
    device = nullptr;
    EXPECT_EQ(UsbOpenDevice(nullptr, &device), errUsbOpen);
    EXPECT_EQ(device, INVALID_HANDLE_VALUE);
    EXPECT_EQ(UsbOpenDevice("x", nullptr), errParam);
}

TEST(UsbInitialize, ResultCodes) {
    TWinUsbDll unloaded;
    HANDLE file = CreateFileA("NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const struct {
        const char* Name;
        void* Device;
        TLinkResult Result;
    } cases[] = {
        {"device -1", INVALID_HANDLE_VALUE, errBadHandle},
        {"nil device", nullptr, errBadHandle},
        {"WinUSB not loaded", file, errUsbInit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        void* winUsb = nullptr;
        EXPECT_EQ(UsbInitialize(unloaded, c.Device, &winUsb), c.Result);
        EXPECT_EQ(winUsb, INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(UsbInitialize(unloaded, file, nullptr), errParam);
    CloseHandle(file);
}

TEST(UsbLink, WithoutWinUsbHandleItNeitherSendsNorReceivesAndClosesTheDevice) {
    TWinUsbDll unloaded;
    HANDLE file = CreateFileA("NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    {
        TUSBPort link(unloaded, file, INVALID_HANDLE_VALUE);
        std::uint8_t buf[4] = {};
        std::uint32_t status = 0;
        EXPECT_FALSE(link.Write(Bytes("abc"), 3));
        EXPECT_EQ(link.Read(buf, 4), 0);
        EXPECT_FALSE(link.ReadModemStatus(status));
        link.Purge();
        EXPECT_EQ(link.DeviceHandle(), file);
    }
    EXPECT_FALSE(HandleIsOpen(file));
}

} // namespace
