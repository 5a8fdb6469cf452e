#include "app/base/Tools_win.h"

#include "app/base/Tools_.h"

#include <commctrl.h>

namespace {

HCURSOR gScreenCursor = nullptr;

std::string LocaleInfo(LCTYPE Type) {
    char buffer[16] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, Type, buffer, sizeof buffer))
        return {};
    return buffer;
}

} // namespace

std::string GetComputerNameStr() {
    return ReadPlatformName(
        [](char* Buffer, uint32_t& Count) {
            DWORD n = Count;
            if (GetComputerNameA(Buffer, &n)) {
                Count = n;
                return TNameQuery::Ok;
            }
            if (GetLastError() != ERROR_BUFFER_OVERFLOW)
                return TNameQuery::Failed;
            Count = n;
            return TNameQuery::TooSmall;
        },
        MAX_COMPUTERNAME_LENGTH + 1);
}

std::string GetUserNameStr() {
    return ReadPlatformName(
        [](char* Buffer, uint32_t& Count) {
            DWORD n = Count;
            if (GetUserNameA(Buffer, &n)) {
                Count = n;
                return TNameQuery::Ok;
            }
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                return TNameQuery::Failed;
            Count = n;
            return TNameQuery::TooSmall;
        },
        253);
}

bool IsCtrlDown() {
    return (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

bool IsShiftDown() {
    return (GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

bool IsInchLocale() {
    return LocaleInfo(LOCALE_IMEASURE) == "1";
}

void LoadLocaleFormats() {
    const std::string separator = LocaleInfo(LOCALE_SDECIMAL);
    if (separator.size() == 1)
        SetDecimalSeparator(separator[0]);
}

HCURSOR SetScreenCursor(HCURSOR Cursor) {
    const HCURSOR previous = gScreenCursor;
    gScreenCursor = Cursor;
    SetCursor(Cursor ? Cursor : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return previous;
}

HCURSOR ScreenCursor() {
    return gScreenCursor;
}

void SetCtrlBounds(HWND Control, int Left, int Top, int Width, int Height) {
    MoveWindow(Control, Left, Top, Width, Height, TRUE);
}

std::string ListColumnText(HWND List, int Column) {
    char text[260] = {};
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT;
    col.pszText = text;
    col.cchTextMax = sizeof text;
    SendMessageA(List, LVM_GETCOLUMNA, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&col));
    return text;
}

void ConvertPageMargins(PAGESETUPDLGA& Dialog, bool InchNow, bool StoredInch) {
    TRect m{Dialog.rtMargin.left, Dialog.rtMargin.top, Dialog.rtMargin.right,
            Dialog.rtMargin.bottom};
    ConvertMargins(m, InchNow, StoredInch);
    Dialog.rtMargin = {m.Left, m.Top, m.Right, m.Bottom};
}

std::string DialogFilter(const std::string& Filter) {
    std::string filter = Filter;
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    return filter + '\0';
}

bool RunSaveFileDialog(HWND Owner, const std::string& Filter, const char* DefExt,
                       std::string& FileName) {
    char file[MAX_PATH] = {};
    FileName.copy(file, sizeof file - 1);
    const std::string filter = DialogFilter(Filter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = DefExt;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!GetSaveFileNameA(&ofn))
        return false;
    FileName = file;
    return true;
}
