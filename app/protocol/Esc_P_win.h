// Printer bytes of an instrument's protocol into the protocol window's rich
// text: Courier New 8, bold where the printer prints bold (Esc_P_.h), each run
// inserted whole with the control's redraw off.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Renders the first Len bytes of Data at the end of RichEdit's text, after
// clearing it unless Append.
void RenderPrinterText(const uint8_t* Data, int32_t Len, bool Append, HWND RichEdit);

// WideText in code page CodePage with the platform's conversion (no flags, no
// default character); Text gets exactly the converted length.
void WideToAnsiCP(const std::wstring& WideText, uint16_t CodePage, std::string& Text);
