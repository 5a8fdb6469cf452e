// The rich text control as the protocol window uses it: creating it, the
// insertion attributes, its text, and its content as RTF in and out.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

// A rich text control (RichEdit 2.0 or later) as a child of Parent.
HWND CreateRichEdit(HWND Parent, int Id, DWORD Style);

// The protocol font, Courier New 8, on the screen (for measuring and the value editor).
HFONT ProtocolScreenFont();
// The insertion attributes: the protocol font.
void SetProtocolFont(HWND RichEdit);
// Bold or italic of the insertion attributes, or of the selected text.
void SetSelBold(HWND RichEdit, bool Bold);
void SetSelItalic(HWND RichEdit, bool Italic);
CHARFORMAT2A SelCharFormat(HWND RichEdit);
void SetSelCharFormat(HWND RichEdit, CHARFORMAT2A Format);

// The whole text, lines ended by CR LF.
std::string RichEditText(HWND RichEdit);
// Inserts Text at the caret, replacing the selection.
void ReplaceSel(HWND RichEdit, const std::string& Text);
void CaretToEnd(HWND RichEdit);

// The content as RTF.
std::string StreamOutRtf(HWND RichEdit);
// Replaces the content by Data read as RTF, or as plain text when Data is no
// RTF the control accepts; false when neither works.
bool StreamInRtfOrText(HWND RichEdit, const std::string& Data);
