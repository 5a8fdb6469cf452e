// Print jobs: a protocol's rich text page by page with a header on every page,
// and the graph page of a record window on one page. Both begin and end their
// job; an exception on the way aborts the job and reaches the caller.
#pragma once

#include "app/output/GraphPage_.h"
#include "app/output/PrintDevice_win.h"
#include "app/output/TextPages_.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Every character of the rich edit control in PageRect (twips inside the
// margins); Title names the job and stands centred in every page's header,
// between the date and time and "i/n".
void PrintRichText(HWND RichEdit, TPrintDevice& Printer, const TRect& PageRect,
                   const std::string& Title);

// The graph page (DrawGraphPage) with Flags on one page.
void PrintGraph(const TGraphPageSource& Source, TPrintDevice& Printer, const TRect& PageRect,
                const std::string& Title, uint8_t Flags);

// Runs Print with all of RichEdit's text at Points and the control disabled;
// afterwards, also when Print raises, the text is as it was (its RTF streamed
// back in, so mixed sizes stay mixed), the caret at its start, the control
// enabled.
void WithTextSize(HWND RichEdit, int32_t Points, const std::function<void()>& Print);

// The date and the time as the user's locale writes them: short date, long time.
std::string LocaleDateText();
std::string LocaleTimeText();

// Which character ranges of RichEdit go on which page, measured on DC with
// the metrics the printer reports. Raises ETextPages (TextPages_.h).
std::vector<TTextPage> RichTextPages(HWND RichEdit, HDC DC, const TPrinterMetrics& Metrics,
                                     const TRect& PageRect);
