// libFuzzer target of the USB device path parsers: any text as a path (up to
// its first NUL, in a block of exactly that size, so AddressSanitizer sees a
// read past the end). Each result is held against a plain reading of
// \\?\usb#vid_vvvv&pid_pppp#serial#{guid}: the serial only as a whole
// non-negative decimal number that fits, the product id only from four
// hexadecimal digits.
#include "link/core/QuorxEnum.h"
#include "tests/support/FuzzCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace {

// The text after the first '#', which must have something before it.
bool NextSegment(std::string_view& Rest) {
    const std::size_t hash = Rest.find('#');
    if (hash == std::string_view::npos || hash == 0)
        return false;
    Rest.remove_prefix(hash + 1);
    return true;
}

std::int32_t ExpectedSerial(std::string_view Path) {
    if (!NextSegment(Path) || !NextSegment(Path))
        return -1;
    const std::size_t hash = Path.find('#');
    if (hash == std::string_view::npos || hash == 0)
        return -1;
    std::int64_t value = 0;
    for (const char c : Path.substr(0, hash)) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX)
            return -1;
    }
    return static_cast<std::int32_t>(value);
}

std::uint16_t ExpectedPID(std::string_view Path) {
    if (!NextSegment(Path))
        return 0;
    const std::size_t hash = Path.find('#');
    if (hash == std::string_view::npos || hash < 4)
        return 0;
    const std::string four(Path.substr(hash - 4, 4));
    const auto hex = [](char C) { return std::isxdigit(static_cast<unsigned char>(C)) != 0; };
    if (!std::all_of(four.begin(), four.end(), hex))
        return 0;
    return static_cast<std::uint16_t>(std::stoul(four, nullptr, 16));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const std::string_view path = text.substr(0, text.find('\0'));
    const std::unique_ptr<char[]> block(new char[path.size() + 1]);
    path.copy(block.get(), path.size());
    block[path.size()] = '\0';

    FuzzRequire(SerNumFromDevicePath(block.get()) == ExpectedSerial(path), "serial number");
    FuzzRequire(PIDFromDevicePath(block.get()) == ExpectedPID(path), "product id");
    return 0;
}
