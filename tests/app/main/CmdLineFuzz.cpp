// libFuzzer target of the command line a second start hands over: any block as
// it may arrive in WM_COPYDATA (a heap block of exactly its size, so
// AddressSanitizer sees a read past it), and any arguments packed and unpacked.
#include "app/main/OneInst.h"
#include "tests/support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The texts lie back to back from the start of the block, each with its NUL,
// and the next one would be empty or has no NUL inside the block.
void Unpack(FuzzedDataProvider& In) {
    const std::vector<uint8_t> bytes = In.ConsumeRemainingBytes<uint8_t>();
    const std::unique_ptr<char[]> block(new char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), block.get());
    const std::vector<std::string> texts = UnpackCmdLine(block.get(), bytes.size());
    std::size_t at = 0;
    for (const std::string& t : texts) {
        FuzzRequire(!t.empty() && at + t.size() < bytes.size(), "text inside the block");
        FuzzRequire(std::memcmp(block.get() + at, t.data(), t.size()) == 0 &&
                        block[at + t.size()] == '\0',
                    "text as sent, up to its NUL");
        at += t.size() + 1;
    }
    const bool ends = at == bytes.size() || block[at] == '\0' ||
                      std::memchr(block.get() + at, 0, bytes.size() - at) == nullptr;
    FuzzRequire(ends, "every whole text taken");
}

// Arguments hold no NUL; the first empty one ends the texts.
void RoundTrip(FuzzedDataProvider& In) {
    std::vector<std::string> args;
    std::size_t size = 3;
    for (int n = In.ConsumeIntegralInRange<int>(0, 12); n > 0; --n) {
        std::string a = In.ConsumeRandomLengthString(64);
        a.erase(std::remove(a.begin(), a.end(), '\0'), a.end());
        size += a.size() + (args.empty() ? 0 : 1);
        args.push_back(std::move(a));
    }
    const std::vector<uint8_t> block = PackCmdLine(args);
    FuzzRequire(block.size() == size, "block size");
    FuzzRequire(block[size - 1] == 0 && block[size - 2] == 0, "two zero bytes at the end");
    const auto firstEmpty = std::find(args.begin(), args.end(), std::string());
    FuzzRequire(UnpackCmdLine(block.data(), block.size()) ==
                    std::vector<std::string>(args.begin(), firstEmpty),
                "arguments back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider in(Data, Size);
    if (in.ConsumeBool())
        RoundTrip(in);
    else
        Unpack(in);
    return 0;
}
