#include "app/main/OneInst.h"

#include <cstring>

std::vector<uint8_t> PackCmdLine(const std::vector<std::string>& Args) {
    std::size_t size = 3;
    for (std::size_t i = 0; i < Args.size(); ++i)
        size += Args[i].size() + (i == 0 ? 0 : 1);
    std::vector<uint8_t> block(size, 0);
    std::size_t at = 0;
    for (const std::string& a : Args) {
        std::memcpy(block.data() + at, a.data(), a.size());
        at += a.size() + 1;
    }
    return block;
}

std::vector<std::string> UnpackCmdLine(const void* Block, std::size_t Size) {
    std::vector<std::string> texts;
    if (!Block)
        return texts;
    const auto* p = static_cast<const char*>(Block);
    const char* const end = p + Size;
    while (p < end) {
        const auto* nul =
            static_cast<const char*>(std::memchr(p, 0, static_cast<std::size_t>(end - p)));
        if (!nul || nul == p)
            break;
        texts.emplace_back(p, nul);
        p = nul + 1;
    }
    return texts;
}

bool TTickWait::Expired(uint32_t Now) {
    if (Now < FStart)
        FStart = Now;
    return Now - FStart >= FDuration;
}
