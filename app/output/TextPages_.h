// The pages of a printed protocol: its rich text cut into character ranges, one
// a page, by a formatter that lays out one page (when printing, the rich edit
// control's EM_FORMATRANGE or the own layout), and the texts of each page's
// header.
#pragma once

#include "app/base/Tools_.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr char sNoRoomOnPage[] = "The page margins leave no room for the text.";
inline constexpr char sTextDoesNotFit[] =
    "A line of the text does not fit on a page; nothing was printed.";

class ETextPages : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One page: characters First up to Next (excluded) in the rectangle (twips) the
// formatter gave back.
struct TTextPage {
    int32_t First = 0;
    int32_t Next = 0;
    TRect Rect;
    bool operator==(const TTextPage&) const = default;
};

// Lays out the page that begins at character Start into Rect (twips, changed
// to the part used); answers the first character of the next page, -1 when
// the text ended.
using TFormatPage = std::function<int32_t(int32_t Start, TRect& Rect)>;

// The pages of a text of Length characters in TextRect (from 0, 0): at least
// one, also for an empty text. Raises ETextPages when TextRect is empty or
// when a page takes no character while text is left, so a page never prints
// without end and no text is dropped unnoticed.
std::vector<TTextPage> PaginateText(int32_t Length, const TRect& TextRect,
                                    const TFormatPage& FormatPage);

// "i/n" of page Index (from 0) of Count.
std::string PageNumberText(size_t Index, size_t Count);
