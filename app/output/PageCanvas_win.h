// The graph page on a GDI device context: a printer, the preview's bitmap or a
// metafile. Texts in "Tahoma" of the page's heights; the graph drawn by a
// temporary line graph whose 200-pixels-a-inch coordinates the mapping scales.
#pragma once

#include "app/output/GraphPage_.h"
#include "common/WinRes_win.h"

#include <windows.h>

#include <map>
#include <string>

// The platform's TextOut is a macro that would rename the canvas's method.
#undef TextOut

class TGdiPageCanvas : public IPageCanvas {
public:
    // GraphFont: the face of the record window's graph font. The DC's state is
    // restored when the canvas ends.
    TGdiPageCanvas(HDC DC, std::string GraphFont);
    ~TGdiPageCanvas();
    TGdiPageCanvas(const TGdiPageCanvas&) = delete;
    TGdiPageCanvas& operator=(const TGdiPageCanvas&) = delete;

    TPageMapping Mapping() override;
    void SetMapping(const TPageMapping& Mapping) override;
    void SetAnisotropic(TPoint WindowExt, TPoint ViewportExt, TPoint ViewportOrg) override;
    void SetFont(int32_t Height) override;
    int32_t TextWidth(const std::string& Text) override;
    int32_t TextHeight(const std::string& Text) override;
    void TextOut(int32_t X, int32_t Y, const std::string& Text) override;
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override;
    void RenderGraph(const TLineGraph& Source, const TRect& G, uint8_t GraphFlags,
                     const TRect& DeviceG) override;

private:
    using TGdiObject = TScoped<HGDIOBJ, DeleteObject>;

    SIZE Extent(const std::string& Text);

    HDC FDC;
    int FSavedDC;
    std::string FGraphFont;
    std::map<int32_t, TGdiObject> FFonts;
};

// The face name of the forms' font, which the record window's graph uses.
std::string FormFontFace();
