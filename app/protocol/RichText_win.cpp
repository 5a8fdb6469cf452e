#include "app/protocol/RichText_win.h"

#include "app/base/Form_win.h"
#include "common/WinRes_win.h"

#include <cstring>

namespace {

constexpr LONG kProtocolTwips = 8 * 20; // 8 points

struct TStreamState {
    std::string* Out = nullptr;
    const std::string* In = nullptr;
    std::size_t Pos = 0;
};

DWORD CALLBACK StreamOutCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* state = reinterpret_cast<TStreamState*>(Cookie);
    state->Out->append(reinterpret_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
    *Done = Count;
    return 0;
}

DWORD CALLBACK StreamInCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* state = reinterpret_cast<TStreamState*>(Cookie);
    const std::size_t left = state->In->size() - state->Pos;
    const std::size_t n =
        left < static_cast<std::size_t>(Count) ? left : static_cast<std::size_t>(Count);
    std::memcpy(Buffer, state->In->data() + state->Pos, n);
    state->Pos += n;
    *Done = static_cast<LONG>(n);
    return 0;
}

bool StreamIn(HWND RichEdit, const std::string& Data, UINT Format) {
    TStreamState state;
    state.In = &Data;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&state), 0, StreamInCallback};
    SendMessageA(RichEdit, EM_STREAMIN, Format, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

bool LooksLikeRtf(const std::string& Data) {
    const std::size_t start = Data.find_first_not_of(" \t\r\n");
    return start != std::string::npos && Data.compare(start, 5, "{\\rtf") == 0;
}

} // namespace

HFONT ProtocolScreenFont() {
    static const TFontHandle font(
        CreatePointFont("Courier New", 8, ANSI_CHARSET, FIXED_PITCH | FF_MODERN));
    return font.Get();
}

HWND CreateRichEdit(HWND Parent, int Id, DWORD Style) {
    static const HMODULE library = LoadLibraryA("riched20.dll");
    if (!library)
        return nullptr;
    const HWND edit = CreateWindowExA(
        WS_EX_CLIENTEDGE, RICHEDIT_CLASSA, "", Style | WS_CHILD, 0, 0, 0, 0, Parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleA(nullptr), nullptr);
    if (edit) {
        // No word wrap: the protocol keeps the printer's lines.
        SendMessageA(edit, EM_SETTARGETDEVICE, 0, 1);
        SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    }
    return edit;
}

CHARFORMAT2A SelCharFormat(HWND RichEdit) {
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(RichEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

void SetSelCharFormat(HWND RichEdit, CHARFORMAT2A Format) {
    Format.cbSize = sizeof Format;
    SendMessageA(RichEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
}

void SetProtocolFont(HWND RichEdit) {
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    cf.yHeight = kProtocolTwips;
    cf.bCharSet = ANSI_CHARSET;
    cf.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strcpy(cf.szFaceName, "Courier New");
    SetSelCharFormat(RichEdit, cf);
}

void SetSelBold(HWND RichEdit, bool Bold) {
    CHARFORMAT2A cf{};
    cf.dwMask = CFM_BOLD;
    cf.dwEffects = Bold ? CFE_BOLD : 0;
    SetSelCharFormat(RichEdit, cf);
}

void SetSelItalic(HWND RichEdit, bool Italic) {
    CHARFORMAT2A cf{};
    cf.dwMask = CFM_ITALIC;
    cf.dwEffects = Italic ? CFE_ITALIC : 0;
    SetSelCharFormat(RichEdit, cf);
}

std::string RichEditText(HWND RichEdit) {
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    const LRESULT count =
        SendMessageA(RichEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    if (count <= 0)
        return {};
    std::string text(static_cast<std::size_t>(count) + 1, '\0');
    GETTEXTEX get{static_cast<DWORD>(text.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
    const LRESULT got = SendMessageA(RichEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void ReplaceSel(HWND RichEdit, const std::string& Text) {
    SendMessageA(RichEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Text.c_str()));
}

void CaretToEnd(HWND RichEdit) {
    CHARRANGE end{-1, -1};
    SendMessageA(RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

std::string StreamOutRtf(HWND RichEdit) {
    std::string rtf;
    TStreamState state;
    state.Out = &rtf;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&state), 0, StreamOutCallback};
    SendMessageA(RichEdit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    return rtf;
}

bool StreamInRtfOrText(HWND RichEdit, const std::string& Data) {
    if (LooksLikeRtf(Data) && StreamIn(RichEdit, Data, SF_RTF))
        return true;
    return StreamIn(RichEdit, Data, SF_TEXT);
}
