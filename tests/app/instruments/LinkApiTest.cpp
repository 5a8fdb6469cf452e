// CloseInterface, UsbProductId, and the scripted fake of the libraries that the model tests
// stand on: it must answer as the libraries do where the model relies on it.
#include "app/instruments/LinkApi_.h"

#include "tests/app/support/FakeLinkApi.h"
#include "tests/app/support/ScriptedBoxes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

TEST(CloseInterface, SerialIndexesCloseTheComPortUsbIndexesTheUsbDevice) {
    struct Case {
        int32_t index;
        const char* call;
    } cases[] = {
        {0, "CloseCom(1)"},
        {255, "CloseCom(256)"},
        {256, "CloseUSBDevice(257)"},
        {511, "CloseUSBDevice(512)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        TFakeLinkApi api;
        TScriptedBoxes boxes;
        api.OpenLink(c.index + 1);
        CloseInterface(api, boxes, c.index);
        EXPECT_EQ(api.Calls, Calls{c.call});
        EXPECT_FALSE(api.IsOpen(c.index + 1));
        EXPECT_TRUE(boxes.Shown.empty());
    }
}

TEST(CloseInterface, IgnoresTheLibrarysResult) {
    TFakeLinkApi api;
    TScriptedBoxes boxes;
    api.Script("CloseCom", {errParam});
    api.Script("CloseUSBDevice", {errNotOpen});
    CloseInterface(api, boxes, 4);
    CloseInterface(api, boxes, 300);
    EXPECT_EQ(api.Calls, (Calls{"CloseCom(5)", "CloseUSBDevice(301)"}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST(CloseInterfaceDeathTest, AnIndexOutside0To511IsFatal) {
    struct PrintingBoxes : IMessageBoxes {
        TMsgDlgAnswer ShowDialog(const TMsgDlgRequest& R) override {
            std::fprintf(stderr, "[%s]", R.Msg.c_str());
            return {mrOk, false};
        }
    };
    for (int32_t index : {-1, 512, -2147483647 - 1}) {
        SCOPED_TRACE(index);
        EXPECT_EXIT(
            {
                TFakeLinkApi api;
                PrintingBoxes boxes;
                CloseInterface(api, boxes, index);
            },
            testing::ExitedWithCode(0), "Fatal Error:\rInvalid Comport in CloseInterface!\\]");
    }
}

// --- The fake

TEST(FakeLinkApi, RecordsEveryCallWithItsInArguments) {
    TFakeLinkApi api;
    api.OpenComEx(3, 100, 5001, 19200, 128790, 0);
    uint16_t cap = 0;
    api.GetProfileCap(3, &cap);
    TDevText text;
    api.GetIDSerial(3, 7, &text);
    api.SetMeasEvent(3, 0xFF);
    api.SetRecEventProc(3, [](TDevIndex) {});
    api.SetRecEventProc(3, nullptr);
    api.IsComAvailable(4);
    uint32_t size = 100;
    char list[100];
    api.GetDevicePathList(
        {0xAB245463, 0xF67A, 0x40EC, {0xB0, 0x96, 0x2A, 0x37, 0xF3, 0x07, 0x93, 0xC5}}, list,
        &size);
    EXPECT_EQ(api.Calls,
              (Calls{"OpenComEx(3, 100, 5001, 19200, 128790, 0)", "GetProfileCap(3)",
                     "GetIDSerial(3, 7)", "SetMeasEvent(3, 255)", "SetRecEventProc(3, proc)",
                     "SetRecEventProc(3, nil)", "IsComAvailable(4)",
                     "GetDevicePathList({AB245463-F67A-40EC-B096-2A37F30793C5}, 100)"}));
    EXPECT_EQ(api.CallsOf("SetRecEventProc"),
              (Calls{"SetRecEventProc(3, proc)", "SetRecEventProc(3, nil)"}));
}

TEST(FakeLinkApi, ChecksTheDeviceIndexAsTheLibraryDoes) {
    TFakeLinkApi api;
    uint16_t cap = 0;
    EXPECT_EQ(api.GetProfileCap(3, &cap), errNotOpen);
    EXPECT_EQ(api.GetProfileCap(0, &cap), errParam);
    EXPECT_EQ(api.GetProfileCap(513, &cap), errParam);
    EXPECT_EQ(api.OpenComEx(3, 100, 5001, 19200, 128790, 0), 0);
    api.Instrument(3).ProfileCap = 7;
    EXPECT_EQ(api.GetProfileCap(3, &cap), 0);
    EXPECT_EQ(cap, 7);
    EXPECT_EQ(api.CloseCom(3), 0);
    EXPECT_EQ(api.GetProfileCap(3, &cap), errNotOpen);
    EXPECT_EQ(api.CloseCom(3), 0) << "an empty slot closes too";
    EXPECT_EQ(api.CloseCom(257), errParam);
    EXPECT_EQ(api.CloseUSBDevice(257), errParam);
    EXPECT_EQ(api.OpenComEx(5, 0, 5001, 19200, 128790, 0), errParam);
}

TEST(FakeLinkApi, PortsHeldHereOrElsewhereReadAsUnavailable) {
    TFakeLinkApi api;
    api.HeldPorts = {2};
    EXPECT_EQ(api.IsComAvailable(1), 1);
    EXPECT_EQ(api.IsComAvailable(2), 0);
    EXPECT_EQ(api.OpenComEx(2, 100, 5001, 19200, 128790, 0), errNotOpen);
    EXPECT_FALSE(api.IsOpen(2));
    ASSERT_EQ(api.OpenComEx(1, 100, 5001, 19200, 128790, 0), 0);
    EXPECT_EQ(api.IsComAvailable(1), 0);
}

TEST(FakeLinkApi, ScriptsAnswerInTurnAheadOfTheModel) {
    TFakeLinkApi api;
    api.OpenLink(3);
    api.Instrument(3).DevId = "KIVANTER";
    api.Script("GetDevId", {errTimeout, 0, 18});
    char id[21];
    std::memset(id, 'x', sizeof id);
    EXPECT_EQ(api.GetDevId(3, id), errTimeout);
    EXPECT_EQ(id[0], 'x') << "no out value on failure";
    EXPECT_EQ(api.GetDevId(3, id), 0);
    EXPECT_STREQ(id, "KIVANTER");
    EXPECT_EQ(api.GetDevId(3, id), 18);
    EXPECT_EQ(api.GetDevId(3, id), 0);
    EXPECT_EQ(api.GetDevId(4, id), errNotOpen);
    EXPECT_THROW(api.Script("GetDevID", {1}), std::invalid_argument);
    EXPECT_THROW(api.Script("IsComAvailable", {1}), std::invalid_argument);
}

TEST(FakeLinkApi, TextsAreWrittenAsTheInstrumentSendsThem) {
    TFakeLinkApi api;
    api.OpenLink(3);
    api.Instrument(3).IDSerial[2] = "QC 0012345";
    api.Instrument(3).User = std::string(21, 'U');
    TDevText text;
    std::memset(&text, 'x', sizeof text);
    ASSERT_EQ(api.GetIDSerial(3, 2, &text), 0);
    EXPECT_EQ(std::string(text.Text, sizeof text.Text),
              std::string("QC 0012345") + std::string(11, '\0'));
    EXPECT_EQ(api.GetIDSerial(3, 10, &text), errParam);
    ASSERT_EQ(api.GetDevUser(3, &text), 0);
    EXPECT_EQ(std::string(text.Text, sizeof text.Text), std::string(21, 'U')) << "no terminator";
}

TEST(FakeLinkApi, EventsAreTakenInOrderAndStayWhenTheyCannotBeTaken) {
    TFakeLinkApi api;
    api.OpenLink(3);
    api.QueueEvent(3, {0x101, 2, {'a', 'b', 'c'}});
    TMEASall meas{};
    meas.Chamber[3].Status = csPresent;
    api.QueueMeasEvent(3, meas);
    api.QueueEvent(3, {0x100, 0xFF, {}, errBuffer});
    int32_t count = -1, free = -1, lost = -1;
    ASSERT_EQ(api.GetNumEvent(3, &count, &free, &lost), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(free, 97);
    EXPECT_EQ(lost, 0);

    uint16_t code = 0;
    uint8_t param = 0;
    char buf[5001];
    int32_t len = -1;
    EXPECT_EQ(api.GetEvent(3, &code, &param, buf, 2, &len), errBuffer) << "3 bytes into 2";
    EXPECT_EQ(api.GetEvent(3, &code, &param, buf, 5002, &len), errParam);
    EXPECT_EQ(api.QueuedEvents(3), 3u);
    ASSERT_EQ(api.GetEvent(3, &code, &param, buf, 5001, &len), 0);
    EXPECT_EQ(code, 0x101);
    EXPECT_EQ(param, 2);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(len)), "abc");
    ASSERT_EQ(api.GetEvent(3, &code, &param, buf, 5001, &len), 0);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(param, 0xFF);
    TMEASall got{};
    ASSERT_EQ(api.EventDataToTMEASall(buf, len, &got), 0);
    EXPECT_EQ(got.Chamber[3].Status, csPresent);
    EXPECT_EQ(api.EventDataToTMEASall(buf, len - 1, &got), errLength);
    EXPECT_EQ(api.GetEvent(3, &code, &param, buf, 5001, &len), errBuffer) << "the event's status";
    EXPECT_EQ(api.GetEvent(3, &code, &param, buf, 5001, &len), errNoEvent);
}

TEST(FakeLinkApi, AHandlerMayCloseOrReplaceItselfWhileItRuns) {
    TFakeLinkApi api;
    api.OpenLink(3);
    api.OpenLink(4);
    std::vector<std::string> seen;
    api.SetRecEventProc(3, [&](TDevIndex I) {
        seen.push_back("closing " + std::to_string(I));
        api.CloseCom(I);
    });
    api.SetRecEventProc(4, [&](TDevIndex I) {
        seen.push_back("first " + std::to_string(I));
        api.SetRecEventProc(I, [&](TDevIndex J) { seen.push_back("second " + std::to_string(J)); });
    });
    api.QueueEvent(3, {});
    api.QueueEvent(4, {});
    EXPECT_EQ(api.Tick(), 2);
    EXPECT_EQ(api.Tick(), 1) << "link 3 is gone, link 4 still has its event";
    EXPECT_TRUE(api.Fire(4));
    EXPECT_FALSE(api.Fire(3));
    EXPECT_EQ(seen, (Calls{"closing 3", "first 4", "second 4", "second 4"}));
}

TEST(FakeLinkApi, UsbDevicesAreOpenedOnceAndGetTheirKeys) {
    const std::string a =
        "\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}";
    const std::string b =
        "\\\\?\\usb#vid_1234&pid_3e9b#7654321#{ab245463-f67a-40ec-b096-2a37f30793c5}";
    TFakeLinkApi api;
    api.UsbDevices = {{a, {}}, {b, {}}};
    api.UsbDevices[1].Instrument.DevId = "ZEPHORAN";

    char list[400];
    uint32_t size = sizeof list;
    ASSERT_EQ(api.GetDevicePathList({}, list, &size), 0);
    EXPECT_EQ(std::string(list, size), a + "\r\n" + b);
    size = 10;
    EXPECT_EQ(api.GetDevicePathList({}, list, &size), errListFull);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(api.GetSerNumFromDevicePath(b.c_str()), 7654321);
    EXPECT_EQ(api.GetPIDFromDevicePath(b.c_str()), 0x3E9B);

    const auto open = [&](const std::string& Path, TDevIndex Wanted) {
        void* device = nullptr;
        void* winUsb = nullptr;
        TDevIndex index = Wanted;
        TLinkResult r = api.OpenUSBDevice(Path.c_str(), &device);
        if (r == 0)
            r = api.USBInitialize(device, &winUsb);
        if (r == 0)
            r = api.InitializeDevice(device, winUsb, &index, 100, 5001, Path.c_str(),
                                     static_cast<int32_t>(Path.size()));
        return r == 0 ? index : -r;
    };
    EXPECT_EQ(open(b, 258), 258);
    EXPECT_EQ(open(b, 256), -errUsbOpen) << "driven already";
    EXPECT_EQ(open(a, 258), -errKeyInUse);
    EXPECT_EQ(open(a, 256), 257);
    EXPECT_EQ(open("\\\\?\\usb#gone", 256), -errUsbOpen);

    char id[21];
    ASSERT_EQ(api.GetDevId(258, id), 0);
    EXPECT_STREQ(id, "ZEPHORAN");
    char path[200];
    int32_t pathSize = static_cast<int32_t>(b.size()) - 1;
    EXPECT_EQ(api.GetDevicePath(258, path, &pathSize), errBuffer);
    pathSize = sizeof path;
    ASSERT_EQ(api.GetDevicePath(258, path, &pathSize), 0);
    EXPECT_EQ(std::string(path, static_cast<std::size_t>(pathSize)), b);
    EXPECT_EQ(api.GetDevicePath(3, path, &pathSize), errParam);
    uint32_t rx = 0;
    EXPECT_EQ(api.RxQueue(258, &rx), errParam) << "USB links have no serial queue";

    EXPECT_EQ(api.CloseUSBDevice(258), 0);
    EXPECT_EQ(open(b, 256), 258) << "the lowest free key";
}

// A library that reports a path longer than the buffer it was given.
class TOverlongPathApi : public TFakeLinkApi {
public:
    TLinkResult GetDevicePath(TDevIndex, char* Buf, int32_t* Size) override {
        std::memset(Buf, 'x', static_cast<std::size_t>(*Size));
        *Size = 100000;
        return 0;
    }
    uint16_t GetPIDFromDevicePath(const char* Path) override {
        pathLength = std::strlen(Path);
        return 7;
    }
    std::size_t pathLength = 0;
};

TEST(UsbProductId, FromTheDevicePathOfAUsbLinkOnly) {
    TFakeLinkApi api;
    api.OpenLink(257,
                 "\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}");
    api.OpenLink(3);
    EXPECT_EQ(UsbProductId(api, 257), 0x3E9B);
    EXPECT_EQ(api.CallsOf("GetDevicePath").size(), 1u);
    // A serial link has no path (259), an unknown key none either (256).
    EXPECT_EQ(UsbProductId(api, 3), 0);
    EXPECT_EQ(UsbProductId(api, 300), 0);
    EXPECT_EQ(api.CallsOf("GetPIDFromDevicePath").size(), 1u);

    // The path ends within the buffer whatever length comes back.
    TOverlongPathApi overlong;
    EXPECT_EQ(UsbProductId(overlong, 257), 7);
    EXPECT_EQ(overlong.pathLength, 256u);
}

} // namespace
