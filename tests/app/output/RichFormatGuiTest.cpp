// The page layout of a rich edit control's text that stands in for a platform
// EM_FORMATRANGE that formats nothing, under Wine: drawn into an enhanced
// metafile (at the screen's dots an inch), whose text records tell what went
// where in which font and colour.
#include "app/output/RichFormat_win.h"
#include "app/protocol/RichText_win.h"
#include "tests/app/support/MetafileTexts_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct TDrawnText {
    std::string Text;
    POINT At;
    LOGFONTW Font;
    COLORREF Colour;
};

struct TDrawing {
    std::map<DWORD, LOGFONTW> Fonts; // by object index
    LOGFONTW Font{};
    COLORREF Colour = 0;
    std::vector<TDrawnText> Texts;
};

int CALLBACK Record(HDC, HANDLETABLE*, const ENHMETARECORD* Record, int, LPARAM Out) {
    auto& d = *reinterpret_cast<TDrawing*>(Out);
    switch (Record->iType) {
    case EMR_EXTCREATEFONTINDIRECTW: {
        const auto* r = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(Record);
        d.Fonts[r->ihFont] = r->elfw.elfLogFont;
        break;
    }
    case EMR_SELECTOBJECT: {
        const auto it = d.Fonts.find(reinterpret_cast<const EMRSELECTOBJECT*>(Record)->ihObject);
        if (it != d.Fonts.end())
            d.Font = it->second;
        break;
    }
    case EMR_SETTEXTCOLOR:
        d.Colour = reinterpret_cast<const EMRSETTEXTCOLOR*>(Record)->crColor;
        break;
    case EMR_EXTTEXTOUTW: {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(Record);
        d.Texts.push_back({RecordText(Record),
                           {r->emrtext.ptlReference.x, r->emrtext.ptlReference.y},
                           d.Font,
                           d.Colour});
        break;
    }
    default:
        break;
    }
    return 1;
}

constexpr char kPlatformFormats[] = "the platform's rich edit formats ranges itself";

class RichFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        richEdit = CreateRichEdit(parent, 100, WS_CHILD | ES_MULTILINE);
        ASSERT_TRUE(richEdit);
        dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(dc);
        metrics = {816, 1056, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), 0, 0};
    }
    void TearDown() override {
        if (dc)
            DeleteEnhMetaFile(CloseEnhMetaFile(dc));
        if (parent)
            DestroyWindow(parent);
    }
    void SetText(const std::string& Text) {
        SendMessageA(richEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
    void Format(int32_t From, int32_t To, DWORD Mask, DWORD Effects, int32_t Points = 0,
                COLORREF Colour = 0) {
        SendMessageA(richEdit, EM_SETSEL, From, To);
        CHARFORMAT2A f{};
        f.cbSize = sizeof f;
        f.dwMask = Mask;
        f.dwEffects = Effects;
        f.yHeight = Points * 20;
        f.crTextColor = Colour;
        std::strcpy(f.szFaceName, "Arial");
        SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    }
    void Align(int32_t At, WORD Alignment) {
        SendMessageA(richEdit, EM_SETSEL, At, At);
        PARAFORMAT2 p{};
        p.cbSize = sizeof p;
        p.dwMask = PFM_ALIGNMENT;
        p.wAlignment = Alignment;
        SendMessageA(richEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
    }
    // Lays the whole text out on the page, where all of it fits; false where
    // the platform's rich edit lays it out itself.
    bool LaysOutOnOnePage(TRichTextFormat& Format, TRect& Rect) {
        Rect = page;
        const int32_t next = Format.Measure(0, Rect);
        if (!Format.OwnLayout())
            return false;
        EXPECT_EQ(next, Format.Length());
        return true;
    }
    // The texts drawn into the metafile so far; the metafile is closed.
    TDrawing Drawn() {
        const HENHMETAFILE emf = CloseEnhMetaFile(dc);
        dc = nullptr;
        TDrawing d;
        EnumEnhMetaFile(nullptr, emf, Record, &d, nullptr);
        DeleteEnhMetaFile(emf);
        return d;
    }
    static int32_t WidthOf(const std::string& Text, const LOGFONTW& Font) {
        const TWindowDC screen(nullptr);
        const TFontHandle font(CreateFontIndirectW(&Font));
        const TSelectObject select(screen.Get(), font.Get());
        SIZE size{};
        GetTextExtentPoint32A(screen.Get(), Text.data(), static_cast<int>(Text.size()), &size);
        return size.cx;
    }

    HWND parent = nullptr;
    HWND richEdit = nullptr;
    HDC dc = nullptr;
    TPrinterMetrics metrics;
    const TRect page{0, 0, 4 * 1440, 8 * 1440};
    int32_t PageWidth() const { return 4 * metrics.PixelsX; }
};

TEST_F(RichFormatTest, RunsKeepTheirFontsColoursAndParagraphsTheirAlignment) {
    SetText("plain BOLD italic\r\ncentred\r\nright\r\n");
    // The control's default font is bold.
    Format(0, -1, CFM_FACE | CFM_SIZE | CFM_BOLD, 0, 10);
    Format(6, 10, CFM_BOLD | CFM_SIZE | CFM_COLOR, CFE_BOLD, 16, RGB(200, 0, 0));
    Format(11, 17, CFM_ITALIC | CFM_UNDERLINE, CFE_ITALIC | CFE_UNDERLINE);
    Align(20, PFA_CENTER);
    Align(28, PFA_RIGHT);
    SendMessageA(richEdit, EM_SETSEL, 2, 4);
    TRichTextFormat format(richEdit, dc, metrics);
    TRect rect;
    if (!LaysOutOnOnePage(format, rect))
        GTEST_SKIP() << kPlatformFormats;
    const int32_t next = format.Length();
    EXPECT_GT(rect.Bottom, 0);
    EXPECT_LT(rect.Bottom, page.Bottom);
    CHARRANGE kept{};
    SendMessageA(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    EXPECT_EQ(kept.cpMin, 2);
    EXPECT_EQ(kept.cpMax, 4);
    format.Render(0, next, rect);

    const TDrawing d = Drawn();
    std::vector<std::string> texts;
    for (const TDrawnText& t : d.Texts)
        texts.push_back(t.Text);
    ASSERT_EQ(texts,
              (std::vector<std::string>{"plain ", "BOLD", " ", "italic", "centred", "right"}));
    const TDrawnText &plain = d.Texts[0], &bold = d.Texts[1], &italic = d.Texts[3];
    EXPECT_EQ(plain.Font.lfHeight, -MulDiv(10, metrics.PixelsY, 72));
    EXPECT_EQ(plain.Font.lfWeight, FW_NORMAL);
    EXPECT_EQ(plain.Colour, RGB(0, 0, 0));
    EXPECT_EQ(bold.Font.lfHeight, -MulDiv(16, metrics.PixelsY, 72));
    EXPECT_EQ(bold.Font.lfWeight, FW_BOLD);
    EXPECT_EQ(bold.Colour, RGB(200, 0, 0));
    EXPECT_TRUE(italic.Font.lfItalic);
    EXPECT_TRUE(italic.Font.lfUnderline);
    EXPECT_EQ(italic.Font.lfWeight, FW_NORMAL);
    // One baseline for the line, the runs one after the other.
    EXPECT_EQ(bold.At.y, plain.At.y);
    EXPECT_EQ(italic.At.y, plain.At.y);
    EXPECT_EQ(bold.At.x, plain.At.x + WidthOf("plain ", plain.Font));
    EXPECT_EQ(plain.At.x, 0);
    const TDrawnText &centred = d.Texts[4], &right = d.Texts[5];
    EXPECT_GT(centred.At.y, plain.At.y);
    EXPECT_GT(right.At.y, centred.At.y);
    EXPECT_NEAR(centred.At.x, (PageWidth() - WidthOf("centred", centred.Font)) / 2, 1);
    EXPECT_EQ(right.At.x + WidthOf("right", right.Font), PageWidth());
}

TEST_F(RichFormatTest, PagesFollowOneAnotherAndARangeDrawsOnlyItsCharacters) {
    std::string text;
    for (int i = 1; i <= 60; ++i)
        text += "Line " + std::to_string(1000 + i) + "\r\n";
    SetText(text);
    Format(0, -1, CFM_FACE | CFM_SIZE, 0, 12);
    TRichTextFormat format(richEdit, dc, metrics);
    const TRect third{0, 0, page.Right, 3 * 1440};
    std::vector<std::pair<int32_t, int32_t>> pages;
    for (int32_t start = 0; start < format.Length();) {
        TRect rect = third;
        const int32_t next = format.Measure(start, rect);
        if (!format.OwnLayout())
            GTEST_SKIP() << kPlatformFormats;
        ASSERT_GT(next, start);
        pages.emplace_back(start, next);
        start = next;
    }
    ASSERT_GE(pages.size(), 3u);
    // Page two, then only the first three characters of page three.
    format.Render(pages[1].first, pages[1].second, third);
    format.Render(pages[2].first, pages[2].first + 3, third);
    const TDrawing d = Drawn();
    // The control holds one CR for each CR LF set.
    std::string chars;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\n')
            chars += text[i];
    std::string pageTwo;
    for (size_t i = 0; i + 1 < d.Texts.size(); ++i)
        pageTwo += d.Texts[i].Text + "\r";
    EXPECT_EQ(pageTwo, chars.substr(static_cast<size_t>(pages[1].first),
                                    static_cast<size_t>(pages[1].second - pages[1].first)));
    ASSERT_FALSE(d.Texts.empty());
    EXPECT_EQ(d.Texts.back().Text, chars.substr(static_cast<size_t>(pages[2].first), 3));
}

TEST_F(RichFormatTest, ALongParagraphWrapsAtItsSpacesWithinThePageWidth) {
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += (i ? " word" : "word") + std::to_string(i);
    SetText(words);
    Format(0, -1, CFM_FACE | CFM_SIZE, 0, 12);
    TRichTextFormat format(richEdit, dc, metrics);
    TRect rect;
    if (!LaysOutOnOnePage(format, rect))
        GTEST_SKIP() << kPlatformFormats;
    const int32_t next = format.Length();
    format.Render(0, next, rect);
    const TDrawing d = Drawn();
    ASSERT_GT(d.Texts.size(), 3u);
    std::string joined;
    for (const TDrawnText& t : d.Texts) {
        SCOPED_TRACE(t.Text);
        EXPECT_EQ(t.At.x, 0);
        EXPECT_LE(WidthOf(t.Text, t.Font), PageWidth());
        EXPECT_NE(t.Text.back(), ' ');
        joined += (joined.empty() ? "" : " ") + t.Text;
    }
    EXPECT_EQ(joined, words);
}

} // namespace
