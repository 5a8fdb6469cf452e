// The shared routines that need the platform: names, keyboard, locale, cursor,
// control bounds and page margins.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

// The computer's network name.
std::string GetComputerNameStr();
// The logged-on user's name as the platform counts it: it ends with its
// terminating NUL character. Empty when the platform cannot tell.
std::string GetUserNameStr();

bool IsCtrlDown();
bool IsShiftDown();
// True when the user's measurement system is U.S. (inches).
bool IsInchLocale();
// Takes the decimal separator of the user's locale for float texts and parsing.
void LoadLocaleFormats();

// Sets the cursor of every form (null: each window's own) and returns the previous one.
HCURSOR SetScreenCursor(HCURSOR Cursor);
HCURSOR ScreenCursor();

void SetCtrlBounds(HWND Control, int Left, int Top, int Width, int Height);
// The caption of column Column of a list view.
std::string ListColumnText(HWND List, int Column);

// A filter of "Name|*.ext" pairs as the file dialogs take it: its parts separated by NUL
// characters.
std::string DialogFilter(const std::string& Filter);
// The platform's save dialog: Filter as "Name|*.ext" pairs, DefExt without its
// dot; FileName is proposed and becomes the chosen name. False when cancelled.
bool RunSaveFileDialog(HWND Owner, const std::string& Filter, const char* DefExt,
                       std::string& FileName);

// Converts the dialog's margins when the locale's unit (InchNow) differs from the stored one.
void ConvertPageMargins(PAGESETUPDLGA& Dialog, bool InchNow, bool StoredInch);
