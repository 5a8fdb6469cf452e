// What a transparent text sets on a 32-bit DIB section, measured once through
// GDI so that the bits can take it without a GDI call: a band's caption is
// rewritten at every column the band spans, thousands of calls a repaint.
//
// GDI blends an antialiased glyph's edge into what lies under it, channel by
// channel. The text is drawn on a scratch bitmap over every grey level, which
// gives for each of its pixels what each channel becomes over each value;
// drawn three times more over noise, it proves that this is all the blend
// depends on. Where it is not, the text is left to GDI.
#pragma once

#include "app/graph/DibLines_win.h"

#include <windows.h>

#include <vector>

// The blend of Glyphs (glyph indices) written transparent at the origin of a DC
// in plain pixels, with Font selected and Color as text colour; Extent is the
// text's size.
TTextBlend MeasureTextBlend(HFONT Font, COLORREF Color, const std::vector<WORD>& Glyphs,
                            SIZE Extent);
