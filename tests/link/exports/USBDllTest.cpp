// QuorxComDll's USB and enumeration exports under Wine, the way the
// application reaches a USB instrument: an interface of the instrument class
// registered in the test prefix, whose path reaches COMn's pty (through
// with-usb-device), listed, opened, initialised through the stand-in
// winusb.dll, with the instrument simulator on the far end.
#include "ProflinkH.h"
#include "QuorxComDllH.h"
#include "tests/support/USBTestSupport_win.h"
#include "tests/support/WineTestSupport_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kVidPid[] = "VID_1234&PID_3E9C";
const char kSerial[] = "7654321";
const std::string kPath =
    "\\\\?\\usb#vid_1234&pid_3e9c#7654321#{ab245463-f67a-40ec-b096-2a37f30793c5}";

std::vector<std::string> DevicePaths() {
    std::vector<char> buf(65536);
    std::uint32_t size = static_cast<std::uint32_t>(buf.size());
    EXPECT_EQ(GetDevicePathList(kUsbClass, buf.data(), &size), 0);
    return ListLines(std::string(buf.data(), std::min<std::size_t>(size, buf.size())));
}

// The application's steps; Index as asked for before, the device index after.
TLinkResult OpenUsbLink(int& Index) {
    void* device = nullptr;
    void* winUsb = nullptr;
    if (const TLinkResult r = OpenUSBDevice(kPath.c_str(), &device))
        return r;
    if (const TLinkResult r = USBInitialize(device, &winUsb)) {
        CloseHandle(device);
        return r;
    }
    return InitializeDevice(device, winUsb, &Index, 100, 5001, kPath.c_str(),
                            static_cast<int>(kPath.size()));
}

class UsbDll : public testing::Test {
protected:
    void SetUp() override {
        if (TestPort() == 0)
            GTEST_SKIP() << "no test COM port (run through with-usb-device and with-com-port)";
        if (!standin.Find())
            GTEST_SKIP() << "the stand-in winusb.dll is not loaded (WINEDLLOVERRIDES=winusb=n)";
        ASSERT_TRUE(registered.Ok());
        ASSERT_EQ(registered.Path(), kPath);
        ASSERT_TRUE(SimControl("fault none\nevents off\n"));
    }
    void TearDown() override {
        if (index != 0)
            CloseUSBDevice(index);
    }
    TLinkResult Open(int AskedIndex = 0) {
        index = AskedIndex;
        return OpenUsbLink(index);
    }

    TStandin standin;
    TRegisteredDevice registered{kVidPid, kSerial};
    int index = 0;
};

TEST_F(UsbDll, RegisteredInstrumentIsListedOpenedAndAnswers) {
    const std::vector<std::string> paths = DevicePaths();
    ASSERT_EQ(std::count(paths.begin(), paths.end(), kPath), 1);
    EXPECT_EQ(GetPIDFromDevicePath(kPath.c_str()), 0x3E9C);
    EXPECT_EQ(GetSerNumFromDevicePath(kPath.c_str()), 7654321);

    ASSERT_EQ(Open(), 0);
    ASSERT_EQ(index, 257);
    char text[21];
    EXPECT_EQ(GetDevId(index, text), 0);
    EXPECT_STREQ(text, "ZEPHORA");
    TMEASall all{};
    int count = 0;
    EXPECT_EQ(SendRequest(index, 0x201, 255, nullptr, 0, &all, 128, &count), 0);
    EXPECT_EQ(count, 128);
    EXPECT_NE(all.Chamber[0].Status & csPresent, 0);
    std::uint32_t size = 0;
    EXPECT_EQ(RxQueue(index, &size), errParam) << "serial links only";

    char path[256];
    int pathSize = sizeof path;
    ASSERT_EQ(GetDevicePath(index, path, &pathSize), 0);
    EXPECT_EQ(std::string(path, static_cast<std::size_t>(pathSize)), kPath);

    EXPECT_EQ(CloseUSBDevice(index), 0);
    EXPECT_EQ(GetDevId(index, text), errNotOpen);
    EXPECT_EQ(CloseUSBDevice(index), errNotOpen);
    index = 0;
}

TEST_F(UsbDll, FailedStepsLeaveNoHandle) {
    void* device = nullptr;
    EXPECT_EQ(OpenUSBDevice("\\\\?\\usb#vid_0000&pid_0000#1#{00}", &device), errUsbOpen);
    EXPECT_EQ(device, INVALID_HANDLE_VALUE);
    void* winUsb = nullptr;
    EXPECT_EQ(USBInitialize(INVALID_HANDLE_VALUE, &winUsb), errBadHandle);
    EXPECT_EQ(winUsb, INVALID_HANDLE_VALUE);
    int asked = 0;
    EXPECT_EQ(InitializeDevice(INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, &asked, 100, 5001,
                               kPath.c_str(), static_cast<int>(kPath.size())),
              errBadHandle);
    EXPECT_EQ(asked, 0);
}

