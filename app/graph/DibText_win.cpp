#include "app/graph/DibText_win.h"

#include "common/WinRes_win.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <random>

namespace {

// Room around the text's box for glyphs reaching out of it.
constexpr int32_t kMargin = 8;

// A top-down 32-bit scratch bitmap in a memory DC.
class TScratch {
public:
    TScratch(int32_t Width, int32_t Height)
        : FWidth(Width), FHeight(Height), FDC(CreateCompatibleDC(nullptr)),
          FBitmap(CreateDib32(Width, Height)), FSelect(FDC.Get(), FBitmap.Get()) {
        DIBSECTION dib{};
        if (FDC && FBitmap && GetObjectW(FBitmap.Get(), sizeof dib, &dib) == sizeof dib)
            FBits = static_cast<uint32_t*>(dib.dsBm.bmBits);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;

    bool Ready() const { return FBits != nullptr; }
    HDC DC() const { return FDC.Get(); }
    size_t Size() const { return static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight); }
    uint32_t* Bits() const { return FBits; }
    int32_t Width() const { return FWidth; }

private:
    int32_t FWidth;
    int32_t FHeight;
    TScoped<HDC, DeleteDC> FDC;
    TScoped<HBITMAP, DeleteObject> FBitmap;
    TSelectObject FSelect;
    uint32_t* FBits = nullptr;
};

uint8_t Channel(uint32_t Pixel, int C) {
    return static_cast<uint8_t>(Pixel >> (8 * C));
}

} // namespace

TTextBlend MeasureTextBlend(HFONT Font, COLORREF Color, const std::vector<WORD>& Glyphs,
                            SIZE Extent) {
    TTextBlend blend;
    const int32_t width = Extent.cx + 2 * kMargin;
    const int32_t height = Extent.cy + 2 * kMargin;
    TScratch scratch(width, height);
    if (!scratch.Ready() || Glyphs.empty())
        return blend;
    const HDC dc = scratch.DC();
    const TSelectObject font(dc, Font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Color);
    const size_t n = scratch.Size();
    uint32_t* bits = scratch.Bits();
    const auto draw = [&] {
        GdiFlush();
        ExtTextOutW(dc, kMargin, kMargin, ETO_GLYPH_INDEX, nullptr,
                    reinterpret_cast<LPCWSTR>(Glyphs.data()), static_cast<UINT>(Glyphs.size()),
                    nullptr);
        GdiFlush();
    };

    // Over each grey level: what every pixel becomes.
    std::vector<std::array<uint32_t, 256>> over(n);
    std::vector<bool> touched(n, false);
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t grey = v * 0x010101;
        std::fill(bits, bits + n, grey);
        draw();
        for (size_t i = 0; i < n; ++i) {
            over[i][v] = bits[i];
            touched[i] = touched[i] || bits[i] != grey;
        }
    }
    // The top byte, over none and over a full one.
    std::fill(bits, bits + n, 0xFF808080u);
    draw();
    std::vector<uint32_t> topped(bits, bits + n);
    std::map<TTextBlend::TMap, uint32_t> mapIndex;
    bool topKnown = false;
    for (size_t i = 0; i < n; ++i) {
        if (!touched[i]) {
            if (topped[i] != 0xFF808080u)
                return blend;
            continue;
        }
        const uint8_t top0 = static_cast<uint8_t>(over[i][0x80] >> 24);
        const uint8_t top1 = static_cast<uint8_t>(topped[i] >> 24);
        const bool keeps = top0 == 0 && top1 == 0xFF;
        if (!keeps && top0 != top1)
            return blend;
        if (topKnown && (keeps != blend.KeepsTopByte || (!keeps && top0 != blend.TopByte)))
            return blend;
        topKnown = true;
        blend.KeepsTopByte = keeps;
        blend.TopByte = keeps ? 0 : top0;
        if ((topped[i] & 0xFFFFFF) != (over[i][0x80] & 0xFFFFFF))
            return blend;
        TTextBlend::TMap map;
        for (int v = 0; v < 256; ++v) {
            if (static_cast<uint8_t>(over[i][v] >> 24) != (keeps ? 0 : top0))
                return blend;
            for (int c = 0; c < 3; ++c)
                map[c][v] = Channel(over[i][v], c);
        }
        const auto [at, added] =
            mapIndex.try_emplace(map, static_cast<uint32_t>(blend.Maps.size()));
        if (added)
            blend.Maps.push_back(map);
        const int32_t x = static_cast<int32_t>(i % static_cast<size_t>(scratch.Width()));
        const int32_t y = static_cast<int32_t>(i / static_cast<size_t>(scratch.Width()));
        blend.Pixels.push_back({x - kMargin, y - kMargin, at->second});
    }
    std::sort(blend.Pixels.begin(), blend.Pixels.end(), [](const auto& A, const auto& B) {
        return A.Dx != B.Dx ? A.Dx < B.Dx : A.Dy < B.Dy;
    });
    // Over noise each pixel must become what its channels' maps say.
    std::mt19937 noise(Color ^ static_cast<uint32_t>(Glyphs.size()));
    std::vector<uint32_t> under(n);
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < n; ++i)
            bits[i] = under[i] = noise();
        draw();
        std::vector<uint32_t> expected = under;
        for (const TTextBlend::TPixel& p : blend.Pixels) {
            const size_t i = static_cast<size_t>(p.Dy + kMargin) * static_cast<size_t>(width) +
                             static_cast<size_t>(p.Dx + kMargin);
            const TTextBlend::TMap& map = blend.Maps[p.Map];
            uint32_t pixel =
                blend.KeepsTopByte ? under[i] & 0xFF000000u : uint32_t{blend.TopByte} << 24;
            for (int c = 0; c < 3; ++c)
                pixel |= uint32_t{map[c][Channel(under[i], c)]} << (8 * c);
            expected[i] = pixel;
        }
        if (std::memcmp(expected.data(), bits, n * sizeof(uint32_t)) != 0)
            return blend;
    }
    blend.Exact = true;
    return blend;
}
