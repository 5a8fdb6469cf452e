// The port list, the device path list and the device path parsers over a fake
// set of device interfaces.
#include "link/core/QuorxEnum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using TStep = IDeviceEnumerator::TStep;

struct TFakeInterface {
    TStep Step = TStep::Found;
    std::string Path;
    std::string PortName, Description, ParentId, FriendlyName;
};

class TFakeEnumerator : public IDeviceEnumerator {
public:
    explicit TFakeEnumerator(std::vector<TFakeInterface> Interfaces)
        : FInterfaces(std::move(Interfaces)) {}

    bool Open(const TQuorxGuid& Class) override {
        ++Opens;
        OpenedClass = Class;
        return OpenSucceeds;
    }
    TStep ReadInterface(int I, std::string& Path) override {
        LastAsked = I;
        if (I < 0 || static_cast<std::size_t>(I) >= FInterfaces.size())
            return TStep::End;
        FCurrent = &FInterfaces[static_cast<std::size_t>(I)];
        Path = FCurrent->Path;
        return FCurrent->Step;
    }
    std::string ReadProperty(TDeviceProperty Property) override {
        return Property == TDeviceProperty::FriendlyName ? FCurrent->FriendlyName
                                                         : FCurrent->Description;
    }
    std::string ReadPortName() override { return FCurrent->PortName; }
    std::string ReadParentId() override { return FCurrent->ParentId; }
    void Close() override { ++Closes; }

    bool OpenSucceeds = true;
    int Opens = 0;
    int Closes = 0;
    int LastAsked = -1;
    TQuorxGuid OpenedClass{};

private:
    std::vector<TFakeInterface> FInterfaces;
    TFakeInterface* FCurrent = nullptr;
};

TFakeInterface Port(std::string Name, std::string Description, std::string Parent,
                    std::string Friendly) {
    TFakeInterface port;
    port.Path = "\\\\?\\acpi#pnp0501#" + Name;
    port.PortName = std::move(Name);
    port.Description = std::move(Description);
    port.ParentId = std::move(Parent);
    port.FriendlyName = std::move(Friendly);
    return port;
}

TFakeInterface Path(std::string Text, TStep Step = TStep::Found) {
    TFakeInterface entry;
    entry.Step = Step;
    entry.Path = std::move(Text);
    return entry;
}

std::vector<TFakeInterface> TwoPorts() {
    // Registry texts as the platform hands them: with a NUL, without one, and
    // with stale bytes after the NUL.
    return {Port(std::string("COM3\0", 5), std::string("Communications Port\0", 20),
                 std::string("ACPI\\PNP0A05\\1\0", 15), std::string("Port (COM3)\0xx", 14)),
            Port("COM20", "USB Serial", "FTDIBUS", "USB Serial (COM20)")};
}

const std::string kTwoPortsText = "COM3\tCommunications Port\tACPI\tPort (COM3)\r\nCOM20\tUSB "
                                  "Serial\tFTDIBUS\tUSB Serial (COM20)";

const std::string kPathA = "\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-"
                           "2a37f30793c5}";
const std::string kPathB = "\\\\?\\usb#vid_1234&pid_3e9b#7654321#{ab245463-f67a-40ec-b096-"
                           "2a37f30793c5}";

constexpr TQuorxGuid kUsbClass = {
    0xAB245463, 0xF67A, 0x40EC, {0xB0, 0x96, 0x2A, 0x37, 0xF3, 0x07, 0x93, 0xC5}};

// A buffer pre-filled with a marker, so that bytes the list must not touch show.
struct TBuffer {
    explicit TBuffer(std::size_t Capacity) : Bytes(Capacity + 16, '\xAA') {}
    std::string Written(std::uint32_t Count) const { return std::string(Bytes.data(), Count); }
    bool UntouchedFrom(std::size_t Pos) const {
        for (std::size_t i = Pos; i < Bytes.size(); ++i)
            if (Bytes[i] != '\xAA')
                return false;
        return true;
    }
    std::vector<char> Bytes;
};

