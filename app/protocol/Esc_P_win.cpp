#include "app/protocol/Esc_P_win.h"

#include "app/protocol/Esc_P_.h"
#include "app/protocol/RichText_win.h"

namespace {

// Text as a character of the system's ANSI code page, there and back through UTF-16.
std::string AnsiRoundTrip(const std::string& Text) {
    if (Text.empty())
        return Text;
    const int n =
        MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), wide.data(), n);
    std::string back;
    WideToAnsiCP(wide, static_cast<uint16_t>(GetACP()), back);
    return back;
}

// Redraw off for the scope; the control is repainted whole afterwards.
class TNoRedraw {
public:
    explicit TNoRedraw(HWND Wnd) : FWnd(Wnd) { SendMessageA(FWnd, WM_SETREDRAW, FALSE, 0); }
    TNoRedraw(const TNoRedraw&) = delete;
    TNoRedraw& operator=(const TNoRedraw&) = delete;
    ~TNoRedraw() {
        SendMessageA(FWnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FWnd, nullptr, TRUE);
    }

private:
    HWND FWnd;
};

} // namespace

void WideToAnsiCP(const std::wstring& WideText, uint16_t CodePage, std::string& Text) {
    const int n =
        WideCharToMultiByte(CodePage, 0, WideText.data(), static_cast<int>(WideText.size()),
                            nullptr, 0, nullptr, nullptr);
    Text.assign(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CodePage, 0, WideText.data(), static_cast<int>(WideText.size()),
                            Text.data(), n, nullptr, nullptr);
}

void RenderPrinterText(const uint8_t* Data, int32_t Len, bool Append, HWND RichEdit) {
    const TNoRedraw noRedraw(RichEdit);
    if (!Append)
        SetWindowTextA(RichEdit, "");
    CaretToEnd(RichEdit);
    SetProtocolFont(RichEdit);
    SetSelBold(RichEdit, false);
    for (const TPrinterRun& run : PrinterTextRuns(Data, Len)) {
        SetSelBold(RichEdit, run.Bold);
        ReplaceSel(RichEdit, AnsiRoundTrip(run.Text));
    }
}
