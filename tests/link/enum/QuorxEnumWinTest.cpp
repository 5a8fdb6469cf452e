// The enumeration on the platform's own device installation services: the
// lists come back well formed whatever the system holds.
#include "link/core/QuorxEnum.h"
#include "tests/support/USBTestSupport_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Calls a list function with a large buffer and checks the protocol's shape.
template <class F>
std::string WellFormedList(F List) {
    std::vector<char> buf(65536, '\xAA');
    std::uint32_t size = static_cast<std::uint32_t>(buf.size());
    EXPECT_EQ(List(buf.data(), &size), 0);
    EXPECT_LE(size, buf.size());
    const std::string text(buf.data(), std::min<std::size_t>(size, buf.size()));
    EXPECT_EQ(text.find('\0'), std::string::npos);
    if (size < buf.size()) {
        EXPECT_EQ(buf[size], '\xAA');
    }
    for (const std::string& line : ListLines(text)) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    }
    // Capacity 0: nothing fits, unless there is nothing to write.
    char none = '\xAA';
    std::uint32_t zero = 0;
    EXPECT_EQ(List(&none, &zero), text.empty() ? 0 : errListFull);
    EXPECT_EQ(zero, text.empty() ? 0u : 1u);
    EXPECT_EQ(none, '\xAA');
    return text;
}

TEST(SystemEnumerator, ComInfoListIsWellFormed) {
    const auto enumerator = MakeSystemEnumerator();
    const std::string text = WellFormedList(
        [&](char* Buf, std::uint32_t* Size) { return WriteComInfoList(*enumerator, Buf, Size); });
    for (const std::string& line : ListLines(text))
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
}

TEST(SystemEnumerator, DevicePathListIsWellFormed) {
    const auto enumerator = MakeSystemEnumerator();
    const std::string text = WellFormedList([&](char* Buf, std::uint32_t* Size) {
        return WriteDevicePathList(*enumerator, kUsbClass, Buf, Size);
    });
    for (const std::string& line : ListLines(text))
        EXPECT_EQ(line.rfind("\\\\?\\", 0), 0u) << line;
}

TEST(SystemEnumerator, NilBuffersGiveBufferError) {
    const auto enumerator = MakeSystemEnumerator();
    std::uint32_t size = 10;
    EXPECT_EQ(WriteComInfoList(*enumerator, nullptr, &size), errBuffer);
    EXPECT_EQ(WriteDevicePathList(*enumerator, kUsbClass, nullptr, &size), errBuffer);
    EXPECT_EQ(size, 10u);
}

const std::string kPortClassKey = "System\\CurrentControlSet\\Control\\DeviceClasses\\"
                                  "{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
const std::string kPortInterfaceKey =
    kPortClassKey + "\\##?#ACPI#PNP0501#77#{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
const std::string kPortDeviceKey = "System\\CurrentControlSet\\Enum\\ACPI\\PNP0501\\77";

LSTATUS SetValue(const std::string& Key, const char* Name, DWORD Type, const void* Data,
                 std::size_t Size) {
    return RegSetKeyValueA(HKEY_LOCAL_MACHINE, Key.c_str(), Name, Type, Data,
                           static_cast<DWORD>(Size));
}

// A serial port registered the way the platform lists present ports; its
// port name stored without a NUL, as a driver may leave it.
class TRegisteredPort {
public:
    TRegisteredPort() {
        const DWORD linked = 1;
        const std::string path = "\\\\?\\acpi#pnp0501#77#{86e0d1e0-8089-11d0-9ce4-08003e301f73}";
        const char desc[] = "Communications Port";
        const char friendly[] = "Communications Port (COM77)";
        FOk = SetValue(kPortInterfaceKey, "DeviceInstance", REG_SZ, "ACPI\\PNP0501\\77", 17) == 0 &&
              SetValue(kPortInterfaceKey + "\\#", "SymbolicLink", REG_SZ, path.c_str(),
                       path.size() + 1) == 0 &&
              SetValue(kPortInterfaceKey + "\\#\\Control", "Linked", REG_DWORD, &linked,
                       sizeof linked) == 0 &&
              SetValue(kPortDeviceKey, "ClassGUID", REG_SZ,
                       "{4d36e978-e325-11ce-bfc1-08002be10318}", 39) == 0 &&
              SetValue(kPortDeviceKey, "DeviceDesc", REG_SZ, desc, sizeof desc) == 0 &&
              SetValue(kPortDeviceKey, "FriendlyName", REG_SZ, friendly, sizeof friendly) == 0 &&
              SetValue(kPortDeviceKey + "\\Device Parameters", "PortName", REG_BINARY, "COM77",
                       5) == 0;
    }
    ~TRegisteredPort() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPortInterfaceKey.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPortDeviceKey.c_str());
    }
    TRegisteredPort(const TRegisteredPort&) = delete;
    TRegisteredPort& operator=(const TRegisteredPort&) = delete;
    bool Ok() const { return FOk; }

private:
    bool FOk = false;
};

std::vector<std::string> Fields(const std::string& Line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = Line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(Line.substr(start, tab - start));
    fields.push_back(Line.substr(start));
    return fields;
}

TEST(SystemEnumerator, RegisteredPortGetsItsLine) {
    TRegisteredPort port;
    ASSERT_TRUE(port.Ok());
    const auto enumerator = MakeSystemEnumerator();
    std::vector<char> buf(65536);
    std::uint32_t size = static_cast<std::uint32_t>(buf.size());
    ASSERT_EQ(WriteComInfoList(*enumerator, buf.data(), &size), 0);
    const std::vector<std::string> lines = ListLines(std::string(buf.data(), size));
    const auto line = std::find_if(lines.begin(), lines.end(), [](const std::string& Line) {
        return Line.rfind("COM77\t", 0) == 0;
    });
    ASSERT_NE(line, lines.end());
    const std::vector<std::string> fields = Fields(*line);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[1], "Communications Port");
    EXPECT_EQ(fields[2].find('\\'), std::string::npos); // the parent's enumerator only
    EXPECT_EQ(fields[3], "Communications Port (COM77)");

    const std::uintptr_t handles = HandleHighWater();
    for (int i = 0; i < 10; ++i) {
        size = static_cast<std::uint32_t>(buf.size());
        WriteComInfoList(*enumerator, buf.data(), &size);
    }
    EXPECT_LE(HandleHighWater(), handles); // each listing releases what it opened
}

} // namespace