TEST(ComInfoList, TwoPortsAreTwoLinesWithoutTrailingSeparator) {
    TFakeEnumerator ports(TwoPorts());
    TBuffer buf(1000);
    std::uint32_t size = 1000;
    EXPECT_EQ(WriteComInfoList(ports, buf.Bytes.data(), &size), 0);
    ASSERT_EQ(size, kTwoPortsText.size());
    EXPECT_EQ(buf.Written(size), kTwoPortsText);
    EXPECT_TRUE(buf.UntouchedFrom(size)); // no NUL after the text
    EXPECT_EQ(std::memcmp(&ports.OpenedClass, &kComPortClass, sizeof kComPortClass), 0);
    EXPECT_EQ(ports.Closes, 1);
}

TEST(ComInfoList, RegistryTextWithoutNulIsBoundByItsReturnedSize) {
    TFakeInterface port = Port("COM7", "Modem", "ROOT", "Modem (COM7)");
    port.PortName = std::string("COM7"); // exactly the four bytes reported
    port.Description = std::string("Modem\0\xFF\xFF", 8);
    TFakeEnumerator ports({port});
    TBuffer buf(100);
    std::uint32_t size = 100;
    EXPECT_EQ(WriteComInfoList(ports, buf.Bytes.data(), &size), 0);
    EXPECT_EQ(buf.Written(size), "COM7\tModem\tROOT\tModem (COM7)");
}

TEST(ComInfoList, SmallBuffersHoldTheTextUpToTheFirstByteThatDidNotFit) {
    const std::uint32_t full = static_cast<std::uint32_t>(kTwoPortsText.size());
    const std::uint32_t firstLine = static_cast<std::uint32_t>(kTwoPortsText.find('\r'));
    const struct {
        std::uint32_t Capacity;
        TLinkResult Result;
    } cases[] = {
        {0, errListFull},
        {1, errListFull},
        {firstLine, errListFull},
        {firstLine + 1, errListFull},
        {firstLine + 2, errListFull},
        {full - 1, errListFull},
        {full, 0},
        {full + 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Capacity);
        TFakeEnumerator ports(TwoPorts());
        TBuffer buf(c.Capacity);
        std::uint32_t size = c.Capacity;
        EXPECT_EQ(WriteComInfoList(ports, buf.Bytes.data(), &size), c.Result);
        const std::uint32_t written = std::min(c.Capacity, full);
        EXPECT_EQ(size, c.Result == 0 ? full : c.Capacity + 1);
        EXPECT_EQ(buf.Written(written), kTwoPortsText.substr(0, written));
        EXPECT_TRUE(buf.UntouchedFrom(written));
        EXPECT_EQ(ports.Closes, 1);
    }
}

TEST(ComInfoList, NilBuffersGiveBufferErrorAndKeepSize) {
    TFakeEnumerator ports(TwoPorts());
    std::uint32_t size = 50;
    EXPECT_EQ(WriteComInfoList(ports, nullptr, &size), errBuffer);
    EXPECT_EQ(size, 50u);
    char buf[50];
    EXPECT_EQ(WriteComInfoList(ports, buf, nullptr), errBuffer);
    TFakeEnumerator paths({Path(kPathA)});
    EXPECT_EQ(WriteDevicePathList(paths, kUsbClass, nullptr, &size), errBuffer);
    EXPECT_EQ(WriteDevicePathList(paths, kUsbClass, buf, nullptr), errBuffer);
    EXPECT_EQ(ports.Opens + paths.Opens, 0);
}

TEST(DevicePathList, PathsAreSeparatedByCrLf) {
    TFakeEnumerator paths({Path(kPathA), Path(kPathB)});
    TBuffer buf(500);
    std::uint32_t size = 500;
    EXPECT_EQ(WriteDevicePathList(paths, kUsbClass, buf.Bytes.data(), &size), 0);
    EXPECT_EQ(buf.Written(size), kPathA + "\r\n" + kPathB);
    EXPECT_TRUE(buf.UntouchedFrom(size));
    EXPECT_EQ(std::memcmp(&paths.OpenedClass, &kUsbClass, sizeof kUsbClass), 0);
}

