#include "app/output/TextPages_.h"

std::vector<TTextPage> PaginateText(int32_t Length, const TRect& TextRect,
                                    const TFormatPage& FormatPage) {
    if (TextRect.Right <= TextRect.Left || TextRect.Bottom <= TextRect.Top)
        throw ETextPages(sNoRoomOnPage);
    std::vector<TTextPage> pages;
    int32_t start = 0;
    for (;;) {
        TRect rect = TextRect;
        const int32_t next = FormatPage(start, rect);
        const bool ended = next < 0 || next >= Length;
        if (!ended && next <= start)
            throw ETextPages(sTextDoesNotFit);
        pages.push_back({start, next < 0 ? Length : next, rect});
        if (ended)
            return pages;
        start = next;
    }
}

std::string PageNumberText(size_t Index, size_t Count) {
    return std::to_string(Index + 1) + "/" + std::to_string(Count);
}