TEST_F(UsbDll, AKeyInUseIsRefused) {
    ASSERT_EQ(Open(300), 0);
    ASSERT_EQ(index, 300);
    const int first = index;
    EXPECT_EQ(Open(300), errKeyInUse);
    index = first;
    char text[21];
    EXPECT_EQ(GetDevId(index, text), 0) << "the first link goes on";
}

TEST_F(UsbDll, MeasurementEventsReachTheCallbackWithTheUsbIndex) {
    gDrain.Calls = gDrain.Drained = gDrain.CalledWith = 0;
    ASSERT_EQ(Open(), 0);
    ASSERT_EQ(SetRecEventProc(index, DrainMeasEvents), 0);
    ASSERT_TRUE(SimControl("rate 100\n"));
    const std::uint8_t on = 0xFF;
    ASSERT_EQ(SendCommand(index, 0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    RunEvents(1500);
    EXPECT_GT(gDrain.Calls, 0);
    EXPECT_GE(gDrain.Drained, 5);
    EXPECT_EQ(gDrain.CalledWith, index);
    int lost = -1;
    EXPECT_EQ(GetNumEvent(index, nullptr, nullptr, &lost), 0);
    EXPECT_EQ(lost, 0);
    const std::uint8_t off = 0;
    EXPECT_EQ(SendCommand(index, 0x200, 0, &off, 1, nullptr, 0, nullptr), 0);
}

int gClosingCalls = 0;
bool gReopen = false;
int gReopened = 0;
void QUORX_CALL CloseOwnLink(TDevIndex Index) {
    ++gClosingCalls;
    CloseUSBDevice(Index);
    if (gReopen && OpenUsbLink(gReopened) != 0)
        gReopened = -1;
}

// The timer that called the procedure belonged to the link it closed.
TEST_F(UsbDll, ACallbackMayCloseOrReopenItsOwnLink) {
    for (const bool reopen : {false, true}) {
        SCOPED_TRACE(reopen ? "close and reopen" : "close");
        gClosingCalls = 0;
        gReopen = reopen;
        gReopened = 0;
        ASSERT_EQ(Open(), 0);
        ASSERT_EQ(SetRecEventProc(index, CloseOwnLink), 0);
        ASSERT_TRUE(SimControl("rate 100\nevents on\n"));
        RunEvents(800);
        ASSERT_TRUE(SimControl("events off\n"));
        EXPECT_EQ(gClosingCalls, 1);
        char text[21];
        if (reopen) {
            EXPECT_EQ(gReopened, index) << "the key was free again";
            EXPECT_EQ(GetDevId(index, text), 0);
            EXPECT_EQ(CloseUSBDevice(index), 0);
        } else {
            EXPECT_EQ(GetDevId(index, text), errNotOpen);
        }
        index = 0;
    }
}

// The read thread of an idle link waits in its read all the time.
TEST_F(UsbDll, CloseWhileTheReadWaitsReturnsPromptly) {
    ASSERT_EQ(Open(), 0);
    ASSERT_TRUE(standin.AwaitTransfer());
    const std::uint32_t start = Ms();
    EXPECT_EQ(CloseUSBDevice(index), 0);
    EXPECT_LT(Ms() - start, 1000u);
    EXPECT_TRUE(standin.AwaitNoTransfers());
    index = 0;
}

// Unloading the library, or ending the process, waited inside DllMain for the
// link's threads: they cannot end while DllMain runs. Once its links are
// closed, the library unloads.
TEST_F(UsbDll, UnloadOrProcessEndWithAnOpenLinkDoesNotWait) {
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string probe(self, n);
    probe = probe.substr(0, probe.find_last_of('\\') + 1) + "usb_unload_probe.exe";
    for (const char* mode : {"unload", "end", "closed"}) {
        SCOPED_TRACE(mode);
        std::string command = "\"" + probe + "\" " + mode + " " + kPath;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const std::uint32_t start = Ms();
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(code, 0u);
        EXPECT_LT(Ms() - start, 2500u);
    }
}

TEST(UsbDllLists, NilBuffersAndParsers) {
    std::uint32_t size = 7;
    EXPECT_EQ(GetCOMInfoList(nullptr, &size), errBuffer);
    EXPECT_EQ(size, 7u);
    char buf[8];
    EXPECT_EQ(GetDevicePathList(kUsbClass, buf, nullptr), errBuffer);
    EXPECT_EQ(GetSerNumFromDevicePath(nullptr), -1);
    EXPECT_EQ(GetSerNumFromDevicePath("\\\\?\\usb#vid_1234&pid_3e9c#{g}"), -1);
    EXPECT_EQ(GetPIDFromDevicePath(nullptr), 0);
    EXPECT_EQ(GetPIDFromDevicePath("#vid_1234&pid_3e9c#1#{g}"), 0);
}

} // namespace