TEST(DevicePathList, FailingInterfacesStopTheListAndKeepWhatWasWritten) {
    const struct {
        const char* Name;
        std::vector<TFakeInterface> Interfaces;
        TLinkResult Result;
        std::string Text;
    } cases[] = {
        {"detail unreadable",
         {Path(kPathA), Path("", TStep::Unreadable), Path(kPathB)},
         errDevDetail,
         kPathA},
        {"empty path", {Path(kPathA), Path(""), Path(kPathB)}, errEmptyPath, kPathA},
        {"empty first path", {Path("")}, errEmptyPath, ""},
        {"no memory", {Path(kPathA), Path("", TStep::NoMemory), Path(kPathB)}, 0, kPathA},
        {"none present", {}, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeEnumerator paths(c.Interfaces);
        TBuffer buf(500);
        std::uint32_t size = 500;
        EXPECT_EQ(WriteDevicePathList(paths, kUsbClass, buf.Bytes.data(), &size), c.Result);
        EXPECT_EQ(buf.Written(size), c.Text);
        EXPECT_EQ(paths.Closes, 1);
    }
}

TEST(DevicePathList, SetThatCannotBeBuiltGivesAnEmptyList) {
    TFakeEnumerator paths({Path(kPathA)});
    paths.OpenSucceeds = false;
    char buf[10];
    std::uint32_t size = 10;
    EXPECT_EQ(WriteDevicePathList(paths, kUsbClass, buf, &size), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(paths.LastAsked, -1);
}

TEST(DevicePathList, StopsAfter256Interfaces) {
    std::vector<TFakeInterface> many(300, Path("p"));
    TFakeEnumerator paths(many);
    std::vector<char> buf(2000);
    std::uint32_t size = 2000;
    EXPECT_EQ(WriteDevicePathList(paths, kUsbClass, buf.data(), &size), 0);
    EXPECT_EQ(size, 256u * 3 - 2);
    EXPECT_EQ(paths.LastAsked, 255);
}

TEST(DevicePathParsers, SerialNumber) {
    const struct {
        const char* Path;
        std::int32_t Serial;
    } cases[] = {
        {"\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}", 1234567},
        {"a#b#42#", 42},
        {"a#b#-7#x", -1}, // a negative serial was passed on as one
        {"a#b#-0#x", -1},
        {"a#b#+7#x", -1},
        {"a#b#0#x", 0},
        {"a#b#2147483647#", 2147483647},
        {"a#b#42", -1},           // only two '#'
        {"a#b#12ab#{x}", -1},     // not a number
        {"a#b#99999999999#", -1}, // out of range
        {"#b#42#", -1},           // nothing before the first '#'
        {"a##42#", -1},           // nothing before the second
        {"a#b##", -1},            // nothing before the third
        {"", -1},
        {nullptr, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path ? c.Path : "nil");
        EXPECT_EQ(SerNumFromDevicePath(c.Path), c.Serial);
    }
}

TEST(DevicePathParsers, ProductId) {
    const struct {
        const char* Path;
        std::uint16_t Pid;
    } cases[] = {
        {"\\\\?\\usb#vid_1234&pid_3e9b#1234567#{ab245463-f67a-40ec-b096-2a37f30793c5}", 0x3E9B},
        {"x#vid_1234&pid_ABCD#1", 0xABCD},
        {"x#3e9b#", 0x3E9B},
        {"x#pid_3e9#1", 0},          // "_3e9" is no number
        {"x#pid_-3e9#1", 0},         // nor is a sign
        {"#vid_1234&pid_3e9b#1", 0}, // text starting with '#'
        {"x##1", 0},
        {"x#pid_3e9b", 0}, // no second '#'
        {"", 0},
        {nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path ? c.Path : "nil");
        EXPECT_EQ(PIDFromDevicePath(c.Path), c.Pid);
    }
}

TEST(DevicePathParsers, ProductIdNeverReadsBeforeTheSegment) {
    // Fewer than four characters before the second '#': the missing ones are
    // not made up from what lies before the segment.
    const char* cases[] = {"x#9b#1", "x#e9b#1", "x#b#1", "abcd#3e#"};
    for (const char* path : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(PIDFromDevicePath(path), 0);
    }
}

} // namespace
