// The road the application takes to a USB instrument, under Wine: an
// interface of the instrument class registered in the test prefix, whose path
// reaches COMn's pty through an entry of the prefix's dosdevices (made by
// with-usb-device), is listed by the system enumerator, taken apart, opened,
// initialised through the stand-in winusb.dll, and answers a request.
#include "link/core/QuorxEnum.h"
#include "link/usb/USBPort_win.h"
#include "tests/support/USBTestSupport_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kVidPid[] = "VID_1234&PID_3E9B";
const char kSerial[] = "1234567";
const std::string kPath =
    "\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}";

std::vector<std::string> DevicePaths() {
    std::vector<char> buf(65536);
    std::uint32_t size = static_cast<std::uint32_t>(buf.size());
    EXPECT_EQ(WriteDevicePathList(*MakeSystemEnumerator(), kUsbClass, buf.data(), &size), 0);
    return ListLines(std::string(buf.data(), std::min<std::size_t>(size, buf.size())));
}

TEST(UsbDeviceScan, RegisteredDeviceIsListedOpenedAndAnswers) {
    TPeer peer;
    if (TestPort() == 0 || !peer.Ok())
        GTEST_SKIP() << "no test COM port (run through with-usb-device and with-com-port)";
    BindWinUsbDll();
    TStandin standin;
    if (!standin.Find())
        GTEST_SKIP() << "the stand-in winusb.dll is not loaded (WINEDLLOVERRIDES=winusb=n)";
    TRegisteredDevice registered(kVidPid, kSerial);
    ASSERT_TRUE(registered.Ok());
    ASSERT_EQ(registered.Path(), kPath);

    const std::vector<std::string> paths = DevicePaths();
    ASSERT_EQ(std::count(paths.begin(), paths.end(), kPath), 1);
    const std::uintptr_t handles = HandleHighWater();
    for (int i = 0; i < 10; ++i)
        DevicePaths();
    EXPECT_LE(HandleHighWater(), handles); // each listing releases what it opened
    EXPECT_EQ(PIDFromDevicePath(kPath.c_str()), 0x3E9B);
    EXPECT_EQ(SerNumFromDevicePath(kPath.c_str()), 1234567);

    void* device = nullptr;
    void* winUsb = nullptr;
    ASSERT_EQ(UsbOpenDevice(kPath.c_str(), &device), 0);
    ASSERT_EQ(UsbInitialize(gWinUsbDll, device, &winUsb), 0);
    TUSBPort link(gWinUsbDll, device, winUsb);
    const Bytes request = RequestFrame(1, 0);
    ASSERT_TRUE(link.Write(request.data(), static_cast<int>(request.size())));
    EXPECT_EQ(peer.Receive(request.size()), request);
    const Bytes reply = ReplyFrame(std::string("QX-100\0", 7));
    peer.Send(reply);
    Bytes got;
    for (const std::uint32_t start = Ms(); got.size() < reply.size() && Ms() - start < 3000;) {
        std::uint8_t buf[512];
        const int n = link.Read(buf, sizeof buf);
        got.insert(got.end(), buf, buf + n);
        Sleep(5);
    }
    EXPECT_EQ(got, reply);
}

TEST(UsbDeviceScan, RegistrationIsGoneAfterTheTest) {
    const std::vector<std::string> paths = DevicePaths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), kPath), 0);
}

} // namespace
